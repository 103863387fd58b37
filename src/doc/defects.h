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

// The row with a non-empty comment nearest to the defect (the lower row on
// a tie), and where the defect lies from it in the survey's direction:
// "n m nach „X“", "n m vor „X“" or "bei „X“".
struct SDefectLandmark {
    bool found = false; // false when no row with a metre has a comment
    int row = 0;
    int32_t metre = 0;
    std::string comment;
    std::string text;
};

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
    SDefectLandmark landmark;
};

// The peaks among `rows` (as JudgeRows gives them), listed by row. A row is
// one when D >= max(k * B, D_min), B being the median of D over the other
// points more than the defect window and at most the background distance
// away (0 without any), and no point within the window has a larger D, nor
// an equal one at a lower row. O(N log N).
std::vector<SCoatingDefect> FindDefects(const CTreDoc& doc, const std::vector<SVerdictRow>& rows,
                                        const SVerdictSettings& settings);

// ---- dig list ----------------------------------------------------------------------
enum class EDigAction { DigNow = 0, PlanDig, Observe, NoAction, NotGraded };
// "umgehend aufgraben", "Aufgrabung planen", "bei nächster Messung beobachten",
// "keine Maßnahme", "nicht einstufbar"
const char* DigActionName(EDigAction a);
const char* DigActionId(EDigAction a); // "digNow", "planDig", "observe", "noAction", "notGraded"

struct SDigItem {
    int priority = 0; // 1..n
    int defect = 0;   // index into the defects
    EDigAction action = EDigAction::NotGraded;
};

// The defects by category (IV first, none last), then status (not protected,
// over, not assessed, 100 mV, protected), %IR descending, row.
std::vector<SDigItem> DigList(const std::vector<SCoatingDefect>& defects);
