// SPDX-License-Identifier: GPL-3.0-or-later
// Reads pipeline data from a GeoJSON FeatureCollection (RFC 7946). Features
// are told apart by properties.kind:
//   "route"     LineString or MultiLineString (its lines joined in order);
//               name, number (text or number), startChainage (m, default 0).
//               Exactly one.
//   "fixpoint"  Point or null geometry; name (required), chainage (m,
//               required), type, match (default: the name). No two fixed
//               points may have the same match (compared as comments are,
//               commentkey.h).
//   "section"   no geometry; from, to (m, required, from <= to), any of
//               protectionPotential and limitPotential (mV, rounded to whole
//               mV half away from zero; -1200 to -500 and -2000 to -500,
//               the limit more negative than the protection potential) and
//               allow100mV (true/false).
// A top-level "crs" naming an EPSG code (crs.h) is transformed to WGS 84.
//
// Errors make the data unusable; warnings leave it usable and say what was
// set aside. Every message is German and names the feature by its number
// from 1 in file order, then the property: "Merkmal 7: chainage fehlt".
//   file level   Die Datei X konnte nicht geöffnet werden: ... (and the other
//                file texts of the document) | Die Bibliothek PROJ (...)
//                konnte nicht geladen werden: ... | Die Datei X ist kein gültiges
//                JSON (Zeile L, Spalte C). | Die Datei X ist keine
//                GeoJSON-FeatureCollection. | Die Datei X enthält keine Liste
//                „features“. | Die Datei X nennt das Bezugssystem „N“; erwartet
//                wird ein EPSG-Code wie „urn:ogc:def:crs:EPSG::25832“. |
//                Das Bezugssystem EPSG:n ist PROJ nicht bekannt. | Die Datei X
//                enthält keine Trasse (kind „route“).
//   a feature    Merkmal n: kein GeoJSON-Feature | P fehlt | P ist keine Zahl |
//                P ist kein Text | P ist kein Wahrheitswert (true oder false) |
//                P ist leer | zweite Trasse (die erste ist Merkmal m) |
//                Geometrie muss LineString oder MultiLineString sein |
//                Geometrie muss Point oder null sein | Position k ist keine
//                Position [Länge, Breite] | Position k liegt außerhalb von
//                Länge -180 bis 180 und Breite -90 bis 90 Grad | Position k
//                lässt sich nicht nach WGS 84 umrechnen | die Trasse braucht
//                mindestens zwei verschiedene Positionen | from (F) größer als
//                to (T) | P V mV liegt außerhalb von A bis B mV |
//                limitPotential (L mV) muss negativer sein als
//                protectionPotential (P mV) | match „M“ gleicht dem von
//                Merkmal m
//   warnings     Merkmal n: kind fehlt; das Merkmal wird übergangen |
//                unbekannte Art „K“; das Merkmal wird übergangen | die
//                Geometrie eines Abschnitts wird nicht verwendet | Abschnitt
//                ohne protectionPotential, limitPotential und allow100mV |
//                Linie k beginnt D m vom Ende der Linie k-1; die Lücke zählt
//                zur Trasse | Festpunkt „N“ bei S m liegt außerhalb der Trasse
//                (A bis B m) | Abschnitt überschneidet Merkmal m bei P (A bis
//                B m); dort gilt Merkmal m
// Unknown properties are ignored (GIS programs add their own).
#pragma once

#include "pipelinedata.h"

#include <string>
#include <string_view>
#include <vector>

namespace trespipeline {

struct SPipelineRead {
    bool ok = false; // no errors: `data` is complete
    SPipelineData data;
    // Each feature's in file order; then the warnings that set features
    // against each other (overlapping sections, fixed points off the route).
    std::vector<std::string> errors, warnings;
    // The file's bytes as ReadPipelineFile read them: what the archive keeps
    // of the data a survey was tied to.
    std::string text;
};

// `name` stands for the file in the file-level messages.
SPipelineRead ParsePipelineText(std::string_view text, const std::string& name);
SPipelineRead ReadPipelineFile(const std::string& path);

} // namespace trespipeline
