// SPDX-License-Identifier: GPL-3.0-or-later
// The potential at each fixed point over the years: the median E* of a
// survey's assessed rows near the point, its change to the survey before,
// and a warning where it rose (towards positive) by the drift limit or
// more.
#pragma once

#include "trendinput.h"

#include <optional>
#include <string>
#include <vector>

namespace trestrend {

struct SFixpointAt {
    std::string name;
    double chainage = 0; // m
};

struct SFixpointValue {
    size_t survey = 0;
    std::optional<int32_t> value;  // mV
    std::optional<int32_t> change; // mV, to the last survey before with a value
};

struct SFixpointTrend {
    std::string name;
    double chainage = 0;
    std::vector<SFixpointValue> values; // one per survey
};

// The median E* of the assessed rows within `window` m of `at`; with an
// even count the mean of the two middle values, half away from zero.
std::optional<int32_t> MedianNear(const STrendSurvey& s, double at, double window);

// `surveys` in date order; warnings such as "„Prüfstelle 14“: 2025 um
// 62 mV positiver als 2022" are appended to `warnings`.
std::vector<SFixpointTrend> FixpointTrends(const std::vector<STrendSurvey>& surveys,
                                           const std::vector<SFixpointAt>& fixpoints, double window, int drift,
                                           std::vector<std::string>& warnings);

} // namespace trestrend
