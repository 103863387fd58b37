// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbers.h"

#include "numtext.h"

#include <cmath>
#include <limits>

namespace trespipeline {

double RoundHalfAway(double v, int decimals)
{
    if (!std::isfinite(v)) return v;
    const double scale = std::pow(10.0, decimals);
    const double x = std::fabs(v) * scale;
    double whole = std::floor(x);
    const double frac = x - whole;
    if (frac >= 0.5 - 1e-6) whole += 1;
    const double r = whole / scale;
    return v < 0 ? -r : r;
}

std::optional<int32_t> WholeMetre(double chainage)
{
    if (!std::isfinite(chainage)) return std::nullopt;
    const double r = RoundHalfAway(chainage, 0);
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(r);
}

std::string GermanFixed(double v, int decimals)
{
    std::string s = tresnum::FormatFixed(RoundHalfAway(v, decimals), decimals);
    for (char& c : s)
        if (c == '.') c = ',';
    if (s.find_first_not_of("-0,") == std::string::npos && s[0] == '-') s.erase(0, 1); // no "-0"
    return s;
}

std::string GermanSignedFixed(double v, int decimals, bool plus)
{
    std::string s = GermanFixed(v, decimals);
    if (s[0] == '-') return "\u2212" + s.substr(1);
    if (plus && s.find_first_not_of("0,") != std::string::npos) return "+" + s;
    return s;
}

std::string GermanNumber(double v, int maxDecimals)
{
    std::string s = GermanFixed(v, maxDecimals);
    if (s.find(',') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == ',') s.pop_back();
    }
    return s;
}

} // namespace trespipeline
