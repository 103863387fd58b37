// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment of a survey tied to its pipeline data, as `assess`, the
// report and the program show it: every length, window, gap and landmark
// distance in chainage, the sections' criteria, and the runs of rows beyond
// the route among the warnings ("außerhalb der Trasse", in their place in
// the order of kinds).
#pragma once

#include "surveybinding.h"
#include "verdict.h"

namespace trespipeline {

// `binding` nullptr: the survey as recorded (AssessProtection as it is);
// else it must be ok.
SVerdict AssessTied(const CTreDoc& doc, const SVerdictSettings& settings, const CTreDoc* native,
                    const SSurveyBinding* binding);

// Chainage of row r (1..N), NaN without one; its place, nullptr without one.
// Both safe for any row and a null binding.
double RowChainage(const SSurveyBinding* binding, int row);
const SPlace* RowPlace(const SSurveyBinding* binding, int row);

} // namespace trespipeline
