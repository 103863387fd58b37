// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveyexport.h"

#include "diglistcsv.h"
#include "mapwriters.h"
#include "pipeline/surveybinding.h"

#include "doc/fileerror.h"
#include "doc/replacefile.h"
#include "doc/surveypath.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace tresexport {

namespace {

struct SFormat {
    EExportFormat format;
    const char *id, *name;
};
constexpr SFormat kFormats[] = {{EExportFormat::GeoJson, "geojson", "GeoJSON"},
                                {EExportFormat::Kml, "kml", "KML"},
                                {EExportFormat::Gpx, "gpx", "GPX"},
                                {EExportFormat::Csv, "csv", "CSV"},
                                {EExportFormat::GeoPackage, "gpkg", "GeoPackage"}};

std::string NeedsPipelineText(EExportFormat format)
{
    return std::string("Für die Ausgabe als ") + ExportFormatName(format)
           + " werden Leitungsdaten gebraucht: ohne Trasse hat kein Messpunkt Koordinaten.";
}

// ReplaceFile's answer when the content, not the file system, failed.
constexpr int kContentFailed = -1;

bool WriteStandardOutput(std::string_view bytes, std::string& error)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0) return true;
    error = tresdoc::StandardOutputErrorText(errno);
    return false;
}

// A database needs a file: for standard output it is made in the temporary
// folder and copied out.
bool GeoPackageToStandardOutput(const SMapFeatures& m, std::vector<std::string>& notes, std::string& error)
{
    const char* tmpdir = std::getenv("TMPDIR");
    std::string temp = std::string(tmpdir && *tmpdir ? tmpdir : "/tmp") + "/tresmon-XXXXXX.gpkg";
    const int fd = ::mkostemps(temp.data(), 5, O_CLOEXEC);
    if (fd < 0) {
        error = tresdoc::WriteErrorText(temp, errno);
        return false;
    }
    bool ok = GeoPackageFile(temp, m, notes, error);
    if (ok) {
        std::string bytes;
        char buf[65536];
        ssize_t n;
        while ((n = ::read(fd, buf, sizeof buf)) > 0) bytes.append(buf, static_cast<size_t>(n));
        ok = n == 0 ? WriteStandardOutput(bytes, error) : (error = tresdoc::ReadErrorText(temp, errno), false);
    }
    ::close(fd);
    ::unlink(temp.c_str());
    return ok;
}

bool WriteGeoPackage(const std::string& path, const SMapFeatures& m, std::vector<std::string>& notes,
                     std::string& error)
{
    if (tresdoc::IsStandardStream(path)) return GeoPackageToStandardOutput(m, notes, error);
    const int err = tresdoc::ReplaceFile(
        path, [&](int, const std::string& temp) { return GeoPackageFile(temp, m, notes, error) ? 0 : kContentFailed; });
    if (err == kContentFailed) return false;
    if (err != 0) error = tresdoc::WriteErrorText(path, err);
    return err == 0;
}

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
        out.error = NeedsPipelineText(format);
        return out;
    }
    const SMapFeatures features = CollectMapFeatures(doc, verdict, *binding);
    switch (format) {
    case EExportFormat::GeoJson: out.text = GeoJsonText(features, out.notes); break;
    case EExportFormat::Kml: out.text = KmlText(features, out.notes); break;
    case EExportFormat::Gpx: out.text = GpxText(features, out.notes); break;
    case EExportFormat::Csv: break;
    case EExportFormat::GeoPackage: out.error = "Eine GeoPackage-Datei ist kein Text."; return out;
    }
    out.ok = true;
    return out;
}

bool WriteSurveyExport(const std::string& path, EExportFormat format, const CTreDoc& doc, const SVerdict& verdict,
                       const trespipeline::SSurveyBinding* binding, std::vector<std::string>& notes, std::string& error)
{
    if (format == EExportFormat::GeoPackage) {
        if (!binding) {
            error = NeedsPipelineText(format);
            return false;
        }
        return WriteGeoPackage(path, CollectMapFeatures(doc, verdict, *binding), notes, error);
    }
    SExport e = ExportSurvey(format, doc, verdict, binding);
    if (!e.ok) {
        error = e.error;
        return false;
    }
    notes = std::move(e.notes);
    if (tresdoc::IsStandardStream(path)) return WriteStandardOutput(e.text, error);
    const int err = tresdoc::ReplaceFileWith(path, e.text);
    if (err != 0) error = tresdoc::WriteErrorText(path, err);
    return err == 0;
}

} // namespace tresexport
