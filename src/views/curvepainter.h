// SPDX-License-Identifier: GPL-3.0-or-later
// The picture of a curve pane: one window of the survey painted into a
// QPainter, and nothing else. Everything the picture depends on besides the
// rows is in the frame, which the pane works out before it paints (fitting
// the metre window, placing its scroll bars and buttons), so painting never
// changes the pane or the document.
//
// The gradient pane shows gradient Ein, Aus and their difference, the
// potential pane the potentials Ein and Aus (negated, so more negative lies
// higher) and the protection criterion as a dashed line: the survey's
// (header entry 2 read as the assessment reads it), or with the verdict
// laid over the curves, the criterion and limiting potential it used.
#pragma once

#include "earliercurves.h"

#include "doc/valueaxis.h"
#include "pipeline/limitruns.h"
#include "verdictspans.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CTextStamps;
class CTreDoc;
class QPainter;

// The protection verdict laid over the curves ("Bewertung in Kurven"), on
// the pane's axis (the recorded metres, or the chainage the rows are drawn
// at): the stretches shaded by status under the potential curves, the
// suspected defects as triangles labelled with their category on the
// gradient pane's axis, and the criterion E_p and the limiting potential
// E_l as dashed lines in the potential pane. Colours from the one palette
// (verdictpalette.h).
struct CCurveOverlay {
    struct Mark {
        double at = 0;    // m on the pane's axis
        int category = 0; // 1..4, 0 without one
    };
    std::vector<SVerdictSpan> spans; // potential pane
    std::vector<Mark> marks;         // gradient pane
    int32_t protection = NO_VALUE;   // E_p, mV
    int32_t limit = NO_VALUE;        // E_l, mV
    // With pipeline data the lines step with the sections (limitruns.h);
    // empty: at `protection` and `limit` across the plot.
    std::vector<trespipeline::SLimitRun> protectionRuns, limitRuns;
    // The value axes fitted to what the panes show (valueaxis.h): potentials
    // in mV, gradients in tenths of a mV. Absent: the pane's own axis.
    std::optional<valueaxis::SAxis> potentialAxis, gradientAxis;
    // The reference electrode the potentials were measured against, for the
    // axis title ("Cu/CuSO4"); empty: the title names none.
    std::string electrode;
};

// The axes' titles while the verdict is laid over the curves.
QString PotentialAxisTitle(const std::string& electrode); // "Potential in V (Cu/CuSO4)"
QString GradientAxisTitle();                              // "Gradient in mV"

// The title of the axis when the rows are drawn at their chainage; the
// recorded metres need none, as the panes have always shown them.
inline constexpr char kChainageAxisTitle[] = "Stationierung [m]";

struct CCurveFrame {
    bool bGradient = false;
    // The plot rectangle: left, top, right and bottom as the layout counts
    // them (right and bottom are on the axis lines, not one past).
    int left = 0, top = 0, right = 0, bottom = 0;
    int64_t nStart = 0;      // the metre at the left edge (of the axis: recorded, or chainage)
    int nSpan = 0;           // metres across the plot
    int nMeterLabelStep = 0; // a tick and a label every so many metres
    int64_t nValueTop = 0;   // the value at the top edge (potentials negated)
    int nValueSpan = 0;      // values across the plot
    int nValueLabelStep = 0;
    QFont axisFont;
    QFont commentFont;
    // The pane's cache of rasterised texts; without one the painter draws them.
    CTextStamps* pStamps = nullptr;
    // Points on the pixel column of the point before them drawn as one run;
    // off, every segment and mark is drawn on its own (the same pixels,
    // slower; tests compare the two).
    bool bMergeColumns = true;
    // Drawn over the picture when set; without it not a pixel differs.
    const CCurveOverlay* pOverlay = nullptr;
    // A second survey of the same pipeline, read only: the potential pane
    // draws its potential off behind the document's curves, dotted (dashed
    // when it is a native survey) in the palette's comparison colour and
    // width. Null draws nothing of it.
    const CTreDoc* pCompare = nullptr;
    bool bCompareNative = false;
    // Where each of its rows is drawn on this survey's metre axis (row r at
    // [r - 1], NO_VALUE: not drawn), as the comparison aligned it; null or
    // of another length: its own metres.
    const std::vector<int32_t>* pCompareMetres = nullptr;
    // With pipeline data, where each of the document's rows is drawn (row r
    // at [r - 1], m of chainage; NaN: not drawn), its curves, comments and
    // all; the axis then says "Stationierung [m]". Null, or of another
    // length than the rows: the recorded metres.
    const std::vector<double>* pPositions = nullptr;
    // Earlier surveys of the pipeline the potential pane draws behind the
    // document's curves (earliercurves.h), on the same axis; null: none.
    const std::vector<SEarlierCurve>* pEarlier = nullptr;
};

// Paints the axes, curves, point marks, comments, zero line, criterion and
// labels of `frame` (and the comparison curve) over whatever the painter's device holds (the caller
// fills the background), clipped to the painter's clip rectangle.
void PaintCurves(QPainter& p, const CTreDoc& doc, const CCurveFrame& frame);
