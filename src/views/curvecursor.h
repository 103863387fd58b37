// SPDX-License-Identifier: GPL-3.0-or-later
// The curve panes' row cursor: which row lies nearest a metre of the
// panes' axis, and the upright line that marks a row in a pane's picture,
// at the very pixel column the row's points are drawn on.
#pragma once

#include <vector>

class CTreDoc;
class QPainter;
struct CCurveFrame;

// Where row r stands on the axis: its chainage with pipeline data
// (positions, row r at [r - 1]), else its recorded metre; NaN where it is
// not drawn.
double RowAxisMetre(const CTreDoc& doc, const std::vector<double>* positions, int row);

// The drawn row nearest `metre` on the axis (the first of rows as near);
// 0 when no row is drawn.
int RowNearestMetre(const CTreDoc& doc, const std::vector<double>* positions, double metre);

// The metre of the axis at plot x (the frame's coordinates).
double MetreAtPlotX(const CCurveFrame& f, int x);

// The cursor at `metre` across the plot's height, inside the axes; nothing
// when it lies outside the window.
void PaintRowCursor(QPainter& p, const CCurveFrame& f, double metre);

// The pixel column of `metre` as the curves map it; false outside the window.
bool CursorColumn(const CCurveFrame& f, double metre, int& x);
