// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessoptions.h"

#include "compareoptions.h"
#include "doc/numtext.h"
#include "export/assesswords.h"
#include "export/surveyexport.h"
#include "optionword.h"
#include "outputguard.h"
#include "toolhost.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string_view>

namespace {

#define TRES_VERDICT_OPTIONS                                                                                           \
    "       [--protection-limit MV] [--limit-potential MV] [--no-100mv]\n"                                             \
    "       [--irfree-min-diff MV] [--irfree-max-ratio X] [--gap M]\n"                                                 \
    "       [--defect-window M] [--background M] [--defect-factor X] [--defect-min MV]\n"                              \
    "       [--categories A,B,C] [--spike MV] [--margin MV]\n"                                                         \
    "       [--pipeline LEITUNG.geojson [--stretch-tolerance X] [--crs EPSG:n] [--force-pipeline]]"

const char kAssessUsage[]
    = "Aufruf: tresmon-tool assess DATEI [--json|--csv] [--rows] [--native NATIV [--reverse]]\n" TRES_VERDICT_OPTIONS;
const char kReportUsage[]
    = "Aufruf: tresmon-tool report DATEI -o AUSGABE.pdf [--native NATIV [--reverse]]\n" TRES_VERDICT_OPTIONS
      "\n       [--compare FRÜHER [--native] [--worse-limit MV] [--shift-limit MV]"
      "\n                 [--reverse | --no-align]]"
      "\n       [--section M] [--merge N] [--final] [--report-number TEXT] [--revision TEXT]"
      "\n       [--company TEXT] [--logo DATEI] [--author TEXT] [--electrode TEXT]"
      "\n       [--electrode-calibrated DATUM] [--instrument TEXT] [--instrument-calibrated DATUM]"
      "\n       [--electrode-spacing M] [--off-delay MS] [--synchronous ja|nein]"
      "\n       [--surveyor TEXT] [--qualification TEXT] [--conditions TEXT]";
const char kArchiveUsage[]
    = "Aufruf: tresmon-tool archive add [ARCHIV] DATEI... [--native NATIV [--reverse]] [--date JJJJ-MM-TT]\n"
      "       tresmon-tool archive reassess [ARCHIV] NR... [--native NATIV [--reverse]]\n" TRES_VERDICT_OPTIONS;
const char kExportUsage[] = "Aufruf: tresmon-tool export DATEI --format geojson|kml|gpx|csv|gpkg -o AUSGABE "
                            "[--native NATIV [--reverse]]\n" TRES_VERDICT_OPTIONS;

#undef TRES_VERDICT_OPTIONS

const char* Usage(EAssessCommand command)
{
    switch (command) {
    case EAssessCommand::Report: return kReportUsage;
    case EAssessCommand::Export: return kExportUsage;
    case EAssessCommand::Archive: return kArchiveUsage;
    case EAssessCommand::Assess: break;
    }
    return kAssessUsage;
}

// A message, then the usage line of the command it is about.
bool UsageError(EAssessCommand command, const std::string& text)
{
    ToolError(text);
    std::fprintf(stderr, "%s\n", Usage(command));
    return false;
}

// The options of the assessment before its rules changed, and what replaced
// each: a script that still passes one must stop, not be judged otherwise.
struct SRetired {
    const char* name;
    const char* instead;
};
const SRetired kRetired[] = {
    {"--off-limit", "das Schutzkriterium setzt --protection-limit."},
    {"--irfree-limit", "das IR-freie Potential wird am Schutzkriterium (--protection-limit) gemessen, wo es "
                       "verwendbar ist (--irfree-min-diff, --irfree-max-ratio)."},
    {"--over-limit", "das Grenzpotential setzt --limit-potential."},
    {"--graddiff-limit", "Fehlstellen sind örtliche Spitzen der Gradientendifferenz (--defect-min, --defect-factor, "
                         "--defect-window, --background)."},
    {"--without", "alle Regeln gelten; nur das 100-mV-Kriterium lässt sich mit --no-100mv abschalten."},
};

// An option with a number: `places` 0 whole mV, 1 tenths of a mV (both into
// `whole`), 2 a length in m read to hundredths (into `real`), -1 a plain
// decimal (into `real`).
struct SNumberOption {
    const char* name;
    int places;
    int32_t* whole;
    double* real;
    ESettingRange range;
};

bool ReadNumber(EAssessCommand command, const SNumberOption& opt, const std::string& value)
{
    double number = 0;
    if (opt.places < 0) {
        if (!tresnum::ParseDecimal(value, number))
            return UsageError(command, "Ungültige Zahl bei " + std::string(opt.name) + ": \"" + value + "\"");
    } else {
        int32_t scaled = 0;
        if (!tresnum::ParseScaledDecimal(value, opt.places, scaled))
            return UsageError(command, "Ungültige Zahl bei " + std::string(opt.name) + ": \"" + value + "\"");
        number = scaled;
        if (opt.whole) *opt.whole = scaled;
        else number /= 100.0;
    }
    const std::string name = opt.name;
    if (!InSettingRange(opt.range, number)) switch (opt.range) {
        case ESettingRange::Positive: return UsageError(command, name + " muss größer als 0 sein: " + value);
        case ESettingRange::Negative:
            return UsageError(command, name + " muss negativ sein (mV gegen die Bezugselektrode): " + value);
        default: return UsageError(command, name + " darf nicht negativ sein: " + value);
        }
    if (opt.real) *opt.real = number;
    return true;
}

// Three per-cent bounds, ascending within 0 ... 100, separated by commas, or
// by semicolons when the bounds are written with a decimal comma.
bool ReadCategories(EAssessCommand command, const std::string& value, std::array<double, 3>& out)
{
    const char separator = value.find(';') != std::string::npos ? ';' : ',';
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        const size_t end = value.find(separator, start);
        parts.push_back(value.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    std::array<double, 3> bounds{};
    bool ok = parts.size() == 3;
    for (size_t i = 0; ok && i < 3; ++i)
        ok = tresnum::ParseDecimal(parts[i], bounds[i]) && InSettingRange(ESettingRange::Percent, bounds[i]);
    ok = ok && CategoriesAscend(bounds);
    if (!ok)
        return UsageError(command, "--categories braucht drei aufsteigende Prozentwerte zwischen 0 und 100, "
                                   "z. B. 15,35,60 (mit Dezimalkomma durch Semikolons getrennt): \""
                                       + value + "\"");
    out = bounds;
    return true;
}

// "EPSG:25832" (any case) as its code.
bool ReadCrs(EAssessCommand command, const std::string& value, int& out)
{
    const std::string_view v = value;
    bool ok = v.size() > 5 && v.size() <= 5 + 9;
    for (size_t i = 0; ok && i < 5; ++i) ok = std::toupper(static_cast<unsigned char>(v[i])) == "EPSG:"[i];
    int code = 0;
    for (size_t i = 5; ok && i < v.size(); ++i) {
        ok = v[i] >= '0' && v[i] <= '9';
        code = code * 10 + (v[i] - '0');
    }
    if (!ok || code == 0)
        return UsageError(command, "--crs erwartet einen EPSG-Code wie EPSG:25832: \"" + value + "\"");
    out = code;
    return true;
}

// A whole number from `lo` to `hi`; otherwise `refusal` with the word quoted.
bool ReadWhole(EAssessCommand command, const std::string& value, int lo, int hi, const std::string& refusal, int& out)
{
    int32_t n = 0;
    if (!tresnum::ParseScaledDecimal(value, 0, n) || value.find_first_of(".,") != std::string::npos || n < lo || n > hi)
        return UsageError(command, refusal + ": \"" + value + "\"");
    out = n;
    return true;
}

// The report's section length: whole metres, so few sheets that a typing
// error cannot send thousands of pages out, so many that a sheet stays
// readable.
bool ReadSection(EAssessCommand command, const std::string& value, int& out)
{
    return ReadWhole(command, value, 100, 100000,
                     "--section erwartet die Länge eines Blatts in ganzen Metern von 100 bis 100000", out);
}

// How many points of other statuses the report's stretch table joins
// stretches across: a whole number, 0 (or 1) for none.
bool ReadMerge(EAssessCommand command, const std::string& value, int& out)
{
    return ReadWhole(command, value, 0, 1000, "--merge erwartet eine ganze Zahl von Punkten von 0 bis 1000", out);
}

// A text of the report: the numbers must be numbers and the choice a choice.
bool ReadReportText(EAssessCommand command, const std::string& name, const std::string& value)
{
    if (value.empty()) return true;
    if (name == "--electrode-spacing" || name == "--off-delay") {
        double number = 0;
        if (!tresnum::ParseDecimal(value, number) || number < 0 || value.find_first_of("+-") != std::string::npos)
            return UsageError(command, name + " erwartet eine Zahl nicht unter 0: \"" + value + "\"");
    }
    if (name == "--synchronous" && value != "ja" && value != "nein")
        return UsageError(command, "--synchronous erwartet ja oder nein: \"" + value + "\"");
    return true;
}

// The options only the report takes beyond the comparison's: true when
// `name` is one (`ok` false after a usage error).
bool ReadReportOption(EAssessCommand command, const std::string& name, const std::function<bool()>& takeValue,
                      const std::string& value, bool haveValue, SAssessOptions& o, bool& ok)
{
    ok = true;
    const SReportTextOption* text = nullptr;
    for (const SReportTextOption& t : kReportTextOptions)
        if (name == t.name) text = &t;
    if (name == "--section") {
        ok = takeValue() && ReadSection(command, value, o.section);
    } else if (name == "--merge") {
        ok = takeValue() && ReadMerge(command, value, o.merge);
    } else if (name == "--final") {
        ok = !haveValue || UsageError(command, name + " nimmt keinen Wert.");
        o.final = true;
    } else if (name == "--report-number" || name == "--revision") {
        ok = takeValue();
        (name == "--revision" ? o.revision : o.reportNumber) = value;
    } else if (text) {
        ok = takeValue() && ReadReportText(command, name, value);
        o.*text->field = value;
    } else {
        return false;
    }
    return true;
}

// Whether the argument after i is a file name rather than the next option.
bool NextIsFileName(const std::vector<std::string>& args, size_t i)
{
    return i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != '-';
}

// What the options together must fulfil once all are read; false after a
// usage error. `comparisonOnly`: the first option that needs --compare.
bool CheckOptions(EAssessCommand command, SAssessOptions& o, const std::string& comparisonOnly)
{
    const bool report = command == EAssessCommand::Report;
    const bool exporting = command == EAssessCommand::Export;
    const SVerdictSettings& s = o.settings;
    if (report && o.output.empty()) return UsageError(command, "Keine Ausgabedatei angegeben (-o AUSGABE.pdf).");
    if (exporting && o.format.empty())
        return UsageError(command, "Kein Format angegeben (--format geojson, kml, gpx, csv oder gpkg).");
    if (exporting && o.output.empty()) return UsageError(command, "Keine Ausgabedatei angegeben (-o AUSGABE).");
    if (o.compare.empty() && !comparisonOnly.empty())
        return UsageError(command, comparisonOnly + " gilt nur zusammen mit --compare FRÜHER.");
    const bool nativeCompared = report && o.compareSettings.mode == ECompareMode::Native;
    if (nativeCompared && !o.native.empty())
        return UsageError(command, "Die Nativmessung ist entweder die mit --compare verglichene (--native ohne "
                                   "Dateinamen) oder --native NATIV, nicht beides.");
    // A survey walked from the other end is accepted for the survey it
    // is paired with: the native one, or the comparison.
    if (o.reverse && o.native.empty() && o.compare.empty())
        return UsageError(command, report ? "--reverse gilt nur zusammen mit --compare FRÜHER oder --native NATIV."
                                          : "--reverse gilt nur zusammen mit --native NATIV.");
    // With pipeline data the comparison pairs by chainage, as `compare` does.
    if (o.noAlign && !o.pipeline.empty())
        return UsageError(command, "--no-align und --pipeline schließen einander aus.");
    if (!LimitBelowProtection(s.limitPotential, s.protectionPotential))
        return UsageError(command, "Das Grenzpotential (" + std::to_string(s.limitPotential)
                                       + " mV, --limit-potential) muss negativer sein als das Schutzkriterium ("
                                       + std::to_string(s.protectionPotential) + " mV, --protection-limit).");
    if (nativeCompared) o.native = o.compare;
    if ((report || exporting)
        && !OutputIsNoInput(o.output, {o.path, o.native, o.pipeline, o.compare, o.logo.value_or(std::string())}))
        return false;
    return true;
}

// The options that take one number, with where the number goes: the
// verdict's from the table the program's stored words are read by too.
std::vector<SNumberOption> NumberOptions(SAssessOptions& o)
{
    std::vector<SNumberOption> out;
    for (const tresexport::SVerdictNumberOption& n : tresexport::kVerdictNumberOptions)
        out.push_back({n.name, n.places, n.whole ? &(o.settings.*n.whole) : nullptr,
                       n.real ? &(o.settings.*n.real) : nullptr, n.range});
    out.push_back({"--stretch-tolerance", -1, nullptr, &o.stretchTolerance, ESettingRange::NotNegative});
    return out;
}

// The option `name` if it takes one number.
std::optional<SNumberOption> NumberOption(const std::string& name, SAssessOptions& o)
{
    for (const SNumberOption& n : NumberOptions(o))
        if (name == n.name) return n;
    return std::nullopt;
}

// Every long option of `command`, for the shortened forms.
std::vector<SOptionName> KnownOptions(EAssessCommand command, SAssessOptions& o)
{
    std::vector<SOptionName> known{{"--help", 0},     {"--native", 0},   {"--reverse", 0}, {"--categories", 1},
                                   {"--no-100mv", 0}, {"--pipeline", 1}, {"--crs", 1},     {"--force-pipeline", 0}};
    for (const SNumberOption& n : NumberOptions(o)) known.push_back({n.name, 1});
    for (const SRetired& r : kRetired) known.push_back({r.name, 0});
    if (command == EAssessCommand::Assess) known.insert(known.end(), {{"--json", 0}, {"--csv", 0}, {"--rows", 0}});
    if (command == EAssessCommand::Export) known.push_back({"--format", 1});
    if (command == EAssessCommand::Archive) known.insert(known.end(), {{"--date", 1}, {"--archive", 1}});
    if (command == EAssessCommand::Report) {
        known.insert(known.end(), {{"--compare", 1},
                                   {"--no-align", 0},
                                   {"--worse-limit", 1},
                                   {"--shift-limit", 1},
                                   {"--section", 1},
                                   {"--merge", 1},
                                   {"--final", 0},
                                   {"--report-number", 1},
                                   {"--revision", 1}});
        for (const SReportTextOption& t : kReportTextOptions) known.push_back({t.name, 1});
    }
    return known;
}

// False after a usage error; `help` set when -h or --help comes before any.
bool ReadOptions(std::vector<std::string> args, EAssessCommand command, SAssessOptions& o, bool& help)
{
    SVerdictSettings& s = o.settings;
    const bool report = command == EAssessCommand::Report;
    const bool assess = command == EAssessCommand::Assess;
    const bool exporting = command == EAssessCommand::Export;
    const bool archive = command == EAssessCommand::Archive;
    bool havePath = false;
    std::string comparisonOnly; // the first option that needs --compare
    if (std::string error; !ExpandOptionWords(args, KnownOptions(command, o), error)) return UsageError(command, error);
    auto operand = [&](const std::string& word) {
        if (archive) return o.operands.push_back(word), true;
        if (havePath) return UsageError(command, "Zu viele Dateien: " + word);
        o.path = word;
        havePath = true;
        return true;
    };
    for (COptionWalk words(args); words.Next();) {
        if (words.IsOperand()) {
            if (!operand(words.Word())) return false;
            continue;
        }
        auto [name, value, haveValue] = SplitOptionWord(words.Word());
        auto takeValue = [&]() {
            return haveValue || words.TakeNext(value) || UsageError(command, name + " braucht einen Wert.");
        };
        auto takeFileName = [&]() {
            if (!takeValue()) return false;
            if (value.empty()) return UsageError(command, name + " braucht einen Dateinamen.");
            return true;
        };
        auto noValue = [&]() { return !haveValue || UsageError(command, name + " nimmt keinen Wert."); };
        const std::optional<SNumberOption> number = NumberOption(name, o);
        const size_t first = words.Index();
        const SRetired* retired = nullptr;
        for (const SRetired& r : kRetired)
            if (name == r.name) retired = &r;

        if (name == "-h" || name == "--help") {
            help = true;
            return true;
        } else if (retired) {
            return UsageError(command, name + " gibt es nicht mehr; " + retired->instead);
        } else if (assess && (name == "--json" || name == "--csv")) {
            if (!noValue()) return false;
            o.csv = name == "--csv";
        } else if (assess && name == "--rows") {
            if (!noValue()) return false;
            o.rows = true;
        } else if (!report && name == "--native") {
            if (!takeFileName()) return false;
            o.native = value;
        } else if (archive && (name == "--date" || name == "--archive")) {
            if (!takeValue()) return false;
            (name == "--date" ? o.date : o.archive.emplace()) = value;
        } else if (exporting && name == "--format") {
            if (!takeValue()) return false;
            if (!tresexport::ExportFormatFromId(value))
                return UsageError(command, "Unbekanntes Format bei --format: \"" + value
                                               + "\" (erlaubt: geojson, kml, gpx, csv, gpkg)");
            o.format = value;
        } else if ((report || exporting) && name == "-o") {
            if (!takeValue()) return false;
            if (value.empty()) return UsageError(command, "-o braucht einen Dateinamen.");
            o.output = value;
        } else if (report && name == "--compare") {
            if (!takeFileName()) return false;
            o.compare = value;
        } else if (report && name == "--native" && (haveValue || NextIsFileName(args, words.Index()))) {
            // A native survey of its own for the 100 mV criterion, as `assess` takes it.
            if (!takeFileName()) return false;
            o.native = value;
        } else if (report && name == "--native") {
            o.compareSettings.mode = ECompareMode::Native;
            if (comparisonOnly.empty()) comparisonOnly = name;
        } else if (name == "--reverse") {
            if (!noValue()) return false;
            o.reverse = true;
        } else if (report && name == "--no-align") {
            if (!noValue()) return false;
            o.noAlign = true;
            if (comparisonOnly.empty()) comparisonOnly = name;
        } else if (bool ok = true; report && ReadReportOption(command, name, takeValue, value, haveValue, o, ok)) {
            if (!ok) return false;
        } else if (report && IsCompareLimitOption(name)) {
            if (!takeValue()) return false;
            std::string error;
            if (!SetCompareLimit(name, value, o.compareSettings, error)) return UsageError(command, error);
            if (comparisonOnly.empty()) comparisonOnly = name;
        } else if (number) {
            if (!takeValue() || !ReadNumber(command, *number, value)) return false;
        } else if (name == "--categories") {
            if (!takeValue() || !ReadCategories(command, value, s.categories)) return false;
        } else if (name == "--no-100mv") {
            if (!noValue()) return false;
            s.use100mV = false;
        } else if (name == "--pipeline") {
            if (!takeFileName()) return false;
            o.pipeline = value;
        } else if (name == "--crs") {
            if (!takeValue() || !ReadCrs(command, value, o.crs)) return false;
        } else if (name == "--force-pipeline") {
            if (!noValue()) return false;
            o.forcePipeline = true;
        } else if (name.rfind("-", 0) == 0 && name.size() > 1) {
            return UsageError(command, "Unbekannte Option: " + name);
        } else if (!operand(words.Word())) {
            return false;
        }
        // What the archive keeps of how the assessment was asked for.
        if (archive && !words.IsOperand() && name.size() > 1 && name[0] == '-' && name != "--archive"
            && name != "--date")
            o.assessWords.insert(o.assessWords.end(), args.begin() + static_cast<long>(first),
                                 args.begin() + static_cast<long>(words.Index()) + 1);
    }
    if (!havePath && !archive) return UsageError(command, "Keine Messdatei angegeben.");
    return CheckOptions(command, o, comparisonOnly);
}

} // namespace

const SReportTextOption kReportTextOptions[13] = {
    {"--company", &SAssessOptions::company},
    {"--logo", &SAssessOptions::logo},
    {"--author", &SAssessOptions::author},
    {"--electrode", &SAssessOptions::electrode},
    {"--electrode-calibrated", &SAssessOptions::electrodeCalibrated},
    {"--instrument", &SAssessOptions::instrument},
    {"--instrument-calibrated", &SAssessOptions::instrumentCalibrated},
    {"--electrode-spacing", &SAssessOptions::electrodeSpacing},
    {"--off-delay", &SAssessOptions::offDelay},
    {"--synchronous", &SAssessOptions::synchronous},
    {"--surveyor", &SAssessOptions::surveyor},
    {"--qualification", &SAssessOptions::qualification},
    {"--conditions", &SAssessOptions::conditions},
};

int ParseAssessOptions(const std::vector<std::string>& args, EAssessCommand command, SAssessOptions& o)
{
    bool help = false;
    if (!ReadOptions(args, command, o, help)) return kExitUsage;
    if (!help) return -1;
    std::printf("%s\n", Usage(command));
    return kExitOk;
}
