// SPDX-License-Identifier: GPL-3.0-or-later
#include "valueaxis.h"

#include <algorithm>
#include <utility>

namespace valueaxis {

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

} // namespace valueaxis
