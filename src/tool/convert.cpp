// SPDX-License-Identifier: GPL-3.0-or-later
// `convert` and `edit`: the document's own operations, then a save.
#include "cmdline.h"
#include "commands.h"
#include "doc/numtext.h"
#include "doc/surveypath.h"
#include "doc/tredoc.h"
#include "outputguard.h"
#include "pipeline/restation.h"
#include "restationstep.h"
#include "surveycommand.h"
#include "toolhost.h"

namespace {

bool ParseInt(const std::string& text, int32_t& value)
{
    if (text.empty()) return false;
    size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size()) return false;
    for (size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9') return false;
    const auto v = tresnum::ParseIntPrefix(text);
    if (!v) return false;
    value = *v;
    return true;
}

} // namespace

int RunConvert(const Args& args)
{
    SSurveyCommand cmd;
    if (const int exit = StartSurveyCommand(args, "convert EIN AUS", 2, cmd); exit >= 0) return exit;
    return SaveForTool(cmd.doc, cmd.line.operands[1]) ? kExitOk : kExitFile;
}

namespace {

// The numbers and names of every edit step, checked before any file is read.
bool StepsAreWellFormed(const std::vector<GivenOption>& steps)
{
    for (const GivenOption& s : steps) {
        int32_t v = 0;
        EAddQuantity q;
        if (s.name == "add") {
            if (!AddQuantityFromName(s.values[0], q)) {
                ToolError("Unbekannte Größe \"" + s.values[0]
                          + "\" (Messmeter, Potential Ein, Potential Aus, Gradient Ein, Gradient Aus).");
                return false;
            }
            for (size_t k = 1; k < 4; ++k) {
                if (!ParseInt(s.values[k], v)) {
                    ToolError("Keine ganze Zahl: " + s.values[k]);
                    return false;
                }
            }
        } else if (s.name == "insert-after" || s.name == "delete") {
            for (const std::string& t : s.values) {
                if (!ParseInt(t, v)) {
                    ToolError("Keine ganze Zahl: " + t);
                    return false;
                }
            }
        }
    }
    return true;
}

// One edit step on the document; kExitOk or the exit code of its failure.
int ApplyEditStep(CTreDoc& doc, CToolHost& host, const GivenOption& s, double stretchTolerance, bool forcePipeline)
{
    if (s.name == "sort") {
        doc.SortByMeter();
    } else if (s.name == "reverse") {
        doc.ReverseMeasurement();
    } else if (s.name == "add") {
        EAddQuantity q;
        AddQuantityFromName(s.values[0], q);
        int32_t start = 0, end = 0, k = 0;
        ParseInt(s.values[1], start);
        ParseInt(s.values[2], end);
        ParseInt(s.values[3], k);
        doc.AddConstant(q, start, end, k);
    } else if (s.name == "insert-after") {
        int32_t r = 0;
        ParseInt(s.values[0], r);
        if (r < 0 || r > doc.GetRowCount()) {
            ToolError("Zeile " + s.values[0] + " gibt es nicht (1 bis " + std::to_string(doc.GetRowCount()) + ").");
            return kExitUsage;
        }
        doc.InsertRowAfter(r);
        doc.UpdateAllViews();
    } else if (s.name == "delete") {
        int32_t first = 0, count = 0;
        ParseInt(s.values[0], first);
        ParseInt(s.values[1], count);
        if (first < 1 || count < 1 || int64_t{first} + count - 1 > doc.GetRowCount()) {
            ToolError("Die Zeilen " + s.values[0] + " bis " + std::to_string(int64_t{first} + count - 1)
                      + " gibt es nicht (1 bis " + std::to_string(doc.GetRowCount()) + ").");
            return kExitUsage;
        }
        doc.DeleteRows(first, count);
        doc.UpdateAllViews();
    } else if (s.name == "append") {
        doc.m_bAppend = true;
        if (!OpenForTool(doc, host, s.values[0])) return kExitFile;
    } else if (s.name == "restation") {
        return RestationForTool(doc, s.values[0], stretchTolerance, forcePipeline);
    }
    return kExitOk;
}

} // namespace

int RunEdit(const Args& args)
{
    const std::string usage
        = CommandUsage("edit EIN -o AUS [--sort] [--reverse] [--add GRÖSSE START ENDE K]\n"
                       "        [--insert-after R] [--delete ERSTE ANZAHL] [--append DATEI]\n"
                       "        [--restation LEITUNG.geojson] [--stretch-tolerance X] [--force-pipeline] ...");
    if (args.empty()) {
        ToolError(usage);
        return kExitUsage;
    }
    // Check the whole command line before touching any file.
    CommandLine line;
    const int exit = ParseCommandLine(args,
                                      {{"output", 'o', 1},
                                       {"sort", 0, 0},
                                       {"reverse", 0, 0},
                                       {"add", 0, 4},
                                       {"insert-after", 0, 1},
                                       {"delete", 0, 2},
                                       {"append", 0, 1},
                                       {"restation", 0, 1},
                                       {"stretch-tolerance", 0, 1},
                                       {"force-pipeline", 0, 0}},
                                      usage, line);
    if (exit >= 0) return exit;
    std::string output;
    // One tolerance for every --restation, wherever it is given.
    double stretchTolerance = trespipeline::kDefaultStretchTolerance;
    std::vector<GivenOption> steps;
    int standardInputs = line.operands.empty() ? 0 : tresdoc::IsStandardStream(line.operands[0]);
    bool forcePipeline = false;
    for (GivenOption& o : line.options) {
        if (o.name == "output") {
            output = o.values[0];
        } else if (o.name == "force-pipeline") {
            forcePipeline = true;
        } else if (o.name == "stretch-tolerance") {
            if (!tresnum::ParseDecimal(o.values[0], stretchTolerance) || stretchTolerance < 0) {
                ToolError("--stretch-tolerance erwartet eine Zahl ab 0 (0,05 für 5 %): " + o.values[0]);
                return kExitUsage;
            }
        } else {
            if (o.name == "append") standardInputs += tresdoc::IsStandardStream(o.values[0]);
            steps.push_back(std::move(o));
        }
    }
    if (line.operands.size() != 1 || output.empty()) {
        ToolError(usage);
        return kExitUsage;
    }
    if (standardInputs > 1) {
        ToolError("Die Standardeingabe (-) lässt sich nur einmal lesen.");
        return kExitUsage;
    }
    const std::string& input = line.operands[0];
    std::vector<std::string> inputs{input};
    for (const GivenOption& s : steps)
        if (s.name == "append" || s.name == "restation") inputs.push_back(s.values[0]);
    if (!OutputIsNoInput(output, inputs)) return kExitUsage;
    if (!StepsAreWellFormed(steps)) return kExitUsage;

    CToolHost host;
    CTreDoc doc;
    if (!OpenForTool(doc, host, input)) return kExitFile;
    for (const GivenOption& s : steps)
        if (const int exit = ApplyEditStep(doc, host, s, stretchTolerance, forcePipeline); exit != kExitOk) return exit;
    return SaveForTool(doc, output) ? kExitOk : kExitFile;
}
