// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers in the cells of another logger's export: decimals with the
// file's decimal mark, and stations in the notations surveys are kept in.
#pragma once

#include "columnmap.h"

#include <optional>
#include <string_view>

namespace tresimport {

// A decimal number with `decimal` ('.' or ',') as its mark, blanks around
// it allowed; nullopt when the cell holds anything else.
std::optional<double> CellNumber(std::string_view cell, char decimal);

// A station in metres: "m" a number, "km+m" "12+345,6", "ft+ft" "10712+32"
// (100-foot stations), "ft" a number of feet; nullopt when the cell is no
// station of that notation.
std::optional<double> CellStation(std::string_view cell, EStationNotation notation, char decimal);

// The notation stations in "+" form are written in, told by the digits
// behind the plus: three for metres after kilometres, two for feet after
// 100-foot stations. Metre without any plus.
EStationNotation GuessStationNotation(std::string_view cell);

// "1", "ja", "yes", "true", "x", "y", "j" in any case.
bool CellFlag(std::string_view cell);

std::string_view Trimmed(std::string_view s);

} // namespace tresimport
