// SPDX-License-Identifier: GPL-3.0-or-later
// How `compare` and `report --compare` align the two surveys before pairing
// their rows (alignforcomparison.h): the options they share, the pipeline
// data read from its file, errors and notes to standard error in German.
#pragma once

#include "doc/metrealign.h"
#include "pipeline/pipelinedata.h"

#include <memory>
#include <string>

class CTreDoc;

struct SCompareAlignOptions {
    bool align = true;          // false: --no-align, the recorded metres
    bool reverse = false;       // --reverse
    std::string pipeline;       // --pipeline FILE; empty: none
    bool forcePipeline = false; // --force-pipeline: data naming another pipeline are taken
};

// False (the reason printed) when the surveys cannot be aligned as asked:
// pipeline data unreadable or faulty, a survey the data cannot re-station,
// landmarks that contradict each other, a reversed survey without --reverse.
// `data`: the pipeline data already read (the report's binding holds it);
// nullptr reads options.pipeline when it names a file.
bool AlignForCompare(const CTreDoc& current, const CTreDoc& earlier, bool native, const SCompareAlignOptions& options,
                     std::shared_ptr<const SAlignment>& out, const trespipeline::SPipelineData* data = nullptr,
                     double stretchTolerance = 0.05);
