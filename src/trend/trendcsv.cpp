// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendcsv.h"

#include "export/csvtext.h"

#include <cmath>

namespace trestrend {

namespace {

using csvtext::AppendLine;
using csvtext::TextCell;

// Hundredths with a decimal comma, without trailing zeros ("244,06").
std::string Number(double v)
{
    std::string s = csvtext::Decimal(static_cast<int32_t>(std::llround(v * 100)), 2);
    while (s.back() == '0') s.pop_back();
    if (s.back() == ',') s.pop_back();
    return s;
}

std::string Intervals(const SMetreRuns& r)
{
    std::string out;
    for (const auto& [from, to] : r.intervals) {
        if (!out.empty()) out += "; ";
        out += std::to_string(from) + "–" + std::to_string(to);
    }
    return TextCell(out);
}

} // namespace

std::string TrendCsv(const std::vector<STrendSurvey>& surveys, const STrend& trend)
{
    std::string out = csvtext::kBom;
    AppendLine(out, {"Spur", "Messung", "Datum", "Zustand", "Kategorie", "%IR", "Station [m]", "Meter [m]", "Zeile",
                     "Status", "Maßnahme"});
    for (const STrack& t : trend.tracks)
        for (const STrackState& s : t.states) {
            const STrendSurvey& survey = surveys[s.survey];
            const STrendDefect* d = s.defect;
            AppendLine(out,
                       {std::to_string(t.id), std::to_string(survey.id), survey.date, TextCell(TrackStateText(s.state)),
                        d && d->category ? std::to_string(d->category) : std::string(),
                        d && d->irPercent ? Number(*d->irPercent) : std::string(),
                        d && survey.chainage ? Number(d->position) : std::string(),
                        d ? std::to_string(d->metre) : std::string(), d ? std::to_string(d->row) : std::string(),
                        d ? TextCell(VerdictStatusName(d->status)) : std::string(),
                        d ? TextCell(d->action) : std::string()});
        }
    out += "\r\n";
    AppendLine(out, {"Von Messung", "Bis Messung", "Verglichen [m]", "Neu nicht geschützt [m]", "Bereiche [m]",
                     "Wieder geschützt [m]", "Bereiche [m]"});
    for (const SProtectionChange& c : trend.changes)
        AppendLine(out,
                   {std::to_string(surveys[c.from].id), std::to_string(surveys[c.to].id), std::to_string(c.compared),
                    std::to_string(c.newlyUnprotected.length), Intervals(c.newlyUnprotected),
                    std::to_string(c.reprotected.length), Intervals(c.reprotected)});
    return out;
}

} // namespace trestrend
