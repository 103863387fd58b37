// SPDX-License-Identifier: GPL-3.0-or-later
// Field forms of the spreadsheet exports: what a German spreadsheet reads
// without asking.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace csvtext {

// Put first in every export, so the spreadsheet takes the file as UTF-8.
inline constexpr char kBom[] = "\xEF\xBB\xBF";

// A stored value with a decimal comma, `decimals` places from its unit
// (-850 mV with 3 gives "-0,850" V); empty when absent.
std::string Decimal(int32_t v, int decimals);
// A text field, as every export writes its texts. One that begins with
// '=', '+', '-', '@', a tab or a CR would be taken for a formula (which may
// call other programs) by a spreadsheet: an apostrophe in front keeps it
// text. Quoted only when it holds a separator, a quote or a line break.
// Numbers are never text fields: Decimal() writes them.
std::string TextCell(const std::string& text);
// The fields joined by semicolons, as one line ending in CR LF.
void AppendLine(std::string& out, std::initializer_list<std::string> fields);
void AppendLine(std::string& out, const std::vector<std::string>& fields);

} // namespace csvtext
