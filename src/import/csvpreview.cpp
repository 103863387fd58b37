// SPDX-License-Identifier: GPL-3.0-or-later
#include "csvpreview.h"

#include "csvtext.h"

namespace tresimport {

SCsvPreview PreviewText(std::string_view utf8, int skip, char separator, size_t count)
{
    SCsvPreview out;
    size_t pos = 0;
    int line = 0;
    for (int i = 0; i < skip && pos < utf8.size() && out.lines.size() < count; ++i) {
        out.lineNumbers.push_back(++line);
        out.lines.push_back({LineAt(utf8, i)});
        const size_t nl = utf8.find('\n', pos);
        pos = nl == std::string_view::npos ? utf8.size() : nl + 1;
    }
    out.headerIndex = out.lines.size();
    out.separator = separator ? separator : DetectSeparator(utf8, pos);
    std::vector<std::string> cells;
    while (out.lines.size() < count) {
        const int first = line + 1;
        if (!NextRecord(utf8, pos, out.separator, cells, line)) break;
        out.lineNumbers.push_back(first);
        out.lines.push_back(cells);
    }
    if (out.headerIndex >= out.lines.size()) out.headerIndex = out.lines.size();
    return out;
}

} // namespace tresimport
