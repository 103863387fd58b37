// SPDX-License-Identifier: GPL-3.0-or-later
// One entry to the exports of an assessed survey, for the tool's `export`
// and the program's "Datei" > "Exportieren": the map formats GeoJSON, KML,
// GPX and GeoPackage (mapwriters.h), which need the survey tied to pipeline
// data, and the dig list as CSV (diglistcsv.h), which has coordinates only
// then.
#pragma once

#include "exportinputs.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tresexport {

enum class EExportFormat { GeoJson = 0, Kml, Gpx, Csv, GeoPackage };

const char* ExportFormatId(EExportFormat f); // "geojson", "kml", "gpx", "csv", "gpkg"
std::optional<EExportFormat> ExportFormatFromId(std::string_view id);
// "GeoJSON", "KML", "GPX", "CSV", "GeoPackage"
const char* ExportFormatName(EExportFormat f);
// The file suffix without the dot: "geojson", "kml", "gpx", "csv", "gpkg".
const char* ExportFormatSuffix(EExportFormat f);
inline bool ExportNeedsPipeline(EExportFormat f) { return f != EExportFormat::Csv; }

struct SExport {
    bool ok = false;
    std::string text;               // the file's bytes
    std::vector<std::string> notes; // German: what was left without a position, or out
    std::string error;              // German, when not ok
};

// `verdict` is AssessProtection(doc, settings, native, binding ? &binding->overrides : nullptr);
// `binding` nullptr or ok. A map format without a binding is refused, and
// so is the GeoPackage, which is no text (WriteSurveyExport writes it).
SExport ExportSurvey(EExportFormat format, const CTreDoc& doc, const SVerdict& verdict,
                     const trespipeline::SSurveyBinding* binding);
// Any format written to `path` ("-": standard output), under a temporary
// name beside it that takes the name only when the file is complete; false
// with a German `error` (the document's file messages) when it cannot be
// written, and `path` is then as it was.
bool WriteSurveyExport(const std::string& path, EExportFormat format, const CTreDoc& doc, const SVerdict& verdict,
                       const trespipeline::SSurveyBinding* binding, std::vector<std::string>& notes,
                       std::string& error);

} // namespace tresexport
