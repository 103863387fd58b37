// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers as the map formats write them: a decimal point whatever the
// process locale, a fixed number of decimals, never "-0".
#pragma once

#include <string>

namespace tresexport {

std::string FixedText(double v, int decimals);
// A longitude or latitude in degrees, 7 decimals.
std::string DegreesText(double v);

} // namespace tresexport
