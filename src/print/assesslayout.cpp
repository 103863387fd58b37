// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesslayout.h"

#include "measrow.h"

#include <algorithm>
#include <cstdlib>

namespace assesslayout {

namespace {

const char kDash[] = "\xe2\x80\x93"; // en dash

} // namespace

std::vector<SPage> PaginateTables(const std::array<int, kTableCount>& itemCounts, int linesPerPage, int headLines,
                                  int gapLines)
{
    std::vector<STableItems> tables;
    for (int t = 0; t < kTableCount; ++t)
        tables.push_back({static_cast<ETable>(t), itemCounts[static_cast<size_t>(t)]});
    return PaginateTables(tables, linesPerPage, headLines, gapLines);
}

std::vector<SPage> PaginateTables(const std::vector<STableItems>& tables, int linesPerPage, int headLines, int gapLines)
{
    // A page too small for a header and one item would never make progress.
    linesPerPage = std::max(linesPerPage, headLines + 1);
    std::vector<SPage> pages(1);
    int used = 0;
    for (const STableItems& t : tables) {
        const int items = std::max(0, t.count);
        int done = 0;
        bool continued = false;
        do {
            int start = used == 0 ? 0 : used + gapLines;
            if (start + headLines + 1 > linesPerPage) {
                pages.emplace_back();
                start = 0;
            }
            const int room = linesPerPage - start - headLines;
            const int count = std::min(room, items - done);
            pages.back().push_back({t.table, done, count, continued});
            used = start + headLines + std::max(count, 1);
            done += count;
            continued = true;
            if (done < items) used = linesPerPage; // the rest goes on the next page
        } while (done < items);
    }
    return pages;
}

int64_t NiceStep(int64_t range, int maxTicks)
{
    if (range <= 0 || maxTicks <= 0) return 1;
    int64_t power = 1;
    while (true) {
        for (int64_t f : {1, 2, 5}) {
            const int64_t step = f * power;
            if (range / step <= maxTicks) return step;
        }
        power *= 10;
    }
}

std::string MvText(int32_t mv) { return IsPresent(mv) ? std::to_string(mv) : kDash; }

std::string TenthsText(int32_t tenths)
{
    if (!IsPresent(tenths)) return kDash;
    const int64_t a = std::llabs(int64_t{tenths});
    return (tenths < 0 ? "-" : "") + std::to_string(a / 10) + "," + std::to_string(a % 10);
}

std::string PercentText(int64_t part, int64_t whole)
{
    if (whole == 0) return kDash;
    // Rounded half up on the tenths of a per cent, in integers so the text
    // does not depend on a binary quotient.
    const bool negative = (part < 0) != (whole < 0);
    const __int128 p = part < 0 ? -static_cast<__int128>(part) : part;
    const __int128 w = whole < 0 ? -static_cast<__int128>(whole) : whole;
    const __int128 tenths = (p * 2000 + w) / (2 * w);
    const int64_t t = static_cast<int64_t>(tenths);
    return (negative && t != 0 ? "-" : "") + std::to_string(t / 10) + "," + std::to_string(t % 10);
}

} // namespace assesslayout
