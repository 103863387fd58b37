// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesslayout.h"

#include "doc/measrow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace assesslayout {

namespace {

const std::string kDash(tresnum::kAbsentText);

int64_t FloorTo(int64_t v, int64_t step)
{
    const int64_t q = v / step;
    return (v % step != 0 && v < 0 ? q - 1 : q) * step;
}

int64_t CeilTo(int64_t v, int64_t step)
{
    const int64_t q = v / step;
    return (v % step != 0 && v > 0 ? q + 1 : q) * step;
}

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

SAxis FitPotentialAxis(int64_t lowest, int64_t highest)
{
    constexpr int64_t kStep = 100, kMinHeight = 400;
    if (highest < lowest) std::swap(lowest, highest);
    SAxis a{FloorTo(lowest, kStep), CeilTo(highest, kStep), kStep};
    if (a.high - a.low < kMinHeight) {
        const int64_t missing = kMinHeight - (a.high - a.low);
        const int64_t below = CeilTo(missing / 2, kStep);
        a.low -= below;
        a.high += missing - below;
    }
    // About a dozen labels at most, still on whole tenths of a volt.
    a.step = kStep * NiceStep((a.high - a.low) / kStep, 12);
    return a;
}

SAxis FitGradientAxis(int64_t lowest, int64_t highest)
{
    constexpr int64_t kMinHeight = 100; // 10 mV
    SAxis a{std::min<int64_t>(lowest, 0), std::max<int64_t>(highest, 0), 1};
    if (a.high - a.low < kMinHeight) a.high = a.low + kMinHeight;
    a.step = NiceStep(a.high - a.low, 6);
    a.low = FloorTo(a.low, a.step);
    a.high = CeilTo(a.high, a.step);
    return a;
}

std::vector<int64_t> AxisTicks(const SAxis& axis)
{
    std::vector<int64_t> ticks;
    const int64_t step = std::max<int64_t>(axis.step, 1);
    for (int64_t v = CeilTo(axis.low, step); v <= axis.high; v += step) ticks.push_back(v);
    return ticks;
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
