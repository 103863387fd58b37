// SPDX-License-Identifier: GPL-3.0-or-later
#include "metreindex.h"

#include "tredoc.h"

#include <algorithm>

std::vector<SMetreRow> FirstRowsByMetre(const CTreDoc& doc)
{
    std::vector<SMetreRow> out;
    const int n = doc.GetRowCount();
    out.reserve(static_cast<size_t>(n));
    for (int r = 1; r <= n; ++r)
        if (IsPresent(doc.GetMeter(r))) out.push_back({doc.GetMeter(r), r});
    std::sort(out.begin(), out.end()); // by metre, then row: the first row leads
    out.erase(
        std::unique(out.begin(), out.end(), [](const SMetreRow& a, const SMetreRow& b) { return a.metre == b.metre; }),
        out.end());
    return out;
}

int FirstRowWithMetre(const std::vector<SMetreRow>& index, int32_t metre)
{
    auto it = std::lower_bound(index.begin(), index.end(), SMetreRow{metre, 0});
    return it != index.end() && it->metre == metre ? it->row : 0;
}
