// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiedassessment.h"

#include "doc/rowverdict.h"
#include "doc/tredoc.h"
#include "fixpointplace.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace trespipeline {

namespace {

void AddOutsideRoute(SVerdict& v, const SSurveyBinding& b)
{
    if (b.outsideRoute.empty() && b.gpsOffRoute.empty()) return;
    v.warnings.insert(v.warnings.end(), b.outsideRoute.begin(), b.outsideRoute.end());
    v.warnings.insert(v.warnings.end(), b.gpsOffRoute.begin(), b.gpsOffRoute.end());
    std::stable_sort(v.warnings.begin(), v.warnings.end(),
                     [](const SPlausibilityWarning& a, const SPlausibilityWarning& b) {
                         return std::tie(a.kind, a.firstRow) < std::tie(b.kind, b.firstRow);
                     });
}

// The comment nearest a defect may be anything ("Unterbrecher
// ausgefallen"); the fixed points are what the dig crew finds.
void PlaceDefects(SVerdict& v, const SSurveyBinding& b)
{
    for (SCoatingDefect& d : v.defects) {
        const SFixpointPlace p = PlaceByFixpoints(b.pipeline.fixpoints, RowChainage(&b, d.row));
        if (!p.text.empty()) d.landmark.text = p.text;
    }
}

} // namespace

SVerdict AssessTied(const CTreDoc& doc, const SVerdictSettings& settings, const CTreDoc* native,
                    const SSurveyBinding* binding, const SNativePairing* pairing)
{
    const SRowOverrides* overrides = binding ? &binding->overrides : nullptr;
    SVerdict v;
    if (!native) {
        v = AssessProtection(doc, settings, nullptr, overrides);
    } else {
        SNativePairing own;
        if (!pairing) {
            own = PairNativeSurvey(doc, *native, NativeRequestFor(binding));
            pairing = &own;
        }
        if (pairing->applied) {
            SRowOverrides paired = overrides ? *overrides : SRowOverrides();
            paired.nativeRow = pairing->rows;
            // A pairing of other rows (the survey changed since) pairs none.
            paired.nativeRow.resize(static_cast<size_t>(doc.GetRowCount()), 0);
            v = AssessProtection(doc, settings, native, &paired);
        } else {
            v = AssessProtection(doc, settings, nullptr, overrides);
            v.nativeGiven = true;
            v.nativeWarning = pairing->warning;
        }
        v.nativeAlignment = pairing->alignment;
    }
    if (binding) {
        AddOutsideRoute(v, *binding);
        PlaceDefects(v, *binding);
    }
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

SRouteCoverage RouteCoverage(const SVerdict& v, const SSurveyBinding& binding)
{
    SRouteCoverage c;
    if (binding.ties.size() < 2) return c;
    // In hundredths of a metre, as the verdict's positions.
    const auto hundredths = [](double m) { return std::llround(m * 100); };
    const int64_t lo = hundredths(std::min(binding.ties.front().chainage, binding.ties.back().chainage));
    const int64_t hi = hundredths(std::max(binding.ties.front().chainage, binding.ties.back().chainage));
    const int64_t gap = LengthSetting(v.settings.gap);
    int64_t twice = 0; // doubled hundredths
    const std::vector<SVerdictRow>& rows = v.rows;
    for (size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].status == EVerdictStatus::NotAssessed) continue;
        const int64_t at = 2 * rows[k].position;
        // Half the way to each neighbour, at most half the gap, as its weight
        // counts; each half clipped to the span.
        const auto half = [&](size_t other) {
            const int64_t d = rows[other].position * 2 - at;
            const int64_t end = at + (d < 0 ? -1 : 1) * std::min(std::abs(d) / 2, gap);
            return std::max<int64_t>(0, std::min(std::max(at, end), 2 * hi) - std::max(std::min(at, end), 2 * lo));
        };
        if (k > 0) twice += half(k - 1);
        if (k + 1 < rows.size()) twice += half(k + 1);
    }
    c.routeLength = static_cast<double>(hi - lo) / 100.0;
    c.assessedLength = static_cast<double>(twice) / 200.0;
    c.shareTenths = ShareTenths(c.assessedLength, c.routeLength);
    return c;
}

} // namespace trespipeline
