// SPDX-License-Identifier: GPL-3.0-or-later
// Number <-> text conversions: those of the survey document behave like the
// C library's printf/atof family in the "C" locale, but never depend on the
// process locale (a German desktop locale would otherwise turn the decimal
// point of every file into a comma); those for people write and read the
// German decimal comma. Every layer takes its numbers as text from here, so
// the window, the tool, the report and the exports show the same digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tresnum {

// "%i", "% 6i", "% 5i": optional space before non-negative numbers, then
// right-aligned to at least `width` characters.
std::string FormatInt(long long v, int width = 0, bool spaceFlag = false);

// FormatInt(v) appended to `out`: the writer builds a file of them.
void AppendInt(std::string& out, long long v);

// "%W.Pf": fixed notation rounded from the exact binary value, right-aligned
// to at least `width` characters.
std::string FormatFixed(double v, int precision, int width = 0);

// Millivolts as volts, "%W.2f" of mV times the single-precision 0.001 the
// files and screens have always used (-855 mV gives -0.86).
std::string VoltsText(int32_t mv, int width);
// VoltsText(mv, width) appended to `out`.
void AppendVolts(std::string& out, int32_t mv, int width);

// The numeric prefix of a text as atof reads it: leading blanks, sign,
// digits, decimal point, exponent. No prefix gives 0. Infinite results (an
// exponent too large) come back as they are so the caller can refuse them.
double ParseDoublePrefix(std::string_view s);

// The integer prefix of a text as atoi reads it; nullopt when the digits do
// not fit into 32 bits. No digits gives 0.
std::optional<int32_t> ParseIntPrefix(std::string_view s);

// v * factor truncated toward zero, or nullopt when v is not finite or the
// result does not fit into 32 bits.
std::optional<int32_t> TruncScaled(double v, double factor);

// The decimal comma rule of the potential fields: a first comma at character
// position 2 or later becomes the decimal point; one at position 0 or 1 is
// left as it stands (the number then ends there).
std::string AcceptDecimalComma(std::string_view s);

// ParseDoublePrefix(AcceptDecimalComma(s)) without building the text: the
// reader calls it twice for every data line.
double ParseDecimalCommaPrefix(std::string_view s);

// ---- numbers a person typed -------------------------------------------------------
// A decimal number ("-850", "-0.5", "5,5") times 10^`places`, truncated
// toward zero on its digits; false when it is no number or does not fit
// into 32 bits.
bool ParseScaledDecimal(std::string_view text, int places, int32_t& out);

// A decimal number with a point or a comma ("2.5", "0,8", "-3") as the
// double nearest to it, the same double the decimal text gives in C++
// source; false when it is no such number (no exponent, no "inf").
bool ParseDecimal(std::string_view text, double& out);

// A field of a settings form (UTF-8): ParseScaledDecimal of the text
// without surrounding blanks, also with a typographic minus (U+2212). An
// empty field gives NO_VALUE (the caller's default); a number that would
// read as NO_VALUE itself is refused.
bool ParseFieldNumber(std::string_view text, int places, int64_t& value);

// ---- numbers for people -----------------------------------------------------------
// The text of an absent value (NO_VALUE) in lists, tables and the report.
inline constexpr std::string_view kAbsentText = "\u2013"; // en dash

// v rounded to `decimals` places, half away from zero. A value that lies
// within a millionth of a last-place unit of a half counts as the half: the
// binary arithmetic before it (207.5 arriving as 207.49999999999997) must
// not decide which way an exact decimal tie goes.
double RoundHalfAway(double v, int decimals);

// Always `decimals` places, decimal comma, never "-0" ("1,083", "5,0").
std::string GermanFixed(double v, int decimals);
// At most `maxDecimals` places, trailing zeros dropped ("12,5", "500",
// "-0,85").
std::string GermanNumber(double v, int maxDecimals = 3);
// GermanFixed with a typographic sign, for texts that show a direction:
// U+2212 before a negative number, "+" before a positive one when `plus`
// ("−0,337", "+90,35"); zero has none.
std::string GermanSignedFixed(double v, int decimals, bool plus = false);

// A value in thousandths (mV as V) with `decimals` (0..3) places, rounded
// half away from zero in integers: "-0,8", "-1,25".
std::string ThousandthsText(int64_t value, int decimals);
// Tenths (of a mV, of a per cent) with one decimal ("5,0", "-0,3");
// `absent` for NO_VALUE.
std::string TenthsText(int64_t tenths, std::string_view absent = kAbsentText);
// A length in m as a sum of hundredths: "12", "12,5", "12,05".
std::string LengthText(double metres);
// Hundredths of a metre as the dig crew reads them: "25", "25,40", "-3,05".
std::string HundredthsText(int64_t hundredths);

// Two's complement wrap of a wider result into 32 bits, the way the stored
// integer arithmetic behaves.
constexpr int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

} // namespace tresnum
