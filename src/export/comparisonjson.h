// SPDX-License-Identifier: GPL-3.0-or-later
// A survey set against an earlier or a native one (`compare`), as JSON for
// scripts: the mode, how the surveys were paired (alignmentjson.h), the
// criteria with their limits, the indications, the summary with the
// statistics of the differences in mV, and on request every pair.
#pragma once

#include "jsontext.h"

struct SComparison;

namespace tresexport {

// `comparison.alignment` is set (Compare() sets it).
ojson ComparisonJson(const SComparison& comparison, bool withPairs);

} // namespace tresexport
