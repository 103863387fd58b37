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
//   GpsInaccurate    "GPS ungenau"                              rows of another logger's file whose
//                                                               fix has a PDOP above kMaxPdop
//   GpsInterpolated  "GPS interpoliert"                         rows whose position the logger
//                                                               interpolated, not measured
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
    GpsInaccurate,
    GpsInterpolated,
    OutsideRoute,
    GpsOffRoute
};
inline constexpr int kPlausibilityCount = 15;

// A fix whose PDOP is above this is "GPS ungenau".
inline constexpr double kMaxPdop = 4;
// A file's position farther than this from the route is "GPS-Position n m
// neben der Trasse".
inline constexpr double kMaxGpsOffset = 10; // m

const char* PlausibilityId(EPlausibility w);   // "metreMissing", "offMissing", ...
const char* PlausibilityName(EPlausibility w); // the German name above

struct SPlausibilityWarning {
    EPlausibility kind = EPlausibility::MetreMissing;
    int firstRow = 0, lastRow = 0;
    int32_t fromMetre = NO_VALUE, toMetre = NO_VALUE; // NO_VALUE for MetreMissing
    int rows = 0;                                     // rows with a metre in the run; MetreMissing: rows
    int32_t offset = NO_VALUE;                        // GpsOffRoute: the largest distance of the run, whole m
};

// The name of one warning as lists show it: the kind's name, but "GPS-Position
// 14 m neben der Trasse" with its distance.
std::string PlausibilityLabel(const SPlausibilityWarning& w);

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
