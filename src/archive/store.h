// SPDX-License-Identifier: GPL-3.0-or-later
// The archive's store: surveys of pipelines across the years, each with the
// bytes it was read from, its rows, its assessments and the trail of what
// was done to it. Everything a survey brings is written in one transaction,
// so an add that fails or is killed leaves the archive as it was. The tool
// and the program decide what to store (they read, tie and assess the
// survey); this layer only keeps it and gives it back.
#pragma once

#include "connection.h"
#include "schema.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CTreDoc;
struct SVerdict;
namespace trespipeline {
struct SSurveyBinding;
}

namespace tresarchive {

// One assessment as it is stored: exactly the text `assess --json --rows`
// printed, the options it was made with (a JSON array of the option words)
// and the program that made it.
struct SNewAssessment {
    const CTreDoc* doc = nullptr; // the survey as read from the stored bytes
    const SVerdict* verdict = nullptr;
    const trespipeline::SSurveyBinding* binding = nullptr; // nullptr: no pipeline data
    std::string json;
    std::string options = "[]";
    std::string programVersion;
    // The pipeline data the survey was tied to (their text as read); empty
    // without. A text the archive does not hold yet is a new revision.
    std::string pipelineGeojson;
};

struct SNewSurvey {
    std::string fileName; // shown in lists: the name as given, without folders
    std::string bytes;    // the file as read, kept byte for byte
    std::string date;     // YYYY-MM-DD
    // The pipeline it belongs to: the route's name and number with pipeline
    // data, else header entries 3 and 4.
    std::string pipelineName, pipelineNumber;
    // How the file was read (CSurveyExtras::reading): another logger's
    // export is read again with the same map; empty for our own format.
    std::string reading;
    SNewAssessment assessment;
};

struct SAddedSurvey {
    long long id = 0;
    long long pipelineId = 0;
    int rows = 0;
    int defects = 0;
};

struct SSurveyEntry {
    long long id = 0;
    std::string date, file, sha256;
    int rows = 0;
    double totalLength = 0, assessedLength = 0; // m
    int defects = 0, urgent = 0;                // dig-list entries, of them "umgehend aufgraben"
    std::string addedBy, addedAt;
};

struct SPipelineEntry {
    long long id = 0;
    std::string name, number;
    int revisions = 0;
    std::vector<SSurveyEntry> surveys; // by date, same date lower id first
};

struct SAssessmentEntry {
    long long id = 0;
    std::string at, by, options, programVersion;
    bool current = false;
};

struct SAuditEntry {
    long long id = 0;
    std::string at, by, action;
    std::optional<long long> survey;
    std::string sha256, detail;
};

// A stored survey as a reader needs it back (the program's "Öffnen", a
// re-assessment, the trend).
struct SStoredSurvey {
    long long id = 0;
    long long pipelineId = 0;
    std::string pipelineName, pipelineNumber;
    std::string fileName, sha256, bytes, date;
    std::string pipelineGeojson; // of the current assessment's revision; empty without
    std::string assessmentJson;  // the current one
    std::string options;
    std::string reading; // as it was added (SNewSurvey::reading)
    bool removed = false;
};

// The date and pipeline a survey is stored under, by one rule for the tool
// and the program: `date` (YYYY-MM-DD) when given, else header entry 1; the
// route's name and number when the survey is tied to pipeline data that
// name one, else header entries 3 and 4. False with the German reason when
// the date cannot be read or no pipeline is named (surveys of unnamed
// pipelines would meet in one history).
bool NameSurvey(const CTreDoc& doc, const trespipeline::SSurveyBinding* binding, const std::string& date,
                SNewSurvey& out, std::string& error);
// "Gasleitung Mühlbach DN 300 L 4712/03" of a stored survey's pipeline.
std::string PipelineTitle(const std::string& name, const std::string& number);

// Told how far an add has come (rows written of all); false cancels it and
// the transaction is rolled back (CArchiveError Cancelled).
using ProgressFn = std::function<bool(size_t done, size_t total)>;

class CArchive {
public:
    // Checks the schema (OpenSchema): refuses another program's database,
    // migrates an older archive, opens a newer one read only.
    explicit CArchive(std::unique_ptr<CConnection> db);
    ~CArchive();

    CConnection& Db() { return *m_db; }
    const SSchemaState& State() const { return m_state; }

    // Faults: Duplicate with "Die Messung ist bereits im Archiv (Nr. n,
    // hinzugefügt am … von …)."; ReadOnly; Cancelled.
    SAddedSurvey AddSurvey(const SNewSurvey& survey, const ProgressFn& progress = {});
    // The survey that holds these bytes and is not removed.
    std::optional<SSurveyEntry> FindBySha256(const std::string& sha256);

    // Pipelines whose name key contains `nameFilter`'s (all when empty), with
    // their surveys that were not removed.
    std::vector<SPipelineEntry> List(const std::string& nameFilter = {});
    // Other faults: a survey that does not exist (or was removed, unless
    // `removedToo`) is Other with "Keine Messung Nr. n im Archiv.".
    SStoredSurvey Survey(long long id, bool removedToo = false);
    std::vector<SAssessmentEntry> History(long long id);
    // Leaves the rows and assessments (the trail may point to them) but
    // takes the survey out of lists and trends.
    void Remove(long long id, const std::string& reason);
    // Stores `assessment` beside the survey's others and makes it current.
    void Reassess(long long id, const SNewAssessment& assessment);
    std::vector<SAuditEntry> Log();
    // One line of the trail, in the transaction of what it records if one
    // is open.
    void Audit(const std::string& action, std::optional<long long> survey, const std::string& sha256,
               const std::string& detail);

private:
    void RequireWritable() const;
    long long PipelineFor(const SNewSurvey& survey);
    std::optional<long long> RevisionFor(long long pipelineId, const std::string& geojson,
                                         const trespipeline::SSurveyBinding* binding);
    void StoreAssessment(long long surveyId, std::optional<long long> revision, const SNewAssessment& a,
                         const std::string& date, const std::string& pipelineTitle, const ProgressFn& progress,
                         size_t& done, size_t total);

    std::unique_ptr<CConnection> m_db;
    SSchemaState m_state;
};

// Opens the archive at `location` (OpenArchiveConnection) and checks it.
std::unique_ptr<CArchive> OpenArchive(const std::string& location, bool create);

// The survey date from header entry 1: "dd.mm.yy" or "dd.mm.yyyy" (blanks
// around it allowed; two-digit years 00-69 are 20xx, 70-99 19xx) as
// YYYY-MM-DD; nullopt when it is no real date.
std::optional<std::string> SurveyDateFromHeader(const std::string& entry);
// "YYYY-MM-DD" as a real date.
bool IsIsoDate(const std::string& text);
// Now in UTC, "2026-12-10T11:55:01Z".
std::string UtcNow();
// "2026-12-10T11:55:01Z" as a message shows it: "10.12.2026 11:55 UTC".
std::string ShownTime(const std::string& isoUtc);
// Lower-case hex SHA-256 of `bytes`.
std::string Sha256Hex(const std::string& bytes);

} // namespace tresarchive
