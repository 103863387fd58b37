// SPDX-License-Identifier: GPL-3.0-or-later
// How `compare` aligns the two surveys before pairing their rows: by the
// pipeline data when given, else by their shared landmarks or an offset
// (comparisonalign.h), or not at all. Errors and warnings go to standard
// error in German.
#pragma once

#include "comparisonalign.h"

#include <memory>
#include <string>

class CTreDoc;

struct SCompareAlignOptions {
    bool align = true;    // false: --no-align, the recorded metres
    bool reverse = false; // --reverse
    std::string pipeline; // --pipeline FILE; empty: none
};

// False (the reason printed) when the surveys cannot be aligned as asked:
// pipeline data unreadable or faulty, a survey the data cannot re-station,
// landmarks that contradict each other, a reversed survey without --reverse.
bool AlignForCompare(const CTreDoc& current, const CTreDoc& earlier, bool native, const SCompareAlignOptions& options,
                     std::shared_ptr<const SAlignment>& out);
