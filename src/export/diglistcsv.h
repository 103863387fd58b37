// SPDX-License-Identifier: GPL-3.0-or-later
// The dig list for the spreadsheet, with where each defect lies: chainage,
// latitude/longitude (WGS 84, 7 decimals) and easting/northing (the
// binding's grid CRS, named in the column titles, 2 decimals). Without
// pipeline data those columns stay empty, so a sheet built on the columns
// takes either file. Spreadsheet-ready as the other exports (csvtext.h).
#pragma once

#include "exportinputs.h"

#include <string>

namespace tresexport {

// `binding` nullptr: no pipeline data; otherwise ok, and `verdict` assessed
// with its overrides.
std::string DigListCsv(const SVerdict& verdict, const trespipeline::SSurveyBinding* binding);
// The same table without the byte order mark, for a file of several tables
// (`assess --csv`).
void AppendDigListTable(std::string& out, const SVerdict& verdict, const trespipeline::SSurveyBinding* binding);
// " EPSG:25832" after a grid column's name with pipeline data; empty without.
std::string GridCrsSuffix(const trespipeline::SSurveyBinding* binding);
// A chainage or coordinate cell with its decimal comma, empty without one
// (not finite).
std::string FixedCell(double v, int decimals);

} // namespace tresexport
