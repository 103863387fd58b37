// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendcommand.h"

#include "toolhost.h"

#include "doc/numtext.h"

#include <cmath>
#include <cstdio>

namespace {

int Usage(const char* usage, const std::string& text)
{
    ToolError(text);
    std::fputs(usage, stderr);
    return kExitUsage;
}

// A distance in m, at least `least`.
bool ReadMetres(const std::string& name, const std::string& value, double least, double& out, const char* usage)
{
    double v = 0;
    if (!tresnum::ParseDecimal(value, v) || !std::isfinite(v) || v < least || v > 100000) {
        Usage(usage, name + " erwartet eine Länge in m von " + tresnum::GermanNumber(least) + " bis 100000: \"" + value
                         + "\"");
        return false;
    }
    out = v;
    return true;
}

// A whole number from `least` to `most`.
bool ReadWhole(const std::string& name, const std::string& value, int least, int most, const char* unit, int& out,
               const char* usage)
{
    const bool digits
        = !value.empty() && value.size() <= 9 && value.find_first_not_of("0123456789") == std::string::npos;
    const int v = digits ? std::stoi(value) : -1;
    if (v < least || v > most) {
        Usage(usage, name + " erwartet eine ganze Zahl von " + std::to_string(least) + " bis " + std::to_string(most)
                         + " (" + unit + "): \"" + value + "\"");
        return false;
    }
    out = v;
    return true;
}

bool ReadDate(const std::string& name, const std::string& value, std::string& out, const char* usage)
{
    if (!tresarchive::IsIsoDate(value)) {
        Usage(usage, name + " erwartet ein Datum JJJJ-MM-TT: \"" + value + "\"");
        return false;
    }
    out = value;
    return true;
}

} // namespace

int ReadTrendCommand(const Args& args, const std::vector<SOptionName>& extra, const char* usage, STrendCommand& cmd)
{
    std::vector<SOptionName> known
        = {{"--archive", 1}, {"--pipeline", 1}, {"--number", 1}, {"--from", 1},    {"--to", 1},
           {"--match", 1},   {"--window", 1},   {"--drift", 1},  {"--interval", 1}};
    known.insert(known.end(), extra.begin(), extra.end());
    SArchiveWords& w = cmd.words;
    if (!ReadArchiveWords(args, known, usage, w)) return kExitUsage;
    if (w.help) {
        std::fputs(usage, stdout);
        return kExitOk;
    }
    std::optional<std::string> option;
    if (w.values.count("--archive")) option = w.values["--archive"];
    const auto location = TakeArchiveLocation(w.operands, option, !w.operands.empty());
    if (!location) return kExitFile;
    cmd.location = *location;
    if (!w.operands.empty()) return Usage(usage, "Zu viele Angaben: " + w.operands.front());
    const auto value = [&](const char* name) { return w.values.count(name) ? w.values.at(name) : std::string(); };
    cmd.request.pipeline = value("--pipeline");
    if (cmd.request.pipeline.find_first_not_of(" \t") == std::string::npos)
        return Usage(usage, "Keine Leitung angegeben (--pipeline NAME).");
    if (w.values.count("--number")) cmd.request.number = value("--number");
    trestrend::STrendOptions& o = cmd.options;
    int interval = 0;
    const bool ok
        = (!w.values.count("--from") || ReadDate("--from", value("--from"), cmd.request.from, usage))
          && (!w.values.count("--to") || ReadDate("--to", value("--to"), cmd.request.to, usage))
          && (!w.values.count("--match") || ReadMetres("--match", value("--match"), 0, o.match, usage))
          && (!w.values.count("--window") || ReadMetres("--window", value("--window"), 0, o.window, usage))
          && (!w.values.count("--drift") || ReadWhole("--drift", value("--drift"), 1, 10000, "mV", o.drift, usage))
          && (!w.values.count("--interval")
              || ReadWhole("--interval", value("--interval"), 1, 100, "Jahre", interval, usage));
    if (!ok) return kExitUsage;
    if (interval) o.interval = interval;
    if (!cmd.request.from.empty() && !cmd.request.to.empty() && cmd.request.from > cmd.request.to)
        return Usage(usage, "--from (" + cmd.request.from + ") liegt nach --to (" + cmd.request.to + ").");
    return -1;
}

bool LoadTrendForTool(STrendCommand& cmd, trestrend::SArchiveTrend& loaded)
{
    const auto archive = OpenForArchiveCommand(cmd.location, false);
    if (!archive) return false;
    try {
        std::string error;
        if (!trestrend::LoadArchiveTrend(*archive, cmd.request, loaded, error)) {
            ToolError(error);
            return false;
        }
    } catch (const tresarchive::CArchiveError& e) {
        ArchiveFailure(e);
        return false;
    }
    for (const std::string& w : loaded.warnings) ToolError("Warnung: " + w);
    if (!cmd.options.interval) cmd.options.interval = loaded.surveyInterval;
    cmd.options.today = tresarchive::UtcNow().substr(0, 10);
    return true;
}
