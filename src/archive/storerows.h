// SPDX-License-Identifier: GPL-3.0-or-later
// The rows a stored survey writes into its tables, gathered apart from the
// writing: the survey's own rows, each row's verdict and the feature rows a
// GIS shows. A position comes from the pipeline data where the survey is
// tied to them, else from the file (another logger's GPS); none is NULL,
// never 0/0.
#pragma once

#include "connection.h"

#include <string>
#include <vector>

class CTreDoc;
struct SVerdict;
namespace trespipeline {
struct SSurveyBinding;
struct SPipelineData;
} // namespace trespipeline

namespace tresarchive {

inline const std::vector<std::string> kSurveyRowColumns
    = {"survey_id", "row_no",    "metre",     "chainage",   "lat",        "lon",    "pot_on",
       "pot_off",   "grad_on_l", "grad_on_r", "grad_off_l", "grad_off_r", "comment"};
inline const std::vector<std::string> kVerdictRowColumns
    = {"assessment_id", "row_no", "status", "basis", "value", "weight"};
inline const std::vector<std::string> kDefectColumns
    = {"geom",         "survey_id", "survey_date", "pipeline", "priority", "category", "ir_percent",
       "grad_diff_mv", "status",    "action",      "metre",    "chainage", "landmark"};
inline const std::vector<std::string> kStretchColumns
    = {"geom",     "survey_id",     "survey_date", "status",   "from_metre",
       "to_metre", "from_chainage", "to_chainage", "length_m", "worst"};

// A text of the survey as the database keeps it: UTF-8 as it is, anything
// else read as the handheld's code page (the QM lines keep its bytes), so
// that a server that checks its encoding takes every file.
SValue StoredText(const std::string& text);

std::vector<SRow> SurveyRows(long long surveyId, const CTreDoc& doc, const trespipeline::SSurveyBinding* binding);
std::vector<SRow> VerdictRows(long long assessmentId, const SVerdict& verdict);

struct SFeatureContext {
    long long surveyId = 0;
    std::string date, pipeline; // the survey's date and its pipeline's title
    const CTreDoc* doc = nullptr;
    const SVerdict* verdict = nullptr;
    const trespipeline::SSurveyBinding* binding = nullptr;
};
std::vector<SRow> DefectFeatures(const SFeatureContext& c);
std::vector<SRow> StretchFeatures(const SFeatureContext& c);

// A revision's route (geom, revision_id, pipeline) and fixed points (geom,
// revision_id, pipeline, name, chainage).
SRow RouteFeature(long long revisionId, const std::string& title, const trespipeline::SPipelineData& data);
std::vector<SRow> FixpointFeatures(long long revisionId, const std::string& title,
                                   const trespipeline::SPipelineData& data);

// Without PostGIS points are lat/lon columns and lines are left out: the
// columns and rows as such a database takes them.
void WithoutGeometry(bool pointTable, std::vector<std::string>& columns, std::vector<SRow>& rows);

// Feature rows written as the database takes them (WithoutGeometry where
// it has no geometry columns).
void InsertFeatureRows(CConnection& db, const std::string& table, std::vector<std::string> columns,
                       std::vector<SRow> rows);

} // namespace tresarchive
