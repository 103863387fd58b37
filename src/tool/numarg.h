// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers given on the command line.
#pragma once

#include <cstdint>
#include <string_view>

// A decimal number ("-850", "-0.5", "5,5") times 10^`places`, truncated
// toward zero on its digits; false when it is no number or does not fit
// into 32 bits.
bool ParseScaledDecimal(std::string_view text, int places, int32_t& out);
