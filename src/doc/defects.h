// SPDX-License-Identifier: GPL-3.0-or-later
// Suspected coating defects: local peaks of the lateral signal D standing
// clearly above its local background, graded like a DCVG survey by the
// share of the lateral signal in the whole on/off swing (%IR), placed by the
// nearest landmark, and ordered into a dig list.
//
// Why peaks and not a fixed limit: D sits at a few mV all along a well
// coated pipe, so any fixed limit either floods the list with noise or
// misses small defects; and a long run above a limit hides every defect in
// it but one. All distances are along the pipeline (the points' positions).
#pragma once

#include "rowverdict.h"

#include <cstdint>
#include <string>
#include <vector>

class CTreDoc;

// Category by %IR against the three bounds (upper bounds, inclusive);
// 0 when there is no %IR.
// "I gering", "II mittel", "III erheblich", "IV schwer"; "" for 0.
const char* DefectCategoryName(int category);

// The side whose |on - off| gradient difference is larger; a side counts
// only when both its gradients are present.
enum class EDefectSide { None = 0, Left, Right, Both };
const char* DefectSideId(EDefectSide s); // "", "L", "R", "LR"

// The commented point nearest to the defect within its counter run (the
// lower row on a tie), and where the defect lies from it in the survey's
// direction. A comment that names no place once only ("Straßenkreuzung" at
// two places: its key, commentkey.h, on more than one position) carries its
// own position, or the dig crew could start from the wrong one.
struct SDefectLandmark {
    bool found = false; // false when no row of the run with a metre has a comment
    int row = 0;
    int32_t metre = 0;
    int64_t position = 0; // hundredths of a metre, as the verdict's rows
    std::string comment;
    int64_t ahead = 0;     // hundredths of a metre from the landmark to the defect, > 0 further on
    bool repeated = false; // the comment's key stands at more than one place of the survey
    std::string text;      // DefectLandmarkText()
};

// "12 m nach „Schieber“", "3,50 m vor „Schieber“", "bei „Schieber“"; a
// repeated comment with its place: "12 m nach „Straßenkreuzung“ bei 612 m",
// "bei „Straßenkreuzung“ (612 m)". Empty when none was found.
std::string DefectLandmarkText(const SDefectLandmark& landmark);

struct SCoatingDefect {
    int row = 0;
    int32_t metre = 0;
    int64_t gradDiff = 0;               // D, tenths of a mV
    double background = 0;              // B, tenths of a mV, a whole or a half
    int32_t irPercentTenths = NO_VALUE; // %IR in tenths of a per cent; NO_VALUE: none
    int category = 0;                   // 1..4, 0 without %IR
    EDefectSide side = EDefectSide::None;
    int32_t potOn = NO_VALUE, potOff = NO_VALUE; // mV
    int32_t potIRFree = NO_VALUE;                // mV, only where usable
    EVerdictStatus status = EVerdictStatus::NotAssessed;
    bool marginal = false; // the point is only just protected (SVerdictRow::marginal)
    SDefectLandmark landmark;
};

// The peaks among `rows` (as JudgeRows gives them), listed by row. A row is
// one when D >= max(k * B, D_min), B being the median of D over the other
// points more than the defect window and at most the background distance
// away (0 without any), and no point within the window has a larger D, nor
// an equal one at a lower row. Only points of the same counter run are
// near each other. The points of an interrupter out of step
// (EValidity::IRDropSmall) take no part at all: their off gradients were
// read while the current flowed, so their D is no lateral signal, neither
// as a peak nor as anyone's background nor as a larger neighbour.
// O(N log N).
std::vector<SCoatingDefect> FindDefects(const CTreDoc& doc, const std::vector<SVerdictRow>& rows,
                                        const SVerdictSettings& settings);

// ---- dig list ----------------------------------------------------------------------
enum class EDigAction { DigNow = 0, PlanDig, Observe, NoAction, NotGraded, AdjustProtection, Remeasure };
// "umgehend aufgraben", "Aufgrabung planen", "bei nächster Messung beobachten",
// "keine Maßnahme", "nicht einstufbar", "Schutz nachstellen und nachmessen",
// "nachmessen"
const char* DigActionName(EDigAction a);
// "digNow", "planDig", "observe", "noAction", "notGraded", "adjustProtection", "remeasure"
const char* DigActionId(EDigAction a);
inline constexpr int kDigActionCount = 7;

// The one rule for what is done about a defect, by its category (1..4, 0
// without %IR), the status of its point and whether that point is only just
// protected:
// - not assessed: "nachmessen", whatever the category (its readings say
//   nothing; it has no %IR anyway);
// - no %IR: "nicht einstufbar";
// - not protected, or protected (also by the 100 mV criterion) but
//   marginal: I "Schutz nachstellen und nachmessen", II-IV "umgehend
//   aufgraben" (a defect where the protection does not reach is never left
//   alone);
// - otherwise (protected, 100 mV, over): IV "umgehend aufgraben", III
//   "Aufgrabung planen", II "bei nächster Messung beobachten", I "keine
//   Maßnahme". Over-protection needs its own remedy, the rectifier turned
//   down, but the coating defect there is no corrosion risk.
EDigAction DigActionFor(int category, EVerdictStatus status, bool marginal);

// A defect's status as every list names it: "nicht geschützt", or
// "geschützt, grenzwertig" where protection only just holds, so the action
// beside it reads right.
std::string DefectStatusText(const SCoatingDefect& d);

struct SDigItem {
    int priority = 0; // 1..n
    int defect = 0;   // index into the defects
    EDigAction action = EDigAction::NotGraded;
};

// The defects by category (IV first, none last), then status (not
// protected; marginal, which are acted on as not protected; over; not
// assessed; 100 mV; protected), %IR descending, row.
std::vector<SDigItem> DigList(const std::vector<SCoatingDefect>& defects);
