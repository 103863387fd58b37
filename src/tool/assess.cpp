// SPDX-License-Identifier: GPL-3.0-or-later
// `assess`: the protection assessment of a survey ("Schutznachweis") as JSON
// for scripts, or its stretches that are not protected and its dig list as
// a spreadsheet export (verdictjson.h, verdictcsv.h). Both show
// AssessProtection()'s result as it is; with --pipeline measured in
// chainage, and each finding placed on the route.
#include "assessoptions.h"
#include "commands.h"
#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "export/verdictcsv.h"
#include "export/verdictjson.h"
#include "pipeline/tiedassessment.h"
#include "toolbinding.h"
#include "toolhost.h"

#include <cstdio>

using trespipeline::SSurveyBinding;

int RunAssess(const Args& args)
{
    SAssessOptions o;
    if (const int exit = ParseAssessOptions(args, EAssessCommand::Assess, o); exit >= 0) return exit;
    CToolHost host, nativeHost;
    CTreDoc doc, native;
    if (!OpenForTool(doc, host, o.path)) return kExitFile;
    if (!o.native.empty() && !OpenForTool(native, nativeHost, o.native)) return kExitFile;
    std::optional<trespipeline::SSurveyBinding> binding;
    if (!BindForTool(doc, o, binding)) return kExitFile;
    const SSurveyBinding* b = binding ? &*binding : nullptr;

    trespipeline::SNativePairing pairing;
    if (!o.native.empty() && !PairNativeForTool(doc, native, o, b, pairing)) return kExitFile;

    const SVerdict v = trespipeline::AssessTied(doc, o.settings, o.native.empty() ? nullptr : &native, b, &pairing);
    if (!v.criterion.warning.empty()) ToolError(v.criterion.warning);
    // A reset counter changes what every length of the verdict is measured
    // along: said where the engineer sees it, not only in the list.
    for (const SPlausibilityWarning& w : v.warnings)
        if (w.kind == EPlausibility::CounterReset) ToolError(PlausibilityText(w));
    const tresexport::SVerdictJsonInputs named{.native = o.native, .pipeline = o.pipeline, .rows = o.rows};
    const std::string text
        = o.csv ? tresexport::VerdictCsv(v, b) : jsontext::FileText(tresexport::VerdictJson(v, named, b));
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return kExitFile;
    }
    return kExitOk;
}
