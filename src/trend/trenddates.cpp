// SPDX-License-Identifier: GPL-3.0-or-later
#include "trenddates.h"

#include <chrono>
#include <cstdio>

namespace trestrend {

namespace {

std::optional<std::chrono::year_month_day> Read(const std::string& text)
{
    int y = 0;
    unsigned m = 0, d = 0;
    char tail = 0;
    if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2u-%2u%c", &y, &m, &d, &tail) != 3) return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)};
    if (!date.ok()) return std::nullopt;
    return date;
}

} // namespace

std::string DatePlusYears(const std::string& date, int years)
{
    const auto d = Read(date);
    if (!d) return {};
    std::chrono::year_month_day due = *d + std::chrono::years(years);
    if (!due.ok()) due = std::chrono::year_month_day_last(due.year(), std::chrono::month_day_last(due.month()));
    char out[16];
    std::snprintf(out, sizeof out, "%04d-%02u-%02u", static_cast<int>(due.year()), static_cast<unsigned>(due.month()),
                  static_cast<unsigned>(due.day()));
    return out;
}

std::optional<long long> DaysBetween(const std::string& from, const std::string& to)
{
    const auto a = Read(from), b = Read(to);
    if (!a || !b) return std::nullopt;
    return (std::chrono::sys_days(*b) - std::chrono::sys_days(*a)).count();
}

} // namespace trestrend
