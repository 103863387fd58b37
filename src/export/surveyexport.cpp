// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveyexport.h"

#include "diglistcsv.h"
#include "mapwriters.h"
#include "surveybinding.h"

#include "fileerror.h"

#include <cerrno>
#include <cstdio>

namespace tresexport {

namespace {

struct SFormat {
    EExportFormat format;
    const char *id, *name;
};
constexpr SFormat kFormats[] = {{EExportFormat::GeoJson, "geojson", "GeoJSON"},
                                {EExportFormat::Kml, "kml", "KML"},
                                {EExportFormat::Gpx, "gpx", "GPX"},
                                {EExportFormat::Csv, "csv", "CSV"}};

} // namespace

const char* ExportFormatId(EExportFormat f) { return kFormats[static_cast<int>(f)].id; }
const char* ExportFormatName(EExportFormat f) { return kFormats[static_cast<int>(f)].name; }
const char* ExportFormatSuffix(EExportFormat f) { return ExportFormatId(f); }

std::optional<EExportFormat> ExportFormatFromId(std::string_view id)
{
    for (const SFormat& f : kFormats)
        if (id == f.id) return f.format;
    return std::nullopt;
}

SExport ExportSurvey(EExportFormat format, const CTreDoc& doc, const SVerdict& verdict,
                     const trespipeline::SSurveyBinding* binding)
{
    SExport out;
    if (format == EExportFormat::Csv) {
        out.text = DigListCsv(verdict, binding);
        out.ok = true;
        return out;
    }
    if (!binding) {
        out.error = std::string("Für die Ausgabe als ") + ExportFormatName(format)
                    + " werden Leitungsdaten gebraucht: ohne Trasse hat kein Messpunkt Koordinaten.";
        return out;
    }
    const SMapFeatures features = CollectMapFeatures(doc, verdict, *binding);
    switch (format) {
    case EExportFormat::GeoJson: out.text = GeoJsonText(features, out.notes); break;
    case EExportFormat::Kml: out.text = KmlText(features, out.notes); break;
    case EExportFormat::Gpx: out.text = GpxText(features, out.notes); break;
    case EExportFormat::Csv: break;
    }
    out.ok = true;
    return out;
}

bool WriteSurveyExport(const std::string& path, EExportFormat format, const CTreDoc& doc, const SVerdict& verdict,
                       const trespipeline::SSurveyBinding* binding, std::vector<std::string>& notes, std::string& error)
{
    SExport e = ExportSurvey(format, doc, verdict, binding);
    if (!e.ok) {
        error = e.error;
        return false;
    }
    notes = std::move(e.notes);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = tresdoc::WriteErrorText(path, errno);
        return false;
    }
    const bool written = std::fwrite(e.text.data(), 1, e.text.size(), f) == e.text.size();
    const int err = errno;
    if (std::fclose(f) != 0 || !written) {
        error = tresdoc::WriteErrorText(path, written ? errno : err);
        return false;
    }
    return true;
}

} // namespace tresexport
