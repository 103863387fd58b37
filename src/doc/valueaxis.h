// SPDX-License-Identifier: GPL-3.0-or-later
// How a value axis is fitted to what it shows: one rule for the report's
// sheets and the curve panes with the verdict laid over them, so an
// engineer reads the same scale on screen and on paper.
#pragma once

#include <cstdint>
#include <vector>

namespace valueaxis {

// An axis from `low` to `high` (low < high) with ticks every `step`, in the
// unit of the values it was fitted to.
struct SAxis {
    int64_t low = 0, high = 0, step = 1;
    bool operator==(const SAxis&) const = default;
};

// `v` rounded down (up) to a multiple of `step` (> 0), also below zero.
int64_t FloorTo(int64_t v, int64_t step);
int64_t CeilTo(int64_t v, int64_t step);

// A tick step of 1, 2 or 5 times a power of ten that cuts `range` into at
// most `maxTicks` steps (1 for an empty or negative range).
int64_t NiceStep(int64_t range, int maxTicks);

// The potential axis (mV) from the most negative to the most positive value
// shown: widened outward to whole 100 mV and to at least 400 mV, the extra
// height shared out above and below in 100 mV steps (an odd one more on
// the negative side). The ticks fall on multiples of 100 mV, more apart on
// a tall axis.
SAxis FitPotentialAxis(int64_t lowest, int64_t highest);
// The gradient axis (tenths of a mV): from the least to the greatest value
// shown with zero included, at least 10 mV tall, widened to whole tick steps.
SAxis FitGradientAxis(int64_t lowest, int64_t highest);
// The ticks of `axis` from low to high: the multiples of its step.
std::vector<int64_t> AxisTicks(const SAxis& axis);

} // namespace valueaxis
