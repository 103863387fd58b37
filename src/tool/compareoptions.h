// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison's limit options, read alike by `compare` and by
// `report --compare`, so the two never disagree on a limit's syntax.
#pragma once

#include "doc/comparison.h"

#include <string>

// --worse-limit and --shift-limit (both take a value in mV).
bool IsCompareLimitOption(const std::string& name);

// Sets the limit `name` names from `value`. False with a German message in
// `error` when `value` is no whole number of mV.
bool SetCompareLimit(const std::string& name, const std::string& value, SCompareSettings& settings, std::string& error);
