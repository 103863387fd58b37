// SPDX-License-Identifier: GPL-3.0-or-later
// The picture of a curve pane: one window of the survey painted into a
// QPainter, and nothing else. Everything the picture depends on besides the
// rows is in the frame, which the pane works out before it paints (fitting
// the metre window, placing its scroll bars and buttons), so painting never
// changes the pane or the document.
//
// The gradient pane shows gradient Ein, Aus and their difference, the
// potential pane the potentials Ein and Aus (negated, so more negative lies
// higher) and the protection criterion as a dashed line.
#pragma once

#include <QFont>

#include <cstdint>
#include <vector>

class CTextStamps;
class CTreDoc;
class QPainter;

// Marks laid over the curves, in metres: bands a few pixels tall just above
// the metre axis of the potential pane (lane 0 next to the axis, each lane
// its own colour) and triangles on the metre axis of the gradient pane.
struct CCurveOverlay {
    struct Band {
        int64_t from = 0, to = 0; // either order
        int lane = 0;             // 0..kLanes - 1
    };
    static constexpr int kLanes = 3;
    static constexpr int kBandHeight = 3;
    static constexpr int kMarkHeight = 7;
    std::vector<Band> bands;    // potential pane
    std::vector<int64_t> marks; // gradient pane
};

struct CCurveFrame {
    bool bGradient = false;
    // The plot rectangle: left, top, right and bottom as the layout counts
    // them (right and bottom are on the axis lines, not one past).
    int left = 0, top = 0, right = 0, bottom = 0;
    int64_t nStart = 0;      // the metre at the left edge
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
    // draws its potential off behind the document's curves, grey and dotted
    // (dashed when it is a native survey). Null draws nothing of it.
    const CTreDoc* pCompare = nullptr;
    bool bCompareNative = false;
};

// The colours of the overlay: a band's lane and the triangles.
QColor OverlayBandColor(int lane);
QColor OverlayMarkColor();

// Paints the axes, curves, point marks, comments, zero line, criterion and
// labels of `frame` (and the comparison curve) over whatever the painter's device holds (the caller
// fills the background), clipped to the painter's clip rectangle.
void PaintCurves(QPainter& p, const CTreDoc& doc, const CCurveFrame& frame);
