// SPDX-License-Identifier: GPL-3.0-or-later
// `compare`: a survey set against an earlier or a native one, as JSON for
// scripts or as a spreadsheet export (comparisonjson.h, comparisoncsv.h).
#include "commands.h"
#include "comparealign.h"
#include "compareoptions.h"
#include "doc/comparison.h"
#include "doc/tredoc.h"
#include "export/comparisoncsv.h"
#include "export/comparisonjson.h"
#include "export/jsontext.h"
#include "optionword.h"
#include "toolhost.h"

#include <cstdio>

namespace {

const char kCompareUsage[]
    = "Aufruf: tresmon-tool compare AKTUELL FRÜHER [--native] [--worse-limit MV]\n"
      "       [--shift-limit MV] [--pipeline LEITUNG.geojson [--force-pipeline] | --reverse | --no-align]\n"
      "       [--json|--csv] [--pairs]";

struct SCompareOptions {
    std::string current, earlier;
    bool csv = false, pairs = false;
    SCompareSettings settings;
    SCompareAlignOptions align;
};

bool UsageError(const std::string& text)
{
    ToolError(text);
    std::fprintf(stderr, "%s\n", kCompareUsage);
    return false;
}

// False after a usage error; `help` set when -h or --help comes before any.
bool ParseOptions(Args args, SCompareOptions& o, bool& help)
{
    const std::vector<SOptionName> known{{"--help", 0},        {"--json", 0},          {"--csv", 0},
                                         {"--native", 0},      {"--pairs", 0},         {"--reverse", 0},
                                         {"--no-align", 0},    {"--pipeline", 1},      {"--worse-limit", 1},
                                         {"--shift-limit", 1}, {"--force-pipeline", 0}};
    if (std::string error; !ExpandOptionWords(args, known, error)) return UsageError(error);
    int files = 0;
    auto operand = [&](const std::string& word) {
        if (files >= 2) return UsageError("Zu viele Dateien: " + word);
        (files++ == 0 ? o.current : o.earlier) = word;
        return true;
    };
    for (COptionWalk words(args); words.Next();) {
        if (words.IsOperand()) {
            if (!operand(words.Word())) return false;
            continue;
        }
        auto [name, value, haveValue] = SplitOptionWord(words.Word());
        if (name == "-h" || name == "--help") {
            help = true;
            return true;
        }
        const bool isLimit = IsCompareLimitOption(name);
        if (haveValue && !isLimit && name != "--pipeline") return UsageError(name + " nimmt keinen Wert.");
        if (name == "--json" || name == "--csv") {
            o.csv = name == "--csv";
        } else if (name == "--native") {
            o.settings.mode = ECompareMode::Native;
        } else if (name == "--pairs") {
            o.pairs = true;
        } else if (name == "--reverse") {
            o.align.reverse = true;
        } else if (name == "--no-align") {
            o.align.align = false;
        } else if (name == "--force-pipeline") {
            o.align.forcePipeline = true;
        } else if (name == "--pipeline") {
            if ((!haveValue && !words.TakeNext(value)) || value.empty())
                return UsageError("--pipeline braucht einen Dateinamen.");
            o.align.pipeline = value;
        } else if (isLimit) {
            if (!haveValue && !words.TakeNext(value)) return UsageError(name + " braucht einen Wert.");
            std::string error;
            if (!SetCompareLimit(name, value, o.settings, error)) return UsageError(error);
        } else if (name.rfind("-", 0) == 0 && name.size() > 1) {
            return UsageError("Unbekannte Option: " + name);
        } else if (!operand(words.Word())) {
            return false;
        }
    }
    if (files < 2) return UsageError(files == 0 ? "Keine Messdateien angegeben." : "Die frühere Messdatei fehlt.");
    if (!o.align.align && !o.align.pipeline.empty())
        return UsageError("--no-align und --pipeline schließen einander aus.");
    return true;
}

} // namespace

int RunCompare(const Args& args)
{
    SCompareOptions o;
    bool help = false;
    if (!ParseOptions(args, o, help)) return kExitUsage;
    if (help) {
        std::printf("%s\n", kCompareUsage);
        return kExitOk;
    }
    CToolHost host;
    CTreDoc current, earlier;
    if (!OpenForTool(current, host, o.current) || !OpenForTool(earlier, host, o.earlier)) return kExitFile;

    const bool native = o.settings.mode == ECompareMode::Native;
    if (!AlignForCompare(current, earlier, native, o.align, o.settings.alignment)) return kExitFile;
    const SComparison c = Compare(current, earlier, o.settings);
    const std::string text
        = o.csv ? tresexport::ComparisonCsv(c, o.pairs) : jsontext::FileText(tresexport::ComparisonJson(c, o.pairs));
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return kExitFile;
    }
    return kExitOk;
}
