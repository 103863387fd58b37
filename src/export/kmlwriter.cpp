// SPDX-License-Identifier: GPL-3.0-or-later
#include "geotext.h"
#include "mapwriters.h"
#include "xmlwriter.h"

#include "doc/verdictpalette.h"

#include <cstdio>

namespace tresexport {

namespace {

// KML writes colours as alpha, blue, green, red.
std::string KmlColour(SPaletteRgb c)
{
    char s[9];
    std::snprintf(s, sizeof s, "ff%02x%02x%02x", c.b, c.g, c.r);
    return s;
}

void LineStyle(CXmlWriter& xml, const std::string& id, SPaletteRgb colour, const char* width)
{
    xml.Open("Style", {{"id", id}});
    xml.Open("LineStyle");
    xml.Element("color", KmlColour(colour));
    xml.Element("width", width);
    xml.Close();
    xml.Close();
}

void IconStyle(CXmlWriter& xml, const std::string& id, SPaletteRgb colour)
{
    xml.Open("Style", {{"id", id}});
    xml.Open("IconStyle");
    xml.Element("color", KmlColour(colour));
    xml.Close();
    xml.Close();
}

const char* KmlType(SField::EType t)
{
    switch (t) {
    case SField::EType::Int: return "int";
    case SField::EType::Real: return "double";
    case SField::EType::Text: break;
    }
    return "string";
}

std::string FieldText(const SField& f)
{
    switch (f.type) {
    case SField::EType::Int: return std::to_string(f.whole);
    case SField::EType::Real: return FixedText(f.real, f.decimals);
    case SField::EType::Text: break;
    }
    return f.text;
}

bool OwnElement(const SField& f) { return f.name == "name" || f.name == "description"; }

std::string Coordinates(const SMapFeature& f)
{
    std::string s;
    for (const trespipeline::SLonLat& p : f.geometry) {
        if (!s.empty()) s += ' ';
        s += DegreesText(p.lon) + "," + DegreesText(p.lat);
    }
    return s;
}

void Placemark(CXmlWriter& xml, const SMapFeature& f)
{
    xml.Open("Placemark");
    xml.Element("name", f.label);
    if (const SField* d = f.Field("description"); d && d->present) xml.Element("description", d->text);
    xml.Element("styleUrl", "#" + f.style);
    xml.Open("ExtendedData");
    xml.Open("SchemaData", {{"schemaUrl", std::string("#") + FeatureKindId(f.kind)}});
    // The placemark's own name and description stand for those fields (GIS
    // programs read both as one column each).
    for (const SField& field : f.fields)
        if (field.present && !OwnElement(field)) xml.Element("SimpleData", FieldText(field), {{"name", field.name}});
    xml.Close();
    xml.Close();
    if (!f.geometry.empty()) {
        xml.Open(DrawnAsLine(f) ? "LineString" : "Point");
        if (DrawnAsLine(f)) xml.Element("tessellate", "1");
        xml.Element("coordinates", Coordinates(f));
        xml.Close();
    }
    xml.Close();
}

} // namespace

std::string KmlText(const SMapFeatures& m, std::vector<std::string>& notes)
{
    constexpr EFeatureKind kKinds[]
        = {EFeatureKind::Track, EFeatureKind::Stretch, EFeatureKind::Defect, EFeatureKind::Fixpoint};
    constexpr const char* kFolders[] = {"Trasse", "Abschnitte", "Fehlstellen", "Festpunkte"};
    CXmlWriter xml;
    xml.Open("kml", {{"xmlns", "http://www.opengis.net/kml/2.2"}});
    xml.Open("Document");
    xml.Element("name", m.title);
    xml.Element("description", m.description);

    LineStyle(xml, FeatureKindId(EFeatureKind::Track), TrackLineColour(), "2");
    for (int s = 0; s < kVerdictStatusCount; ++s)
        LineStyle(xml, VerdictStatusId(static_cast<EVerdictStatus>(s)),
                  VerdictStatusColour(static_cast<EVerdictStatus>(s)), "5");
    IconStyle(xml, FeatureKindId(EFeatureKind::Defect), DefectMarkColour());
    IconStyle(xml, FeatureKindId(EFeatureKind::Fixpoint), FixpointMarkColour());

    // One schema per kind, from its first feature: they all have the same fields.
    for (EFeatureKind kind : kKinds) {
        for (const SMapFeature& f : m.features) {
            if (f.kind != kind) continue;
            const std::string id = FeatureKindId(kind);
            xml.Open("Schema", {{"name", id}, {"id", id}});
            for (const SField& field : f.fields)
                if (!OwnElement(field))
                    xml.Element("SimpleField", "", {{"type", KmlType(field.type)}, {"name", field.name}});
            xml.Close();
            break;
        }
    }
    for (size_t i = 0; i < std::size(kKinds); ++i) {
        xml.Open("Folder");
        xml.Element("name", kFolders[i]);
        for (const SMapFeature& f : m.features)
            if (f.kind == kKinds[i]) Placemark(xml, f);
        xml.Close();
    }
    NotePositionless(m, false, notes);
    return xml.Finish();
}

} // namespace tresexport
