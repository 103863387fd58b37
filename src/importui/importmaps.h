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
// every opener of this process reads CSV files with. The header values of
// one survey (pipeline, number, date) are not kept: the next export of the
// layout is another survey, and a date taken over unseen would file it
// under the wrong day; criterion and electrode are the contractor's way of
// measuring and stay.
void RememberImportMap(tresimport::SRememberedMap map);
// The remembered maps made what every opener reads CSV files with.
void UseRememberedImportMaps();
