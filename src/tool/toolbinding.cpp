// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolbinding.h"

#include "assessoptions.h"
#include "toolhost.h"

#include "pipeline/gpsbinding.h"
#include "pipeline/pipelineidentity.h"

bool BindForTool(const CTreDoc& doc, const SAssessOptions& o, std::optional<trespipeline::SSurveyBinding>& binding)
{
    binding.reset();
    // Another logger's file with its own positions is tied to its track.
    if (o.pipeline.empty() && trespipeline::HasGpsTrack(doc)) {
        trespipeline::SSurveyBinding b = trespipeline::BindSurveyToGps(doc, o.crs);
        if (!b.ok) {
            for (const std::string& e : b.errors) ToolError("Warnung: GPS-Positionen nicht verwendet: " + e);
            return true;
        }
        binding = std::move(b);
        return true;
    }
    if (o.pipeline.empty()) return true;
    trespipeline::SSurveyBinding b
        = o.pipelineText ? trespipeline::BindSurveyToText(doc, *o.pipelineText, o.pipeline, o.stretchTolerance, o.crs)
                         : trespipeline::BindSurveyToFile(doc, o.pipeline, o.stretchTolerance, o.crs);
    // Matching fixed-point names do not make the data this pipeline's.
    if (b.ok && !o.forcePipeline)
        if (const auto mismatch = trespipeline::PipelineMismatch(b.pipeline.route, doc)) {
            ToolError("Die Leitungsdaten " + o.pipeline + " werden nicht verwendet: " + mismatch->Text()
                      + " Mit --force-pipeline werden sie trotzdem verwendet.");
            return false;
        }
    if (!b.ok) {
        ToolError("Die Leitungsdaten " + o.pipeline + " lassen sich nicht verwenden:");
        for (const std::string& e : b.errors) ToolError("  " + e);
        return false;
    }
    for (const std::string& w : b.warnings) ToolError("Warnung: " + w);
    binding = std::move(b);
    return true;
}

bool PairNativeForTool(const CTreDoc& doc, const CTreDoc& native, const SAssessOptions& o,
                       const trespipeline::SSurveyBinding* binding, trespipeline::SNativePairing& out)
{
    out = trespipeline::PairNativeSurvey(doc, native, trespipeline::NativeRequestFor(binding, o.reverse));
    for (const std::string& n : out.notes) ToolError("Hinweis: " + n);
    if (!out.ok) {
        ToolError("Die Nativmessung " + o.native + " lässt sich der Messung nicht zuordnen:");
        for (const std::string& e : out.errors) ToolError("  " + e);
        if (out.refusal == tresdoc::ERefusal::Reversed)
            ToolError("Mit --reverse wird sie in umgekehrter Richtung zugeordnet.");
        return false;
    }
    if (!out.applied) ToolError("Warnung: " + out.warning);
    return true;
}
