// SPDX-License-Identifier: GPL-3.0-or-later
// Positions another logger's file brings itself. Without pipeline data its
// GPS track stands in for the route: each row where the logger put it, the
// rows between fixes placed along the track by their station, the station
// (unrounded, as the file wrote it) as the chainage every length of the
// assessment is measured in, and easting/northing in the UTM zone of the
// track's middle. With pipeline data the route rules, and a fix far from it
// is said.
#pragma once

#include "surveybinding.h"

#include <vector>

class CTreDoc;

namespace trespipeline {

// Whether the survey has a track to be tied to: two rows or more with a
// position and a station.
bool HasGpsTrack(const CTreDoc& doc);

// Not ok (with the German reason) when it has none or PROJ is missing.
SSurveyBinding BindSurveyToGps(const CTreDoc& doc, int gridEpsg = 0);

// With pipeline data: the runs of rows whose file position lies more than
// kMaxGpsOffset m from their place on the route, each with its largest
// distance ("GPS-Position 14 m neben der Trasse").
std::vector<SPlausibilityWarning> GpsOffRouteRuns(const CTreDoc& doc, const SSurveyBinding& binding);

} // namespace trespipeline
