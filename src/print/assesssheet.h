// SPDX-License-Identifier: GPL-3.0-or-later
// One sheet of the assessment report: a section of the survey drawn as the
// potential chart (potential on and off, the usable IR-free potentials as
// dots, the lines of E_p and E_l with the sections' own as dash-dotted
// lines over their range, the stretches shaded by their status, the
// comparison survey when there is one) above the gradient chart (on and
// off gradient, D, each suspected defect as a triangle with its number in
// the dig list) on one axis that carries the landmarks, and a legend. The
// axis is the verdict's (sheetplan.h): the recorded metre, or the chainage
// with pipeline data. Vector drawing, so a PDF keeps every point.
#pragma once

#include "printframe.h"
#include "sheetplan.h"

#include <QRect>
#include <QString>

#include <vector>

class CTreDoc;
class QPainter;
struct SComparison;
struct SVerdict;

struct SSheetInput {
    const CTreDoc* doc = nullptr;
    const SVerdict* verdict = nullptr;
    const std::vector<SStretchExtent>* extents = nullptr; // of the verdict's stretches
    const std::vector<int>* priorities = nullptr;         // dig list priority of each defect
    const std::vector<int>* rowIndex = nullptr;           // VerdictRowIndex() of the survey
    // The comparison drawn in grey: the earlier survey, or the native
    // potentials of the comparison's pairs; neither when both are null.
    const CTreDoc* earlier = nullptr;
    const SComparison* native = nullptr;
    // Where each earlier row or native pair stands on the axis, as the
    // comparison paired it (ComparisonPositions).
    const std::vector<double>* comparisonPositions = nullptr;
    // +1 when the earlier survey's places run forward from its first row to
    // its last (or stand), -1 backward: its curve breaks where they turn.
    int comparisonDirection = 1;
    QString electrode; // for the potential axis' title
    // The survey is tied to pipeline data: the axis is the chainage.
    bool chainage = false;
};

// Where the parts of a sheet lie inside its box, in device units; the
// tests check them.
struct SSheetGeometry {
    QRect potential; // the potential chart's plot area
    QRect gradient;  // the gradient chart's plot area
    QRect landmarks; // the strip of landmark texts
    QRect legend;
};
SSheetGeometry SheetGeometry(const CPrintMetrics& m, const QRect& box);

// Draws the sheet of `plan` into `box`; nothing leaves the box.
void DrawSheet(QPainter& p, const CPrintMetrics& m, const QRect& box, const SSheetInput& in, const SSheetPlan& plan);
