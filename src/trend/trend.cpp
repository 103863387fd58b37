// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend.h"

#include "trenddates.h"

#include <algorithm>

namespace trestrend {

STrend ComputeTrend(const std::vector<STrendSurvey>& surveys, const std::vector<SDigFinding>& findings,
                    const std::vector<SFixpointAt>& fixpoints, const STrendOptions& options)
{
    STrend t;
    for (const STrendSurvey& s : surveys)
        if (!s.chainage) t.warnings.push_back("Messung " + std::to_string(s.id) + " ohne Stationierung verglichen");
    t.tracks = DefectTracks(surveys, findings, options.match);
    for (size_t i = 1; i < surveys.size(); ++i) {
        SProtectionChange c = ProtectionChange(surveys[i - 1], surveys[i]);
        c.from = i - 1;
        c.to = i;
        t.changes.push_back(std::move(c));
    }
    t.fixpoints = FixpointTrends(surveys, fixpoints, options.window, options.drift, t.warnings);
    if (surveys.empty()) return t;
    const STrendSurvey& last = surveys.back();
    if (options.interval) t.nextSurveyDue = DatePlusYears(last.date, *options.interval);
    for (const STrendDefect& d : last.defects) {
        if (d.action != kDigNow) continue;
        const bool found = std::any_of(findings.begin(), findings.end(),
                                       [&](const SDigFinding& f) { return f.survey == last.id && f.row == d.row; });
        if (!found) t.openDigs.push_back({surveys.size() - 1, &d, DaysBetween(last.date, options.today)});
    }
    return t;
}

} // namespace trestrend
