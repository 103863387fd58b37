// SPDX-License-Identifier: GPL-3.0-or-later
// The rounding rules of chainages and coordinates, kept in one place so that
// every output of a position or chainage shows the same digits.
#pragma once

#include "doc/numtext.h"

#include <cstdint>
#include <optional>
#include <string>

namespace trespipeline {

// The German texts of numbers and their rounding are numtext's; the
// pipeline's messages and callers take them by these names.
using tresnum::GermanFixed;
using tresnum::GermanNumber;
using tresnum::GermanSignedFixed;
using tresnum::RoundHalfAway;

// The decimals every output keeps.
inline constexpr int kChainageDecimals = 2; // m
inline constexpr int kLatLonDecimals = 7;   // degrees, about 1 cm
inline constexpr int kGridDecimals = 2;     // easting/northing, m

// A chainage as the metre column takes it: whole metres, half away from
// zero; nullopt when it does not fit the column (32 bits) or is not finite.
std::optional<int32_t> WholeMetre(double chainage);

} // namespace trespipeline
