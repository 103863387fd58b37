// SPDX-License-Identifier: GPL-3.0-or-later
// The protection assessment for a spreadsheet (`assess --csv`): the
// stretches that are not protected, then after an empty line the dig list as
// `export` writes it (diglistcsv.h). The columns of where they lie (chainage,
// latitude/longitude, easting/northing) are there also without pipeline data
// (then empty), so a sheet built on them takes either file.
#pragma once

#include "exportinputs.h"

#include <string>

namespace tresexport {

// The file's bytes, byte order mark first. `binding` nullptr: no pipeline
// data; otherwise ok, and `verdict` assessed with its overrides.
std::string VerdictCsv(const SVerdict& verdict, const trespipeline::SSurveyBinding* binding);

} // namespace tresexport
