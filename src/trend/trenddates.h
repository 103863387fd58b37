// SPDX-License-Identifier: GPL-3.0-or-later
// Dates of the trend, as the archive keeps them ("YYYY-MM-DD"): when the
// next survey is due, and how old an open dig is.
#pragma once

#include <optional>
#include <string>

namespace trestrend {

// `date` plus whole `years`; 29 February becomes 28 February in a year
// without it. Empty for a date that cannot be read.
std::string DatePlusYears(const std::string& date, int years);

// Days from `from` to `to` (negative when `to` is earlier); none when
// either cannot be read.
std::optional<long long> DaysBetween(const std::string& from, const std::string& to);

} // namespace trestrend
