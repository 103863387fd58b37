// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparealign.h"

#include "pipeline/alignforcomparison.h"
#include "pipeline/pipelineidentity.h"
#include "pipeline/pipelinereader.h"
#include "toolhost.h"

bool AlignForCompare(const CTreDoc& current, const CTreDoc& earlier, bool native, const SCompareAlignOptions& options,
                     std::shared_ptr<const SAlignment>& out, const trespipeline::SPipelineData* data,
                     double stretchTolerance)
{
    trespipeline::SComparisonAlignRequest request;
    request.align = options.align;
    request.reverse = options.reverse;
    request.stretchTolerance = stretchTolerance;
    request.pipeline = data;
    trespipeline::SPipelineRead read;
    if (!data && !options.pipeline.empty()) {
        read = trespipeline::ReadPipelineFile(options.pipeline);
        for (const std::string& w : read.warnings) ToolError(w);
        for (const std::string& e : read.errors) ToolError(e);
        if (!read.ok) return false;
        request.pipeline = &read.data;
    }
    // Matching fixed-point names do not make the data either survey's.
    if (request.pipeline && !options.forcePipeline)
        for (const CTreDoc* survey : {&current, &earlier})
            if (const auto mismatch = trespipeline::PipelineMismatch(request.pipeline->route, *survey)) {
                ToolError("Die Leitungsdaten werden nicht verwendet: " + mismatch->Text()
                          + " Mit --force-pipeline werden sie trotzdem verwendet.");
                return false;
            }
    const trespipeline::SComparisonAlignResult r = trespipeline::AlignForComparison(current, earlier, native, request);
    for (const std::string& n : r.notes) ToolError(n);
    for (const std::string& e : r.errors) ToolError(e);
    if (!r.ok) {
        if (request.pipeline) return false;
        if (r.refusal == tresdoc::ERefusal::Reversed)
            ToolError("Mit --reverse wird sie gespiegelt zugeordnet; --no-align paart nach den Metern, wie sie sind.");
        else ToolError("--no-align paart nach den Metern, wie sie sind.");
        return false;
    }
    out = r.alignment;
    return true;
}
