// SPDX-License-Identifier: GPL-3.0-or-later
// Plausibility warnings on the readings of a survey. They never change data
// or a verdict (a spike stays assessed: a real defect can look like one);
// they tell the engineer where to look.
#pragma once

#include "rowverdict.h"

#include <cstdint>
#include <vector>

class CTreDoc;

// In the order of the list; runs of consecutive points unless "single":
//   MetreMissing     "Meter fehlt"                              single rows without a metre
//   OffMissing       "Aus-Potential fehlt"                      validity
//   Positive         "Potential positiv (Anschluss prüfen)"     validity
//   OnEqualsOff      "Ein gleich Aus (Unterbrecher prüfen)"     validity
//   OffBelowOn       "Aus negativer als Ein"                    validity
//   Spike            "Ausreißer"                                1-3 points standing out from
//                                                               both neighbours by more than the
//                                                               spike setting, all the same way:
//                                                               potential off, then potential on
//                                                               where no off spike is
//   GradientNegative "Gradient negativ (Elektroden vertauscht?)" every present on gradient < 0
//   MetreOrder       "Meter nicht fortlaufend"                  single: not on in the survey's direction
//   Gap              "Messlücke"                                single: farther than the gap
//                                                               from the previous point
//   OutsideRoute     "außerhalb der Trasse"                     points whose chainage lies beyond
//                                                               the route of the pipeline data; not
//                                                               found here but by the survey's binding
//                                                               to that data (pipeline layer), whose
//                                                               runs a caller appends to the list
enum class EPlausibility {
    MetreMissing = 0,
    OffMissing,
    Positive,
    OnEqualsOff,
    OffBelowOn,
    Spike,
    GradientNegative,
    MetreOrder,
    Gap,
    OutsideRoute
};
inline constexpr int kPlausibilityCount = 10;

const char* PlausibilityId(EPlausibility w);   // "metreMissing", "offMissing", ...
const char* PlausibilityName(EPlausibility w); // the German name above

struct SPlausibilityWarning {
    EPlausibility kind = EPlausibility::MetreMissing;
    int firstRow = 0, lastRow = 0;
    int32_t fromMetre = NO_VALUE, toMetre = NO_VALUE; // NO_VALUE for MetreMissing
    int rows = 0;                                     // rows with a metre in the run (1 for MetreMissing)
};

// The warnings by kind in enum order, then first row. `rows` as JudgeRows
// gives them. Linear in the rows.
std::vector<SPlausibilityWarning> FindPlausibilityWarnings(const CTreDoc& doc, const std::vector<SVerdictRow>& rows,
                                                           const SVerdictSettings& settings);
