// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the store, reading it back, taking a survey out, and the trail.
#include "store.h"

#include "openarchive.h"
#include "storerows.h"

#include "doc/commentkey.h"

#include <algorithm>
#include <map>

namespace tresarchive {

namespace {

std::string Text(const SValue& v) { return v.IsNull() ? std::string() : v.bytes; }
double Real(const SValue& v) { return v.kind == SValue::EKind::Integer ? double(v.whole) : v.real; }
int Int(const SValue& v) { return static_cast<int>(v.whole); }

[[noreturn]] void NoSuchSurvey(long long id)
{
    throw CArchiveError(EArchiveFault::Other, "Keine Messung Nr. " + std::to_string(id) + " im Archiv.");
}

constexpr const char* kSurveyColumns = "s.id, s.survey_date, s.file_name, s.sha256, s.row_count, s.total_length, "
                                       "s.assessed_length, s.defects, s.urgent, s.added_by, s.added_at";

SSurveyEntry SurveyEntryOf(const SRow& r)
{
    SSurveyEntry e;
    e.id = r[0].whole;
    e.date = Text(r[1]);
    e.file = Text(r[2]);
    e.sha256 = Text(r[3]);
    e.rows = Int(r[4]);
    e.totalLength = Real(r[5]);
    e.assessedLength = Real(r[6]);
    e.defects = Int(r[7]);
    e.urgent = Int(r[8]);
    e.addedBy = Text(r[9]);
    e.addedAt = Text(r[10]);
    return e;
}

} // namespace

CArchive::CArchive(std::unique_ptr<CConnection> db)
    : m_db(std::move(db))
{
    m_state = OpenSchema(*m_db);
}

CArchive::~CArchive() = default;

std::unique_ptr<CArchive> OpenArchive(const std::string& location, bool create)
{
    auto db = OpenArchiveConnection(location, create);
    // A new file archive needs its schema before it can hold anything.
    if (create) {
        const SSchemaState state = InitSchema(*db);
        (void)state;
    }
    return std::make_unique<CArchive>(std::move(db));
}

void CArchive::RequireWritable() const
{
    if (m_state.readOnly) throw CArchiveError(EArchiveFault::Newer, m_state.note + " Es wird nur gelesen.");
}

std::optional<SSurveyEntry> CArchive::FindBySha256(const std::string& sha256)
{
    const SResult r = m_db->Execute(std::string("SELECT ") + kSurveyColumns
                                        + " FROM survey s WHERE s.sha256 = $1 AND s.removed_at IS NULL",
                                    {SValue::Text(sha256)});
    if (r.rows.empty()) return std::nullopt;
    return SurveyEntryOf(r.rows[0]);
}

std::vector<SPipelineEntry> CArchive::List(const std::string& nameFilter)
{
    const std::string key = CommentKey(nameFilter);
    std::vector<SPipelineEntry> out;
    std::map<long long, size_t> at;
    const SResult p = m_db->Execute("SELECT p.id, p.name, p.number, name_key, (SELECT count(*) FROM "
                                    "pipeline_revision r WHERE r.pipeline_id = p.id) FROM pipeline p ORDER BY p.id");
    for (const SRow& r : p.rows) {
        if (!key.empty() && Text(r[3]).find(key) == std::string::npos) continue;
        at[r[0].whole] = out.size();
        out.push_back({r[0].whole, Text(r[1]), Text(r[2]), Int(r[4]), {}});
    }
    const SResult s = m_db->Execute(std::string("SELECT ") + kSurveyColumns
                                    + ", s.pipeline_id FROM survey s WHERE s.removed_at IS NULL "
                                      "ORDER BY s.survey_date, s.id");
    for (const SRow& r : s.rows)
        if (const auto it = at.find(r[11].whole); it != at.end()) out[it->second].surveys.push_back(SurveyEntryOf(r));
    return out;
}

SStoredSurvey CArchive::Survey(long long id, bool removedToo)
{
    const SResult r = m_db->Execute(
        "SELECT s.id, s.pipeline_id, p.name, p.number, s.file_name, s.sha256, s.original, s.survey_date, "
        "s.removed_at, a.result_json, a.options, v.geojson FROM survey s JOIN pipeline p ON p.id = s.pipeline_id "
        "LEFT JOIN assessment a ON a.survey_id = s.id AND a.is_current = 1 "
        "LEFT JOIN pipeline_revision v ON v.id = a.revision_id WHERE s.id = $1",
        {SValue::Int(id)});
    if (r.rows.empty()) NoSuchSurvey(id);
    const SRow& row = r.rows[0];
    SStoredSurvey out;
    out.removed = !row[8].IsNull();
    if (out.removed && !removedToo) NoSuchSurvey(id);
    out.id = row[0].whole;
    out.pipelineId = row[1].whole;
    out.pipelineName = Text(row[2]);
    out.pipelineNumber = Text(row[3]);
    out.fileName = Text(row[4]);
    out.sha256 = Text(row[5]);
    out.bytes = Text(row[6]);
    out.date = Text(row[7]);
    out.assessmentJson = Text(row[9]);
    out.options = Text(row[10]);
    out.pipelineGeojson = Text(row[11]);
    const SResult reading = m_db->Execute(
        "SELECT text FROM survey_entry WHERE survey_id = $1 AND kind = 'reading' AND number = 1", {SValue::Int(id)});
    if (!reading.rows.empty()) out.reading = Text(reading.rows[0][0]);
    return out;
}

std::vector<SAssessmentEntry> CArchive::History(long long id)
{
    Survey(id, true);
    std::vector<SAssessmentEntry> out;
    const SResult r = m_db->Execute("SELECT id, assessed_at, assessed_by, options, program_version, is_current "
                                    "FROM assessment WHERE survey_id = $1 ORDER BY id",
                                    {SValue::Int(id)});
    for (const SRow& row : r.rows)
        out.push_back({row[0].whole, Text(row[1]), Text(row[2]), Text(row[3]), Text(row[4]), row[5].whole != 0});
    return out;
}

void CArchive::Remove(long long id, const std::string& reason)
{
    RequireWritable();
    if (reason.find_first_not_of(" \t\r\n") == std::string::npos)
        throw CArchiveError(EArchiveFault::Other, "Ohne Grund wird keine Messung aus dem Archiv genommen.");
    const SStoredSurvey stored = Survey(id);
    m_db->Begin();
    try {
        m_db->Execute("UPDATE survey SET removed_by = $2, removed_at = $3, removed_reason = $4 WHERE id = $1",
                      {SValue::Int(id), SValue::Text(m_db->User()), SValue::Text(UtcNow()), StoredText(reason)});
        m_db->Execute("DELETE FROM tres_defects WHERE survey_id = $1", {SValue::Int(id)});
        m_db->Execute("DELETE FROM tres_stretches WHERE survey_id = $1", {SValue::Int(id)});
        Audit("remove", id, stored.sha256, reason);
        m_db->Commit();
    } catch (...) {
        m_db->Rollback();
        throw;
    }
}

void CArchive::Audit(const std::string& action, std::optional<long long> survey, const std::string& sha256,
                     const std::string& detail)
{
    m_db->Execute("INSERT INTO audit (at, by_user, action, survey_id, sha256, detail) VALUES ($1, $2, $3, $4, $5, $6)",
                  {SValue::Text(UtcNow()), SValue::Text(m_db->User()), SValue::Text(action),
                   survey ? SValue::Int(*survey) : SValue::Null(),
                   sha256.empty() ? SValue::Null() : SValue::Text(sha256), StoredText(detail)});
}

std::vector<SAuditEntry> CArchive::Log()
{
    std::vector<SAuditEntry> out;
    const SResult r = m_db->Execute("SELECT id, at, by_user, action, survey_id, sha256, detail FROM audit ORDER BY id");
    for (const SRow& row : r.rows) {
        SAuditEntry e{row[0].whole, Text(row[1]), Text(row[2]), Text(row[3]), std::nullopt, Text(row[5]), Text(row[6])};
        if (!row[4].IsNull()) e.survey = row[4].whole;
        out.push_back(std::move(e));
    }
    return out;
}

} // namespace tresarchive
