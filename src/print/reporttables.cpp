// SPDX-License-Identifier: GPL-3.0-or-later
#include "reporttables.h"

#include "pipeline/numbers.h"
#include "pipeline/surveybinding.h"
#include "pipeline/tiedassessment.h"
#include "reportcontent.h"
#include "reportpage.h"
#include "reportresult.h"
#include "reportstretches.h"

#include <QPainter>

#include <cmath>

using assesslayout::ETable;

namespace {

QString Length(double m) { return Str(assesslayout::LengthText(m)); }
QString Mv(int32_t mv) { return Str(assesslayout::MvText(mv)); }
// A comparison's difference in mV, an en dash when absent.
QString DeltaText(int64_t v) { return v == kNoDelta ? U8("–") : QString::number(v); }

QString RowsText(int first, int last)
{
    return first == last ? QString::number(first) : QString::number(first) + U8("–") + QString::number(last);
}

QString ChainageText(const trespipeline::SSurveyBinding* b, int row)
{
    const double s = trespipeline::RowChainage(b, row);
    return trespipeline::HasChainage(s) ? Str(trespipeline::GermanFixed(s, trespipeline::kChainageDecimals)) : U8("–");
}

// Where each dig list entry lies; the grid's CRS in the title.
const std::vector<SReportColumn> kPlaceColumns = {
    {"Nr.", "", 8},       {"Meter", "[m]", 14},   {"Stationierung", "[m]", 22}, {"Breite", "[°]", 22},
    {"Länge", "[°]", 22}, {"Ostwert", "[m]", 24}, {"Nordwert", "[m]", 25},      {"Lage", "", 38, true, true},
};
const std::vector<SReportColumn> kDigColumns = {
    {"Nr.", "", 5},     {"Meter", "[m]", 10},    {"Lage", "", 38, true, true},      {"Seite", "", 8},
    {"D", "[mV]", 9},   {"%IR", "[%]", 8},       {"Kategorie", "", 17, true, true}, {"Ein", "[mV]", 9},
    {"Aus", "[mV]", 9}, {"IR-frei", "[mV]", 10}, {"Status", "", 22, true, true},    {"Maßnahme", "", 30, true, true},
};
// The stretches on the recorded metres, and with pipeline data at their
// chainage beside the metres, with the E_p that applied.
const std::vector<SReportColumn> kStretchColumns = {
    {"Nr.", "", 7},       {"Status", "", 26, true, true},
    {"Zeilen", "", 18},   {"Von", "[m]", 12},
    {"Bis", "[m]", 12},   {"Punkte", "", 11},
    {"Länge", "[m]", 14}, {"Schlechtester", "Wert [mV]", 19},
    {"bei", "[m]", 12},   {"Hinweis", "", 44, true, true},
};
const std::vector<SReportColumn> kStretchColumnsTied = {
    {"Nr.", "", 7},
    {"Status", "", 22, true, true},
    {"Station", "von [m]", 13},
    {"Station", "bis [m]", 13},
    {"Meter", "von [m]", 11},
    {"Meter", "bis [m]", 11},
    {"Punkte", "", 11},
    {"Länge", "[m]", 12},
    {"E_p", "[mV]", 11},
    {"Schlechtester", "Wert [mV]", 19},
    {"Station", "bei [m]", 13},
    {"Hinweis", "", 32, true, true},
};
const std::vector<SReportColumn> kNotAssessedColumns = {
    {"Nr.", "", 8},
    {"Zeilen", "", 22},
    {"Von", "[m]", 15},
    {"Bis", "[m]", 15},
    {"Punkte", "", 14},
    {"Länge", "[m]", 16},
    {"Kommentare", "", 85, true, true},
};
const std::vector<SReportColumn> kNotAssessedColumnsTied = {
    {"Nr.", "", 7},
    {"Zeilen", "", 18},
    {"Station", "von [m]", 15},
    {"Station", "bis [m]", 15},
    {"Meter", "von [m]", 12},
    {"Meter", "bis [m]", 12},
    {"Punkte", "", 11},
    {"Länge", "[m]", 14},
    {"Kommentare", "", 71, true, true},
};
const std::vector<SReportColumn> kWarningColumns = {
    {"Nr.", "", 8},     {"Warnung", "", 62, true, true}, {"Zeilen", "", 24}, {"Von", "[m]", 18}, {"Bis", "[m]", 18},
    {"Punkte", "", 16},
};
const std::vector<SReportColumn> kComparisonColumns = {
    {"Nr.", "", 10},      {"Kriterium", "", 52, true, true},  {"Von", "[m]", 18}, {"Bis", "[m]", 18}, {"Paare", "", 16},
    {"Länge", "[m]", 18}, {"Schlechtester", "Wert [mV]", 25}, {"bei", "[m]", 18},
};

const char* TableTitle(ETable t)
{
    switch (t) {
    case ETable::DigList: return "Aufgrabungsliste";
    case ETable::Stretches: return "Auffällige Abschnitte (bewertet, nicht „geschützt“)";
    case ETable::NotAssessed: return "Nicht bewertete Abschnitte";
    case ETable::Warnings: return "Plausibilitätswarnungen";
    case ETable::DigPlaces: return "Aufgrabungsliste: Lage";
    case ETable::Comparison: break;
    }
    return "Anzeigen des Vergleichs";
}

// The worst value of a line: E* for a stretch not protected or beyond the
// limiting potential. Where the 100 mV criterion protects, the polarisation
// is what an engineer checks: the smallest one of the stretch.
QString WorstText(const SVerdictStretch& s)
{
    if (s.status == EVerdictStatus::Protected100 && IsPresent(s.minPolarisation))
        return U8("Pol. ") + Mv(s.minPolarisation);
    return Mv(s.worst);
}

// What a joined line should say of itself: its interruptions, at the
// chainage with two decimals as the table gives it.
QString HintText(const SVerdict& v, const SReportStretch& s, bool chainage)
{
    const std::string interruptions = InterruptionText(v, s, chainage ? 2 : 0);
    if (interruptions.empty()) return U8("–");
    return Str(interruptions) + U8(" (nicht mitgezählt)");
}

} // namespace

