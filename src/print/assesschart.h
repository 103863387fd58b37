// SPDX-License-Identifier: GPL-3.0-or-later
// The chart of the assessment report's comparison section: the whole survey
// in one box, the current survey's potential off against the earlier or
// native survey, with the comparison's indications as a band under the
// curves. Vector drawing scaled to the box, so a PDF keeps every point.
#pragma once

#include "printframe.h"

#include <QRect>
#include <QString>

#include <vector>

class CTreDoc;
class QPainter;
struct SComparison;

// Draws into `box` (device units) with the fonts and pens of `m`: axes with
// labels, curves, band and legend all stay inside it. The potential scale
// is the document's potential axis (the graphic print's), negative
// potentials upward, titled with the reference electrode; curves break
// where a value is absent. The current survey's potential off is solid, the
// earlier survey's potential off grey dotted or, for a native survey, the
// native potential of the pairs grey dashed. One axis for all: the current
// survey's recorded metres, or with `chainage` (row r's at [r - 1]) the
// chainage, as the sheets have it (CComparisonAxis).
void DrawComparisonChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const CTreDoc& current,
                         const CTreDoc& earlier, const SComparison& c, const QString& electrode,
                         const std::vector<double>* chainage = nullptr);
