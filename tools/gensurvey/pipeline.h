// SPDX-License-Identifier: GPL-3.0-or-later
// Made-up pipeline data for a generated survey: a route in the Black Forest
// foothills (UTM zone 32), the survey's landmarks as fixed points and one
// anaerobic section, as a GeoJSON FeatureCollection.
#pragma once

#include <cstdint>
#include <string>

class CTreDoc;

namespace gensurvey {

// Every comment that occurs once in the survey (compared as the
// re-stationing compares them) and is no gap remark becomes a fixed point.
// Their chainages drift from the metres by 1-3 % between neighbours, up or
// down, drawn from `seed`, so re-stationing moves the metres by a few per
// cent. The route starts 5-15 m before the first fixed point and runs on
// 10-30 m past the last; its bends are drawn from `seed` as well. The
// section at -950 mV lies around the creek crossing ("Bachdüker"), or the
// middle fixed point of a survey without one. A survey with fewer than two
// such comments gives a route of its own length without fixed points.
std::string PipelineGeoJson(const CTreDoc& doc, uint32_t seed);

} // namespace gensurvey
