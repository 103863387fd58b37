// SPDX-License-Identifier: GPL-3.0-or-later
// Where a finding lies between the fixed points of the pipeline data, as the
// dig crew finds it in the field: the nearest fixed point before it and the
// nearest after it in chainage direction, with the chainage distances. The
// nearest comment of the survey says nothing of the kind ("191,67 m nach
// „Unterbrecher ausgefallen“"); a fixed point is a post, a valve or a
// crossing with its chainage on the plan.
//
// Every fixed point of the data counts, whether a row of the survey names
// it or not: each has its chainage on the route, and a post the surveyor
// missed stands there all the same. Text, distances to two decimals:
//   "zwischen „A“ (+90,35 m) und „B“ (−112,20 m)"   (chainage − the point's)
//   "90,35 m nach „A“"    only one before it
//   "112,20 m vor „B“"    only one after it
//   "bei „A“"             at a fixed point (to the hundredth)
// Of fixed points at one chainage the first in file order is taken.
#pragma once

#include "pipelinedata.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace trespipeline {

struct SFixpointSide {
    size_t fixpoint = 0; // index into the fixed points
    double chainage = 0; // m, the fixed point's
    double distance = 0; // m, >= 0, two decimals
};

struct SFixpointPlace {
    std::optional<SFixpointSide> before, after; // before: at or below the chainage; after: above it
    bool at = false;                            // at `before` (distance 0)
    std::string text;                           // empty without any fixed point
};

// `chainage` NaN gives no place.
SFixpointPlace PlaceByFixpoints(const std::vector<SFixpoint>& fixpoints, double chainage);

} // namespace trespipeline
