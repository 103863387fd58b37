// SPDX-License-Identifier: GPL-3.0-or-later
// Plausibility warnings on the readings of a survey. They never change data
// or a verdict (a spike stays assessed: a real defect can look like one);
// they tell the engineer where to look.
#pragma once

#include "rowverdict.h"

#include <cstdint>
#include <string>
#include <vector>

class CTreDoc;

// In the order of the list; runs of consecutive points unless said:
//   MetreMissing     "Meter fehlt"                              runs of consecutive rows without a
//                                                               metre (rows: how many)
//   OffMissing       "Aus-Potential fehlt"                      validity
//   Positive         "Potential positiv (Anschluss prüfen)"     validity
//   OnEqualsOff      "Ein gleich Aus (Unterbrecher prüfen)"     validity
//   OffBelowOn       "Aus negativer als Ein"                    validity
//   IRDropSmall      "Ein-Aus-Differenz zu klein (Unterbrecher prüfen)"
//                                                               validity: an interrupter out of
//                                                               step with the logger
//   Spike            "Ausreißer"                                1-3 points standing out from
//                                                               both neighbours by more than the
//                                                               spike setting, all the same way:
//                                                               potential off, then potential on
//                                                               where no off spike is
//   GradientNegative "Gradient negativ (Elektroden vertauscht?)" every present on gradient < 0
//   MetreOrder       "Meter nicht fortlaufend"                  points not on from the one before
//                                                               in the survey's direction (a
//                                                               counter reset is none)
//   Gap              "Messlücke"                                from the point before a gap (farther
//                                                               than the gap setting) to the one
//                                                               after it; gaps one after the other
//                                                               are one run
//   CounterReset     "Zählerstand zurückgesetzt"                single: the first point of a new
//                                                               counter run (SVerdictRow::run)
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
    IRDropSmall,
    Spike,
    GradientNegative,
    MetreOrder,
    Gap,
    CounterReset,
    OutsideRoute
};
inline constexpr int kPlausibilityCount = 12;

const char* PlausibilityId(EPlausibility w);   // "metreMissing", "offMissing", ...
const char* PlausibilityName(EPlausibility w); // the German name above

struct SPlausibilityWarning {
    EPlausibility kind = EPlausibility::MetreMissing;
    int firstRow = 0, lastRow = 0;
    int32_t fromMetre = NO_VALUE, toMetre = NO_VALUE; // NO_VALUE for MetreMissing
    int rows = 0;                                     // rows with a metre in the run; MetreMissing: rows
};

// The warning as one German line, as the tool prints it: the name with its
// rows and metres, "Messlücke (Zeilen 800 bis 801, 799 bis 1100 m)",
// "Ausreißer (Zeile 12, 11 m)"; without metres where they name no place:
// "Meter fehlt (Zeile 7)", "Zählerstand zurückgesetzt (Zeile 1201)" (after a
// reset a metre stands for two places; the row is what to look up).
std::string PlausibilityText(const SPlausibilityWarning& w);

// The warnings by kind in enum order, then first row. `rows` as JudgeRows
// gives them. Linear in the rows.
std::vector<SPlausibilityWarning> FindPlausibilityWarnings(const CTreDoc& doc, const std::vector<SVerdictRow>& rows,
                                                           const SVerdictSettings& settings);
