// SPDX-License-Identifier: GPL-3.0-or-later
// Delimited text as other loggers write it: UTF-8 or UTF-16 with or without
// a byte order mark (or an old single-byte code page), CR LF or LF, cells in
// quotes that may hold separators, quotes doubled and line breaks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tresimport {

// The file as UTF-8 without a BOM; false when it is no text (NUL bytes or
// control characters a text export never holds). Bytes that are not UTF-8
// are read as Windows-1252, the code page such exports fall back to.
bool DecodeText(std::string_view bytes, std::string& utf8);

// The record starting at `pos` split at `separator`; `pos` moves behind it
// and `line` counts the lines it spans. False at the end of the text.
bool NextRecord(std::string_view text, size_t& pos, char separator, std::vector<std::string>& cells, int& line);

// Line `index` (0-based) of the text without its line end and the blanks
// around it; empty when the text has fewer lines.
std::string LineAt(std::string_view text, int index);

// The separator a header line uses: the most frequent of tab, ';' and ','
// outside quotes (';' before ',' on a tie), or ';' when none occurs.
char DetectSeparator(std::string_view text, size_t pos);

} // namespace tresimport
