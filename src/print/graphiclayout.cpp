// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphiclayout.h"

#include "doc/criterion.h"
#include "doc/numtext.h"
#include "doc/tredoc.h"

#include <algorithm>
#include <cmath>

namespace graphiclayout {

int Trunc(double v)
{
    constexpr double lim = 1 << 28;
    if (!(v > -lim)) return -(1 << 28);
    if (v > lim) return 1 << 28;
    return static_cast<int>(v);
}

int32_t UsableScale(int32_t scale) { return scale >= 1 ? scale : 1000; }

double PageMetres(int32_t scale)
{
    switch (UsableScale(scale)) {
    case 100: return 22;
    case 500: return 110;
    case 1000: return 220;
    case 2000: return 440;
    case 5000: return 1100;
    case 10000: return 2200;
    default: return UsableScale(scale) * 0.22;
    }
}

int PageCount(int32_t start, int32_t end, int32_t scale)
{
    const double pages = std::trunc((static_cast<double>(end) - start) / PageMetres(scale) + 0.99999);
    if (!(pages >= 1)) return 1;
    return pages > 1e6 ? 1000000 : static_cast<int>(pages);
}

int MetreStep(int32_t scale)
{
    scale = UsableScale(scale);
    if (scale <= 100) return 1;
    if (scale <= 500) return 5;
    if (scale <= 2000) return 10;
    return 50;
}

int CGraphicGeometry::X(int64_t m, int64_t p0) const { return Trunc(dataLeft + static_cast<double>(m - p0) * xs); }

CGraphicGeometry ComputeGeometry(const CDeviceFrame& f, int32_t scale, int32_t start, int32_t end)
{
    scale = UsableScale(scale);
    auto mmx = [&](double mm) { return mm * f.dpx / 25.4; };
    auto mmy = [&](double mm) { return mm * f.dpy / 25.4; };
    CGraphicGeometry g;
    g.axisLeft = Trunc(f.left + mmx(13));
    g.axisRight = Trunc(g.axisLeft + mmx(5));
    g.gradTop = Trunc(f.top + mmy(14));
    g.gradBottom = Trunc(g.gradTop + mmy(55));
    g.potTop = Trunc(g.gradBottom + mmy(19));
    g.potBottom = Trunc(g.potTop + mmy(50));
    g.dataLeft = Trunc(g.axisRight + mmx(8));
    g.metreStep = MetreStep(scale);
    const int step = g.metreStep;
    g.firstMetre = int64_t{step} * (start / step);

    const int provisionalRight = Trunc(f.right - mmx(7));
    const double fits = (provisionalRight - g.dataLeft) * 25.4 / f.dpx * scale * 0.001;
    int64_t last = static_cast<int64_t>(std::trunc(fits + static_cast<double>(g.firstMetre)));
    if (end < last) last = end;
    last = step * (last / step);
    // A range ending before the first metre plus one step would leave a page
    // without width and every x a division by zero.
    if (last < g.firstMetre + step) last = g.firstMetre + step;
    g.lastMetre = last;
    const int64_t paperMm = (1000 * (g.lastMetre - g.firstMetre)) / scale;
    g.dataRight = Trunc(f.dpx * static_cast<double>(paperMm) / 25.4 + g.dataLeft);
    g.span = g.lastMetre - g.firstMetre;
    g.xs = static_cast<float>(g.dataRight - g.dataLeft) / static_cast<float>(g.span);
    return g;
}

int GradientTickStep(int64_t q)
{
    if (q <= 0) return 0;
    int64_t s = 0;
    auto scan = [&](int64_t d) {
        if (99 * d < q && q < 200 * d) s = 20 * d;
        if (199 * d < q && q < 400 * d) s = 50 * d;
        if (399 * d < q && q < 700 * d) s = 100 * d;
        if (699 * d < q && q < 800 * d) s = 200 * d;
        if (799 * d < q && q < 1000 * d) s = 250 * d;
    };
    for (int64_t d = 1; d <= 10000; d *= 10) scan(d);
    if (s != 0) return static_cast<int>(s);
    // Below 10 mV: a tick every millivolt. Beyond the table: the table's
    // rule continued to larger decades.
    if (q < 100) return 10;
    for (int64_t d = 100000; d <= 100000000 && s == 0; d *= 10) scan(d);
    return s > 0 && s <= (1 << 30) ? static_cast<int>(s) : 0;
}

std::vector<int64_t> GradientTicks(int64_t h, int64_t d)
{
    std::vector<int64_t> ticks;
    const int64_t s = GradientTickStep(h - d);
    if (s <= 0) return ticks;
    int64_t below = s * (h / s);
    if (below < h) below += s;
    below -= s;
    for (int64_t v = h; v > d - s;) {
        if (v < d) v = d;
        ticks.push_back(v);
        v = ticks.size() == 1 ? below : v - s;
    }
    return ticks;
}

std::vector<int64_t> PotentialTicks(int32_t potAxisMax, int32_t potAxisMin)
{
    std::vector<int64_t> ticks;
    const int64_t r = -int64_t{potAxisMin};
    const double t = -static_cast<double>(potAxisMax);
    for (int64_t f = r; f < 1.02 * t && ticks.size() < 10000; f += 200) ticks.push_back(f);
    return ticks;
}

int MetreTickHalf(int64_t a, int b)
{
    int k = b;
    if (a % 1000 == 0) k = static_cast<int>(k * 1.6);
    if (a % 100 == 0) k = static_cast<int>(k * 1.5);
    if (a % 50 == 0) k = static_cast<int>(k * 1.4);
    return k;
}

bool MetreLabelled(int metreStep, int64_t a)
{
    switch (metreStep) {
    case 1: return a % 5 == 0;
    case 5: return a % 10 == 0;
    case 10: return a % 50 == 0;
    default: return a % 100 == 0;
    }
}

CRowRange CurveRows(const CTreDoc& doc, int64_t p0, int64_t p1)
{
    const int n = doc.GetRowCount();
    if (n <= 0) return {};
    int first = 0, before = 0;
    for (int r = 1; r <= n && first == 0; ++r) {
        const int32_t m = doc.GetMeter(r);
        if (!IsPresent(m)) continue;
        if (m >= p0) first = before ? before : r;
        before = r;
    }
    if (first == 0) first = before ? before : n;
    int last = first;
    while (last < n && (!IsPresent(doc.GetMeter(last)) || doc.GetMeter(last) < p1)) ++last;
    return {first, last};
}

int64_t CriterionValue(const CTreDoc& doc)
{
    // The one reading of the criterion, as the curves and the verdict use it
    // ("-0,85 V" is -850 mV; an unreadable text the -850 mV assumed).
    return -int64_t{SurveyProtectionCriterion(doc).protection};
}

int32_t PrintedIRFree(const CTreDoc& doc, int r)
{
    const int32_t v = doc.GetPotIRFree(r);
    if (!IsPresent(v)) return NO_VALUE;
    const int32_t lo = doc.m_limits[POTIR];
    const int32_t hi = doc.m_limits[POTIR + 12];
    if (IsPresent(lo) && IsPresent(hi) && (v > hi || v < lo)) return NO_VALUE;
    return v;
}

} // namespace graphiclayout

namespace graphiclayout {

CPrintRange PrintRange(const CTreDoc& doc)
{
    const int first = doc.FirstRowWithMetre();
    CPrintRange range;
    range.start = IsPresent(doc.m_nPlotStart) ? doc.m_nPlotStart : first ? doc.GetMeter(first) : 0;
    range.end = IsPresent(doc.m_nPlotEnd) ? doc.m_nPlotEnd : first ? doc.GetMeter(doc.LastRowWithMetre()) : 0;
    if (range.end < 20) range.end = 20;
    return range;
}

void ApplyRangeDefaults(CTreDoc& doc)
{
    const CPrintRange range = PrintRange(doc);
    doc.m_nPlotStart = range.start;
    doc.m_nPlotEnd = range.end;
}

} // namespace graphiclayout
