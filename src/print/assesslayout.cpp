// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesslayout.h"

#include "doc/measrow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace assesslayout {

namespace {

const std::string kDash(tresnum::kAbsentText);

} // namespace

std::vector<SPage> PaginateTables(const std::array<int, kTableCount>& itemCounts, int linesPerPage, int headLines,
                                  int gapLines)
{
    std::vector<STableItems> tables;
    for (int t = 0; t < kTableCount; ++t)
        tables.push_back({static_cast<ETable>(t), itemCounts[static_cast<size_t>(t)], {}});
    return PaginateTables(tables, linesPerPage, headLines, gapLines);
}

std::vector<SPage> PaginateTables(const std::vector<STableItems>& tables, int linesPerPage, int headLines, int gapLines)
{
    // A page too small for a header and one item would never make progress.
    linesPerPage = std::max(linesPerPage, headLines + 1);
    const int tallest = linesPerPage - headLines;
    std::vector<SPage> pages(1);
    int used = 0;
    for (const STableItems& t : tables) {
        const int items = std::max(0, t.count);
        auto height = [&](int i) {
            const int h = static_cast<size_t>(i) < t.lines.size() ? t.lines[static_cast<size_t>(i)] : 1;
            return std::clamp(h, 1, tallest);
        };
        int done = 0;
        bool continued = false;
        do {
            int start = used == 0 ? 0 : used + gapLines;
            if (start + headLines + (items > done ? height(done) : 1) > linesPerPage) {
                pages.emplace_back();
                start = 0;
            }
            int lines = start + headLines;
            int count = 0;
            while (done + count < items && lines + height(done + count) <= linesPerPage)
                lines += height(done + count++);
            pages.back().push_back({t.table, done, count, continued});
            used = count == 0 ? lines + 1 : lines;
            done += count;
            continued = true;
            if (done < items) used = linesPerPage; // the rest goes on the next page
        } while (done < items);
    }
    return pages;
}

std::vector<SSection> Sections(int64_t lowest, int64_t highest, int64_t length)
{
    length = std::max<int64_t>(length, 1);
    if (highest < lowest) std::swap(lowest, highest);
    const int64_t start = FloorTo(lowest, length);
    const int64_t count = std::max<int64_t>(1, CeilTo(highest - start, length) / length);
    std::vector<SSection> sections;
    sections.reserve(static_cast<size_t>(count));
    for (int64_t k = 0; k < count; ++k) sections.push_back({start + k * length, start + (k + 1) * length});
    return sections;
}

std::string MvText(int32_t mv) { return IsPresent(mv) ? std::to_string(mv) : kDash; }

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

std::string CountText(int64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace assesslayout
