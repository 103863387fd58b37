// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheetplan.h"

#include "commentkey.h"
#include "comparison.h"
#include "tredoc.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct SRange {
    int64_t low = std::numeric_limits<int64_t>::max();
    int64_t high = std::numeric_limits<int64_t>::min();
    void Add(int64_t v)
    {
        if (v == NO_VALUE) return;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    bool Empty() const { return low > high; }
};

// The sections a metre lies in: one, or two when it lies on a boundary
// between them. False outside every section.
class CSectionIndex {
public:
    CSectionIndex(const std::vector<assesslayout::SSection>& sections, int64_t length)
        : m_start(sections.front().from)
        , m_length(length)
        , m_count(static_cast<int64_t>(sections.size()))
    { }
    bool Of(double metre, int& first, int& last) const
    {
        const double offset = metre - static_cast<double>(m_start);
        if (offset < 0 || offset > static_cast<double>(m_count * m_length)) return false;
        const int64_t k = static_cast<int64_t>(std::floor(offset / static_cast<double>(m_length)));
        last = static_cast<int>(std::min(k, m_count - 1));
        const bool onBoundary = k > 0 && offset == static_cast<double>(k * m_length);
        first = onBoundary ? static_cast<int>(k - 1) : last;
        return true;
    }

private:
    int64_t m_start, m_length, m_count;
};

// The rows of each run in `rows` (ascending) together with the row before
// and after the run, within 1..n.
std::vector<int> WithNeighbours(const std::vector<int>& rows, int n)
{
    std::vector<int> out;
    out.reserve(rows.size() + 2);
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = rows[i];
        const bool runStart = i == 0 || rows[i - 1] != r - 1;
        if (runStart && r > 1 && (out.empty() || out.back() < r - 1)) out.push_back(r - 1);
        if (out.empty() || out.back() < r) out.push_back(r);
        const bool runEnd = i + 1 == rows.size() || rows[i + 1] != r + 1;
        if (runEnd && r < n) out.push_back(r + 1);
    }
    return out;
}

} // namespace

