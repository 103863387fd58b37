// SPDX-License-Identifier: GPL-3.0-or-later
// The overview chart of the assessment report: the whole survey in one box,
// potential on, off and IR-free over the metre, the protection criterion as
// a dashed line, the indications of the potential criteria as thin bands
// under the curves and the suspected defects as triangles at the metre
// axis. Vector drawing scaled to the box, so a PDF keeps every point.
#pragma once

#include "printframe.h"

#include <QRect>

class CTreDoc;
class QPainter;
struct SAssessment;
struct SComparison;

// Draws into `box` (device units) with the fonts and pens of `m`: axes with
// labels, curves, criterion line, bands and legend all stay inside it. The
// potential scale is the document's potential axis (the graphic print's),
// negative potentials upward; curves break where a value is absent.
void DrawAssessmentChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const CTreDoc& doc,
                         const SAssessment& a);

// The comparison section's chart on the same axes: the current survey's
// potential off solid, the earlier survey's potential off grey dotted or,
// for a native survey, the native potential of the pairs grey dashed, the
// comparison's indications as a band under the curves and a one-line
// legend, all inside `box`.
void DrawComparisonChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const CTreDoc& current,
                         const CTreDoc& earlier, const SComparison& c);
