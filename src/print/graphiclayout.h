// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers of the graphic print that need no drawing device: page count
// and division, chart geometry, tick choices and the rows a page draws.
// All positions are printer device units; millimetres become device units
// with the printer's pixels per inch (mm * dpi / 25.4), truncated toward
// zero after adding them to their base.
#pragma once

#include <cstdint>
#include <vector>

class CTreDoc;

namespace graphiclayout {

// Device positions from floating point, truncated toward zero and held
// inside a range the drawing arithmetic can still add to (NaN goes to the
// lower bound). Every printout places its lines and texts through this one.
int Trunc(double v);

// Metres a page of paper holds at 1:scale for the page count: 220 mm of
// paper (22 m at 1:100 ... 2200 m at 1:10000). Other scales follow the same
// 220 mm; a scale below 1 counts as 1000.
double PageMetres(int32_t scale);

// trunc((end - start) / PageMetres + 0.99999), at least 1.
int PageCount(int32_t start, int32_t end, int32_t scale);

// Distance of the metre ticks: 1 up to 1:100, 5 up to 1:500, 10 up to
// 1:2000, 50 above.
int MetreStep(int32_t scale);

// The scale the print works with: a scale below 1 (possible only from a
// damaged file) would divide by zero, so it is printed at 1:1000.
int32_t UsableScale(int32_t scale);

struct CDeviceFrame {
    int dpx = 0, dpy = 0;
    int left = 0, right = 0, top = 0, bottom = 0; // the page frame
};

struct CGraphicGeometry {
    int axisLeft = 0, axisRight = 0; // the value axes' band
    int gradTop = 0, gradBottom = 0;
    int potTop = 0, potBottom = 0;
    int dataLeft = 0, dataRight = 0; // x of the first and last metre of a page
    int metreStep = 1;
    int64_t firstMetre = 0, lastMetre = 0;
    int64_t span = 0; // metres per page
    float xs = 0;     // device units per metre

    int64_t PageStart(int page) const { return firstMetre + int64_t{page - 1} * span; }
    int64_t PageEnd(int page) const { return lastMetre + int64_t{page - 1} * span; }
    // x of metre m on a page starting at p0.
    int X(int64_t m, int64_t p0) const;
};

// Chart geometry and page division for a print from `start` to `end` at
// 1:scale. The page span is the whole paper width rounded down to the metre
// step, or less when `end` comes first; it is at least one metre step, so a
// range shorter than one step still gets a drawable page.
CGraphicGeometry ComputeGeometry(const CDeviceFrame& f, int32_t scale, int32_t start, int32_t end);

// Gradient tick step in tenths of a mV for the range Q = top - bottom
// (tenths). Ranges that the classic table does not cover get the step of
// the nearest covered range with about 5 to 10 ticks; Q <= 0 gives 0.
int GradientTickStep(int64_t q);
// Tick values (tenths of a mV) from top value h down to bottom value d; the
// last is d exactly. Empty when the range or the step is empty.
std::vector<int64_t> GradientTicks(int64_t h, int64_t d);

// Potential tick values in negated mV: r, r + 200, ... while F < 1.02 t,
// where r = -min and t = -max. Never more than 10000 ticks.
std::vector<int64_t> PotentialTicks(int32_t potAxisMax, int32_t potAxisMin);

// Half-length of the metre tick at labelled metre a, from base length b.
int MetreTickHalf(int64_t a, int b);
// Whether metre a gets a label at the given metre step.
bool MetreLabelled(int metreStep, int64_t a);

// First and last row the curves of the page p0 .. p1 draw: from the row
// before the first row at or beyond p0 to the first row at or beyond p1,
// both among the rows that have a metre (the others lie on no page and are
// skipped in between). {0, 0} for a document without rows.
struct CRowRange {
    int first = 0;
    int last = 0;
};
CRowRange CurveRows(const CTreDoc& doc, int64_t p0, int64_t p1);

// The criterion in negated mV: minus the protection potential of the one
// reading of header entry 2 (criterion.h).
int64_t CriterionValue(const CTreDoc& doc);

// The IR-free value as the print draws it: absent when outside both set
// bounds of the POTIR window.
int32_t PrintedIRFree(const CTreDoc& doc, int r);

} // namespace graphiclayout

namespace graphiclayout {

// The metres the graphic print covers: the document's start and end where
// set; an absent start is the metre of the first row that has one, an
// absent end that of the last (0 when no row has a metre), and an end below
// 20 becomes 20. Rows without a metre give no range.
struct CPrintRange {
    int32_t start = 0, end = 20;
};
CPrintRange PrintRange(const CTreDoc& doc);

// The print command's defaults, written into the document: the range above.
// They stay even when the sheet is cancelled.
void ApplyRangeDefaults(CTreDoc& doc);

} // namespace graphiclayout
