// SPDX-License-Identifier: GPL-3.0-or-later
// The trend across a pipeline's surveys as one result: the defect tracks,
// the changes of protection per pair of consecutive surveys, the potential
// at each fixed point, the warnings, the next survey's due date and the
// digs still open.
#pragma once

#include "defecttracks.h"
#include "fixpointtrend.h"
#include "protectionchanges.h"

#include <optional>
#include <string>
#include <vector>

namespace trestrend {

struct STrendOptions {
    double match = 5;            // m, --match
    double window = 5;           // m, --window
    int drift = 50;              // mV, --drift
    std::optional<int> interval; // years, --interval or the route's surveyInterval
    std::string today;           // YYYY-MM-DD, for the age of open digs
};

struct SOpenDig {
    size_t survey = 0;
    const STrendDefect* defect = nullptr;
    std::optional<long long> ageDays;
};

struct STrend {
    std::vector<STrack> tracks;
    std::vector<SProtectionChange> changes;
    std::vector<SFixpointTrend> fixpoints;
    std::vector<std::string> warnings;
    std::string nextSurveyDue; // empty without an interval
    std::vector<SOpenDig> openDigs;
};

// The action of a dig-list entry that asks for a dig at once.
inline constexpr const char* kDigNow = "umgehend aufgraben";

// `surveys` in date order, same date lower id first; the result points
// into `surveys` and `findings`.
STrend ComputeTrend(const std::vector<STrendSurvey>& surveys, const std::vector<SDigFinding>& findings,
                    const std::vector<SFixpointAt>& fixpoints, const STrendOptions& options);

} // namespace trestrend
