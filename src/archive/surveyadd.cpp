// SPDX-License-Identifier: GPL-3.0-or-later
// Adding a survey: its pipeline (found by name and number, or new), the
// pipeline data as a revision of it, the survey with its bytes and rows, its
// assessment with every row's verdict, the feature rows and the trail's
// line, all in one transaction.
#include "store.h"
#include "storerows.h"

#include "doc/commentkey.h"
#include "doc/defects.h"
#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "pipeline/pipelineidentity.h"
#include "pipeline/surveybinding.h"

namespace tresarchive {

namespace {

// Rows are written in parts so that a long add can show how far it is and
// be stopped between them.
constexpr size_t kChunk = 5000;

void InsertInParts(CConnection& db, const std::string& table, const std::vector<std::string>& columns,
                   const std::vector<SRow>& rows, const ProgressFn& progress, size_t& done, size_t total)
{
    for (size_t from = 0; from < rows.size(); from += kChunk) {
        const size_t to = std::min(rows.size(), from + kChunk);
        db.InsertMany(table, columns,
                      std::vector<SRow>(rows.begin() + static_cast<long>(from), rows.begin() + static_cast<long>(to)));
        done += to - from;
        if (progress && !progress(done, total))
            throw CArchiveError(EArchiveFault::Cancelled, "Abgebrochen: nichts wurde ins Archiv geschrieben.");
    }
}

long long ReturnedId(const SResult& r) { return r.rows.at(0).at(0).whole; }

} // namespace

std::string PipelineTitle(const std::string& name, const std::string& number)
{
    trespipeline::SRoute route;
    route.name = name;
    route.number = number;
    return trespipeline::RouteTitle(route);
}

bool NameSurvey(const CTreDoc& doc, const trespipeline::SSurveyBinding* binding, const std::string& date,
                SNewSurvey& out, std::string& error)
{
    if (!date.empty()) {
        out.date = date;
    } else if (const auto fromHeader = SurveyDateFromHeader(doc.m_header[1])) {
        out.date = *fromHeader;
    } else {
        error = "Das Messdatum „" + doc.m_header[1]
                + "“ (Kopfeintrag 1) ist kein Datum der Form TT.MM.JJ oder TT.MM.JJJJ.";
        return false;
    }
    if (binding && !trespipeline::RouteTitle(binding->pipeline.route).empty()) {
        out.pipelineName = binding->pipeline.route.name;
        out.pipelineNumber = binding->pipeline.route.number;
    } else {
        out.pipelineName = doc.m_header[3];
        out.pipelineNumber = doc.m_header[4];
    }
    if (PipelineTitle(out.pipelineName, out.pipelineNumber).empty()) {
        error = "Die Messung nennt keine Leitung (Kopfeintrag 3 und 4 leer), und keine Leitungsdaten mit Namen "
                "sind angegeben; sie wird nicht archiviert.";
        return false;
    }
    return true;
}

void InsertFeatureRows(CConnection& db, const std::string& table, std::vector<std::string> columns,
                       std::vector<SRow> rows)
{
    if (rows.empty()) return;
    if (!db.HasGeometry()) WithoutGeometry(table == "tres_defects" || table == "tres_fixpoints", columns, rows);
    if (!columns.empty()) db.InsertMany(table, columns, rows);
}

long long CArchive::PipelineFor(const SNewSurvey& survey)
{
    const SValue name = StoredText(survey.pipelineName), number = StoredText(survey.pipelineNumber);
    const std::vector<SValue> key = {SValue::Text(CommentKey(name.bytes)), SValue::Text(CommentKey(number.bytes))};
    // Two users adding the first surveys of a new pipeline at once: the
    // second waits for the first one's row and then takes it.
    m_db->Execute("INSERT INTO pipeline (name_key, number_key, name, number) VALUES ($1, $2, $3, $4) "
                  "ON CONFLICT (name_key, number_key) DO NOTHING",
                  {key[0], key[1], name, number});
    return m_db->Execute("SELECT id FROM pipeline WHERE name_key = $1 AND number_key = $2", key).rows.at(0).at(0).whole;
}

std::optional<long long> CArchive::RevisionFor(long long pipelineId, const std::string& geojson,
                                               const trespipeline::SSurveyBinding* binding)
{
    if (geojson.empty()) return std::nullopt;
    const std::vector<SValue> key = {SValue::Int(pipelineId), SValue::Text(Sha256Hex(geojson))};
    const SResult made = m_db->Execute(
        "INSERT INTO pipeline_revision (pipeline_id, sha256, geojson, added_by, added_at) VALUES ($1, $2, $3, $4, $5) "
        "ON CONFLICT (pipeline_id, sha256) DO NOTHING RETURNING id",
        {key[0], key[1], StoredText(geojson), SValue::Text(m_db->User()), SValue::Text(UtcNow())});
    if (made.rows.empty())
        return m_db->Execute("SELECT id FROM pipeline_revision WHERE pipeline_id = $1 AND sha256 = $2", key)
            .rows.at(0)
            .at(0)
            .whole;
    const long long id = ReturnedId(made);
    if (binding) {
        const std::string title = trespipeline::RouteTitle(binding->pipeline.route);
        InsertFeatureRows(*m_db, "tres_routes", {"geom", "revision_id", "pipeline"},
                          {RouteFeature(id, title, binding->pipeline)});
        InsertFeatureRows(*m_db, "tres_fixpoints", {"geom", "revision_id", "pipeline", "name", "chainage"},
                          FixpointFeatures(id, title, binding->pipeline));
    }
    return id;
}

void CArchive::StoreAssessment(long long surveyId, std::optional<long long> revision, const SNewAssessment& a,
                               const std::string& date, const std::string& pipelineTitle, const ProgressFn& progress,
                               size_t& done, size_t total)
{
    m_db->Execute("UPDATE assessment SET is_current = 0 WHERE survey_id = $1", {SValue::Int(surveyId)});
    const long long id = ReturnedId(m_db->Execute(
        "INSERT INTO assessment (survey_id, revision_id, result_json, options, program_version, assessed_by, "
        "assessed_at, is_current) VALUES ($1, $2, $3, $4, $5, $6, $7, 1) RETURNING id",
        {SValue::Int(surveyId), revision ? SValue::Int(*revision) : SValue::Null(), SValue::Text(a.json),
         SValue::Text(a.options), SValue::Text(a.programVersion), SValue::Text(m_db->User()), SValue::Text(UtcNow())}));
    InsertInParts(*m_db, "row_verdict", kVerdictRowColumns, VerdictRows(id, *a.verdict), progress, done, total);

    // The map layers show the current assessment only.
    m_db->Execute("DELETE FROM tres_defects WHERE survey_id = $1", {SValue::Int(surveyId)});
    m_db->Execute("DELETE FROM tres_stretches WHERE survey_id = $1", {SValue::Int(surveyId)});
    int urgent = 0;
    for (const SDigItem& item : a.verdict->digList) urgent += item.action == EDigAction::DigNow;
    m_db->Execute("UPDATE survey SET revision_id = $2, total_length = $3, assessed_length = $4, defects = $5, "
                  "urgent = $6 WHERE id = $1",
                  {SValue::Int(surveyId), revision ? SValue::Int(*revision) : SValue::Null(),
                   SValue::Real(a.verdict->coverage.totalLength), SValue::Real(a.verdict->coverage.assessedLength),
                   SValue::Int(static_cast<long long>(a.verdict->digList.size())), SValue::Int(urgent)});
    const SFeatureContext features{surveyId, date, pipelineTitle, a.doc, a.verdict, a.binding};
    InsertFeatureRows(*m_db, "tres_defects", kDefectColumns, DefectFeatures(features));
    InsertFeatureRows(*m_db, "tres_stretches", kStretchColumns, StretchFeatures(features));
}

SAddedSurvey CArchive::AddSurvey(const SNewSurvey& survey, const ProgressFn& progress)
{
    RequireWritable();
    const std::string sha = Sha256Hex(survey.bytes);
    auto refuseDuplicate = [&](const SSurveyEntry& e) {
        throw CArchiveError(EArchiveFault::Duplicate, "Die Messung ist bereits im Archiv (Nr. " + std::to_string(e.id)
                                                          + ", hinzugefügt am " + ShownTime(e.addedAt) + " von "
                                                          + e.addedBy + ").");
    };
    if (const auto known = FindBySha256(sha)) refuseDuplicate(*known);

    const CTreDoc& doc = *survey.assessment.doc;
    const SVerdict& verdict = *survey.assessment.verdict;
    const size_t total = static_cast<size_t>(doc.GetRowCount()) + verdict.rows.size();
    size_t done = 0;
    SAddedSurvey added;
    m_db->Begin();
    try {
        added.pipelineId = PipelineFor(survey);
        const auto revision
            = RevisionFor(added.pipelineId, survey.assessment.pipelineGeojson, survey.assessment.binding);
        const std::string by = m_db->User(), at = UtcNow();
        added.id = ReturnedId(m_db->Execute(
            "INSERT INTO survey (pipeline_id, revision_id, file_name, sha256, original, survey_date, row_count, "
            "defects, urgent, added_by, added_at) VALUES ($1, $2, $3, $4, $5, $6, $7, 0, 0, $8, $9) RETURNING id",
            {SValue::Int(added.pipelineId), revision ? SValue::Int(*revision) : SValue::Null(),
             StoredText(survey.fileName), SValue::Text(sha), SValue::Blob(survey.bytes), SValue::Text(survey.date),
             SValue::Int(doc.GetRowCount()), SValue::Text(by), SValue::Text(at)}));

        std::vector<SRow> entries;
        for (size_t i = 1; i < doc.m_header.size(); ++i)
            if (!doc.m_header[i].empty())
                entries.push_back({SValue::Int(added.id), SValue::Text("header"),
                                   SValue::Int(static_cast<long long>(i)), StoredText(doc.m_header[i])});
        for (size_t i = 1; i < doc.m_qm.size(); ++i)
            if (!doc.m_qm[i].empty())
                entries.push_back({SValue::Int(added.id), SValue::Text("qm"), SValue::Int(static_cast<long long>(i)),
                                   StoredText(doc.m_qm[i])});
        if (!survey.reading.empty())
            entries.push_back(
                {SValue::Int(added.id), SValue::Text("reading"), SValue::Int(1), SValue::Text(survey.reading)});
        if (!entries.empty()) m_db->InsertMany("survey_entry", {"survey_id", "kind", "number", "text"}, entries);
        InsertInParts(*m_db, "survey_row", kSurveyRowColumns, SurveyRows(added.id, doc, survey.assessment.binding),
                      progress, done, total);

        const std::string title = PipelineTitle(survey.pipelineName, survey.pipelineNumber);
        StoreAssessment(added.id, revision, survey.assessment, survey.date, title, progress, done, total);
        Audit("add", added.id, sha,
              survey.fileName + " (" + (title.empty() ? "ohne Leitungsnamen" : title) + ", " + survey.date + ")");
        m_db->Commit();
    } catch (const CArchiveError& e) {
        m_db->Rollback();
        // Another writer stored the same file a moment before.
        if (e.Fault() == EArchiveFault::Duplicate)
            if (const auto known = FindBySha256(sha)) refuseDuplicate(*known);
        throw;
    } catch (...) {
        m_db->Rollback();
        throw;
    }
    added.rows = doc.GetRowCount();
    added.defects = static_cast<int>(verdict.digList.size());
    return added;
}

void CArchive::Reassess(long long id, const SNewAssessment& assessment)
{
    RequireWritable();
    const SStoredSurvey stored = Survey(id);
    size_t done = 0;
    m_db->Begin();
    try {
        const auto revision = RevisionFor(stored.pipelineId, assessment.pipelineGeojson, assessment.binding);
        const std::string title = PipelineTitle(stored.pipelineName, stored.pipelineNumber);
        StoreAssessment(id, revision, assessment, stored.date, title, {}, done, assessment.verdict->rows.size());
        Audit("reassess", id, stored.sha256, assessment.options);
        m_db->Commit();
    } catch (...) {
        m_db->Rollback();
        throw;
    }
}

} // namespace tresarchive
