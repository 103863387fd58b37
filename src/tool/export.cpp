// SPDX-License-Identifier: GPL-3.0-or-later
// `export`: the assessed survey for a GIS, a GPS or a spreadsheet: GeoJSON,
// KML and GPX with the survey tied to its pipeline data, the dig list as
// CSV with or without it.
#include "assessoptions.h"
#include "commands.h"
#include "surveyexport.h"
#include "tiedassessment.h"
#include "toolbinding.h"
#include "toolhost.h"
#include "tredoc.h"

#include <memory>

int RunExport(const Args& args)
{
    SAssessOptions o;
    if (const int exit = ParseAssessOptions(args, EAssessCommand::Export, o); exit >= 0) return exit;
    const tresexport::EExportFormat format = *tresexport::ExportFormatFromId(o.format);
    CToolHost host;
    CTreDoc doc;
    if (!OpenForTool(doc, host, o.path)) return kExitFile;
    std::unique_ptr<CTreDoc> native;
    if (!o.native.empty()) {
        native = std::make_unique<CTreDoc>();
        if (!OpenForTool(*native, host, o.native)) return kExitFile;
    }
    std::optional<trespipeline::SSurveyBinding> binding;
    if (!BindForTool(doc, o, binding)) return kExitFile;

    const trespipeline::SSurveyBinding* b = binding ? &*binding : nullptr;
    trespipeline::SNativePairing pairing;
    if (native && !PairNativeForTool(doc, *native, o, b, pairing)) return kExitFile;

    const SVerdict verdict = trespipeline::AssessTied(doc, o.settings, native.get(), b, &pairing);
    if (!verdict.criterion.warning.empty()) ToolError("Warnung: " + verdict.criterion.warning);
    if (binding)
        for (const SPlausibilityWarning& w : binding->outsideRoute)
            ToolError("Warnung: " + std::string(PlausibilityName(w.kind)) + ": Zeilen " + std::to_string(w.firstRow)
                      + " bis " + std::to_string(w.lastRow) + " (Meter " + std::to_string(w.fromMetre) + " bis "
                      + std::to_string(w.toMetre) + ")");

    const tresexport::SExport e = tresexport::ExportSurvey(format, doc, verdict, b);
    if (!e.ok) {
        ToolError(e.error);
        return kExitUsage;
    }
    for (const std::string& note : e.notes) ToolError("Hinweis: " + note);
    return WriteTextFile(o.output, e.text) ? kExitOk : kExitFile;
}
