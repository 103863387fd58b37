// SPDX-License-Identifier: GPL-3.0-or-later
#include "curveoverlay.h"

#include "doc/tredoc.h"
#include "doc/verdict.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The lowest and highest of the values added.
struct SExtremes {
    int64_t low = std::numeric_limits<int64_t>::max(), high = std::numeric_limits<int64_t>::min();
    void Add(int64_t v)
    {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    bool Any() const { return low <= high; }
};

} // namespace

CCurveOverlay VerdictOverlay(const SVerdict& verdict, const std::vector<double>* positions,
                             const std::vector<trespipeline::SSection>* sections)
{
    CCurveOverlay o;
    o.spans = VerdictSpans(verdict, positions);
    for (const SCoatingDefect& d : verdict.defects) {
        const size_t i = static_cast<size_t>(d.row - 1);
        const double at = !positions ? d.metre : i < positions->size() ? (*positions)[i] : std::nan("");
        if (!std::isnan(at)) o.marks.push_back({at, d.category});
    }
    o.protection = verdict.criterion.protection;
    o.limit = verdict.criterion.limitPotential;
    if (sections && !sections->empty()) {
        // Beyond every chainage a pane can scroll to.
        constexpr double kFar = 1e9;
        o.protectionRuns = trespipeline::LimitRuns(*sections, -kFar, kFar, o.protection, false);
        o.limitRuns = trespipeline::LimitRuns(*sections, -kFar, kFar, o.limit, true);
    }
    return o;
}

void FitOverlayAxes(CCurveOverlay& o, const CTreDoc& doc, const std::vector<double>* positions, const CTreDoc* compare,
                    const std::vector<int32_t>* compareMetres)
{
    const int n = doc.GetRowCount();
    if (positions && positions->size() != static_cast<size_t>(n)) positions = nullptr;
    SExtremes pot, grad;
    const auto add = [](SExtremes& e, int32_t v) {
        if (IsPresent(v)) e.Add(v);
    };
    for (int r = 1; r <= n; ++r) {
        if (positions ? std::isnan((*positions)[static_cast<size_t>(r - 1)]) : !IsPresent(doc.GetMeter(r))) continue;
        add(pot, doc.GetPotOn(r));
        add(pot, doc.GetPotOff(r));
        add(grad, doc.GetGradOn(r));
        add(grad, doc.GetGradOff(r));
        add(grad, doc.GetGradDiff(r));
    }
    if (compare) {
        const int m = compare->GetRowCount();
        const bool aligned = compareMetres && compareMetres->size() == static_cast<size_t>(m);
        for (int r = 1; r <= m; ++r)
            if (IsPresent(aligned ? (*compareMetres)[static_cast<size_t>(r - 1)] : compare->GetMeter(r)))
                add(pot, compare->GetPotOff(r));
    }
    // The criterion lines only beside curves: alone they fit no axis.
    if (pot.Any()) {
        add(pot, o.protection);
        add(pot, o.limit);
        for (const auto* runs : {&o.protectionRuns, &o.limitRuns})
            for (const trespipeline::SLimitRun& run : *runs) add(pot, run.mv);
        o.potentialAxis = valueaxis::FitPotentialAxis(pot.low, pot.high);
    }
    if (grad.Any()) o.gradientAxis = valueaxis::FitGradientAxis(grad.low, grad.high);
}

bool RowsAtPositions(const std::vector<double>& positions, int first, int last, std::pair<double, double>& range)
{
    bool any = false;
    for (int r = std::max(first, 1); r <= last && static_cast<size_t>(r) <= positions.size(); ++r) {
        const double at = positions[static_cast<size_t>(r - 1)];
        if (std::isnan(at)) continue;
        range = any ? std::pair{std::min(range.first, at), std::max(range.second, at)} : std::pair{at, at};
        any = true;
    }
    return any;
}
