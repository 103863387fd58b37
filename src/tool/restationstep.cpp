// SPDX-License-Identifier: GPL-3.0-or-later
#include "restationstep.h"

#include "doc/tredoc.h"
#include "pipeline/numbers.h"
#include "pipeline/pipelineidentity.h"
#include "pipeline/pipelinereader.h"
#include "pipeline/restation.h"
#include "toolhost.h"

int RestationForTool(CTreDoc& doc, const std::string& path, double stretchTolerance, bool forcePipeline)
{
    const trespipeline::SPipelineRead read = trespipeline::ReadPipelineFile(path);
    for (const std::string& w : read.warnings) ToolError("Warnung: " + w);
    if (!read.ok) {
        ToolError("Die Leitungsdaten " + path + " lassen sich nicht verwenden:");
        for (const std::string& e : read.errors) ToolError("  " + e);
        return kExitFile;
    }
    if (const auto mismatch = trespipeline::PipelineMismatch(read.data.route, doc); mismatch && !forcePipeline) {
        ToolError("Die Leitungsdaten " + path + " werden nicht verwendet: " + mismatch->Text()
                  + " Mit --force-pipeline werden sie trotzdem verwendet.");
        return kExitFile;
    }
    const trespipeline::SRestation r = trespipeline::Restation(doc, read.data.fixpoints, stretchTolerance);
    for (const std::string& w : r.warnings) ToolError("Warnung: " + w);
    if (!r.ok) {
        ToolError("Die Messung lässt sich nicht an die Festpunkte aus " + path + " anpassen:");
        for (const std::string& e : r.errors) ToolError("  " + e);
        if (r.ties.empty()) ToolError("  " + trespipeline::PipelinesNamed(read.data.route, doc));
        return kExitFile;
    }
    const trespipeline::SWholeMetres whole = trespipeline::RestationedMetres(r.chainage);
    if (whole.badRow != 0) {
        ToolError("Zeile " + std::to_string(whole.badRow) + ": die Stationierung "
                  + trespipeline::GermanNumber(r.chainage[whole.badRow - 1], 2) + " m passt nicht in die Meterspalte.");
        return kExitFile;
    }
    doc.SetMetres(whole.metres);
    return kExitOk;
}