CReportTables::CReportTables(const SReportContent& c)
    : m_c(c)
{
    const int maxLines = kReportLinesPerPage - kReportHeadLines;
    const bool tied = c.o.pipeline != nullptr;
    m_tables.emplace_back(kDigColumns, maxLines);
    m_tables.emplace_back(tied ? kStretchColumnsTied : kStretchColumns, maxLines);
    m_tables.emplace_back(tied ? kNotAssessedColumnsTied : kNotAssessedColumns, maxLines);
    m_tables.emplace_back(kWarningColumns, maxLines);
    AddDigList();
    AddStretches();
    AddNotAssessed();
    CReportTable& warnings = m_tables[static_cast<size_t>(ETable::Warnings)];
    for (const SPlausibilityWarning& w : c.v.warnings)
        warnings.Add({QString::number(warnings.Rows() + 1), QString::fromStdString(PlausibilityLabel(w)),
                      RowsText(w.firstRow, w.lastRow), Mv(w.fromMetre), Mv(w.toMetre), QString::number(w.rows)});
    // The lines of another logger's file left out, each named where the reader of the report looks.
    for (const std::string& note : c.v.fileNotes)
        warnings.Add(
            {QString::number(warnings.Rows() + 1), QString::fromStdString(note), U8("–"), U8("–"), U8("–"), U8("–")});

    std::vector<assesslayout::STableItems> lists;
    for (int t = 0; t < assesslayout::kTableCount; ++t) {
        const CReportTable& table = m_tables[static_cast<size_t>(t)];
        lists.push_back({static_cast<ETable>(t), table.Rows(), table.LineCounts()});
        if (t == static_cast<int>(ETable::DigList) && m_places)
            lists.push_back({ETable::DigPlaces, m_places->Rows(), m_places->LineCounts()});
    }
    m_pages = assesslayout::PaginateTables(lists, kReportLinesPerPage, kReportHeadLines, kReportGapLines);

    if (!c.c) return;
    m_cmpTable.emplace(kComparisonColumns, maxLines);
    for (const SCompareIndication& x : c.c->indications)
        m_cmpTable->Add({QString::number(m_cmpTable->Rows() + 1), U8(CompareCriterionName(x.criterion)),
                         QString::number(x.fromMetre), QString::number(x.toMetre), QString::number(x.rows),
                         QString::number(x.length), DeltaText(x.worst), QString::number(x.worstMetre)});
    m_cmpPages = assesslayout::PaginateTables({{ETable::Comparison, m_cmpTable->Rows(), m_cmpTable->LineCounts()}},
                                              kReportLinesPerPage, kReportHeadLines, kReportGapLines);
}

