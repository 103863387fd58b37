// SPDX-License-Identifier: GPL-3.0-or-later
// The first lines of a delimited export as the import dialog shows them
// while the user assigns its columns: split as the reader will split them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tresimport {

struct SCsvPreview {
    // One entry per line of the file from its first; the lines before the
    // header line are one cell each (a logger's notes are no table).
    std::vector<std::vector<std::string>> lines;
    // The text's line numbers (1-based) of those entries: a quoted cell may
    // span lines.
    std::vector<int> lineNumbers;
    size_t headerIndex = 0; // entry of the header line; lines.size() when the text has none
    char separator = ';';   // the one given, or the one the header line uses
};

// At most `count` entries of the decoded text `utf8`, with `skip` lines
// before the header line; `separator` 0 is told from the header line.
SCsvPreview PreviewText(std::string_view utf8, int skip, char separator, size_t count);

} // namespace tresimport
