// SPDX-License-Identifier: GPL-3.0-or-later
// The rounding rules of chainages and coordinates, kept in one place so that
// every output of a position or chainage shows the same digits, and numbers
// in German messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace trespipeline {

// v rounded to `decimals` places, half away from zero. A value that lies
// within a millionth of a last-place unit of a half counts as the half: the
// binary arithmetic before it (207.5 arriving as 207.49999999999997) must
// not decide which way an exact decimal tie goes.
double RoundHalfAway(double v, int decimals);

// The decimals every output keeps.
inline constexpr int kChainageDecimals = 2; // m
inline constexpr int kLatLonDecimals = 7;   // degrees, about 1 cm
inline constexpr int kGridDecimals = 2;     // easting/northing, m

// A chainage as the metre column takes it: whole metres, half away from
// zero; nullopt when it does not fit the column (32 bits) or is not finite.
std::optional<int32_t> WholeMetre(double chainage);

// A number for a German message: decimal comma, at most `maxDecimals`
// places, trailing zeros dropped ("12,5", "500", "-0,85").
std::string GermanNumber(double v, int maxDecimals = 3);
// Always `decimals` places ("1,083", "5,0").
std::string GermanFixed(double v, int decimals);
// The same with a typographic sign, for texts that show a direction: U+2212
// before a negative number, "+" before a positive one when `plus`
// ("−0,337", "+90,35"); zero has none.
std::string GermanSignedFixed(double v, int decimals, bool plus = false);

} // namespace trespipeline
