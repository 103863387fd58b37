// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendjson.h"

namespace trestrend {

namespace {

template <typename T> ojson Maybe(const std::optional<T>& v) { return v ? ojson(*v) : ojson(); }

ojson StateJson(const std::vector<STrendSurvey>& surveys, const STrackState& s)
{
    const STrendSurvey& survey = surveys[s.survey];
    ojson j;
    j["survey"] = survey.id;
    j["state"] = TrackStateText(s.state);
    const STrendDefect* d = s.defect;
    j["category"] = d && d->category ? ojson(d->category) : ojson();
    j["irPercent"] = d ? Maybe(d->irPercent) : ojson();
    j["chainage"] = d && survey.chainage ? ojson(d->position) : ojson();
    j["metre"] = d ? ojson(d->metre) : ojson();
    j["row"] = d ? ojson(d->row) : ojson();
    j["status"] = d ? ojson(VerdictStatusId(d->status)) : ojson();
    j["action"] = d && !d->action.empty() ? ojson(d->action) : ojson();
    return j;
}

ojson FindingJson(const SDigFinding& f)
{
    return {
        {"survey", f.survey},        {"row", f.row}, {"date", f.date}, {"finding", f.finding}, {"repaired", f.repaired},
        {"offset", Maybe(f.offset)}, {"by", f.by}};
}

ojson RunsJson(const SMetreRuns& r)
{
    ojson intervals = ojson::array();
    for (const auto& [from, to] : r.intervals) intervals.push_back({from, to});
    return {{"length", r.length}, {"intervals", intervals}};
}

} // namespace

ojson TrendJson(const STrendPipeline& pipeline, const std::vector<STrendSurvey>& surveys, const STrend& trend)
{
    ojson j;
    j["version"] = 1;
    j["pipeline"] = {{"id", pipeline.id}, {"name", pipeline.name}, {"number", pipeline.number}};
    j["surveys"] = ojson::array();
    for (const STrendSurvey& s : surveys)
        j["surveys"].push_back(
            {{"id", s.id}, {"date", s.date}, {"file", s.file}, {"positions", s.chainage ? "chainage" : "metre"}});
    j["tracks"] = ojson::array();
    for (const STrack& t : trend.tracks) {
        ojson track{{"id", t.id}, {"states", ojson::array()}, {"findings", ojson::array()}};
        for (const STrackState& s : t.states) track["states"].push_back(StateJson(surveys, s));
        for (const SDigFinding* f : t.findings) track["findings"].push_back(FindingJson(*f));
        j["tracks"].push_back(std::move(track));
    }
    j["changes"] = ojson::array();
    for (const SProtectionChange& c : trend.changes)
        j["changes"].push_back({{"from", surveys[c.from].id},
                                {"to", surveys[c.to].id},
                                {"compared", c.compared},
                                {"newlyUnprotected", RunsJson(c.newlyUnprotected)},
                                {"reprotected", RunsJson(c.reprotected)}});
    j["fixpoints"] = ojson::array();
    for (const SFixpointTrend& f : trend.fixpoints) {
        ojson values = ojson::array();
        for (const SFixpointValue& v : f.values)
            values.push_back(
                {{"survey", surveys[v.survey].id}, {"value", Maybe(v.value)}, {"change", Maybe(v.change)}});
        j["fixpoints"].push_back({{"name", f.name}, {"chainage", f.chainage}, {"values", values}});
    }
    j["warnings"] = trend.warnings;
    j["nextSurveyDue"] = trend.nextSurveyDue.empty() ? ojson() : ojson(trend.nextSurveyDue);
    j["openDigs"] = ojson::array();
    for (const SOpenDig& o : trend.openDigs) {
        const STrendSurvey& s = surveys[o.survey];
        j["openDigs"].push_back({{"survey", s.id},
                                 {"row", o.defect->row},
                                 {"metre", o.defect->metre},
                                 {"chainage", s.chainage ? ojson(o.defect->position) : ojson()},
                                 {"category", o.defect->category ? ojson(o.defect->category) : ojson()},
                                 {"action", o.defect->action},
                                 {"ageDays", Maybe(o.ageDays)}});
    }
    return j;
}

} // namespace trestrend
