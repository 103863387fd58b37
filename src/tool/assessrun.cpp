// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessrun.h"

#include "commands.h"
#include "export/verdictjson.h"
#include "import/surveyopen.h"
#include "pipeline/tiedassessment.h"
#include "toolbinding.h"

bool AssessForTool(const SAssessOptions& o, SToolAssessment& out, const std::string_view* bytes,
                   const std::string& reading)
{
    if (bytes) {
        out.doc.SetHost(&out.host);
        if (!tresimport::OpenSurveyBytes(out.doc, *bytes, o.path, reading)) return false;
    } else if (!OpenForTool(out.doc, out.host, o.path)) {
        return false;
    }
    if (!o.native.empty() && !OpenForTool(out.native, out.nativeHost, o.native)) return false;
    if (!BindForTool(out.doc, o, out.binding)) return false;
    const trespipeline::SSurveyBinding* b = out.Binding();
    if (!o.native.empty() && !PairNativeForTool(out.doc, out.native, o, b, out.pairing)) return false;

    out.verdict
        = trespipeline::AssessTied(out.doc, o.settings, o.native.empty() ? nullptr : &out.native, b, &out.pairing);
    if (!out.verdict.criterion.warning.empty()) ToolError(out.verdict.criterion.warning);
    // A reset counter changes what every length of the verdict is measured
    // along: said where the engineer sees it, not only in the list.
    for (const SPlausibilityWarning& w : out.verdict.warnings)
        if (w.kind == EPlausibility::CounterReset) ToolError(PlausibilityText(w));
    return true;
}

std::string AssessmentJsonText(const SToolAssessment& a, const SAssessOptions& o, bool rows)
{
    const tresexport::SVerdictJsonInputs named{.native = o.native, .pipeline = o.pipeline, .rows = rows};
    return jsontext::FileText(tresexport::VerdictJson(a.verdict, named, a.Binding()));
}
