// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessoptions.h"

#include "compareoptions.h"
#include "numarg.h"
#include "optionword.h"
#include "toolhost.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace {

const char kAssessUsage[] = "Aufruf: tresmon-tool assess DATEI [--json|--csv] [--off-limit MV] [--irfree-limit MV]\n"
                            "       [--over-limit MV] [--graddiff-limit MV] [--spike MV] [--gap M]\n"
                            "       [--without off,irfree,over,graddiff]";
const char kReportUsage[] = "Aufruf: tresmon-tool report DATEI -o AUSGABE.pdf [--off-limit MV] [--irfree-limit MV]\n"
                            "       [--over-limit MV] [--graddiff-limit MV] [--spike MV] [--gap M]\n"
                            "       [--without off,irfree,over,graddiff]\n"
                            "       [--compare FRÜHER [--native] [--worse-limit MV] [--shift-limit MV]]";

const char* Usage(EAssessCommand command) { return command == EAssessCommand::Report ? kReportUsage : kAssessUsage; }

// A message, then the usage line of the command it is about.
bool UsageError(EAssessCommand command, const std::string& text)
{
    ToolError(text);
    std::fprintf(stderr, "%s\n", Usage(command));
    return false;
}

bool ParseWithout(EAssessCommand command, const std::string& list, SAssessSettings& settings)
{
    size_t start = 0;
    while (true) {
        const size_t comma = list.find(',', start);
        const std::string id = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        ECriterion c;
        if (!CriterionFromId(id, c))
            return UsageError(command, "Unbekanntes Kriterium bei --without: \"" + id
                                           + "\" (erlaubt: off, irfree, over, graddiff)");
        settings[c].enabled = false;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// False after a usage error; `help` set when -h or --help comes before any.
bool ReadOptions(const std::vector<std::string>& args, EAssessCommand command, SAssessOptions& o, bool& help)
{
    struct SValueOption {
        const char* name;
        int places;
        int32_t* target;
        bool notNegative;
    };
    const SValueOption valueOptions[] = {
        {"--off-limit", 0, &o.settings[ECriterion::Off].limit, false},
        {"--irfree-limit", 0, &o.settings[ECriterion::IRFree].limit, false},
        {"--over-limit", 0, &o.settings[ECriterion::Over].limit, false},
        {"--graddiff-limit", 1, &o.settings[ECriterion::GradDiff].limit, false},
        {"--spike", 0, &o.settings.spike, true},
        {"--gap", 0, &o.settings.gap, true},
    };
    const bool report = command == EAssessCommand::Report;
    bool havePath = false;
    std::string comparisonOnly; // the first option that needs --compare
    for (size_t i = 0; i < args.size(); ++i) {
        auto [name, value, haveValue] = SplitOptionWord(args[i]);
        auto takeValue = [&]() {
            if (haveValue) return true;
            if (i + 1 >= args.size()) return UsageError(command, name + " braucht einen Wert.");
            value = args[++i];
            return true;
        };
        if (name == "-h" || name == "--help") {
            help = true;
            return true;
        } else if (!report && (name == "--json" || name == "--csv")) {
            if (haveValue) return UsageError(command, name + " nimmt keinen Wert.");
            o.csv = name == "--csv";
        } else if (report && name == "-o") {
            if (!takeValue()) return false;
            if (value.empty()) return UsageError(command, "-o braucht einen Dateinamen.");
            o.output = value;
        } else if (report && name == "--compare") {
            if (!takeValue()) return false;
            if (value.empty()) return UsageError(command, "--compare braucht einen Dateinamen.");
            o.compare = value;
        } else if (report && name == "--native") {
            if (haveValue) return UsageError(command, name + " nimmt keinen Wert.");
            o.compareSettings.mode = ECompareMode::Native;
            if (comparisonOnly.empty()) comparisonOnly = name;
        } else if (report && IsCompareLimitOption(name)) {
            if (!takeValue()) return false;
            std::string error;
            if (!SetCompareLimit(name, value, o.compareSettings, error)) return UsageError(command, error);
            if (comparisonOnly.empty()) comparisonOnly = name;
        } else if (name == "--without") {
            if (!takeValue() || !ParseWithout(command, value, o.settings)) return false;
        } else if (name.rfind("-", 0) == 0 && name.size() > 1) {
            const SValueOption* opt = nullptr;
            for (const SValueOption& v : valueOptions)
                if (name == v.name) opt = &v;
            if (!opt) return UsageError(command, "Unbekannte Option: " + name);
            if (!takeValue()) return false;
            int32_t parsed = 0;
            if (!ParseScaledDecimal(value, opt->places, parsed))
                return UsageError(command, "Ungültige Zahl bei " + name + ": \"" + value + "\"");
            if (opt->notNegative && parsed < 0) return UsageError(command, name + " darf nicht negativ sein: " + value);
            *opt->target = parsed;
        } else if (!havePath) {
            o.path = name;
            havePath = true;
        } else {
            return UsageError(command, "Zu viele Dateien: " + name);
        }
    }
    if (!havePath) return UsageError(command, "Keine Messdatei angegeben.");
    if (report && o.output.empty()) return UsageError(command, "Keine Ausgabedatei angegeben (-o AUSGABE.pdf).");
    if (o.compare.empty() && !comparisonOnly.empty())
        return UsageError(command, comparisonOnly + " gilt nur zusammen mit --compare FRÜHER.");
    return true;
}

} // namespace

int ParseAssessOptions(const std::vector<std::string>& args, EAssessCommand command, SAssessOptions& o)
{
    bool help = false;
    if (!ReadOptions(args, command, o, help)) return kExitUsage;
    if (!help) return -1;
    std::printf("%s\n", Usage(command));
    return kExitOk;
}
