// SPDX-License-Identifier: GPL-3.0-or-later
#include "geotext.h"
#include "mapwriters.h"
#include "xmlwriter.h"

#include "tresversion.h"

namespace tresexport {

namespace {

std::string FieldText(const SMapFeature& f, const char* name)
{
    const SField* field = f.Field(name);
    return field && field->present ? field->text : std::string();
}

void Waypoint(CXmlWriter& xml, const SMapFeature& f, const std::string& comment, const std::string& description,
              const char* type)
{
    const trespipeline::SLonLat& p = f.geometry.front();
    const std::string lat = DegreesText(p.lat), lon = DegreesText(p.lon);
    xml.Open("wpt", {{"lat", lat}, {"lon", lon}});
    xml.Element("name", f.label);
    if (!comment.empty()) xml.Element("cmt", comment);
    if (!description.empty()) xml.Element("desc", description);
    xml.Element("type", type);
    xml.Close();
}

} // namespace

std::string GpxText(const SMapFeatures& m, std::vector<std::string>& notes)
{
    CXmlWriter xml;
    xml.Open("gpx",
             {{"version", "1.1"},
              {"creator", "Tresmon " TRES_VERSION},
              {"xmlns", "http://www.topografix.com/GPX/1/1"},
              {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
              {"xsi:schemaLocation", "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd"}});
    // In the order GPX 1.1 wants: name, desc, then author ... time. No time:
    // the file's creation time would make every export of the same survey
    // differ; the survey's date is in the description.
    xml.Open("metadata");
    xml.Element("name", m.title);
    xml.Element("desc", m.description);
    xml.Close();
    // GPX wants every waypoint before the track.
    for (const SMapFeature& f : m.features) {
        if (f.geometry.empty()) continue;
        if (f.kind == EFeatureKind::Defect)
            Waypoint(xml, f, FieldText(f, "action"), FieldText(f, "description"), "Fehlstelle");
        else if (f.kind == EFeatureKind::Fixpoint)
            Waypoint(xml, f, FieldText(f, "type"), FieldText(f, "description"), "Festpunkt");
    }
    for (const SMapFeature& f : m.features) {
        if (f.kind != EFeatureKind::Track) continue;
        xml.Open("trk");
        xml.Element("name", f.label);
        xml.Element("desc", FieldText(f, "description"));
        xml.Open("trkseg");
        for (const trespipeline::SLonLat& p : f.geometry) {
            const std::string lat = DegreesText(p.lat), lon = DegreesText(p.lon);
            xml.Element("trkpt", "", {{"lat", lat}, {"lon", lon}});
        }
        xml.Close();
        xml.Close();
    }
    NotePositionless(m, true, notes);
    return xml.Finish();
}

} // namespace tresexport
