// SPDX-License-Identifier: GPL-3.0-or-later
#include "archivetrend.h"

#include "assessmentinput.h"

#include "archive/digfinding.h"
#include "doc/commentkey.h"
#include "pipeline/numbers.h"
#include "pipeline/pipelinereader.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace trestrend {

namespace {

using tresarchive::SValue;

// The one pipeline the request names: among those whose name contains it,
// those named exactly win, so "Nord" still finds "Nord" beside "Nord-Süd".
std::optional<tresarchive::SPipelineEntry> ChoosePipeline(tresarchive::CArchive& archive, const STrendRequest& r,
                                                          std::string& error)
{
    std::vector<tresarchive::SPipelineEntry> found;
    for (tresarchive::SPipelineEntry& p : archive.List(r.pipeline))
        if (!r.number || CommentKey(p.number) == CommentKey(*r.number)) found.push_back(std::move(p));
    std::vector<tresarchive::SPipelineEntry> exact;
    for (const tresarchive::SPipelineEntry& p : found)
        if (CommentKey(p.name) == CommentKey(r.pipeline)) exact.push_back(p);
    if (!exact.empty()) found = std::move(exact);
    const std::string asked = "„" + r.pipeline + "“" + (r.number ? " (Nr. " + *r.number + ")" : std::string());
    if (found.empty()) {
        error = "Keine Leitung " + asked + " im Archiv.";
        return std::nullopt;
    }
    if (found.size() > 1) {
        error = "Mehrere Leitungen passen zu " + asked + ":";
        for (size_t i = 0; i < found.size(); ++i)
            error += std::string(i ? ";" : "") + " " + tresarchive::PipelineTitle(found[i].name, found[i].number);
        error += ". --number wählt eine.";
        return std::nullopt;
    }
    return found.front();
}

// The route's surveyInterval in whole years, if it gives one.
std::optional<int> SurveyInterval(const std::string& geojson, std::vector<std::string>& warnings)
{
    const nlohmann::json j = nlohmann::json::parse(geojson, nullptr, false);
    if (j.is_discarded() || !j.is_object() || !j.contains("features") || !j["features"].is_array()) return std::nullopt;
    for (const nlohmann::json& f : j["features"]) {
        if (!f.is_object() || !f.contains("properties") || !f["properties"].is_object()) continue;
        const nlohmann::json& p = f["properties"];
        if (p.value("kind", nlohmann::json()) != "route" || !p.contains("surveyInterval")) continue;
        const nlohmann::json& v = p["surveyInterval"];
        if (v.is_number() && v.get<double>() >= 1 && v.get<double>() <= 100
            && v.get<double>() == std::floor(v.get<double>()))
            return static_cast<int>(v.get<double>());
        warnings.push_back("Die Trasse nennt surveyInterval " + v.dump()
                           + "; erwartet wird eine ganze Zahl von Jahren (1 bis 100). Es wird nicht verwendet.");
        return std::nullopt;
    }
    return std::nullopt;
}

// The fixed points and the interval of the newest revision of the
// pipeline's data; none when the archive holds none for it.
void ReadNewestRevision(tresarchive::CArchive& archive, long long pipelineId, SArchiveTrend& out)
{
    const tresarchive::SResult r = archive.Db().Execute(
        "SELECT id, geojson FROM pipeline_revision WHERE pipeline_id = $1 ORDER BY id DESC LIMIT 1",
        {SValue::Int(pipelineId)});
    if (r.rows.empty() || r.rows[0][1].IsNull()) return;
    const std::string& geojson = r.rows[0][1].bytes;
    const std::string name = "Leitungsdaten (Stand " + std::to_string(r.rows[0][0].whole) + ")";
    const trespipeline::SPipelineRead read = trespipeline::ParsePipelineText(geojson, name);
    if (!read.ok) {
        out.warnings.push_back(name + " lassen sich nicht lesen, die Festpunkte fehlen: "
                               + (read.errors.empty() ? std::string("?") : read.errors.front()));
    } else {
        for (const trespipeline::SFixpoint& f : read.data.fixpoints) out.fixpoints.push_back({f.name, f.chainage});
    }
    out.surveyInterval = SurveyInterval(geojson, out.warnings);
}

double Real(const SValue& v) { return v.kind == SValue::EKind::Integer ? static_cast<double>(v.whole) : v.real; }

// The rows of the assessment the survey was added with, from the archive's
// row tables: their chainages are those that assessment gave them, rounded
// as its JSON rounds them. Two scans in row order, merged here, rather than
// a join that looks up each of 70,000 rows.
void ReadStoredRows(tresarchive::CArchive& archive, long long surveyId, long long assessmentId, STrendSurvey& s)
{
    const tresarchive::SResult v
        = archive.Db().Execute("SELECT row_no, status, value FROM row_verdict WHERE assessment_id = $1 ORDER BY row_no",
                               {SValue::Int(assessmentId)});
    const tresarchive::SResult w = archive.Db().Execute(
        "SELECT row_no, metre, chainage FROM survey_row WHERE survey_id = $1 ORDER BY row_no", {SValue::Int(surveyId)});
    s.rows.clear();
    s.rows.reserve(v.rows.size());
    size_t at = 0;
    for (const tresarchive::SRow& c : v.rows) {
        while (at < w.rows.size() && w.rows[at][0].whole < c[0].whole) ++at;
        if (at == w.rows.size() || w.rows[at][0].whole != c[0].whole) continue;
        const tresarchive::SRow& place = w.rows[at];
        STrendRow row;
        row.row = static_cast<int>(c[0].whole);
        row.metre = place[1].IsNull() ? 0 : static_cast<int32_t>(place[1].whole);
        if (!s.chainage) row.position = row.metre;
        else if (!place[2].IsNull())
            row.position = trespipeline::RoundHalfAway(Real(place[2]), trespipeline::kChainageDecimals);
        row.status = VerdictStatusFromId(c[1].bytes);
        if (row.status != EVerdictStatus::NotAssessed && !c[2].IsNull()) row.value = static_cast<int32_t>(c[2].whole);
        s.rows.push_back(row);
    }
}

// A survey's current assessment. Parsing twenty MB of a 70 km survey's rows
// from JSON would take most of the trend's time, so the rows of the
// assessment the survey was added with come from the row tables; a later
// one may have tied the survey otherwise and is read whole.
bool LoadSurvey(tresarchive::CArchive& archive, long long surveyId, STrendSurvey& s, std::string& why)
{
    const tresarchive::SResult r = archive.Db().Execute(
        "SELECT a.id, a.result_json, (SELECT min(b.id) FROM assessment b WHERE b.survey_id = a.survey_id) "
        "FROM assessment a WHERE a.survey_id = $1 AND a.is_current = 1",
        {SValue::Int(surveyId)});
    if (r.rows.empty() || r.rows[0][1].IsNull()) {
        why = "Die Messung hat keine aktuelle Bewertung.";
        return false;
    }
    const tresarchive::SRow& a = r.rows[0];
    if (a[0].whole != a[2].whole || !ReadAssessmentWithoutRows(a[1].bytes, s, why))
        return ReadAssessment(a[1].bytes, s, why);
    ReadStoredRows(archive, surveyId, a[0].whole, s);
    return !s.rows.empty() || ReadAssessment(a[1].bytes, s, why);
}

} // namespace

