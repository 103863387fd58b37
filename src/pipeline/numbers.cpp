// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbers.h"

#include "doc/numtext.h"

#include <cmath>
#include <limits>

namespace trespipeline {

std::optional<int32_t> WholeMetre(double chainage)
{
    if (!std::isfinite(chainage)) return std::nullopt;
    const double r = RoundHalfAway(chainage, 0);
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(r);
}

} // namespace trespipeline
