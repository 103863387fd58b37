// SPDX-License-Identifier: GPL-3.0-or-later
#include "curvecursor.h"

#include "curvepainter.h"
#include "doc/tredoc.h"
#include "doc/verdictpalette.h"
#include "verdictpaint.h"

#include <QPainter>

#include <cmath>
#include <limits>

double RowAxisMetre(const CTreDoc& doc, const std::vector<double>* positions, int row)
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    if (!doc.IsValidRow(row)) return none;
    if (positions)
        return static_cast<size_t>(row) <= positions->size() ? (*positions)[static_cast<size_t>(row - 1)] : none;
    const int32_t m = doc.GetMeter(row);
    return IsPresent(m) ? static_cast<double>(m) : none;
}

int RowNearestMetre(const CTreDoc& doc, const std::vector<double>* positions, double metre)
{
    // The rows need not rise along the axis (a chainage may fall, metres
    // may be unsorted): every row is looked at.
    int best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    const int n = doc.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        const double d = std::abs(RowAxisMetre(doc, positions, r) - metre);
        if (d < bestDistance) { // NaN never is
            best = r;
            bestDistance = d;
        }
    }
    return best;
}

double MetreAtPlotX(const CCurveFrame& f, int x)
{
    const int width = f.right - f.left;
    if (width <= 0) return static_cast<double>(f.nStart);
    return static_cast<double>(f.nStart) + static_cast<double>(x - f.left) * f.nSpan / width;
}

bool CursorColumn(const CCurveFrame& f, double metre, int& x)
{
    if (!(metre >= static_cast<double>(f.nStart) && metre <= static_cast<double>(f.nStart + f.nSpan)) || f.nSpan <= 0)
        return false;
    // The curves' mapping, truncated as their points are.
    const double xs = static_cast<double>(f.right - f.left) / f.nSpan;
    x = static_cast<int>((metre - static_cast<double>(f.nStart)) * xs + f.left);
    return true;
}

void PaintRowCursor(QPainter& p, const CCurveFrame& f, double metre)
{
    int x = 0;
    if (!CursorColumn(f, metre, x) || f.bottom - 1 < f.top + 1) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(x, f.top + 1, 1, f.bottom - f.top - 1), PaletteColour(RowCursorColour()));
    p.restore();
}
