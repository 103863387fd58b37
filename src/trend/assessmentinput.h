// SPDX-License-Identifier: GPL-3.0-or-later
// A stored assessment (the object `assess --json --rows` prints) read back
// as what the trend compares: its rows and defects at their chainages
// where it was tied to pipeline data, else at their recorded metres.
#pragma once

#include "trendinput.h"

#include <string>

namespace trestrend {

// False with a German reason in `error` when `json` is not such an object
// (no rows: it was stored without them).
bool ReadAssessment(const std::string& json, STrendSurvey& survey, std::string& error);

// The same without the rows (left as they are), for a reader that has them
// from elsewhere: it parses only what comes before them.
bool ReadAssessmentWithoutRows(const std::string& json, STrendSurvey& survey, std::string& error);

// "protected" as EVerdictStatus::Protected; anything unknown is NotAssessed.
EVerdictStatus VerdictStatusFromId(const std::string& id);

} // namespace trestrend
