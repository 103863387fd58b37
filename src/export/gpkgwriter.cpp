// SPDX-License-Identifier: GPL-3.0-or-later
#include "geopackage.h"
#include "mapwriters.h"

#include <array>

namespace tresexport {

namespace {

struct SLayer {
    EFeatureKind kind;
    const char *table, *identifier;
    EGpkgGeometry geometry;
};
constexpr std::array<SLayer, 4> kLayers
    = {{{EFeatureKind::Track, "track", "Trasse", EGpkgGeometry::LineString},
        {EFeatureKind::Stretch, "stretches", "Abschnitte", EGpkgGeometry::LineString},
        {EFeatureKind::Defect, "defects", "Fehlstellen", EGpkgGeometry::Point},
        {EFeatureKind::Fixpoint, "fixpoints", "Festpunkte", EGpkgGeometry::Point}}};

EGpkgType ColumnType(SField::EType t)
{
    switch (t) {
    case SField::EType::Int: return EGpkgType::Integer;
    case SField::EType::Real: return EGpkgType::Real;
    case SField::EType::Text: break;
    }
    return EGpkgType::Text;
}

// The table says the kind; the field "kind" is no column of it.
bool IsColumn(const SField& f) { return f.name != "kind"; }

SGpkgValue Value(const SField& f)
{
    if (!f.present) return SGpkgValue::Null();
    switch (f.type) {
    case SField::EType::Int: return SGpkgValue::Int(f.whole);
    case SField::EType::Real: return SGpkgValue::Real(f.real);
    case SField::EType::Text: break;
    }
    return SGpkgValue::Text(f.text);
}

} // namespace

bool GeoPackageFile(const std::string& path, const SMapFeatures& m, std::vector<std::string>& notes, std::string& error)
{
    std::unique_ptr<CGeoPackage> g = CGeoPackage::Open(path, error);
    if (!g) return false;
    int singleTrack = 0, singleStretches = 0;
    for (const SLayer& layer : kLayers) {
        SGpkgTable table;
        table.name = layer.table;
        table.identifier = layer.identifier;
        table.description = m.title + ": " + m.description;
        table.geometry = layer.geometry;
        for (const SField& f : FeatureFields(layer.kind))
            if (IsColumn(f)) table.columns.push_back({f.name, ColumnType(f.type)});
        if (!g->DeclareFeatureTable(table)) break;
        for (const SMapFeature& f : m.features) {
            if (f.kind != layer.kind) continue;
            std::vector<SGpkgValue> values;
            for (const SField& field : f.fields)
                if (IsColumn(field)) values.push_back(Value(field));
            // A line of one position has no line geometry: NULL, and said so.
            const bool oneOfALine = layer.geometry == EGpkgGeometry::LineString && f.geometry.size() == 1;
            if (oneOfALine) ++(f.kind == EFeatureKind::Track ? singleTrack : singleStretches);
            if (!g->Insert(layer.table, oneOfALine ? std::vector<trespipeline::SLonLat>() : f.geometry, values)) break;
        }
        if (!g->Error().empty()) break;
    }
    if (!g->Error().empty() || !g->Commit()) {
        error = "Die GeoPackage-Datei ließ sich nicht schreiben: " + g->Error();
        return false;
    }
    NotePositionless(m, false, notes);
    if (singleTrack)
        notes.push_back("Die Messspur hat nur eine Position auf der Trasse und steht ohne Geometrie in der "
                        "GeoPackage-Datei: eine Linie braucht zwei.");
    if (singleStretches)
        notes.push_back(std::to_string(singleStretches)
                        + (singleStretches == 1 ? " Abschnitt hat" : " Abschnitte haben")
                        + " nur eine Position auf der Trasse und " + (singleStretches == 1 ? "steht" : "stehen")
                        + " ohne Geometrie in der GeoPackage-Datei: eine Linie braucht zwei.");
    return true;
}

} // namespace tresexport
