// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiedassessment.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace trespipeline {

SVerdict AssessTied(const CTreDoc& doc, const SVerdictSettings& settings, const CTreDoc* native,
                    const SSurveyBinding* binding)
{
    SVerdict v = AssessProtection(doc, settings, native, binding ? &binding->overrides : nullptr);
    if (!binding || binding->outsideRoute.empty()) return v;
    v.warnings.insert(v.warnings.end(), binding->outsideRoute.begin(), binding->outsideRoute.end());
    std::stable_sort(v.warnings.begin(), v.warnings.end(),
                     [](const SPlausibilityWarning& a, const SPlausibilityWarning& b) {
                         return std::tie(a.kind, a.firstRow) < std::tie(b.kind, b.firstRow);
                     });
    return v;
}

double RowChainage(const SSurveyBinding* binding, int row)
{
    if (!binding || row < 1 || static_cast<size_t>(row) > binding->chainage.size()) return NAN;
    return binding->chainage[static_cast<size_t>(row - 1)];
}

const SPlace* RowPlace(const SSurveyBinding* binding, int row)
{
    if (!binding || row < 1 || static_cast<size_t>(row) > binding->places.size()) return nullptr;
    const std::optional<SPlace>& p = binding->places[static_cast<size_t>(row - 1)];
    return p ? &*p : nullptr;
}

} // namespace trespipeline
