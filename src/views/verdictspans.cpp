// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictspans.h"

#include <algorithm>
#include <cmath>

std::vector<SVerdictSpan> VerdictSpans(const SVerdict& verdict, const std::vector<double>* positions)
{
    const std::vector<SVerdictRow>& rows = verdict.rows;
    const double gap = std::max(0.0, verdict.settings.gap);
    const auto at = [&](size_t k) {
        if (!positions) return static_cast<double>(rows[k].metre);
        const size_t i = static_cast<size_t>(rows[k].row - 1);
        return i < positions->size() ? (*positions)[i] : std::nan("");
    };
    std::vector<SVerdictSpan> out;
    for (size_t k = 0; k < rows.size(); ++k) {
        const double m = at(k);
        if (std::isnan(m)) continue;
        double lo = m, hi = m;
        for (const size_t n : {k - 1, k + 1}) {
            if (n >= rows.size() || std::isnan(at(n))) continue; // k - 1 wraps around for the first
            const double d = at(n) - m;
            const double half = std::min(std::abs(d), gap) / 2;
            if (d < 0) lo = m - half;
            else if (d > 0) hi = m + half;
        }
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
