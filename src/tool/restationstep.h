// SPDX-License-Identifier: GPL-3.0-or-later
// `edit --restation LEITUNG.geojson`: the survey's metres re-stationed to
// the fixed points of its pipeline data (restation.h) and written back as
// whole metres, half away from zero, in one step of the document
// (CTreDoc::SetMetres, the same step as the program's "Stationierung an
// Festpunkte anpassen..."). Rows without a metre stay without one.
#pragma once

#include <string>

class CTreDoc;

// kExitOk when done (its warnings printed); kExitFile after a German
// message when the pipeline data cannot be read or the survey not tied to
// it, or a chainage does not fit the metre column.
int RestationForTool(CTreDoc& doc, const std::string& path, double stretchTolerance, bool forcePipeline = false);
