// SPDX-License-Identifier: GPL-3.0-or-later
#include "variant.h"

#include "random.h"
#include "tredoc.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace gensurvey {

namespace {

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

double Bump(double x, double from, double to)
{
    // Flat inside the stretch with soft shoulders of 5 m, so its ends are
    // not a single row's step.
    const double rise = std::clamp((x - from) / 5.0 + 1.0, 0.0, 1.0);
    const double fall = std::clamp((to - x) / 5.0 + 1.0, 0.0, 1.0);
    return std::min(rise, fall);
}

struct SStretch {
    double from, to, depth;
};

// `count` stretches spread evenly along the survey with some play.
std::vector<SStretch> Stretches(CRandom& rnd, double first, double last, int count, double minLen, double maxLen,
                                double minDepth, double maxDepth)
{
    std::vector<SStretch> out;
    const double slot = (last - first) / count;
    for (int i = 0; i < count; ++i) {
        const double len = rnd.Uniform(minLen, maxLen);
        const double from = first + slot * i + rnd.Uniform(0.1, 0.9) * std::max(0.0, slot - len);
        out.push_back({from, from + len, rnd.Uniform(minDepth, maxDepth)});
    }
    return out;
}

double Depth(const std::vector<SStretch>& stretches, double x)
{
    double d = 0;
    for (const SStretch& s : stretches) d = std::max(d, s.depth * Bump(x, s.from, s.to));
    return d;
}

void Shift(CTreDoc& doc, int r, int32_t (CTreDoc::*get)(int) const, void (CTreDoc::*set)(int, int32_t), int32_t by)
{
    const int32_t v = (doc.*get)(r);
    if (IsPresent(v)) (doc.*set)(r, v + by);
}

} // namespace

void MakeEarlierYear(CTreDoc& doc, uint32_t seed)
{
    CRandom rnd(seed);
    const int n = doc.GetRowCount();
    if (n < 1) return;
    const double first = doc.GetMeter(1), last = doc.GetMeter(n);
    CWander drift(rnd, 5);
    const std::vector<SStretch> aged = Stretches(rnd, first, last, 4, 20, 70, 60, 150);
    for (int r = 1; r <= n; ++r) {
        const double x = doc.GetMeter(r);
        const double better = 12 + drift.Next(x - first, rnd) + Depth(aged, x);
        Shift(doc, r, &CTreDoc::GetPotOff, &CTreDoc::SetPotOff, -Round(better + rnd.Noise(3)));
        Shift(doc, r, &CTreDoc::GetPotOn, &CTreDoc::SetPotOn, -Round(1.5 * better + rnd.Noise(4)));
    }
    doc.m_header[1] = "14.05.2024";
    doc.m_header[7] = "Jahresmessung, Boden trocken";
    doc.m_qm[7] = "14.05.24";
}

void MakeNative(CTreDoc& doc, uint32_t seed)
{
    CRandom rnd(seed);
    const int n = doc.GetRowCount();
    if (n < 1) return;
    const double first = doc.GetMeter(1), last = doc.GetMeter(n);
    CWander wander(rnd, 45);
    const std::vector<SStretch> foreign = Stretches(rnd, first, last, 2, 25, 60, 220, 280);
    for (int r = 1; r <= n; ++r) {
        const double x = doc.GetMeter(r);
        const int32_t native = Round(Squash(-600 + wander.Next(x - first, rnd), -600, 50) - Depth(foreign, x));
        const bool hadOn = IsPresent(doc.GetPotOn(r)), hadOff = IsPresent(doc.GetPotOff(r));
        doc.SetPotOn(r, hadOn ? native + Round(rnd.Noise(2)) : NO_VALUE);
        doc.SetPotOff(r, hadOff ? native : NO_VALUE);
        auto grad = [&](int32_t old) { return IsPresent(old) ? Round(rnd.Uniform(0, 4)) : NO_VALUE; };
        doc.SetGradOnL(r, grad(doc.GetGradOnL(r)));
        doc.SetGradOnR(r, grad(doc.GetGradOnR(r)));
        doc.SetGradOffL(r, grad(doc.GetGradOffL(r)));
        doc.SetGradOffR(r, grad(doc.GetGradOffR(r)));
    }
    doc.m_header[1] = "02.04.2025";
    doc.m_header[7] = "Nativmessung, Schutzstrom aus";
    doc.m_qm[7] = "02.04.25";
    doc.m_qm[9] = "Gleichrichter GR 4 abgeschaltet";
}

} // namespace gensurvey
