// SPDX-License-Identifier: GPL-3.0-or-later
#include "numtext.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tresnum {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string PadLeft(std::string s, int width)
{
    if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
    return s;
}

} // namespace

std::string FormatInt(long long v, int width, bool spaceFlag)
{
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, res.ptr);
    if (spaceFlag && v >= 0) s.insert(s.begin(), ' ');
    return PadLeft(std::move(s), width);
}

void AppendInt(std::string& out, long long v)
{
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, static_cast<size_t>(res.ptr - buf));
}

std::string FormatFixed(double v, int precision, int width)
{
    if (!std::isfinite(v)) return PadLeft(std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf"), width);
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
    return PadLeft(std::string(buf, res.ptr), width);
}

std::string VoltsText(int32_t mv, int width)
{
    std::string s;
    AppendVolts(s, mv, width);
    return s;
}

// "%W.2f" of the single-precision volts without a general formatter (the
// writer's most frequent call). A float has 24 significant bits, so volts
// times 100 is exact in double precision; rounding that to whole hundredths,
// ties to even, is what printf does with the exact value.
void AppendVolts(std::string& out, int32_t mv, int width)
{
    const float volts = static_cast<float>(mv) * 0.001f;
    const double x = std::fabs(static_cast<double>(volts) * 100.0);
    double whole = std::floor(x);
    const double rest = x - whole; // exact: x has at most 31 significant bits
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    const auto hundredths = static_cast<long long>(whole);

    char buf[32];
    char* p = buf;
    if (std::signbit(volts)) *p++ = '-';
    p = std::to_chars(p, buf + sizeof buf, hundredths / 100).ptr;
    *p++ = '.';
    *p++ = static_cast<char>('0' + hundredths % 100 / 10);
    *p++ = static_cast<char>('0' + hundredths % 10);
    const auto length = static_cast<int>(p - buf);
    if (length < width) out.append(static_cast<size_t>(width - length), ' ');
    out.append(buf, static_cast<size_t>(length));
}

double ParseDoublePrefix(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const size_t numStart = i;
    // The digits are gathered into an exact integer on the way: up to 15 of
    // them and no exponent (every number our files hold), 10^k is exact too
    // and one division rounds the way from_chars does - correctly, to nearest.
    constexpr size_t kExactDigits = 15;
    size_t digits = 0, fraction = 0;
    int64_t mantissa = 0;
    while (i < s.size() && IsDigit(s[i])) {
        if (++digits <= kExactDigits) mantissa = mantissa * 10 + (s[i] - '0');
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            if (++digits <= kExactDigits) mantissa = mantissa * 10 + (s[i] - '0');
            ++fraction;
            ++i;
        }
    }
    if (digits == 0) return 0.0;
    if (digits <= kExactDigits && !(i < s.size() && (s[i] == 'e' || s[i] == 'E'))) {
        static constexpr double kPow10[]
            = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double value = static_cast<double>(mantissa) / kPow10[fraction];
        return negative ? -value : value;
    }
    size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) ++j;
            end = j;
        }
    }
    double value = 0.0;
    auto res = std::from_chars(s.data() + numStart, s.data() + end, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on range errors; decide by the
        // exponent's sign whether it overflowed or underflowed.
        bool underflow = false;
        for (size_t k = numStart; k < end; ++k)
            if ((s[k] == 'e' || s[k] == 'E') && k + 1 < end && s[k + 1] == '-') underflow = true;
        value = underflow ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (res.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::optional<int32_t> ParseIntPrefix(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int64_t value = 0;
    bool any = false;
    while (i < s.size() && IsDigit(s[i])) {
        any = true;
        value = value * 10 + (s[i++] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
    }
    if (!any) return 0;
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<int32_t> TruncScaled(double v, double factor)
{
    const double x = v * factor;
    if (!std::isfinite(x)) return std::nullopt;
    const double t = std::trunc(x);
    if (t > std::numeric_limits<int32_t>::max() || t < std::numeric_limits<int32_t>::min()) return std::nullopt;
    return static_cast<int32_t>(t);
}

std::string AcceptDecimalComma(std::string_view s)
{
    std::string out(s);
    const size_t pos = out.find(',');
    if (pos != std::string::npos && pos >= 2) out[pos] = '.';
    return out;
}

double ParseDecimalCommaPrefix(std::string_view s)
{
    const size_t pos = s.find(',');
    if (pos == std::string_view::npos || pos < 2) return ParseDoublePrefix(s);
    char buf[64];
    if (s.size() > sizeof buf) return ParseDoublePrefix(AcceptDecimalComma(s));
    s.copy(buf, s.size());
    buf[pos] = '.';
    return ParseDoublePrefix(std::string_view(buf, s.size()));
}

} // namespace tresnum
