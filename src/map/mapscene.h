// SPDX-License-Identifier: GPL-3.0-or-later
// What the map draws of a survey tied to its pipeline data, in the grid of
// the binding (ETRS89/UTM of the route's zone unless chosen otherwise), so
// distances on the map are metres on the ground:
//   route      the pipeline's drawn route, vertex by vertex
//   track      the rows with a place, in row order, as runs of one status;
//              where the status changes between two rows the line changes
//              colour half-way, as each row stands for half the way to its
//              neighbours. A row beyond the route breaks the line.
//   defects    every suspected coating defect at its row, with its dig-list
//              priority
//   fixpoints  every fixed point of the data on the route at its chainage,
//              marked whether a row names it
// Built without Qt, from the same binding and verdict the window shows.
#pragma once

#include "doc/rowverdict.h"
#include "mapgeometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CTreDoc;
struct SVerdict;

namespace trespipeline {
struct SSurveyBinding;
}

namespace tresmap {

struct SMapTrackRun {
    bool judged = false; // false: no verdict at hand, the plain track colour
    EVerdictStatus status = EVerdictStatus::NotAssessed;
    std::vector<SGroundPoint> points;
};

struct SMapDefect {
    SGroundPoint at;
    int priority = 0; // in the dig list, 1..n
    int category = 0; // 1..4, 0 without %IR
    int row = 0;
    int32_t metre = 0;
};

struct SMapFixpoint {
    SGroundPoint at;
    std::string name;
    bool found = false; // a row names it
};

struct SMapScene {
    std::vector<SGroundPoint> route;
    std::vector<SMapTrackRun> track;
    std::vector<SMapDefect> defects; // by priority
    int defectsOffRoute = 0;         // defects whose row has no place: not drawn
    std::vector<SMapFixpoint> fixpoints;
    // Per row, index r - 1: where the row lies; none without a place.
    std::vector<std::optional<SGroundPoint>> rows;
    double northBearing = 0; // grid bearing of true north, degrees
    int gridEpsg = 0;

    bool Empty() const { return route.empty(); }
    // The route and every place.
    SGroundBox Bounds() const;
};

// `binding` must be ok and belong to `doc` as it is; `verdict` (null: none)
// assessed with its overrides.
SMapScene BuildMapScene(const CTreDoc& doc, const SVerdict* verdict, const trespipeline::SSurveyBinding& binding);

} // namespace tresmap
