// SPDX-License-Identifier: GPL-3.0-or-later
// The column maps the import dialog remembers by a file's header line, in
// the program's settings, so that the next export of the same layout opens
// without asking, also through "Öffnen", a drop or the recent files.
#pragma once

#include "import/csvreader.h"

#include <vector>

// Newest first.
std::vector<tresimport::SRememberedMap> RememberedImportMaps();
// Kept in place of one remembered for the same header line and made what
// every opener of this process reads CSV files with.
void RememberImportMap(const tresimport::SRememberedMap& map);
// The remembered maps made what every opener reads CSV files with.
void UseRememberedImportMaps();
