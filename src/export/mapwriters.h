// SPDX-License-Identifier: GPL-3.0-or-later
// The map formats of the exports, each from the same features
// (mapfeatures.h):
//   GeoJSON (RFC 7946)  a FeatureCollection; every feature's fields as its
//                       properties, "kind" first; no geometry (null) beyond
//                       the route
//   KML 2.2             a Document with the Folders "Trasse", "Abschnitte",
//                       "Fehlstellen" and "Festpunkte", one Style per status
//                       and mark in the verdict's palette, one Schema per
//                       kind and the fields as typed ExtendedData
//   GPX 1.1             a waypoint per defect (its dig-list name, the action
//                       as comment, the landmark as description) and per
//                       fixed point, and the survey's track; a waypoint
//                       needs a position, so features beyond the route are
//                       left out
//   GeoPackage          a layer per kind ("track", "stretches", "defects",
//                       "fixpoints"), each of one geometry type (LineString
//                       or Point), the fields as typed columns and NULL
//                       geometry beyond the route (geopackage.h)
// `notes` gets a German sentence for every kind of feature that went without
// a position.
#pragma once

#include "mapfeatures.h"

#include <string>
#include <vector>

namespace tresexport {

std::string GeoJsonText(const SMapFeatures& m, std::vector<std::string>& notes);
std::string KmlText(const SMapFeatures& m, std::vector<std::string>& notes);
std::string GpxText(const SMapFeatures& m, std::vector<std::string>& notes);
// Writes the GeoPackage into the database at `path` (a new, empty file);
// false with a German `error`.
bool GeoPackageFile(const std::string& path, const SMapFeatures& m, std::vector<std::string>& notes,
                    std::string& error);

// A note per kind of feature without geometry: kept without one, or (GPX's
// waypoints, `waypoints` true) left out.
void NotePositionless(const SMapFeatures& m, bool waypoints, std::vector<std::string>& notes);

} // namespace tresexport
