// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictcsv.h"

#include "csvtext.h"
#include "diglistcsv.h"
#include "doc/verdict.h"
#include "pipeline/numbers.h"
#include "pipeline/surveybinding.h"
#include "pipeline/tiedassessment.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace tresexport {

namespace {

using csvtext::Decimal;
using csvtext::TextCell;
using trespipeline::SSurveyBinding;

std::string Count(int64_t v) { return std::to_string(v); }

// A length in m with its decimal comma, without trailing zeros ("20,5").
std::string LengthCell(double metres)
{
    std::string s = Decimal(static_cast<int32_t>(std::llround(metres * 100)), 2);
    while (s.back() == '0') s.pop_back();
    if (s.back() == ',') s.pop_back();
    return s;
}

} // namespace

std::string VerdictCsv(const SVerdict& v, const SSurveyBinding* b)
{
    const std::string crs = GridCrsSuffix(b);
    std::string out = csvtext::kBom;
    out += "Status;Erste Zeile;Letzte Zeile;Von [m];Bis [m];Punkte;Länge [m];Schlechtester Wert [mV];"
           "bei Meter [m];Kommentare;Von Stationierung [m];Bis Stationierung [m];bei Stationierung [m];"
           "Von Breite [°];Von Länge [°];Bis Breite [°];Bis Länge [°];Von Ostwert"
           + crs + " [m];Von Nordwert" + crs + " [m];Bis Ostwert" + crs + " [m];Bis Nordwert" + crs + " [m]\r\n";
    for (const SVerdictStretch& s : v.stretches) {
        if (s.status == EVerdictStatus::Protected) continue;
        std::vector<std::string> cells = {TextCell(VerdictStatusName(s.status)),
                                          Count(s.firstRow),
                                          Count(s.lastRow),
                                          Decimal(s.fromMetre, 0),
                                          Decimal(s.toMetre, 0),
                                          Count(s.rows),
                                          LengthCell(s.length),
                                          Decimal(s.worst, 0),
                                          Decimal(s.worstMetre, 0),
                                          TextCell(s.comments)};
        const auto chainage
            = [b](int row) { return FixedCell(trespipeline::RowChainage(b, row), trespipeline::kChainageDecimals); };
        cells.push_back(chainage(s.firstRow));
        cells.push_back(chainage(s.lastRow));
        cells.push_back(s.worstRow ? chainage(s.worstRow) : std::string());
        const trespipeline::SPlace* from = trespipeline::RowPlace(b, s.firstRow);
        const trespipeline::SPlace* to = trespipeline::RowPlace(b, s.lastRow);
        for (const trespipeline::SPlace* p : {from, to}) {
            cells.push_back(p ? FixedCell(p->lat, trespipeline::kLatLonDecimals) : std::string());
            cells.push_back(p ? FixedCell(p->lon, trespipeline::kLatLonDecimals) : std::string());
        }
        for (const trespipeline::SPlace* p : {from, to}) {
            cells.push_back(p ? FixedCell(p->easting, trespipeline::kGridDecimals) : std::string());
            cells.push_back(p ? FixedCell(p->northing, trespipeline::kGridDecimals) : std::string());
        }
        csvtext::AppendLine(out, cells);
    }
    out += "\r\n";
    AppendDigListTable(out, v, b);
    return out;
}

} // namespace tresexport
