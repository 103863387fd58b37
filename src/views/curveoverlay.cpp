// SPDX-License-Identifier: GPL-3.0-or-later
#include "curveoverlay.h"

#include "doc/verdict.h"

#include <algorithm>
#include <cmath>

CCurveOverlay VerdictOverlay(const SVerdict& verdict, const std::vector<double>* positions)
{
    CCurveOverlay o;
    o.spans = VerdictSpans(verdict, positions);
    for (const SCoatingDefect& d : verdict.defects) {
        const size_t i = static_cast<size_t>(d.row - 1);
        const double at = !positions ? d.metre : i < positions->size() ? (*positions)[i] : std::nan("");
        if (!std::isnan(at)) o.marks.push_back({at, d.category});
    }
    o.protection = verdict.criterion.protection;
    o.limit = verdict.criterion.limitPotential;
    return o;
}

bool RowsAtPositions(const std::vector<double>& positions, int first, int last, std::pair<double, double>& range)
{
    bool any = false;
    for (int r = std::max(first, 1); r <= last && static_cast<size_t>(r) <= positions.size(); ++r) {
        const double at = positions[static_cast<size_t>(r - 1)];
        if (std::isnan(at)) continue;
        range = any ? std::pair{std::min(range.first, at), std::max(range.second, at)} : std::pair{at, at};
        any = true;
    }
    return any;
}
