// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessmentinput.h"

#include "doc/criterion.h"

#include <nlohmann/json.hpp>

#include <map>

namespace trestrend {

namespace {

// The chainage when the assessment was tied, else the metre.
double PositionOf(const nlohmann::json& item, bool chainage)
{
    const char* key = chainage ? "chainage" : "metre";
    return item.contains(key) && item[key].is_number() ? item[key].get<double>() : 0.0;
}

// Everything but the rows: whether it is in chainage, the criterion, the
// defects with their dig-list actions.
void ReadHead(const nlohmann::json& j, STrendSurvey& survey)
{
    survey.chainage = j.contains("pipeline") && j["pipeline"].is_object();
    survey.protection.reset();
    survey.protectionAssumed = false;
    if (j.contains("criterion") && j["criterion"].is_object()) {
        const nlohmann::json& c = j["criterion"];
        if (c.contains("protection") && c["protection"].is_number_integer())
            survey.protection = c["protection"].get<int32_t>();
        survey.protectionAssumed = c.value("source", std::string()) == CriterionSourceId(ECriterionSource::Default);
    }
    survey.defects.clear();
    std::map<int, std::string> actions;
    if (j.contains("digList") && j["digList"].is_array())
        for (const nlohmann::json& d : j["digList"])
            if (d.contains("row") && d.contains("action") && d["action"].is_string())
                actions[d["row"].get<int>()] = d["action"].get<std::string>();
    if (j.contains("defects") && j["defects"].is_array())
        for (const nlohmann::json& d : j["defects"]) {
            STrendDefect defect;
            defect.row = d.value("row", 0);
            defect.metre = d.value("metre", 0);
            defect.position = PositionOf(d, survey.chainage);
            defect.category
                = d.contains("category") && d["category"].is_number_integer() ? d["category"].get<int>() : 0;
            if (d.contains("irPercent") && d["irPercent"].is_number()) defect.irPercent = d["irPercent"].get<double>();
            defect.status = VerdictStatusFromId(d.value("status", std::string()));
            if (const auto a = actions.find(defect.row); a != actions.end()) defect.action = a->second;
            survey.defects.push_back(defect);
        }
}

} // namespace

EVerdictStatus VerdictStatusFromId(const std::string& id)
{
    for (int s = 0; s < kVerdictStatusCount; ++s)
        if (id == VerdictStatusId(static_cast<EVerdictStatus>(s))) return static_cast<EVerdictStatus>(s);
    return EVerdictStatus::NotAssessed;
}

bool ReadAssessment(const std::string& json, STrendSurvey& survey, std::string& error)
{
    const nlohmann::json j = nlohmann::json::parse(json, nullptr, false);
    if (j.is_discarded() || !j.is_object() || !j.contains("rows") || !j["rows"].is_array()) {
        error = "Die gespeicherte Bewertung ist keine Bewertung mit Zeilen.";
        return false;
    }
    ReadHead(j, survey);
    survey.rows.clear();
    for (const nlohmann::json& r : j["rows"]) {
        if (!r.is_object() || !r.contains("row") || !r.contains("metre")) continue;
        STrendRow row;
        row.row = r["row"].get<int>();
        row.metre = r["metre"].get<int32_t>();
        row.position = PositionOf(r, survey.chainage);
        row.status = VerdictStatusFromId(r.value("status", std::string()));
        if (r.contains("value") && r["value"].is_number_integer()) row.value = r["value"].get<int32_t>();
        survey.rows.push_back(row);
    }
    return true;
}

bool ReadAssessmentWithoutRows(const std::string& json, STrendSurvey& survey, std::string& error)
{
    // The rows come last, at the top level, which is the only level indented
    // by two; cut there, the rest is a few hundred kB of a 70 km survey's
    // twenty MB.
    const size_t rows = json.find("\n  \"rows\": [");
    const size_t comma = rows == std::string::npos ? std::string::npos : json.find_last_not_of(" \t\r\n", rows);
    nlohmann::json j;
    if (comma != std::string::npos && json[comma] == ',')
        j = nlohmann::json::parse(json.substr(0, comma) + "\n}", nullptr, false);
    if (!j.is_object()) j = nlohmann::json::parse(json, nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
        error = "Die gespeicherte Bewertung ist kein JSON-Objekt.";
        return false;
    }
    ReadHead(j, survey);
    return true;
}

} // namespace trestrend
