// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheetplan.h"

#include "doc/commentkey.h"
#include "doc/comparison.h"
#include "doc/tredoc.h"
#include "pipeline/sections.h"

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

// The sections a position lies in: one, or two when it lies on a boundary
// between them. False outside every section.
class CSectionIndex {
public:
    CSectionIndex(const std::vector<assesslayout::SSection>& sections, int64_t length)
        : m_start(sections.front().from)
        , m_length(length)
        , m_count(static_cast<int64_t>(sections.size()))
    { }
    bool Of(double position, int& first, int& last) const
    {
        if (!std::isfinite(position)) return false;
        const double offset = position - static_cast<double>(m_start);
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
    auto metre = [&](size_t k) { return AxisPosition(rows[k]); };
    std::vector<SStretchExtent> extents;
    extents.reserve(v.stretches.size());
    size_t k = 0;
    for (const SVerdictStretch& s : v.stretches) {
        while (k < rows.size() && rows[k].row < s.firstRow) ++k;
        SStretchExtent e{std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
        for (; k < rows.size() && rows[k].row <= s.lastRow; ++k) {
            const double m = metre(k);
            e.from = std::min(e.from, m - rows[k].zoneLow);
            e.to = std::max(e.to, m + rows[k].zoneHigh);
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

CComparisonAxis::CComparisonAxis(const CTreDoc& current, const SAlignment& a, const std::vector<double>* chainage)
    : m_toRecorded(current, a)
    , m_chainage(chainage != nullptr)
    , m_aligned(a.method == EAlignMethod::Pipeline)
{
    if (!chainage || m_aligned) return;
    // The recorded metres carried over to the chainage, piecewise linear
    // between the rows, the first row of each metre as the pairing takes it.
    for (int r = 1; r <= current.GetRowCount() && static_cast<size_t>(r) <= chainage->size(); ++r) {
        const double s = (*chainage)[static_cast<size_t>(r - 1)];
        if (IsPresent(current.GetMeter(r)) && std::isfinite(s)) m_knots.push_back({double(current.GetMeter(r)), s});
    }
    std::stable_sort(m_knots.begin(), m_knots.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    m_knots.erase(
        std::unique(m_knots.begin(), m_knots.end(), [](const auto& x, const auto& y) { return x.first == y.first; }),
        m_knots.end());
    if (m_knots.size() >= 2 && m_knots.back().second < m_knots.front().second) m_slope = -1;
}

double CComparisonAxis::operator()(int32_t aligned) const
{
    if (!IsPresent(aligned)) return NAN;
    // Paired by the pipeline data, the aligned metres are chainages already.
    if (m_chainage && m_aligned) return aligned;
    const int32_t recorded = m_toRecorded(aligned);
    if (!IsPresent(recorded)) return NAN;
    if (!m_chainage) return recorded;
    if (m_knots.empty()) return NAN;
    const double metre = recorded;
    const auto hi
        = std::lower_bound(m_knots.begin(), m_knots.end(), metre, [](const auto& k, double v) { return k.first < v; });
    // Beyond the first and last row shifted with the direction kept.
    if (hi == m_knots.begin()) return hi->second - m_slope * (hi->first - metre);
    const auto lo = hi - 1;
    if (hi == m_knots.end()) return lo->second + m_slope * (metre - lo->first);
    return lo->second + (metre - lo->first) * (hi->second - lo->second) / (hi->first - lo->first);
}

std::vector<double> ComparisonPositions(const CTreDoc& current, const CTreDoc& other, const SComparison& c,
                                        const std::vector<double>* chainage)
{
    const SAlignment& a = *c.alignment;
    const CComparisonAxis place(current, a, chainage);
    std::vector<double> out;
    if (c.mode == ECompareMode::Native) {
        out.reserve(c.pairs.size());
        for (const SComparePair& pair : c.pairs) out.push_back(place(pair.metre));
        return out;
    }
    const int n = other.GetRowCount();
    out.reserve(static_cast<size_t>(n));
    for (int r = 1; r <= n; ++r) {
        const size_t i = static_cast<size_t>(r - 1);
        const int32_t aligned = a.earlierMetres.empty()      ? other.GetMeter(r)
                                : i < a.earlierMetres.size() ? a.earlierMetres[i]
                                                             : NO_VALUE;
        out.push_back(place(aligned));
    }
    return out;
}

namespace {

// The sheets under construction: their plans and the value ranges their
// axes are fitted to.
struct SPlanning {
    std::vector<assesslayout::SSection> sections;
    CSectionIndex index;
    std::vector<SSheetPlan> plans;
    std::vector<SRange> pot, grad;
    std::vector<int> own; // rows standing in a section but not on a boundary it shares
};

SPlanning StartPlanning(const SVerdict& v, int64_t sectionLength)
{
    double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
    for (const SVerdictRow& r : v.rows) {
        low = std::min(low, AxisPosition(r));
        high = std::max(high, AxisPosition(r));
    }
    std::vector<assesslayout::SSection> sections
        = low > high ? assesslayout::Sections(0, 0, sectionLength)
                     : assesslayout::Sections(static_cast<int64_t>(std::floor(low)),
                                              static_cast<int64_t>(std::ceil(high)), sectionLength);
    CSectionIndex index(sections, sectionLength);
    SPlanning p{std::move(sections), index, {}, {}, {}, {}};
    const size_t n = p.sections.size();
    p.plans.resize(n);
    p.pot.resize(n);
    p.grad.resize(n);
    p.own.assign(n, 0);
    for (size_t k = 0; k < n; ++k) p.plans[k].section = p.sections[k];
    return p;
}

void PlanRows(SPlanning& p, const CTreDoc& doc, const SVerdict& v)
{
    int first = 0, last = 0;
    for (const SVerdictRow& row : v.rows) {
        if (!p.index.Of(AxisPosition(row), first, last)) continue;
        const int r = row.row;
        // On a boundary the point shows on both sheets; only where it
        // stands alone does it make a sheet worth printing.
        const bool outer = (first == last && (last == 0 || last + 1 == static_cast<int>(p.plans.size())));
        const double at = AxisPosition(row);
        for (int k = first; k <= last; ++k) {
            const size_t s = static_cast<size_t>(k);
            const assesslayout::SSection& sec = p.sections[s];
            if (first == last && ((at > sec.from && at < sec.to) || outer)) ++p.own[s];
            p.plans[s].rows.push_back(r);
            p.pot[s].Add(doc.GetPotOn(r));
            p.pot[s].Add(doc.GetPotOff(r));
            if (row.irfreeUsable) p.pot[s].Add(doc.GetPotIRFree(r));
            p.grad[s].Add(doc.GetGradOn(r));
            p.grad[s].Add(doc.GetGradOff(r));
            p.grad[s].Add(row.gradDiff);
            if (doc.HasComment(r) && IsLandmarkComment(doc.GetComment(r))) p.plans[s].landmarks.push_back(r);
        }
    }
    for (SSheetPlan& plan : p.plans) plan.rows = WithNeighbours(plan.rows, doc.GetRowCount());
}

void PlanComparison(SPlanning& p, const SSheetComparison& comparison)
{
    if (!comparison.positions) return;
    const std::vector<double>& at = *comparison.positions;
    int first = 0, last = 0;
    if (comparison.earlier) {
        const CTreDoc& e = *comparison.earlier;
        const int en = e.GetRowCount();
        for (int r = 1; r <= en && static_cast<size_t>(r) <= at.size(); ++r) {
            if (!p.index.Of(at[static_cast<size_t>(r - 1)], first, last)) continue;
            for (int k = first; k <= last; ++k) {
                p.plans[static_cast<size_t>(k)].earlierRows.push_back(r);
                p.pot[static_cast<size_t>(k)].Add(e.GetPotOff(r));
            }
        }
        for (SSheetPlan& plan : p.plans) plan.earlierRows = WithNeighbours(plan.earlierRows, en);
    } else if (comparison.native) {
        const SComparison& c = *comparison.native;
        // The pairs run along the axis: each sheet draws a run of them and
        // the pair before and after it.
        std::vector<size_t> lo(p.plans.size(), c.pairs.size()), hi(p.plans.size(), 0);
        for (size_t i = 0; i < c.pairs.size() && i < at.size(); ++i) {
            if (!p.index.Of(at[i], first, last)) continue;
            for (int k = first; k <= last; ++k) {
                const size_t s = static_cast<size_t>(k);
                p.pot[s].Add(NativePotential(c, i));
                lo[s] = std::min(lo[s], i);
                hi[s] = std::max(hi[s], i + 1);
            }
        }
        for (size_t s = 0; s < p.plans.size(); ++s) {
            if (lo[s] >= hi[s]) continue;
            p.plans[s].pairFirst = lo[s] > 0 ? lo[s] - 1 : 0;
            p.plans[s].pairEnd = std::min(hi[s] + 1, c.pairs.size());
        }
    }
}

void PlanStretches(SPlanning& p, const SVerdict& v)
{
    // A stretch shades every section its extent reaches into.
    const std::vector<SStretchExtent> extents = StretchExtents(v);
    const double lowest = static_cast<double>(p.sections.front().from);
    const double highest = static_cast<double>(p.sections.back().to);
    for (size_t s = 0; s < extents.size(); ++s) {
        const double from = std::max(extents[s].from, lowest), to = std::min(extents[s].to, highest);
        if (from > to) continue;
        int a = 0, b = 0, c = 0, d = 0;
        p.index.Of(from, a, b);
        p.index.Of(to, c, d);
        for (int k = a; k <= d; ++k) {
            const assesslayout::SSection& sec = p.sections[static_cast<size_t>(k)];
            // Touching a section's edge only is not reaching into it,
            // unless the stretch is no wider than that.
            if (from < to && (static_cast<double>(sec.to) <= from || static_cast<double>(sec.from) >= to)) continue;
            p.plans[static_cast<size_t>(k)].stretches.push_back(static_cast<int>(s));
        }
    }
}

} // namespace

std::vector<SSheetPlan> PlanSheets(const CTreDoc& doc, const SVerdict& v, int64_t sectionLength,
                                   const SSheetComparison& comparison,
                                   const std::vector<trespipeline::SSection>* sections)
{
    sectionLength = std::max<int64_t>(sectionLength, 1);
    SPlanning p = StartPlanning(v, sectionLength);
    PlanRows(p, doc, v);
    PlanComparison(p, comparison);
    const std::vector<int> index = VerdictRowIndex(v, doc.GetRowCount());
    int first = 0, last = 0;
    for (size_t d = 0; d < v.defects.size(); ++d) {
        const int k = index[static_cast<size_t>(v.defects[d].row)];
        if (k >= 0 && p.index.Of(AxisPosition(v.rows[static_cast<size_t>(k)]), first, last))
            for (int s = first; s <= last; ++s) p.plans[static_cast<size_t>(s)].defects.push_back(static_cast<int>(d));
    }
    PlanStretches(p, v);

    const std::vector<trespipeline::SSection> none;
    const std::vector<trespipeline::SSection>& own = sections ? *sections : none;
    std::vector<SSheetPlan> out;
    // At least one sheet, even for a survey with no point to place.
    const bool any = std::any_of(p.own.begin(), p.own.end(), [](int n) { return n > 0; });
    for (size_t k = 0; k < p.plans.size(); ++k) {
        if (p.own[k] == 0 && (any || k > 0)) continue;
        SSheetPlan& plan = p.plans[k];
        const double from = static_cast<double>(plan.section.from), to = static_cast<double>(plan.section.to);
        plan.protection = LimitRuns(own, from, to, v.criterion.protection, false);
        plan.limit = LimitRuns(own, from, to, v.criterion.limitPotential, true);
        for (const std::vector<SLimitRun>* runs : {&plan.protection, &plan.limit})
            for (const SLimitRun& run : *runs) p.pot[k].Add(run.mv);
        plan.potAxis = assesslayout::FitPotentialAxis(p.pot[k].low, p.pot[k].high);
        plan.gradAxis = p.grad[k].Empty() ? assesslayout::FitGradientAxis(0, 0)
                                          : assesslayout::FitGradientAxis(p.grad[k].low, p.grad[k].high);
        out.push_back(std::move(plan));
    }
    return out;
}
