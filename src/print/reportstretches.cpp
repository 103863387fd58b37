// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportstretches.h"

#include "assesslayout.h"

#include <algorithm>
#include <map>

namespace {

bool Joinable(EVerdictStatus s) { return s == EVerdictStatus::Unprotected || s == EVerdictStatus::Over; }

bool Listed(EVerdictStatus s) { return s != EVerdictStatus::Protected && s != EVerdictStatus::NotAssessed; }

// The worse of two values of a status: not protected the more positive E*,
// beyond the limiting potential the more negative.
bool Worse(EVerdictStatus s, int32_t a, int32_t b)
{
    if (!IsPresent(b)) return IsPresent(a);
    if (!IsPresent(a)) return false;
    return s == EVerdictStatus::Over ? a < b : a > b;
}

void Join(SVerdictStretch& into, const SVerdictStretch& next)
{
    into.lastRow = next.lastRow;
    into.toMetre = next.toMetre;
    into.rows += next.rows;
    into.length += next.length;
    if (Worse(into.status, next.worst, into.worst)) {
        into.worst = next.worst;
        into.worstMetre = next.worstMetre;
        into.worstRow = next.worstRow;
    }
}

// "412 m, 413 m und 418 m"; positions in hundredths of a metre.
std::string Places(const std::vector<int64_t>& at, int decimals)
{
    std::string t;
    for (size_t i = 0; i < at.size(); ++i) {
        if (i > 0) t += i + 1 == at.size() ? " und " : ", ";
        t += decimals > 0 ? assesslayout::ThousandthsText(at[i] * 10, decimals)
                          : assesslayout::LengthText(static_cast<double>(at[i]) / 100.0);
        t += " m";
    }
    return t;
}

} // namespace

std::vector<SReportStretch> ReportStretches(const SVerdict& v, int merge)
{
    const std::vector<SVerdictStretch>& all = v.stretches;
    std::vector<SReportStretch> out;
    std::vector<bool> taken(all.size(), false);
    for (size_t i = 0; i < all.size(); ++i) {
        if (!Listed(all[i].status) || taken[i]) continue;
        SReportStretch line{all[i], {static_cast<int>(i)}, {}};
        if (Joinable(all[i].status)) {
            // Look past fewer than `merge` points of other assessed
            // statuses for the next stretch of this one.
            for (size_t j = i + 1; j < all.size();) {
                int between = 0;
                size_t k = j;
                while (k < all.size() && all[k].status != all[i].status && all[k].status != EVerdictStatus::NotAssessed
                       && between + all[k].rows < merge) {
                    between += all[k].rows;
                    ++k;
                }
                if (k == j || k >= all.size() || all[k].status != all[i].status) break;
                for (size_t m = j; m < k; ++m) line.interruptions.push_back(static_cast<int>(m));
                line.parts.push_back(static_cast<int>(k));
                Join(line.joined, all[k]);
                taken[k] = true;
                j = k + 1;
            }
        }
        out.push_back(std::move(line));
    }
    return out;
}

std::string InterruptionText(const SVerdict& v, const SReportStretch& s, int decimals)
{
    if (s.interruptions.empty()) return {};
    // The interrupting points by status, in the order the statuses occur.
    std::vector<EVerdictStatus> order;
    std::map<EVerdictStatus, std::vector<int64_t>> at;
    for (const int i : s.interruptions) {
        const SVerdictStretch& x = v.stretches[static_cast<size_t>(i)];
        if (!at.count(x.status)) order.push_back(x.status);
        std::vector<int64_t>& places = at[x.status];
        auto k = std::lower_bound(v.rows.begin(), v.rows.end(), x.firstRow,
                                  [](const SVerdictRow& r, int row) { return r.row < row; });
        for (; k != v.rows.end() && k->row <= x.lastRow; ++k) places.push_back(k->position);
    }
    std::string t = "unterbrochen von ";
    for (size_t n = 0; n < order.size(); ++n) {
        const std::vector<int64_t>& places = at[order[n]];
        t += (n > 0 ? "; " : "") + assesslayout::CountText(static_cast<int64_t>(places.size()), "Punkt", "Punkten")
             + " „" + VerdictStatusName(order[n]) + "“ bei " + Places(places, decimals);
    }
    return t;
}
