// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the drawn route agrees with the stationing of the fixed points. A
// route digitised in the wrong CRS, or from a plan at the wrong scale, puts
// every position off while the re-stationing alone looks sound.
//
// The tie span T is |S_last - S_first| of the outermost ties (in row order)
// whose fixed points have a Point; the route length G between them is the
// distance along the route between the route's points nearest to those two
// Points. A warning when |G - T| > tolerance * T (default 5 %). With fewer
// than two such ties (fixed points without geometry) there is nothing to
// compare: `checked` stays false.
#pragma once

#include "pipelinedata.h"
#include "restation.h"
#include "route.h"

#include <string>

namespace trespipeline {

inline constexpr double kDefaultRouteLengthTolerance = 0.05;

struct SRouteLengthCheck {
    bool checked = false;
    double routeLength = 0; // G, m
    double tieSpan = 0;     // T, m
    std::string warning;    // German; empty when within the tolerance
};

SRouteLengthCheck CheckRouteLength(const CRoutePath& path, const std::vector<SFixpoint>& fixpoints,
                                   const SRestation& restation, double tolerance = kDefaultRouteLengthTolerance);

} // namespace trespipeline