std::vector<SStretchExtent> StretchExtents(const SVerdict& v)
{
    const std::vector<SVerdictRow>& rows = v.rows;
    const double halfGap = std::max(0.0, v.settings.gap) / 2.0;
    auto metre = [&](size_t k) { return static_cast<double>(rows[k].position) / 100.0; };
    std::vector<SStretchExtent> extents;
    extents.reserve(v.stretches.size());
    size_t k = 0;
    for (const SVerdictStretch& s : v.stretches) {
        while (k < rows.size() && rows[k].row < s.firstRow) ++k;
        SStretchExtent e{std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
        for (; k < rows.size() && rows[k].row <= s.lastRow; ++k) {
            const double m = metre(k);
            double below = 0, above = 0;
            for (const size_t n : {k - 1, k + 1}) {
                if (n >= rows.size()) continue; // k - 1 wraps round at the first point
                const double half = std::min(std::abs(metre(n) - m) / 2.0, halfGap);
                if (metre(n) < m) below = std::max(below, half);
                else above = std::max(above, half);
            }
            e.from = std::min(e.from, m - below);
            e.to = std::max(e.to, m + above);
        }
        if (e.from > e.to) e = {};
        extents.push_back(e);
    }
    return extents;
}

std::vector<int> VerdictRowIndex(const SVerdict& v, int rowCount)
{
    std::vector<int> index(static_cast<size_t>(std::max(rowCount, 0)) + 1, -1);
    for (size_t k = 0; k < v.rows.size(); ++k) {
        const int r = v.rows[k].row;
        if (r >= 1 && r <= rowCount) index[static_cast<size_t>(r)] = static_cast<int>(k);
    }
    return index;
}

int32_t NativePotential(const SComparison& c, size_t pair)
{
    const SCompareSide& n = c.pairs[pair].earlier;
    return IsPresent(n.potOff) ? n.potOff : n.potOn;
}

std::vector<SSheetPlan> PlanSheets(const CTreDoc& doc, const SVerdict& v, int64_t sectionLength,
                                   const SSheetComparison& comparison)
{
    sectionLength = std::max<int64_t>(sectionLength, 1);
    const int n = doc.GetRowCount();
    SRange metres;
    for (const SVerdictRow& r : v.rows) metres.Add(r.metre);
    const std::vector<assesslayout::SSection> sections
        = metres.Empty() ? assesslayout::Sections(0, 0, sectionLength)
                         : assesslayout::Sections(metres.low, metres.high, sectionLength);
    const CSectionIndex index(sections, sectionLength);
    std::vector<SSheetPlan> plans(sections.size());
    std::vector<SRange> pot(sections.size()), grad(sections.size());
    for (size_t k = 0; k < sections.size(); ++k) {
        plans[k].section = sections[k];
        pot[k].Add(v.criterion.protection);
        pot[k].Add(v.criterion.limitPotential);
    }
    int first = 0, last = 0;

    // The survey's rows with their values.
    for (const SVerdictRow& row : v.rows) {
        if (!index.Of(row.metre, first, last)) continue;
        const int r = row.row;
        for (int k = first; k <= last; ++k) {
            const size_t s = static_cast<size_t>(k);
            plans[s].rows.push_back(r);
            pot[s].Add(doc.GetPotOn(r));
            pot[s].Add(doc.GetPotOff(r));
            if (row.irfreeUsable) pot[s].Add(doc.GetPotIRFree(r));
            grad[s].Add(doc.GetGradOn(r));
            grad[s].Add(doc.GetGradOff(r));
            grad[s].Add(row.gradDiff);
            if (doc.HasComment(r) && IsLandmarkComment(doc.GetComment(r))) plans[s].landmarks.push_back(r);
        }
    }
    for (SSheetPlan& p : plans) p.rows = WithNeighbours(p.rows, n);

    // The comparison, on the same sections.
    if (comparison.earlier) {
        const CTreDoc& e = *comparison.earlier;
        const int en = e.GetRowCount();
        for (int r = 1; r <= en; ++r) {
            const int32_t m
                = comparison.earlierMetres ? (*comparison.earlierMetres)[static_cast<size_t>(r - 1)] : e.GetMeter(r);
            if (!IsPresent(m) || !index.Of(m, first, last)) continue;
            for (int k = first; k <= last; ++k) {
                plans[static_cast<size_t>(k)].earlierRows.push_back(r);
                pot[static_cast<size_t>(k)].Add(e.GetPotOff(r));
            }
        }
        for (SSheetPlan& p : plans) p.earlierRows = WithNeighbours(p.earlierRows, en);
    } else if (comparison.native) {
        const SComparison& c = *comparison.native;
        const auto byMetre = [](const SComparePair& pair, int64_t m) { return pair.metre < m; };
        for (size_t k = 0; k < plans.size(); ++k) {
            SSheetPlan& p = plans[k];
            const auto lo = std::lower_bound(c.pairs.begin(), c.pairs.end(), p.section.from, byMetre);
            const auto hi = std::lower_bound(c.pairs.begin(), c.pairs.end(), p.section.to + 1, byMetre);
            const size_t a = static_cast<size_t>(lo - c.pairs.begin()), b = static_cast<size_t>(hi - c.pairs.begin());
            for (size_t i = a; i < b; ++i) pot[k].Add(NativePotential(c, i));
            p.pairFirst = a > 0 ? a - 1 : a;
            p.pairEnd = std::min(b + 1, c.pairs.size());
        }
    }

    for (size_t d = 0; d < v.defects.size(); ++d)
        if (index.Of(v.defects[d].metre, first, last))
            for (int k = first; k <= last; ++k) plans[static_cast<size_t>(k)].defects.push_back(static_cast<int>(d));

    // A stretch shades every section its extent reaches into.
    const std::vector<SStretchExtent> extents = StretchExtents(v);
    const double lowest = static_cast<double>(sections.front().from);
    const double highest = static_cast<double>(sections.back().to);
    for (size_t s = 0; s < extents.size(); ++s) {
        const double from = std::max(extents[s].from, lowest), to = std::min(extents[s].to, highest);
        if (from > to) continue;
        int a = 0, b = 0, c = 0, d = 0;
        index.Of(from, a, b);
        index.Of(to, c, d);
        for (int k = a; k <= d; ++k) {
            const assesslayout::SSection& sec = sections[static_cast<size_t>(k)];
            // Touching a section's edge only is not reaching into it,
            // unless the stretch is no wider than that.
            if (from < to && (static_cast<double>(sec.to) <= from || static_cast<double>(sec.from) >= to)) continue;
            plans[static_cast<size_t>(k)].stretches.push_back(static_cast<int>(s));
        }
    }

    for (size_t k = 0; k < plans.size(); ++k) {
        plans[k].potAxis = assesslayout::FitPotentialAxis(pot[k].low, pot[k].high);
        plans[k].gradAxis = grad[k].Empty() ? assesslayout::FitGradientAxis(0, 0)
                                            : assesslayout::FitGradientAxis(grad[k].low, grad[k].high);
    }
    return plans;
}
