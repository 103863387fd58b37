// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixpointtrend.h"

#include <algorithm>
#include <cmath>

namespace trestrend {

std::optional<int32_t> MedianNear(const STrendSurvey& s, double at, double window)
{
    std::vector<int64_t> values;
    for (const STrendRow& r : s.rows)
        if (r.status != EVerdictStatus::NotAssessed && r.value && std::fabs(r.position - at) <= window)
            values.push_back(*r.value);
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    if (n % 2 == 1) return static_cast<int32_t>(values[n / 2]);
    // Halves away from zero, in whole numbers: -1801 / 2 is -901.
    const int64_t sum = values[n / 2 - 1] + values[n / 2];
    const int64_t half = sum / 2 + (sum % 2 == 0 ? 0 : (sum < 0 ? -1 : 1));
    return static_cast<int32_t>(half);
}

std::vector<SFixpointTrend> FixpointTrends(const std::vector<STrendSurvey>& surveys,
                                           const std::vector<SFixpointAt>& fixpoints, double window, int drift,
                                           std::vector<std::string>& warnings)
{
    std::vector<SFixpointTrend> out;
    for (const SFixpointAt& f : fixpoints) {
        SFixpointTrend t{f.name, f.chainage, {}};
        std::optional<int32_t> last;
        size_t lastSurvey = 0;
        for (size_t i = 0; i < surveys.size(); ++i) {
            SFixpointValue v{i, MedianNear(surveys[i], f.chainage, window), std::nullopt};
            if (v.value && last) {
                v.change = *v.value - *last;
                if (*v.change >= drift)
                    warnings.push_back("„" + f.name + "“: " + surveys[i].date.substr(0, 4) + " um "
                                       + std::to_string(*v.change) + " mV positiver als "
                                       + surveys[lastSurvey].date.substr(0, 4));
            }
            if (v.value) {
                last = v.value;
                lastSurvey = i;
            }
            t.values.push_back(v);
        }
        out.push_back(std::move(t));
    }
    return out;
}

} // namespace trestrend
