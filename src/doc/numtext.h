// SPDX-License-Identifier: GPL-3.0-or-later
// Number <-> text conversions of the survey document. They behave like the C
// library's printf/atof family in the "C" locale, but never depend on the
// process locale (a German desktop locale would otherwise turn the decimal
// point of every file into a comma).
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

// Two's complement wrap of a wider result into 32 bits, the way the stored
// integer arithmetic behaves.
constexpr int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

} // namespace tresnum
