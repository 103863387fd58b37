// SPDX-License-Identifier: GPL-3.0-or-later
// Earlier surveys of the same pipeline laid behind the document's curves in
// the potential pane: each one's judged potential E* along the pane's axis,
// in its own colour, with a key of their dates in the plot's corner. A drift
// over the years shows where the curves part.
#pragma once

#include <QPainter>
#include <QRect>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct SEarlierCurve {
    std::string label; // its date as the key shows it ("14.05.2024")
    size_t colour = 0; // EarlierSurveyColour(colour)
    // (m on the pane's axis, E* in mV) by position; NO_VALUE, or a step of
    // more than kEarlierCurveGap metres, breaks the line.
    std::vector<std::pair<double, int32_t>> points;
};

// Wider steps are gaps of the survey, not pipe it measured.
inline constexpr double kEarlierCurveGap = 10; // m

// Draws `curves` inside `plot` for the axis window [fromM, toM]; `x` maps a
// position to a pixel column, `y` a negated potential to a pixel row, as
// the pane maps its own curves.
void PaintEarlierCurves(QPainter& p, const std::vector<SEarlierCurve>& curves, const QRect& plot, double fromM,
                        double toM, const std::function<int(double)>& x, const std::function<int(int64_t)>& y);
