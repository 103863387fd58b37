// SPDX-License-Identifier: GPL-3.0-or-later
// The criterion lines as the sections of the pipeline data step them: where
// a section sets its own E_p or E_l, the line runs at that value over the
// section's range, elsewhere at the survey's. The report's sheets and the
// curve panes draw the same steps.
#pragma once

#include "pipelinedata.h"

#include <cstdint>
#include <vector>

namespace trespipeline {

// A criterion line over part of an axis: the survey's value, or a section's
// of the pipeline data where it sets one.
struct SLimitRun {
    double from = 0, to = 0; // m on the axis
    int32_t mv = 0;
    bool section = false; // a section's own value
};

// E_p (`limit` false) or E_l across [from, to]: the survey's `value`, and
// each section's own where the first section covering a chainage sets one
// (sections.h), as runs of one value from left to right.
std::vector<SLimitRun> LimitRuns(const std::vector<SSection>& sections, double from, double to, int32_t value,
                                 bool limit);

} // namespace trespipeline
