// SPDX-License-Identifier: GPL-3.0-or-later
// A survey set against an earlier or a native one (`compare --csv`), for a
// spreadsheet: the indications, the paired and unpaired metres, the
// statistics of the differences, the alignment, and on request every pair,
// tables one after the other with an empty line between them.
// Spreadsheet-ready as the other exports (csvtext.h).
#pragma once

#include <string>

struct SComparison;

namespace tresexport {

// The file's bytes, byte order mark first. `comparison.alignment` is set.
std::string ComparisonCsv(const SComparison& comparison, bool withPairs);

} // namespace tresexport
