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

} // namespace trestrend
