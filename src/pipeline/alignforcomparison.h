// SPDX-License-Identifier: GPL-3.0-or-later
// How two surveys are aligned before they are compared: one step that
// `compare`, the report's comparison section and the program's "Vergleich"
// all take, so each pairs the same rows. With pipeline data both surveys
// are re-stationed by their own fixed points and paired by chainage; else
// by the landmarks they share or an offset (metrealign.h); or by the
// recorded metres when asked.
#pragma once

#include "doc/metrealign.h"
#include "pipelinedata.h"
#include "restation.h"

#include <memory>
#include <string>
#include <vector>

class CTreDoc;

namespace trespipeline {

struct SComparisonAlignRequest {
    bool align = true;                       // false: the recorded metres (--no-align)
    bool reverse = false;                    // accept an earlier survey walked from the other end
    const SPipelineData* pipeline = nullptr; // re-station both surveys by its fixed points
    double stretchTolerance = kDefaultStretchTolerance;
};

struct SComparisonAlignResult {
    bool ok = false;
    // German. errors: why the surveys cannot be aligned as asked (a survey
    // the pipeline data cannot re-station, landmarks that contradict each
    // other, a reversed survey not accepted); each re-stationing's lines
    // start with "Aktuelle Messung: " or "Vergleichsmessung: ". notes: what
    // the user should know of an alignment that went through (the
    // re-stationings' warnings, no offset found, a native survey paired by
    // its metres).
    std::vector<std::string> errors, notes;
    // What callers decide by: Reversed when the one refusal is a survey
    // walked from the other end, which `reverse` would accept.
    tresdoc::ERefusal refusal = tresdoc::ERefusal::None;
    std::shared_ptr<const SAlignment> alignment; // set when ok; for SCompareSettings::alignment
};

SComparisonAlignResult AlignForComparison(const CTreDoc& current, const CTreDoc& earlier, bool native,
                                          const SComparisonAlignRequest& request);

} // namespace trespipeline
