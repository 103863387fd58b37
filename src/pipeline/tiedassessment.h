// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment of a survey as `assess`, the report and the program show
// it. Tied to its pipeline data: every length, window, gap and landmark
// distance in chainage, the sections' criteria, the runs of rows beyond the
// route among the warnings ("außerhalb der Trasse", in their place in the
// order of kinds), and each defect placed between the fixed points
// (fixpointplace.h) in the one landmark text every list and export shows.
// With a native survey: the 100 mV criterion on the rows the alignment
// pairs (nativepairing.h), or not at all with the verdict's warning.
#pragma once

#include "doc/verdict.h"
#include "nativepairing.h"
#include "surveybinding.h"

namespace trespipeline {

// `binding` nullptr: the survey as recorded; else it must be ok. `native`:
// the native survey (nullptr: none), paired by `pairing` (PairNativeSurvey
// of the same surveys); a null `pairing` pairs here by the binding's data,
// not accepting a survey walked from the other end. Without native survey
// the result is AssessProtection's, with the binding's warnings and places.
SVerdict AssessTied(const CTreDoc& doc, const SVerdictSettings& settings, const CTreDoc* native,
                    const SSurveyBinding* binding, const SNativePairing* pairing = nullptr);

// Chainage of row r (1..N), NaN without one; its place, nullptr without one.
// Both safe for any row and a null binding.
double RowChainage(const SSurveyBinding* binding, int row);
const SPlace* RowPlace(const SSurveyBinding* binding, int row);

// The assessed share of the route between the outermost tied fixed points:
// their chainages' span, the assessed points' zones of influence within it,
// and the share in tenths of a per cent (NO_VALUE with fewer than two ties).
struct SRouteCoverage {
    double routeLength = 0;    // m
    double assessedLength = 0; // m
    int32_t shareTenths = NO_VALUE;
};
SRouteCoverage RouteCoverage(const SVerdict& v, const SSurveyBinding& binding);

} // namespace trespipeline