bool LoadArchiveTrend(tresarchive::CArchive& archive, const STrendRequest& request, SArchiveTrend& out,
                      std::string& error)
{
    out = {};
    const std::optional<tresarchive::SPipelineEntry> p = ChoosePipeline(archive, request, error);
    if (!p) return false;
    out.pipeline = {p->id, p->name, p->number};
    for (const tresarchive::SSurveyEntry& e : p->surveys) {
        if ((!request.from.empty() && e.date < request.from) || (!request.to.empty() && e.date > request.to)) continue;
        STrendSurvey s;
        std::string why;
        if (!LoadSurvey(archive, e.id, s, why)) {
            error = "Messung Nr. " + std::to_string(e.id) + " (" + e.file + "): " + why;
            return false;
        }
        s.id = e.id;
        s.date = e.date;
        s.file = e.file;
        out.surveys.push_back(std::move(s));
    }
    ReadNewestRevision(archive, p->id, out);
    std::vector<std::string> skipped;
    for (tresarchive::SDigRecord& d : tresarchive::DigFindings(archive, p->id, &skipped))
        out.findings.push_back({d.survey, d.row, d.date, std::move(d.finding), d.repaired, d.offset, std::move(d.by)});
    for (const std::string& s : skipped) out.warnings.push_back(s + " ist kein lesbarer Befund und wird übergangen.");
    return true;
}

} // namespace trestrend
