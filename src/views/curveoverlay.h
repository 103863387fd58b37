// SPDX-License-Identifier: GPL-3.0-or-later
// The verdict as the curve panes lay it over the curves, on the axis the
// rows are drawn on: the recorded metres, or with pipeline data the rows'
// chainages - the same positions as the curves', so a point's shade and
// its defect's triangle stand where its curve point stands.
#pragma once

#include "curvepainter.h"

#include <utility>
#include <vector>

struct SVerdict;

// `positions`: row r at [r - 1] (NaN: not drawn), or null for the recorded
// metres. A defect whose row has no position gets no mark.
CCurveOverlay VerdictOverlay(const SVerdict& verdict, const std::vector<double>* positions);

// The lowest and highest of the positions of rows first..last; false when
// none of them has one.
bool RowsAtPositions(const std::vector<double>& positions, int first, int last, std::pair<double, double>& range);
