// SPDX-License-Identifier: GPL-3.0-or-later
#include "restationstep.h"

#include "numbers.h"
#include "pipelinereader.h"
#include "restation.h"
#include "toolhost.h"
#include "tredoc.h"

int RestationForTool(CTreDoc& doc, const std::string& path, double stretchTolerance)
{
    const trespipeline::SPipelineRead read = trespipeline::ReadPipelineFile(path);
    for (const std::string& w : read.warnings) ToolError("Warnung: " + w);
    if (!read.ok) {
        ToolError("Die Leitungsdaten " + path + " lassen sich nicht verwenden:");
        for (const std::string& e : read.errors) ToolError("  " + e);
        return kExitFile;
    }
    const trespipeline::SRestation r = trespipeline::Restation(doc, read.data.fixpoints, stretchTolerance);
    for (const std::string& w : r.warnings) ToolError("Warnung: " + w);
    if (!r.ok) {
        ToolError("Die Messung lässt sich nicht an die Festpunkte aus " + path + " anpassen:");
        for (const std::string& e : r.errors) ToolError("  " + e);
        return kExitFile;
    }
    std::vector<int32_t> metres(r.chainage.size(), NO_VALUE);
    for (size_t i = 0; i < r.chainage.size(); ++i) {
        if (!trespipeline::HasChainage(r.chainage[i])) continue;
        const std::optional<int32_t> m = trespipeline::WholeMetre(r.chainage[i]);
        if (!m) {
            ToolError("Zeile " + std::to_string(i + 1) + ": die Stationierung "
                      + trespipeline::GermanNumber(r.chainage[i], 2) + " m passt nicht in die Meterspalte.");
            return kExitFile;
        }
        metres[i] = *m;
    }
    doc.SetMetres(metres);
    return kExitOk;
}
