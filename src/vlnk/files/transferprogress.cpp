// SPDX-License-Identifier: LGPL-2.1-or-later
#include "transferprogress.h"

#include <cstdio>

#include "linkstate.h"
#include "vlnkw32.h"

namespace vlnk {

void ReportTransferProgress(LinkState& link, unsigned long block, unsigned long earlyBytes, int* value, char* text)
{
    ReportTransferProgress(link, link.m_nDoneBytes, link.m_nFileSize, block, earlyBytes, value, text);
}

void ReportTransferProgress(LinkState& link, unsigned long done, unsigned long size, unsigned long block,
                            unsigned long earlyBytes, int* value, char* text)
{
    // Every five blocks of the file (of the current read) and at the end.
    const bool step = link.m_nDoneBytes % (5 * block) == 0 || done == size;
    if (step && static_cast<long>(done) != link.m_nLastReported) {
        // An empty file is done as soon as it starts.
        if (value) *value = size ? static_cast<int>(done * 100 / size) : 100;
        if (text) std::snprintf(text, VLNK_TEXT_SIZE, "%lu of %lu", done, size);
        link.m_nLastReported = static_cast<long>(done);
    } else if (done < earlyBytes && text) {
        std::snprintf(text, VLNK_TEXT_SIZE, "0 of %lu", size);
    }
}

} // namespace vlnk
