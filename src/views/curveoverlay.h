// SPDX-License-Identifier: GPL-3.0-or-later
// The verdict as the curve panes lay it over the curves, on the axis the
// rows are drawn on: the recorded metres, or with pipeline data the rows'
// chainages - the same positions as the curves', so a point's shade and
// its defect's triangle stand where its curve point stands.
#pragma once

#include "curvepainter.h"

#include <utility>
#include <vector>

class CTreDoc;
struct SVerdict;

// `positions`: row r at [r - 1] (NaN: not drawn), or null for the recorded
// metres. A defect whose row has no position gets no mark. `sections`: the
// pipeline data's, whose own E_p and E_l step the lines (null or none: the
// verdict's across the plot).
CCurveOverlay VerdictOverlay(const SVerdict& verdict, const std::vector<double>* positions,
                             const std::vector<trespipeline::SSection>* sections = nullptr);

// Fits the overlay's value axes to everything the panes draw of `doc` (its
// rows with a place on the axis, `positions` as above), of the comparison
// survey `compare` (null: none; `compareMetres` as CCurveFrame's) and of the
// criterion lines: the potential axis to the potentials on and off, the
// comparison's potential off and E_p and E_l; the gradient axis to the
// gradients on, off and their difference. An axis with no value to fit
// stays absent.
void FitOverlayAxes(CCurveOverlay& overlay, const CTreDoc& doc, const std::vector<double>* positions,
                    const CTreDoc* compare = nullptr, const std::vector<int32_t>* compareMetres = nullptr);

// The lowest and highest of the positions of rows first..last; false when
// none of them has one.
bool RowsAtPositions(const std::vector<double>& positions, int first, int last, std::pair<double, double>& range);
