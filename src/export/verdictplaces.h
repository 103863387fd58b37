// SPDX-License-Identifier: GPL-3.0-or-later
// Where on the ground the findings of an assessment with pipeline data lie
// (verdictjson.h): the keys each JSON object of the assessment gains from the
// survey's binding to its pipeline data, and the JSON's `pipeline` object. The recorded metres stay
// as they are (`…Metre`); the chainage comes beside them (`…Chainage`, m,
// two decimals) with latitude/longitude (WGS 84, 7 decimals; null beyond
// the route). Without pipeline data nothing is added, so the JSON is byte
// for byte what it was.
#pragma once

#include "doc/verdict.h"
#include "jsontext.h"
#include "pipeline/surveybinding.h"

#include <string>

namespace tresexport::verdictplaces {

// Each does nothing when `b` is nullptr.
// chainage, lat, lon
void AddRow(ojson& j, const trespipeline::SSurveyBinding* b, int row);
// fromChainage, toChainage, worstChainage, fromLat, fromLon, toLat, toLon
void AddStretch(ojson& j, const trespipeline::SSurveyBinding* b, const SVerdictStretch& s);
// chainage, lat, lon; the landmark's chainage and its distance in chainage
void AddDefect(ojson& j, const trespipeline::SSurveyBinding* b, const SCoatingDefect& d);
// fromChainage, toChainage (null for a row without metre)
void AddWarning(ojson& j, const trespipeline::SSurveyBinding* b, const SPlausibilityWarning& w);

// file, route, gridCrs, ties with the factors between them, the fixed points
// found and those no row names, the route length check and the warnings.
ojson PipelineJson(const trespipeline::SSurveyBinding& b, const std::string& file);

} // namespace tresexport::verdictplaces
