// SPDX-License-Identifier: GPL-3.0-or-later
// The German texts of the map exports: the names a phone or a GPS shows
// beside a mark, the one-line description under it, and what the whole file
// is about. Places are given in chainage (the map formats always have
// pipeline data) with the recorded metre beside it, numbers with a decimal
// comma, potentials in mV with a hyphen-minus, which every GPS can show.
#pragma once

#include <cstdint>
#include <string>

struct SCoatingDefect;
struct SDigItem;
struct SVerdictStretch;
struct SProtectionCriterion;

namespace tresexport {

// Priority, category and chainage with one decimal: "P1 II 1192,6 m"
// ("P7 1530,0 m" without a category).
std::string DefectLabel(int priority, int category, double chainage);
// "nicht geschützt 223,4–235,1 m": the status and the chainages of the
// stretch's first and last point.
std::string StretchLabel(const SVerdictStretch& s, double fromChainage, double toChainage);

// "Kategorie: II mittel; %IR: 16,7 %; Status: nicht geschützt; Maßnahme:
// umgehend aufgraben; Stationierung: 1192,63 m (Messmeter 1181 m); Lage:
// 118,38 m vor „Hausanschluss“"
std::string DefectDescription(const SCoatingDefect& d, const SDigItem& item, double chainage);
// "Status: nicht geschützt; Stationierung: 223,40 bis 235,10 m (Messmeter
// 212 bis 223 m); Länge: 12,00 m; schlechtester Wert: -812 mV bei Messmeter
// 218 m" and, for a stretch not assessed, its comments.
std::string StretchDescription(const SVerdictStretch& s, double fromChainage, double toChainage);
// "Festpunkt: Prüfstelle; Stationierung: 100,00 m; Zeile 12, Messmeter 98 m"
std::string FixpointDescription(const std::string& type, double chainage, int row, int32_t metre);
// "Messspur: 2401 Messpunkte, Zeilen 1 bis 2401; Stationierung: 14,04 bis
// 2399,03 m"
std::string TrackDescription(int rows, int firstRow, int lastRow, double fromChainage, double toChainage);

// "-850 mV aus Kopfdaten, Grenzpotential -1200 mV" and the criterion's
// warning when it has one.
std::string CriterionText(const SProtectionCriterion& c);
// "Messung demo.tsd vom 12.05.2025; Schutzkriterium -850 mV aus Kopfdaten,
// Grenzpotential -1200 mV; Tresmon 3.18.0"
std::string SurveyDescription(const std::string& file, const std::string& date, const SProtectionCriterion& c,
                              const std::string& programVersion);

} // namespace tresexport
