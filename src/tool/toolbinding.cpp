// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolbinding.h"

#include "assessoptions.h"
#include "toolhost.h"

bool BindForTool(const CTreDoc& doc, const SAssessOptions& o, std::optional<trespipeline::SSurveyBinding>& binding)
{
    binding.reset();
    if (o.pipeline.empty()) return true;
    trespipeline::SSurveyBinding b = trespipeline::BindSurveyToFile(doc, o.pipeline, o.stretchTolerance, o.crs);
    if (!b.ok) {
        ToolError("Die Leitungsdaten " + o.pipeline + " lassen sich nicht verwenden:");
        for (const std::string& e : b.errors) ToolError("  " + e);
        return false;
    }
    for (const std::string& w : b.warnings) ToolError("Warnung: " + w);
    binding = std::move(b);
    return true;
}
