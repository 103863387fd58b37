// SPDX-License-Identifier: GPL-3.0-or-later
// `export`: the assessed survey for a GIS, a GPS or a spreadsheet: GeoJSON,
// KML, GPX and GeoPackage with the survey tied to its pipeline data, the dig
// list as CSV with or without it.
#include "assessoptions.h"
#include "commands.h"
#include "doc/tredoc.h"
#include "export/surveyexport.h"
#include "pipeline/tiedassessment.h"
#include "toolbinding.h"
#include "toolhost.h"

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
    // The map formats need places: the pipeline data's, or the file's own GPS.
    if (!binding && tresexport::ExportNeedsPipeline(format)) {
        ToolError("Das Format " + o.format
                  + " braucht Leitungsdaten für die Koordinaten (--pipeline LEITUNG.geojson) oder eine Datei mit "
                    "GPS-Positionen; ohne sie gibt es nur die Aufgrabungsliste als csv.");
        return kExitUsage;
    }

    const trespipeline::SSurveyBinding* b = binding ? &*binding : nullptr;
    trespipeline::SNativePairing pairing;
    if (native && !PairNativeForTool(doc, *native, o, b, pairing)) return kExitFile;

    const SVerdict verdict = trespipeline::AssessTied(doc, o.settings, native.get(), b, &pairing);
    if (!verdict.criterion.warning.empty()) ToolError("Warnung: " + verdict.criterion.warning);
    if (binding)
        for (const SPlausibilityWarning& w : binding->outsideRoute) ToolError("Warnung: " + PlausibilityText(w));
    std::vector<std::string> notes;
    std::string error;
    if (!tresexport::WriteSurveyExport(o.output, format, doc, verdict, b, notes, error)) {
        ToolError(error);
        return kExitFile;
    }
    for (const std::string& note : notes) ToolError("Hinweis: " + note);
    return kExitOk;
}
