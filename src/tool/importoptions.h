// SPDX-License-Identifier: GPL-3.0-or-later
// --map FILE and --skip-bad, taken by every command that opens a survey:
// they are taken out of the command's words before the command reads them,
// and set how the CSV reader reads every file of the run.
#pragma once

#include <vector>

// Removes the two options (also "--map=FILE") from `words`, up to a "--",
// and sets them for the run. -1 when the command can go on; otherwise the
// exit code after a German message (1 a value missing, 2 the map unreadable
// or wrong).
int TakeImportOptions(std::vector<char*>& words);
