// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixpointtrend.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace trestrend {

namespace {

bool Counts(const STrendRow& r) { return r.status != EVerdictStatus::NotAssessed && r.value; }

std::optional<int32_t> Median(std::vector<int64_t>& values)
{
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    if (n % 2 == 1) return static_cast<int32_t>(values[n / 2]);
    // Halves away from zero, in whole numbers: -1801 / 2 is -901.
    const int64_t sum = values[n / 2 - 1] + values[n / 2];
    const int64_t half = sum / 2 + (sum % 2 == 0 ? 0 : (sum < 0 ? -1 : 1));
    return static_cast<int32_t>(half);
}

// A survey's rows that count, by position, so that each fixed point looks
// only at the rows near it (a 70 km survey has 70,000).
struct SByPosition {
    std::vector<std::pair<double, int64_t>> rows; // position, E*

    explicit SByPosition(const STrendSurvey& s)
    {
        for (const STrendRow& r : s.rows)
            if (Counts(r)) rows.emplace_back(r.position, *r.value);
        std::sort(rows.begin(), rows.end());
    }
    std::optional<int32_t> MedianNear(double at, double window) const
    {
        std::vector<int64_t> values;
        // A metre of slack on both sides; the test itself is MedianNear's.
        auto it = std::lower_bound(rows.begin(), rows.end(), std::make_pair(at - window - 1, INT64_MIN));
        for (; it != rows.end() && it->first <= at + window + 1; ++it)
            if (std::fabs(it->first - at) <= window) values.push_back(it->second);
        return Median(values);
    }
};

} // namespace

std::optional<int32_t> MedianNear(const STrendSurvey& s, double at, double window)
{
    std::vector<int64_t> values;
    for (const STrendRow& r : s.rows)
        if (Counts(r) && std::fabs(r.position - at) <= window) values.push_back(*r.value);
    return Median(values);
}

std::vector<SFixpointTrend> FixpointTrends(const std::vector<STrendSurvey>& surveys,
                                           const std::vector<SFixpointAt>& fixpoints, double window, int drift,
                                           std::vector<std::string>& warnings)
{
    std::vector<SByPosition> sorted;
    for (const STrendSurvey& s : surveys) sorted.emplace_back(s);
    std::vector<SFixpointTrend> out;
    for (const SFixpointAt& f : fixpoints) {
        SFixpointTrend t{f.name, f.chainage, {}};
        std::optional<int32_t> last;
        size_t lastSurvey = 0;
        for (size_t i = 0; i < surveys.size(); ++i) {
            SFixpointValue v{i, sorted[i].MedianNear(f.chainage, window), std::nullopt};
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
