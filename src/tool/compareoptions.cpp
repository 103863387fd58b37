// SPDX-License-Identifier: GPL-3.0-or-later
#include "compareoptions.h"

#include "doc/numtext.h"

bool IsCompareLimitOption(const std::string& name) { return name == "--worse-limit" || name == "--shift-limit"; }

bool SetCompareLimit(const std::string& name, const std::string& value, SCompareSettings& settings, std::string& error)
{
    int32_t& target = name == "--worse-limit" ? settings.worseLimit : settings.shiftLimit;
    if (tresnum::ParseScaledDecimal(value, 0, target)) return true;
    error = "Ungültige Zahl bei " + name + ": \"" + value + "\"";
    return false;
}
