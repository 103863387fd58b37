// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers given on the command line.
#pragma once

#include <cstdint>
#include <string_view>

// A decimal number ("-850", "-0.5", "5,5") times 10^`places`, truncated
// toward zero on its digits; false when it is no number or does not fit
// into 32 bits.
bool ParseScaledDecimal(std::string_view text, int places, int32_t& out);

// A decimal number with a point or a comma ("2.5", "0,8", "-3") as the
// double nearest to it, the same double the decimal text gives in C++
// source; false when it is no such number (no exponent, no "inf").
bool ParseDecimal(std::string_view text, double& out);
