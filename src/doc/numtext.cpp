// SPDX-License-Identifier: GPL-3.0-or-later
#include "numtext.h"

#include "measrow.h"

#include <algorithm>
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
        if (!IsDigit(c)) return false;
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
        } else if (IsDigit(c)) digits = true;
        else return false;
    }
    if (!digits) return false;
    const char* first = plain.data();
    const auto [end, ec] = std::from_chars(first, first + plain.size(), out);
    return ec == std::errc() && end == first + plain.size();
}

bool ParseFieldNumber(std::string_view text, int places, int64_t& value)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) {
        value = NO_VALUE;
        return true;
    }
    std::string plain(text);
    if (constexpr std::string_view kMinus = "\u2212"; text.substr(0, kMinus.size()) == kMinus)
        plain.replace(0, kMinus.size(), "-");
    int32_t v = 0;
    if (!ParseScaledDecimal(plain, places, v) || v == NO_VALUE || v == -NO_VALUE) return false;
    value = v;
    return true;
}

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

std::string GermanFixed(double v, int decimals)
{
    std::string s = FormatFixed(RoundHalfAway(v, decimals), decimals);
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

std::string ThousandthsText(int64_t value, int decimals)
{
    decimals = std::clamp(decimals, 0, 3);
    int64_t unit = 1;
    for (int i = decimals; i < 3; ++i) unit *= 10;
    const uint64_t a = static_cast<uint64_t>(value < 0 ? -value : value);
    const uint64_t scaled = (a + static_cast<uint64_t>(unit) / 2) / static_cast<uint64_t>(unit);
    uint64_t fracUnit = 1;
    for (int i = 0; i < decimals; ++i) fracUnit *= 10;
    const uint64_t whole = scaled / fracUnit, frac = scaled % fracUnit;
    std::string text = value < 0 && scaled != 0 ? "-" : "";
    text += std::to_string(whole);
    if (decimals > 0) {
        std::string f = std::to_string(frac);
        text += "," + std::string(static_cast<size_t>(decimals) - f.size(), '0') + f;
    }
    return text;
}

std::string TenthsText(int64_t tenths, std::string_view absent)
{
    return tenths != NO_VALUE ? ThousandthsText(tenths * 100, 1) : std::string(absent);
}

std::string LengthText(double metres)
{
    // The assessment's lengths are sums of hundredths of a metre: rounding
    // to them gives the exact value back.
    const int64_t hundredths = std::llround(metres * 100.0);
    std::string text = ThousandthsText(hundredths * 10, 2);
    if (text.size() > 3 && text.compare(text.size() - 3, 3, ",00") == 0) return text.substr(0, text.size() - 3);
    if (text.back() == '0') text.pop_back();
    return text;
}

std::string HundredthsText(int64_t hundredths)
{
    return ThousandthsText(hundredths * 10, hundredths % 100 != 0 ? 2 : 0);
}

} // namespace tresnum
