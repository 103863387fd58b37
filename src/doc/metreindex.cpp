// SPDX-License-Identifier: GPL-3.0-or-later
#include "metreindex.h"

#include "tredoc.h"

#include <algorithm>

std::vector<SMetreRow> FirstRowsByMetre(const CTreDoc& doc)
{
    std::vector<SMetreRow> rows;
    const int n = doc.GetRowCount();
    rows.reserve(static_cast<size_t>(n));
    for (int r = 1; r <= n; ++r)
        if (IsPresent(doc.GetMeter(r))) rows.push_back({doc.GetMeter(r), r});
    return FirstRowsByMetre(std::move(rows));
}

std::vector<SMetreRow> FirstRowsByMetre(std::vector<SMetreRow> rows)
{
    const auto sameMetre = [](const SMetreRow& a, const SMetreRow& b) { return a.metre == b.metre; };
    const auto byMetre = [](const SMetreRow& a, const SMetreRow& b) { return a.metre < b.metre; };
    if (std::is_sorted(rows.begin(), rows.end(), byMetre)) {
        // A survey walked in metre order, the usual case: no sort needed, and
        // in a run of one metre the first row already leads.
    } else if (std::is_sorted(rows.rbegin(), rows.rend(), byMetre)) {
        // Walked against the metres: turned round, each run of one metre
        // would end with its first row; turned back, it leads again.
        std::reverse(rows.begin(), rows.end());
        for (auto run = rows.begin(); run != rows.end();) {
            const auto end = std::find_if(run, rows.end(), [&](const SMetreRow& x) { return x.metre != run->metre; });
            std::reverse(run, end);
            run = end;
        }
    } else {
        std::sort(rows.begin(), rows.end()); // by metre, then row: the first row leads
    }
    rows.erase(std::unique(rows.begin(), rows.end(), sameMetre), rows.end());
    return rows;
}

int FirstRowWithMetre(const std::vector<SMetreRow>& index, int32_t metre)
{
    auto it = std::lower_bound(index.begin(), index.end(), SMetreRow{metre, 0});
    return it != index.end() && it->metre == metre ? it->row : 0;
}
