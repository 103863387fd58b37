// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictspans.h"

#include <algorithm>
#include <cmath>

std::vector<SVerdictSpan> VerdictSpans(const SVerdict& verdict, const std::vector<double>* positions)
{
    const std::vector<SVerdictRow>& rows = verdict.rows;
    const auto at = [&](size_t k) {
        if (!positions) return static_cast<double>(rows[k].metre);
        const size_t i = static_cast<size_t>(rows[k].row - 1);
        return i < positions->size() ? (*positions)[i] : std::nan("");
    };
    std::vector<SVerdictSpan> out;
    for (size_t k = 0; k < rows.size(); ++k) {
        const double m = at(k);
        if (std::isnan(m)) continue;
        // The verdict's own zone, so a shade never reaches across a counter
        // reset nor further than the length the point is weighed by.
        const double lo = m - rows[k].zoneLow, hi = m + rows[k].zoneHigh;
        // A neighbour's zone ends where this one begins, in either direction
        // of the survey.
        if (!out.empty() && out.back().status == rows[k].status) {
            SVerdictSpan& last = out.back();
            if (last.to == lo || (last.from <= lo && lo <= last.to)) {
                last.to = std::max(last.to, hi);
                continue;
            }
            if (last.from == hi || (last.from <= hi && hi <= last.to)) {
                last.from = std::min(last.from, lo);
                continue;
            }
        }
        out.push_back({lo, hi, rows[k].status});
    }
    return out;
}
