// SPDX-License-Identifier: GPL-3.0-or-later
#include "diglistcsv.h"

#include "csvtext.h"
#include "doc/verdict.h"
#include "pipeline/numbers.h"
#include "pipeline/surveybinding.h"
#include "pipeline/tiedassessment.h"

#include <cmath>

namespace tresexport {

using csvtext::Decimal;
using csvtext::TextCell;
using trespipeline::GermanFixed;

std::string FixedCell(double v, int decimals) { return std::isfinite(v) ? GermanFixed(v, decimals) : std::string(); }

std::string GridCrsSuffix(const trespipeline::SSurveyBinding* binding)
{
    return binding ? " EPSG:" + std::to_string(binding->gridEpsg) : std::string();
}

std::string DigListCsv(const SVerdict& verdict, const trespipeline::SSurveyBinding* binding)
{
    std::string out = csvtext::kBom;
    AppendDigListTable(out, verdict, binding);
    return out;
}

void AppendDigListTable(std::string& out, const SVerdict& verdict, const trespipeline::SSurveyBinding* binding)
{
    const std::string crs = GridCrsSuffix(binding);
    out += "Priorität;Zeile;Meter [m];Stationierung [m];Kategorie;%IR [%];Gradientendifferenz [mV];"
           "Hintergrund [mV];Seite;Potential Ein [mV];Potential Aus [mV];Potential IR-frei [mV];Status;Maßnahme;"
           "Orientierungspunkt;Breite [°];Länge [°];Ostwert"
           + crs + " [m];Nordwert" + crs + " [m]\r\n";
    for (const SDigItem& item : verdict.digList) {
        const SCoatingDefect& d = verdict.defects[static_cast<size_t>(item.defect)];
        const double chainage = trespipeline::RowChainage(binding, d.row);
        trespipeline::SPlace p{NAN, NAN, NAN, NAN}; // empty cells without a position
        if (const trespipeline::SPlace* at = trespipeline::RowPlace(binding, d.row)) p = *at;
        csvtext::AppendLine(
            out,
            {std::to_string(item.priority), std::to_string(d.row), Decimal(d.metre, 0), FixedCell(chainage, 2),
             TextCell(DefectCategoryName(d.category)), Decimal(d.irPercentTenths, 1),
             Decimal(static_cast<int32_t>(d.gradDiff), 1),
             Decimal(static_cast<int32_t>(std::llround(d.background * 10)), 2), DefectSideId(d.side),
             Decimal(d.potOn, 0), Decimal(d.potOff, 0), Decimal(d.potIRFree, 0), TextCell(DefectStatusText(d)),
             TextCell(DigActionName(item.action)), TextCell(d.landmark.text),
             FixedCell(p.lat, trespipeline::kLatLonDecimals), FixedCell(p.lon, trespipeline::kLatLonDecimals),
             FixedCell(p.easting, trespipeline::kGridDecimals), FixedCell(p.northing, trespipeline::kGridDecimals)});
    }
}

} // namespace tresexport
