// SPDX-License-Identifier: GPL-3.0-or-later
#include "digfinding.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace tresarchive {

namespace {

[[noreturn]] void Refuse(const std::string& why) { throw CArchiveError(EArchiveFault::Other, why); }

// Whether the current assessment (the text `assess --json --rows` printed)
// lists a defect at `row`.
bool IsDefectRow(const std::string& assessmentJson, int row)
{
    const nlohmann::json j = nlohmann::json::parse(assessmentJson, nullptr, false);
    if (j.is_discarded() || !j.is_object() || !j.contains("defects") || !j["defects"].is_array()) return false;
    for (const nlohmann::json& d : j["defects"])
        if (d.is_object() && d.contains("row") && d["row"].is_number_integer() && d["row"].get<int>() == row)
            return true;
    return false;
}

std::string Detail(const SDigRecord& r)
{
    nlohmann::ordered_json j{{"survey", r.survey},   {"row", r.row},           {"date", r.date},
                             {"finding", r.finding}, {"repaired", r.repaired}, {"offset", nullptr}};
    if (r.offset) j["offset"] = *r.offset;
    return j.dump();
}

std::optional<SDigRecord> FromDetail(const std::string& detail)
{
    const nlohmann::json j = nlohmann::json::parse(detail, nullptr, false);
    if (j.is_discarded() || !j.is_object()) return std::nullopt;
    const auto whole = [&](const char* key) { return j.contains(key) && j[key].is_number_integer(); };
    const auto text = [&](const char* key) { return j.contains(key) && j[key].is_string(); };
    if (!whole("survey") || !whole("row") || !text("date") || !text("finding")) return std::nullopt;
    SDigRecord r;
    r.survey = j["survey"].get<long long>();
    r.row = j["row"].get<int>();
    r.date = j["date"].get<std::string>();
    r.finding = j["finding"].get<std::string>();
    r.repaired = j.value("repaired", false);
    if (j.contains("offset") && j["offset"].is_number()) r.offset = j["offset"].get<double>();
    return r;
}

} // namespace

void RecordDigFinding(CArchive& archive, const SDigRecord& record)
{
    if (archive.State().readOnly)
        throw CArchiveError(EArchiveFault::Newer, archive.State().note + " Es wird nur gelesen.");
    const SStoredSurvey s = archive.Survey(record.survey, true);
    const std::string number = "Messung Nr. " + std::to_string(record.survey);
    if (s.removed) Refuse(number + " wurde aus dem Archiv genommen; zu ihr wird kein Befund mehr erfasst.");
    if (!IsIsoDate(record.date))
        Refuse("Das Datum der Aufgrabung „" + record.date + "“ ist kein Datum der Form JJJJ-MM-TT.");
    if (record.date < s.date)
        Refuse("Die Aufgrabung am " + record.date + " liegt vor der " + number + " vom " + s.date
               + "; ein Befund gehört zu einer Fehlstelle, die die Messung angezeigt hat.");
    if (record.finding.find_first_not_of(" \t\r\n") == std::string::npos)
        Refuse("Ohne Befundtext wird keine Aufgrabung erfasst.");
    if (record.offset && !std::isfinite(*record.offset)) Refuse("Der Versatz der Schadstelle ist keine Zahl.");
    if (!IsDefectRow(s.assessmentJson, record.row))
        Refuse("Zeile " + std::to_string(record.row) + " der " + number
               + " ist keine Fehlstelle ihrer aktuellen Bewertung; ein Befund wird nur zu einer angezeigten "
                 "Fehlstelle erfasst.");
    archive.Audit(kDigAction, record.survey, s.sha256, Detail(record));
}

std::vector<SDigRecord> DigFindings(CArchive& archive, long long pipelineId, std::vector<std::string>* skipped)
{
    const SResult r = archive.Db().Execute(
        "SELECT a.id, a.at, a.by_user, a.detail FROM audit a JOIN survey s ON s.id = a.survey_id "
        "WHERE a.action = $1 AND s.pipeline_id = $2 AND s.removed_at IS NULL ORDER BY a.id",
        {SValue::Text(kDigAction), SValue::Int(pipelineId)});
    std::vector<SDigRecord> out;
    for (const SRow& row : r.rows) {
        std::optional<SDigRecord> d = FromDetail(row[3].IsNull() ? std::string() : row[3].bytes);
        if (!d) {
            if (skipped) skipped->push_back("Protokolleintrag " + std::to_string(row[0].whole));
            continue;
        }
        d->at = row[1].bytes;
        d->by = row[2].bytes;
        out.push_back(std::move(*d));
    }
    return out;
}

} // namespace tresarchive
