// SPDX-License-Identifier: GPL-3.0-or-later
#include "numarg.h"

#include <charconv>
#include <string>

// Truncated on the digits: no binary rounding can carry a limit over into
// the next tenth ("4.99999999999999999" reads as 5.0 in a double).
bool ParseScaledDecimal(std::string_view text, int places, int32_t& out)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
    int64_t value = 0;
    int digits = 0, fraction = -1; // fraction: digits after the point, -1 before it
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == '.' || c == ',') && fraction < 0) {
            fraction = 0;
            continue;
        }
        if (c < '0' || c > '9') return false;
        ++digits;
        if (fraction >= 0 && fraction++ >= places) continue; // truncated away
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) return false;
    }
    if (digits == 0) return false;
    for (int k = fraction < 0 ? 0 : fraction; k < places; ++k) {
        value *= 10;
        if (value > INT32_MAX) return false;
    }
    out = static_cast<int32_t>(negative ? -value : value);
    return true;
}

// from_chars ignores the locale, so "0,8" can never read as 0 under a
// German one; the comma becomes the point it means first.
bool ParseDecimal(std::string_view text, double& out)
{
    std::string plain(text);
    if (!plain.empty() && plain[0] == '+') plain.erase(0, 1);
    bool point = false, digits = false;
    for (size_t i = !plain.empty() && plain[0] == '-' ? 1 : 0; i < plain.size(); ++i) {
        char& c = plain[i];
        if ((c == '.' || c == ',') && !point) {
            point = true;
            c = '.';
        } else if (c >= '0' && c <= '9') digits = true;
        else return false;
    }
    if (!digits) return false;
    const char* first = plain.data();
    const auto [end, ec] = std::from_chars(first, first + plain.size(), out);
    return ec == std::errc() && end == first + plain.size();
}
