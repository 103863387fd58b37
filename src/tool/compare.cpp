// SPDX-License-Identifier: GPL-3.0-or-later
// `compare`: a survey set against an earlier or a native one, as JSON for
// scripts or as a spreadsheet export.
#include "alignmentjson.h"
#include "commands.h"
#include "comparealign.h"
#include "compareoptions.h"
#include "comparison.h"
#include "csvtext.h"
#include "jsontext.h"
#include "optionword.h"
#include "toolhost.h"
#include "tredoc.h"

#include <cstdio>

namespace {

const char kCompareUsage[] = "Aufruf: tresmon-tool compare AKTUELL FRÜHER [--native] [--worse-limit MV]\n"
                             "       [--shift-limit MV] [--pipeline LEITUNG.geojson | --reverse | --no-align]\n"
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
    const std::vector<SOptionName> known{
        {"--help", 0},    {"--json", 0},     {"--csv", 0},      {"--native", 0},      {"--pairs", 0},
        {"--reverse", 0}, {"--no-align", 0}, {"--pipeline", 1}, {"--worse-limit", 1}, {"--shift-limit", 1}};
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

// ---- JSON ---------------------------------------------------------------------

using jsontext::Int;

ojson Delta(int64_t v) { return v == kNoDelta ? ojson(nullptr) : ojson(v); }

ojson StatsJson(const SDeltaStats& s)
{
    return {{"count", s.count}, {"min", Delta(s.min)}, {"max", Delta(s.max)}, {"mean", Delta(s.mean)}};
}

ojson SideJson(const SCompareSide& s)
{
    return {{"row", s.row},
            {"metre", Int(s.metre)},
            {"potOn", Int(s.potOn)},
            {"potOff", Int(s.potOff)},
            {"potIRFree", Int(s.potIRFree)}};
}

ojson ComparisonJson(const SComparison& c, bool withPairs)
{
    const bool native = c.mode == ECompareMode::Native;
    ojson j;
    j["mode"] = CompareModeId(c.mode);
    j["alignment"] = AlignmentJson(*c.alignment);
    ojson& criteria = j["criteria"] = ojson::array();
    for (const SCompareCriterionResult& cr : c.criteria)
        criteria.push_back({{"id", CompareCriterionId(cr.criterion)},
                            {"name", CompareCriterionName(cr.criterion)},
                            {"enabled", cr.enabled},
                            {"limit", cr.limit}});
    ojson& indications = j["indications"] = ojson::array();
    for (const SCompareIndication& i : c.indications)
        indications.push_back({{"criterion", CompareCriterionId(i.criterion)},
                               {"fromMetre", i.fromMetre},
                               {"toMetre", i.toMetre},
                               {"rows", i.rows},
                               {"length", i.length},
                               {"worst", Delta(i.worst)},
                               {"worstMetre", i.worstMetre}});
    const SCompareSummary& s = c.summary;
    ojson summary = {{"matched", s.matched},
                     {"currentUnmatched", s.currentUnmatched},
                     {"earlierUnmatched", s.earlierUnmatched},
                     {"deltaOff", StatsJson(s.deltaOff)}};
    if (native) summary["polarisation"] = StatsJson(s.polarisation);
    j["summary"] = std::move(summary);
    if (withPairs) {
        ojson& pairs = j["pairs"] = ojson::array();
        for (const SComparePair& p : c.pairs) {
            ojson pj = {{"metre", p.metre},
                        {"current", SideJson(p.current)},
                        {"earlier", SideJson(p.earlier)},
                        {"deltaOff", Delta(p.deltaOff)},
                        {"deltaIRFree", Delta(p.deltaIRFree)}};
            if (native) pj["polarisation"] = Delta(p.polarisation);
            pairs.push_back(std::move(pj));
        }
    }
    return j;
}

// ---- CSV ----------------------------------------------------------------------

using csvtext::AppendLine;
using csvtext::Decimal;

std::string Millivolts(int64_t v) { return v == kNoDelta ? std::string() : std::to_string(v); }

std::string ComparisonCsv(const SComparison& c, bool withPairs)
{
    const bool native = c.mode == ECompareMode::Native;
    std::string out = csvtext::kBom;
    out += "Kriterium;Von [m];Bis [m];Paare;Länge [m];Schlechtester Wert [mV];bei Meter [m]\r\n";
    for (const SCompareIndication& i : c.indications)
        AppendLine(out, {csvtext::TextCell(CompareCriterionName(i.criterion)), Decimal(i.fromMetre, 0),
                         Decimal(i.toMetre, 0), std::to_string(i.rows), std::to_string(i.length), Millivolts(i.worst),
                         Decimal(i.worstMetre, 0)});

    const SCompareSummary& s = c.summary;
    out += "\r\nGepaarte Meter;Ohne Partner (aktuell);Ohne Partner (Vergleich)\r\n";
    AppendLine(out,
               {std::to_string(s.matched), std::to_string(s.currentUnmatched), std::to_string(s.earlierUnmatched)});
    out += "\r\nGröße;Anzahl;Minimum [mV];Maximum [mV];Mittelwert [mV]\r\n";
    auto stats = [&](const char* name, const SDeltaStats& d) {
        AppendLine(out, {csvtext::TextCell(name), std::to_string(d.count), Millivolts(d.min), Millivolts(d.max),
                         Millivolts(d.mean)});
    };
    stats("Differenz Aus", s.deltaOff);
    if (native) stats("Polarisation", s.polarisation);

    const SAlignment& a = *c.alignment;
    out += "\r\nAusrichtung;Versatz [m];Landmarken;Größte Abweichung an einer Landmarke [m]\r\n";
    AppendLine(out, {AlignMethodId(a.method), a.method == EAlignMethod::Offset ? std::to_string(a.offset) : "",
                     std::to_string(a.ties.size()), Decimal(a.maxResidual, 0)});

    if (withPairs) {
        out += "\r\nMeter [m];Ein [mV];Aus [mV];IR-frei [mV];Vergleich Ein [mV];Vergleich Aus [mV];"
               "Vergleich IR-frei [mV];Differenz Aus [mV];Differenz IR-frei [mV]";
        out += native ? ";Polarisation [mV]" : "";
        out += ";Messmeter [m];Vergleich Messmeter [m]\r\n";
        for (const SComparePair& p : c.pairs) {
            std::string line;
            AppendLine(line,
                       {Decimal(p.metre, 0), Decimal(p.current.potOn, 0), Decimal(p.current.potOff, 0),
                        Decimal(p.current.potIRFree, 0), Decimal(p.earlier.potOn, 0), Decimal(p.earlier.potOff, 0),
                        Decimal(p.earlier.potIRFree, 0), Millivolts(p.deltaOff), Millivolts(p.deltaIRFree)});
            if (native) line.insert(line.size() - 2, ";" + Millivolts(p.polarisation));
            line.insert(line.size() - 2, ";" + Decimal(p.current.metre, 0) + ";" + Decimal(p.earlier.metre, 0));
            out += line;
        }
    }
    return out;
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
    const std::string text = o.csv ? ComparisonCsv(c, o.pairs) : ComparisonJson(c, o.pairs).dump(2) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return kExitFile;
    }
    return kExitOk;
}