void CReportTables::AddDigList()
{
    const SVerdict& v = m_c.v;
    CReportTable& dig = m_tables[static_cast<size_t>(ETable::DigList)];
    for (const SDigItem& item : v.digList) {
        const SCoatingDefect& d = v.defects[static_cast<size_t>(item.defect)];
        const char* category = DefectCategoryName(d.category);
        dig.Add({QString::number(item.priority), QString::number(d.metre),
                 d.landmark.found ? Str(d.landmark.text) : U8("–"),
                 *DefectSideId(d.side) ? U8(DefectSideId(d.side)) : U8("–"), Str(assesslayout::TenthsText(d.gradDiff)),
                 Str(assesslayout::TenthsText(d.irPercentTenths)), *category ? U8(category) : U8("–"), Mv(d.potOn),
                 Mv(d.potOff), Mv(d.potIRFree), Str(DefectStatusText(d)), U8(DigActionName(item.action))});
    }
    const trespipeline::SSurveyBinding* b = m_c.o.pipeline;
    if (!b) return;
    m_places.emplace(kPlaceColumns, kReportLinesPerPage - kReportHeadLines);
    const auto fixed = [](double x, int decimals) { return Str(trespipeline::GermanFixed(x, decimals)); };
    for (const SDigItem& item : v.digList) {
        const SCoatingDefect& d = v.defects[static_cast<size_t>(item.defect)];
        const trespipeline::SPlace* at = trespipeline::RowPlace(b, d.row);
        m_places->Add({QString::number(item.priority), QString::number(d.metre), ChainageText(b, d.row),
                       at ? fixed(at->lat, trespipeline::kLatLonDecimals) : U8("außerhalb"),
                       at ? fixed(at->lon, trespipeline::kLatLonDecimals) : U8("der Trasse"),
                       at && std::isfinite(at->easting) ? fixed(at->easting, trespipeline::kGridDecimals) : U8("–"),
                       at && std::isfinite(at->northing) ? fixed(at->northing, trespipeline::kGridDecimals) : U8("–"),
                       d.landmark.found ? Str(d.landmark.text) : U8("–")});
    }
}

void CReportTables::AddStretches()
{
    const SVerdict& v = m_c.v;
    const trespipeline::SSurveyBinding* b = m_c.o.pipeline;
    CReportTable& table = m_tables[static_cast<size_t>(ETable::Stretches)];
    for (const SReportStretch& line : ReportStretches(v, m_c.o.merge)) {
        const SVerdictStretch& s = line.joined;
        const QString nr = QString::number(table.Rows() + 1), status = U8(VerdictStatusName(s.status));
        if (!b) {
            table.Add({nr, status, RowsText(s.firstRow, s.lastRow), QString::number(s.fromMetre),
                       QString::number(s.toMetre), QString::number(s.rows), Length(s.length), WorstText(s),
                       Mv(s.worstMetre), HintText(v, line, false)});
            continue;
        }
        QStringList potentials;
        for (const int32_t e : reportresult::StretchProtectionPotentials(v, b, s)) potentials << Mv(e);
        table.Add({nr, status, ChainageText(b, s.firstRow), ChainageText(b, s.lastRow), QString::number(s.fromMetre),
                   QString::number(s.toMetre), QString::number(s.rows), Length(s.length), potentials.join(U8(" / ")),
                   WorstText(s), s.worstRow > 0 ? ChainageText(b, s.worstRow) : U8("–"), HintText(v, line, true)});
    }
}

void CReportTables::AddNotAssessed()
{
    const trespipeline::SSurveyBinding* b = m_c.o.pipeline;
    CReportTable& table = m_tables[static_cast<size_t>(ETable::NotAssessed)];
    for (const SVerdictStretch& s : m_c.v.stretches) {
        if (s.status != EVerdictStatus::NotAssessed) continue;
        QStringList cells = {QString::number(table.Rows() + 1), RowsText(s.firstRow, s.lastRow)};
        if (b) cells << ChainageText(b, s.firstRow) << ChainageText(b, s.lastRow);
        cells << QString::number(s.fromMetre) << QString::number(s.toMetre) << QString::number(s.rows)
              << Length(s.length) << (s.comments.empty() ? U8("–") : Str(s.comments));
        table.Add(cells);
    }
}

const CReportTable& CReportTables::Table(ETable t) const
{
    if (t == ETable::Comparison) return *m_cmpTable;
    if (t == ETable::DigPlaces) return *m_places;
    return m_tables[static_cast<size_t>(t)];
}

QString CReportTables::Title(ETable t) const
{
    if (t == ETable::DigPlaces)
        return U8("Aufgrabungsliste: Lage (Breite und Länge WGS 84, Ost- und Nordwert EPSG:%1)")
            .arg(m_c.o.pipeline->gridEpsg);
    return U8(TableTitle(t));
}

void CReportTables::Draw(QPainter& p, const SReportPage& page, const assesslayout::SPage& part) const
{
    int line = 0;
    bool first = true;
    for (const assesslayout::SBlock& b : part) {
        if (!first) line += kReportGapLines;
        first = false;
        const CReportTable& table = Table(b.table);
        SectionTitle(p, page, page.LineY(line), Title(b.table) + (b.continued ? U8(" (Fortsetzung)") : QString()));
        const int bottom = table.Draw(p, page.m, page.L(), page.LineY(line + 1), page.lh, b.first, b.count);
        line += kReportHeadLines;
        if (b.count == 0) {
            p.setFont(PointFont(page.m, CReportTable::kPoints));
            p.setPen(Qt::black);
            TextOut(p, page.L() + MmDX(page.m, 1), bottom + page.lh / 6, U8("keine"), TA_LEFT | TA_TOP);
            ++line;
        }
        for (int i = b.first; i < b.first + b.count; ++i) line += table.LineCounts()[static_cast<size_t>(i)];
    }
}
