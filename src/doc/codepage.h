// SPDX-License-Identifier: GPL-3.0-or-later
// Header texts and comments are kept in the DOS code page 850 in measurement
// files (the handheld writes them so) and in UTF-8 in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tresdoc {

// Every CP850 byte has a character, so this never fails.
std::string Cp850ToUtf8(std::string_view cp850);

// Characters without a CP850 form are transliterated where glibc knows a
// close form ("€" becomes "EUR") and replaced by "?" otherwise; bytes that
// are not valid UTF-8 also become "?".
std::string Utf8ToCp850(std::string_view utf8);

// Well-formed UTF-8: no overlong forms, surrogates or code points beyond
// U+10FFFF.
bool IsValidUtf8(std::string_view s);

// One code point (at most U+10FFFF) appended as UTF-8.
void AppendUtf8(std::string& out, uint32_t cp);

} // namespace tresdoc
