// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessreport.h"

#include "assesschart.h"
#include "assesslayout.h"
#include "assesssheet.h"
#include "numbers.h"
#include "printframe.h"
#include "printjob.h"
#include "reportfigures.h"
#include "reporttable.h"
#include "sections.h"
#include "sheetplan.h"
#include "surveybinding.h"
#include "tiedassessment.h"
#include "tredoc.h"
#include "verdict.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using assesslayout::ETable;

namespace {

// Every table line is this high, so the page division is known before a
// device is; the page header takes the top of the frame.
constexpr double kLineMm = 4.0;
constexpr double kHeaderMm = 11.0;
constexpr int kLinesPerPage = static_cast<int>((297 - kTableMargins.top - kTableMargins.bottom - kHeaderMm) / kLineMm);
constexpr int kHeadLines = 3; // a table's title and its two-line column header
constexpr int kGapLines = 2;

const QColor kWarningColour(200, 0, 0);

QString Str(const std::string& s) { return QString::fromStdString(s); }
QString U8(const char* s) { return QString::fromUtf8(s); }

QString FileNameText(const CTreDoc& doc)
{
    const QString path = Str(doc.GetPathName());
    return path.isEmpty() ? U8("(ohne Namen)") : QFileInfo(path).fileName();
}

QString RowsText(int first, int last)
{
    return first == last ? QString::number(first) : QString::number(first) + U8("–") + QString::number(last);
}

QString Length(double m) { return Str(assesslayout::LengthText(m)); }
QString Mv(int32_t mv) { return Str(assesslayout::MvText(mv)); }
QString Share(int32_t tenths) { return Str(reportfigures::ShareText(tenths)); }
// A comparison's difference in mV, an en dash when absent.
QString DeltaText(int64_t v) { return v == kNoDelta ? U8("–") : QString::number(v); }

// Where each dig list entry lies; the grid's CRS in the title.
const std::vector<SReportColumn>& PlaceColumns()
{
    static const std::vector<SReportColumn> places = {
        {"Nr.", "", 8},       {"Meter", "[m]", 14},   {"Stationierung", "[m]", 22}, {"Breite", "[°]", 22},
        {"Länge", "[°]", 22}, {"Ostwert", "[m]", 24}, {"Nordwert", "[m]", 25},      {"Lage", "", 38, true, true},
    };
    return places;
}

const std::vector<SReportColumn>& Columns(ETable t)
{
    static const std::vector<SReportColumn> digList = {
        {"Nr.", "", 5},
        {"Meter", "[m]", 10},
        {"Lage", "", 38, true, true},
        {"Seite", "", 8},
        {"D", "[mV]", 9},
        {"%IR", "[%]", 8},
        {"Kategorie", "", 17, true, true},
        {"Ein", "[mV]", 9},
        {"Aus", "[mV]", 9},
        {"IR-frei", "[mV]", 10},
        {"Status", "", 22, true, true},
        {"Maßnahme", "", 30, true, true},
    };
    static const std::vector<SReportColumn> stretches = {
        {"Nr.", "", 8},       {"Status", "", 42, true, true},
        {"Zeilen", "", 22},   {"Von", "[m]", 15},
        {"Bis", "[m]", 15},   {"Punkte", "", 14},
        {"Länge", "[m]", 16}, {"Schlechtester", "Wert [mV]", 24},
        {"bei", "[m]", 15},
    };
    static const std::vector<SReportColumn> notAssessed = {
        {"Nr.", "", 8},
        {"Zeilen", "", 22},
        {"Von", "[m]", 15},
        {"Bis", "[m]", 15},
        {"Punkte", "", 14},
        {"Länge", "[m]", 16},
        {"Kommentare", "", 85, true, true},
    };
    static const std::vector<SReportColumn> warnings = {
        {"Nr.", "", 8},     {"Warnung", "", 62, true, true}, {"Zeilen", "", 24}, {"Von", "[m]", 18}, {"Bis", "[m]", 18},
        {"Punkte", "", 16},
    };
    static const std::vector<SReportColumn> comparison = {
        {"Nr.", "", 10},
        {"Kriterium", "", 52, true, true},
        {"Von", "[m]", 18},
        {"Bis", "[m]", 18},
        {"Paare", "", 16},
        {"Länge", "[m]", 18},
        {"Schlechtester", "Wert [mV]", 25},
        {"bei", "[m]", 18},
    };
    switch (t) {
    case ETable::DigList: return digList;
    case ETable::Stretches: return stretches;
    case ETable::NotAssessed: return notAssessed;
    case ETable::Warnings: return warnings;
    case ETable::DigPlaces: return PlaceColumns();
    case ETable::Comparison: break;
    }
    return comparison;
}

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

QString CompareLimitText(const SCompareCriterionResult& c)
{
    if (c.criterion == ECompareCriterion::Worse) return U8("Δ Aus-Potential ≥ ") + Mv(c.limit) + U8(" mV");
    return U8("Polarisation < ") + Mv(c.limit) + U8(" mV");
}

class CAssessReport : public IPrintHooks {
public:
    CAssessReport(const CTreDoc& doc, const SReportOptions& o)
        : m_doc(doc)
        , m_o(o)
        , m_v(trespipeline::AssessTied(doc, o.settings, o.native, o.pipeline, o.nativePairing))
        , m_fig(reportfigures::KeyFigures(m_v))
        , m_entries(reportfigures::DeviceEntries(doc))
        , m_electrode(Str(reportfigures::ReferenceElectrode(m_entries, o.issuer.electrode.toStdString())))
    {
        const CTreDoc* earlier = o.comparison.earlier;
        if (earlier) m_c = Compare(doc, *earlier, o.comparison.settings);
        const bool native = m_c && m_c->mode == ECompareMode::Native;

        m_rowIndex = VerdictRowIndex(m_v, doc.GetRowCount());
        m_priorities.assign(m_v.defects.size(), 0);
        for (const SDigItem& item : m_v.digList) m_priorities[static_cast<size_t>(item.defect)] = item.priority;
        m_extents = StretchExtents(m_v);
        // The earlier survey drawn where the comparison paired it.
        if (m_c && !native) m_earlierMetres = EarlierOnCurrentMetres(doc, *earlier, *m_c->alignment);
        m_sheets = PlanSheets(
            doc, m_v, o.sectionLength,
            {native ? nullptr : earlier, native ? &*m_c : nullptr, m_c && !native ? &m_earlierMetres : nullptr});

        ComposeTables();
        std::vector<assesslayout::STableItems> lists;
        for (int t = 0; t < assesslayout::kTableCount; ++t) {
            const CReportTable& table = m_tables[static_cast<size_t>(t)];
            lists.push_back({static_cast<ETable>(t), table.Rows(), table.LineCounts()});
            if (t == static_cast<int>(ETable::DigList) && m_places)
                lists.push_back({ETable::DigPlaces, m_places->Rows(), m_places->LineCounts()});
        }
        m_pages = assesslayout::PaginateTables(lists, kLinesPerPage, kHeadLines, kGapLines);
        if (m_c) {
            const CReportTable& table = *m_cmpTable;
            m_cmpPages = assesslayout::PaginateTables({{ETable::Comparison, table.Rows(), table.LineCounts()}},
                                                      kLinesPerPage, kHeadLines, kGapLines);
        }
    }

    // Reads what the report needs from outside the documents: the logo.
    bool Prepare(QString* error)
    {
        if (m_o.issuer.logo.isEmpty()) return true;
        return m_logo.Load(m_o.issuer.logo, error);
    }

    int PageCount() const
    {
        const int assessment = FirstTablePage() + static_cast<int>(m_pages.size()) - 1;
        return m_c ? assessment + 1 + static_cast<int>(m_cmpPages.size()) : assessment;
    }

    int OnPreparePrinting(bool) override { return PageCount(); }
    void OnBeginPrinting(QPainter&, const CPrintMetrics& m) override
    {
        m_m = m;
        m_frame = ComputeFrame(m, kTableMargins);
        m_lh = MmDY(m, kLineMm);
        m_top = MmY(m, m_frame.top, kHeaderMm);
    }
    void OnPrint(QPainter& p, int page) override
    {
        p.save();
        const int tables = FirstTablePage();
        const int comparison = tables + static_cast<int>(m_pages.size()); // the comparison's first page
        if (page == 1) DrawOverview(p);
        else if (page < tables) DrawSheetPage(p, page - 2);
        else if (page < comparison) DrawTables(p, m_pages[static_cast<size_t>(page - tables)]);
        else if (page == comparison) DrawComparison(p);
        else DrawTables(p, m_cmpPages[static_cast<size_t>(page - comparison - 1)]);
        DrawHeader(p, page);
        p.restore();
    }
    void OnEndPrinting() override { }

private:
    int FirstTablePage() const { return 2 + static_cast<int>(m_sheets.size()); }
    int L() const { return m_frame.left; }
    int R() const { return m_frame.right; }
    int LineY(int line) const { return m_top + line * m_lh; }

    // ---- tables ---------------------------------------------------------------------
    void ComposeTables()
    {
        const int maxLines = kLinesPerPage - kHeadLines;
        m_tables.clear();
        for (int t = 0; t < assesslayout::kTableCount; ++t)
            m_tables.emplace_back(Columns(static_cast<ETable>(t)), maxLines);
        using namespace assesslayout;

        CReportTable& dig = m_tables[static_cast<size_t>(ETable::DigList)];
        for (const SDigItem& item : m_v.digList) {
            const SCoatingDefect& d = m_v.defects[static_cast<size_t>(item.defect)];
            const char* category = DefectCategoryName(d.category);
            dig.Add({QString::number(item.priority), QString::number(d.metre),
                     d.landmark.found ? Str(d.landmark.text) : U8("–"),
                     *DefectSideId(d.side) ? U8(DefectSideId(d.side)) : U8("–"), Str(TenthsText(d.gradDiff)),
                     Str(TenthsText(d.irPercentTenths)), *category ? U8(category) : U8("–"), Mv(d.potOn), Mv(d.potOff),
                     Mv(d.potIRFree), U8(VerdictStatusName(d.status)), U8(DigActionName(item.action))});
        }

        if (const trespipeline::SSurveyBinding* b = m_o.pipeline) {
            m_places.emplace(PlaceColumns(), maxLines);
            const auto fixed = [](double v, int decimals) { return Str(trespipeline::GermanFixed(v, decimals)); };
            for (const SDigItem& item : m_v.digList) {
                const SCoatingDefect& d = m_v.defects[static_cast<size_t>(item.defect)];
                const double s = trespipeline::RowChainage(b, d.row);
                const trespipeline::SPlace* at = trespipeline::RowPlace(b, d.row);
                const QString none = at ? QString() : U8("–");
                m_places->Add(
                    {QString::number(item.priority), QString::number(d.metre),
                     trespipeline::HasChainage(s) ? fixed(s, trespipeline::kChainageDecimals) : U8("–"),
                     at ? fixed(at->lat, trespipeline::kLatLonDecimals) : U8("außerhalb"),
                     at ? fixed(at->lon, trespipeline::kLatLonDecimals) : U8("der Trasse"),
                     at && std::isfinite(at->easting) ? fixed(at->easting, trespipeline::kGridDecimals) : U8("–"),
                     at && std::isfinite(at->northing) ? fixed(at->northing, trespipeline::kGridDecimals) : U8("–"),
                     d.landmark.found ? Str(d.landmark.text) : U8("–")});
            }
        }

        CReportTable& stretches = m_tables[static_cast<size_t>(ETable::Stretches)];
        CReportTable& notAssessed = m_tables[static_cast<size_t>(ETable::NotAssessed)];
        for (const SVerdictStretch& s : m_v.stretches) {
            if (s.status == EVerdictStatus::Protected) continue;
            if (s.status == EVerdictStatus::NotAssessed) {
                notAssessed.Add({QString::number(notAssessed.Rows() + 1), RowsText(s.firstRow, s.lastRow),
                                 QString::number(s.fromMetre), QString::number(s.toMetre), QString::number(s.rows),
                                 Length(s.length), s.comments.empty() ? U8("–") : Str(s.comments)});
                continue;
            }
            stretches.Add({QString::number(stretches.Rows() + 1), U8(VerdictStatusName(s.status)),
                           RowsText(s.firstRow, s.lastRow), QString::number(s.fromMetre), QString::number(s.toMetre),
                           QString::number(s.rows), Length(s.length), Mv(s.worst), Mv(s.worstMetre)});
        }

        CReportTable& warnings = m_tables[static_cast<size_t>(ETable::Warnings)];
        for (const SPlausibilityWarning& w : m_v.warnings)
            warnings.Add({QString::number(warnings.Rows() + 1), U8(PlausibilityName(w.kind)),
                          RowsText(w.firstRow, w.lastRow), Mv(w.fromMetre), Mv(w.toMetre), QString::number(w.rows)});

        if (!m_c) return;
        m_cmpTable.emplace(Columns(ETable::Comparison), maxLines);
        for (const SCompareIndication& x : m_c->indications)
            m_cmpTable->Add({QString::number(m_cmpTable->Rows() + 1), U8(CompareCriterionName(x.criterion)),
                             QString::number(x.fromMetre), QString::number(x.toMetre), QString::number(x.rows),
                             QString::number(x.length), DeltaText(x.worst), QString::number(x.worstMetre)});
    }

    const CReportTable& Table(ETable t) const
    {
        if (t == ETable::Comparison) return *m_cmpTable;
        if (t == ETable::DigPlaces) return *m_places;
        return m_tables[static_cast<size_t>(t)];
    }

    QString Title(ETable t) const
    {
        if (t == ETable::DigPlaces)
            return U8("Aufgrabungsliste: Lage (Breite und Länge WGS 84, Ost- und Nordwert EPSG:%1)")
                .arg(m_o.pipeline->gridEpsg);
        return U8(TableTitle(t));
    }

    void DrawTables(QPainter& p, const assesslayout::SPage& page) const
    {
        int line = 0;
        bool first = true;
        for (const assesslayout::SBlock& b : page) {
            if (!first) line += kGapLines;
            first = false;
            const CReportTable& table = Table(b.table);
            SectionTitle(p, LineY(line), Title(b.table) + (b.continued ? U8(" (Fortsetzung)") : QString()));
            const int bottom = table.Draw(p, m_m, L(), LineY(line + 1), m_lh, b.first, b.count);
            line += kHeadLines;
            if (b.count == 0) {
                p.setFont(PointFont(m_m, CReportTable::kPoints));
                p.setPen(Qt::black);
                TextOut(p, L() + MmDX(m_m, 1), bottom + m_lh / 6, U8("keine"), TA_LEFT | TA_TOP);
                ++line;
            }
            for (int i = b.first; i < b.first + b.count; ++i) line += table.LineCounts()[static_cast<size_t>(i)];
        }
    }

    // ---- page parts -----------------------------------------------------------------
    // A title whose top is at `y`.
    void SectionTitle(QPainter& p, int y, const QString& text) const
    {
        p.setFont(PointFont(m_m, 11, 700));
        p.setPen(Qt::black);
        TextOut(p, L(), y + m_lh - m_lh / 8, text, TA_LEFT | TA_BOTTOM);
    }

    // The header of every page: the report's identity and the page on the
    // first line, the survey file and the issuer on the second.
    void DrawHeader(QPainter& p, int page) const
    {
        p.setFont(PointFont(m_m, 8));
        p.setPen(Qt::black);
        QString identity = U8("Bewertungsbericht");
        if (!m_o.reportNumber.trimmed().isEmpty()) identity += U8(" Nr. ") + m_o.reportNumber.trimmed();
        if (!m_o.revision.trimmed().isEmpty()) identity += U8(", Revision ") + m_o.revision.trimmed();
        const int y1 = m_frame.top, y2 = MmY(m_m, m_frame.top, 4);
        TextOut(p, L(), y1, identity, TA_LEFT | TA_TOP);
        TextOut(p, R(), y1, U8("Seite %1 von %2").arg(page).arg(PageCount()), TA_RIGHT | TA_TOP);
        TextOut(p, L(), y2, U8("Messdatei: ") + FileNameText(m_doc), TA_LEFT | TA_TOP);
        if (!m_o.issuer.company.trimmed().isEmpty())
            TextOut(p, R(), y2, m_o.issuer.company.trimmed(), TA_RIGHT | TA_TOP);
        p.setPen(QPen(Qt::black, std::max(1, m_m.dpy / 300)));
        const int rule = MmY(m_m, m_frame.top, 8.5);
        p.drawLine(L(), rule, R(), rule);
    }

    // Labelled values from `y`, the values after the longest label; a value
    // may hold several lines ('\n'), and one in `red` is the criterion's
    // warning. Returns the y below them.
    struct SField {
        QString label;
        QString value;
        bool red = false;
    };
    // A line cut at blanks into parts no wider than `width`, so a long
    // remark or pipeline name goes on below instead of off the page; a word
    // wider than the whole width stands alone.
    static QStringList Wrapped(QPainter& p, const QString& line, int width)
    {
        QStringList out;
        QString rest = line;
        while (TextWidth(p, rest) > width) {
            qsizetype cut = rest.lastIndexOf(QLatin1Char(' '));
            while (cut > 0 && TextWidth(p, rest.left(cut)) > width) cut = rest.lastIndexOf(QLatin1Char(' '), cut - 1);
            if (cut <= 0) break;
            out << rest.left(cut);
            rest = rest.mid(cut + 1);
        }
        out << rest;
        return out;
    }

    int DrawFields(QPainter& p, int y, const std::vector<SField>& fields) const
    {
        p.setFont(PointFont(m_m, 9));
        const int lh = MmDY(m_m, 4.3);
        int wl = 0;
        for (const SField& f : fields) wl = std::max(wl, TextWidth(p, f.label));
        const int xv = L() + MmDX(m_m, 4) + wl + TextWidth(p, U8(":  "));
        for (const SField& f : fields) {
            p.setPen(Qt::black);
            if (!f.label.isEmpty()) TextOut(p, L() + MmDX(m_m, 2), y, f.label + U8(":"), TA_LEFT | TA_TOP);
            p.setPen(f.red ? DeviceColour(m_m, kWarningColour) : QColor(Qt::black));
            for (const QString& line : f.value.split(QLatin1Char('\n')))
                for (const QString& part : Wrapped(p, line, R() - xv)) {
                    TextOut(p, xv, y, part, TA_LEFT | TA_TOP);
                    y += lh;
                }
        }
        p.setPen(Qt::black);
        return y;
    }

    // The issuer at the top of page 1: company and address on the left,
    // the logo at the right in a box of 40 x 15 mm. Returns the y below.
    int DrawIssuer(QPainter& p, int y) const
    {
        const SReportSettings& s = m_o.issuer;
        if (s.NoIssuer()) return y;
        int bottom = y + MmDY(m_m, 15);
        if (!m_logo.IsNull()) m_logo.Draw(p, QRectF(QPointF(R() - MmDX(m_m, 40), y), QPointF(R(), y + MmDY(m_m, 15))));
        int ty = y;
        if (!s.company.trimmed().isEmpty()) {
            p.setFont(PointFont(m_m, 12, 700));
            p.setPen(Qt::black);
            TextOut(p, L(), ty, s.company.trimmed(), TA_LEFT | TA_TOP);
            ty += TextHeight(p);
        }
        p.setFont(PointFont(m_m, 9));
        for (const QString& line : s.address) {
            if (line.trimmed().isEmpty()) continue;
            TextOut(p, L(), ty, line.trimmed(), TA_LEFT | TA_TOP);
            ty += TextHeight(p);
        }
        bottom = std::max(bottom, ty);
        return bottom + MmDY(m_m, 4);
    }

    std::vector<SField> SurveyFields() const
    {
        const SProtectionCriterion& c = m_v.criterion;
        std::vector<SField> f;
        f.push_back({U8("Leitung"), Str(m_doc.m_header[3])});
        f.push_back({m_doc.m_bTabHeadNumber ? U8("Nummer") : U8("Kunde"), Str(m_doc.m_header[4])});
        f.push_back({U8("Messdatum"), Str(m_doc.m_header[1])});
        f.push_back(
            {U8("Messpunkte"),
             U8("%1 Zeilen, Länge der Messstrecke %2 m").arg(m_doc.GetRowCount()).arg(Length(m_v.surveyLength))});
        if (!m_doc.m_header[7].empty()) f.push_back({U8("Bemerkung"), Str(m_doc.m_header[7])});
        QString criterion = Mv(c.protection) + U8(" mV (") + U8(reportfigures::CriterionSourceText(c.source));
        if (c.source == ECriterionSource::Header) criterion += U8(" „") + Str(c.headerText).trimmed() + U8("“");
        f.push_back({U8("Schutzpotential E_p"), criterion + U8(")")});
        if (!c.warning.empty()) f.push_back({QString(), Str(c.warning), true});
        f.push_back({U8("Grenzpotential E_l"), Mv(c.limitPotential) + U8(" mV")});
        f.push_back({U8("Bezugselektrode"), m_electrode});
        if (m_o.pipeline) PipelineFields(f);
        QStringList entries;
        for (const std::string& e : m_entries) entries << Str(e);
        // Many entries go two to a line so the page keeps its sign-off.
        if (entries.size() > 8) {
            QStringList paired;
            for (qsizetype i = 0; i < entries.size(); i += 2)
                paired << (i + 1 < entries.size() ? entries[i] + U8("; ") + entries[i + 1] : entries[i]);
            entries = paired;
        }
        f.push_back({U8("Angaben des Messgeräts"), entries.isEmpty() ? U8("keine") : entries.join(QLatin1Char('\n'))});
        return f;
    }

    // The pipeline data and how the survey was re-stationed to them: every
    // length of the verdict is measured in the chainage they give.
    void PipelineFields(std::vector<SField>& f) const
    {
        const trespipeline::SSurveyBinding& b = *m_o.pipeline;
        QString data = b.file.empty() ? U8("(im Programm geladen)") : QFileInfo(Str(b.file)).fileName();
        QStringList route;
        for (const std::string& part : {b.pipeline.route.name, b.pipeline.route.number})
            if (!part.empty()) route << Str(part);
        if (!route.isEmpty()) data += U8(", Trasse ") + route.join(U8(", "));
        f.push_back({U8("Leitungsdaten"), data});
        QString restation = U8("an %1 Festpunkten angepasst").arg(b.ties.size());
        if (!b.factors.empty()) {
            const auto [lo, hi] = std::minmax_element(b.factors.begin(), b.factors.end());
            const QString low = Str(trespipeline::GermanFixed(*lo, 4)), high = Str(trespipeline::GermanFixed(*hi, 4));
            restation += U8(", Maßstab zwischen den Festpunkten ") + (low == high ? low : low + U8(" bis ") + high);
        } else {
            restation += U8(", verschoben");
        }
        if (!b.unmatched.empty()) restation += U8("; %1 Festpunkte ohne Messpunkt").arg(b.unmatched.size());
        // Positions are only as good as the drawn route: say whether its
        // length was checked against the stationing, and against what.
        const trespipeline::SRouteLengthCheck& rc = b.routeCheck;
        if (rc.checked)
            restation += U8("\nTrasse zwischen den äußeren Festpunkten %1 m lang, Stationierung %2 m")
                             .arg(Str(trespipeline::GermanFixed(rc.routeLength, 2)),
                                  Str(trespipeline::GermanFixed(rc.tieSpan, 2)));
        else restation += U8("\nLänge der Trasse nicht geprüft: weniger als zwei angeschlossene Festpunkte mit Lage");
        f.push_back({U8("Stationierung"),
                     restation + U8("\nLängen und Abstände der Bewertung in Stationierung; Blätter nach Messmetern")});
        if (!b.pipeline.sections.empty()) {
            QStringList lines;
            for (const trespipeline::SSection& s : b.pipeline.sections)
                lines << Str(trespipeline::SectionText(s))
                             + U8(" (%1 Messpunkte)").arg(trespipeline::SectionRows(s, b.chainage));
            f.push_back({U8("Abschnittskriterien"), lines.join(QLatin1Char('\n'))});
        }
    }

    // The key figures in a framed box. Returns the y below it.
    int DrawKeyFigures(QPainter& p, int y) const
    {
        using reportfigures::SKeyFigures;
        const SKeyFigures& k = m_fig;
        const SVerdictCoverage& cov = m_v.coverage;
        const int boxTop = y;
        y += MmDY(m_m, 1.5);
        const std::vector<SField> head = {
            {U8("Gemessene Länge"), Length(cov.totalLength) + U8(" m (Einflussbereiche der Messpunkte)")},
            {U8("Bewertete Länge"),
             Length(k.assessedLength) + U8(" m = ") + Share(k.assessedShareTenths) + U8(" % der gemessenen Länge")},
            {U8("Nicht bewertet"),
             Length(k.statuses[0].length) + U8(" m in %1 Abschnitten").arg(k.statuses[0].stretches)},
            {U8("Nicht gemessen"),
             Length(cov.gapLength) + U8(" m (Messlücke bei Punktabstand über %1 m)").arg(Length(m_v.settings.gap))},
        };
        y = DrawFields(p, y, head) + MmDY(m_m, 1);

        static const std::vector<SReportColumn> columns = {
            {"Status", "", 62, true}, {"Länge [m]", "", 24},       {"Anteil [%]", "", 22},
            {"Abschnitte", "", 22},   {"Anteil an", "", 40, true},
        };
        CReportTable table(columns, 1);
        for (const EVerdictStatus s :
             {EVerdictStatus::Protected, EVerdictStatus::Protected100, EVerdictStatus::Unprotected,
              EVerdictStatus::Over, EVerdictStatus::NotAssessed}) {
            const SStatusSummary& st = k.statuses[static_cast<size_t>(s)];
            table.Add({U8(VerdictStatusName(s)), Length(st.length), Share(st.shareTenths),
                       QString::number(st.stretches),
                       s == EVerdictStatus::NotAssessed ? U8("gemessener Länge") : U8("bewerteter Länge")});
        }
        const int lh = MmDY(m_m, 4.0);
        y = table.Draw(p, m_m, L() + MmDX(m_m, 2), y, lh, 0, table.Rows()) + MmDY(m_m, 1.5);

        QString perCategory;
        for (int c = 4; c >= 1; --c)
            perCategory
                += U8("%1 %2, ").arg(U8(DefectCategoryName(c))).arg(k.defectsByCategory[static_cast<size_t>(c)]);
        perCategory += U8("ohne Einstufung %1").arg(k.defectsByCategory[0]);
        const std::vector<SField> tail = {
            {U8("Fehlstellenverdacht"), U8("%1 (%2)").arg(k.defects).arg(perCategory)},
            {U8("Fehlstellen je km"),
             Str(assesslayout::TenthsText(k.defectsPerKmTenths)) + U8(" (je km bewerteter Länge)")},
            {U8("Aufgrabungsliste"), U8("%1 Einträge, davon %2 „%3“")
                                         .arg(m_v.digList.size())
                                         .arg(k.digNow)
                                         .arg(U8(DigActionName(EDigAction::DigNow)))},
        };
        y = DrawFields(p, y, tail);

        // What the assessment was told, so its numbers can be checked.
        const SVerdictSettings& s = m_v.settings;
        const QString used
            = U8("Bewertet mit: IR-freies Potential verwendbar ab D ≥ %1 mV und Gradient Aus ≤ %2 × Gradient Ein; "
                 "Fehlstellenverdacht bei D ≥ %3 × Hintergrund (Median über %4 bis %5 m) und ≥ %6 mV; "
                 "Kategorien bis %7 / %8 / %9 % IR; Ausreißer über %10 mV; Einflussbereich je Seite höchstens %11 m.")
                  .arg(Str(assesslayout::TenthsText(s.irfreeMinDiff)), Str(tresnumDecimal(s.irfreeMaxRatio)),
                       Str(tresnumDecimal(s.defectFactor)), Length(s.defectWindow), Length(s.background),
                       Str(assesslayout::TenthsText(s.defectMin)), Str(tresnumDecimal(s.categories[0])),
                       Str(tresnumDecimal(s.categories[1])), Str(tresnumDecimal(s.categories[2])))
                  .arg(s.spike)
                  .arg(Length(s.gap / 2));
        p.setFont(PointFont(m_m, 7));
        const QFontMetricsF fm(p.font());
        y += MmDY(m_m, 1);
        for (const QString& line : WrapText(used, fm, R() - L() - MmDX(m_m, 4), 4)) {
            TextOut(p, L() + MmDX(m_m, 2), y, line, TA_LEFT | TA_TOP);
            y += TextHeight(p);
        }
        y += MmDY(m_m, 1.5);
        p.setPen(QPen(Qt::black, std::max(1, m_m.dpy / 300)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(L(), boxTop), QPoint(R(), y)));
        return y;
    }

    // A decimal number as the settings hold it: "0,8", "2,5", "15".
    static std::string tresnumDecimal(double v)
    {
        std::string t = assesslayout::ThousandthsText(static_cast<int64_t>(std::llround(v * 1000.0)), 3);
        while (!t.empty() && t.back() == '0') t.pop_back();
        if (!t.empty() && t.back() == ',') t.pop_back();
        return t;
    }

    // Three columns at the foot of page 1 for the people who sign.
    void DrawSignOff(QPainter& p) const
    {
        const int rowH = MmDY(m_m, 7.5);
        const int top = m_frame.bottom - 4 * rowH;
        const int width = (R() - L()) / 3;
        const QPen pen(Qt::black, std::max(1, m_m.dpy / 300));
        const char* titles[3] = {"Erstellt", "Geprüft", "Freigegeben"};
        const char* labels[3] = {"Name", "Datum", "Unterschrift"};
        for (int c = 0; c < 3; ++c) {
            const int x = L() + c * width, right = x + width - MmDX(m_m, 4);
            p.setFont(PointFont(m_m, 9, 700));
            p.setPen(Qt::black);
            TextOut(p, x, top, U8(titles[c]), TA_LEFT | TA_TOP);
            p.setFont(PointFont(m_m, 8));
            for (int k = 0; k < 3; ++k) {
                const int base = top + (k + 2) * rowH;
                TextOut(p, x, base, U8(labels[k]) + U8(":"), TA_LEFT | TA_BOTTOM);
                if (k == 0 && c == 0 && !m_o.issuer.author.trimmed().isEmpty())
                    TextOut(p, x + MmDX(m_m, 20), base - MmDY(m_m, 0.5), m_o.issuer.author.trimmed(),
                            TA_LEFT | TA_BOTTOM);
                p.setPen(pen);
                p.drawLine(x + MmDX(m_m, 19), base, right, base);
                p.setPen(Qt::black);
            }
        }
    }

    void DrawOverview(QPainter& p) const
    {
        int y = DrawIssuer(p, m_top);
        p.setFont(PointFont(m_m, 15, 700));
        p.setPen(Qt::black);
        TextOut(p, L(), y, U8("Bewertung der Intensivmessung"), TA_LEFT | TA_TOP);
        y += TextHeight(p) + MmDY(m_m, 1);
        p.setFont(PointFont(m_m, 10));
        TextOut(p, L(), y, U8("Schutznachweis nach Schutzpotential, Grenzpotential und Fehlstellensuche"),
                TA_LEFT | TA_TOP);
        y += TextHeight(p) + MmDY(m_m, 3);

        SectionTitle(p, y, U8("Messung"));
        y = DrawFields(p, y + m_lh + MmDY(m_m, 1), SurveyFields()) + MmDY(m_m, 3);
        SectionTitle(p, y, U8("Kennzahlen"));
        DrawKeyFigures(p, y + m_lh + MmDY(m_m, 1));
        DrawSignOff(p);
    }

    void DrawSheetPage(QPainter& p, int index) const
    {
        const SSheetPlan& plan = m_sheets[static_cast<size_t>(index)];
        SectionTitle(p, m_top,
                     U8("Abschnitt %1 von %2: %3 bis %4 m")
                         .arg(index + 1)
                         .arg(m_sheets.size())
                         .arg(plan.section.from)
                         .arg(plan.section.to));
        SSheetInput in;
        in.doc = &m_doc;
        in.verdict = &m_v;
        in.extents = &m_extents;
        in.priorities = &m_priorities;
        in.rowIndex = &m_rowIndex;
        const bool native = m_c && m_c->mode == ECompareMode::Native;
        if (m_c && !native) {
            in.earlier = m_o.comparison.earlier;
            in.earlierMetres = &m_earlierMetres;
        }
        if (native) in.native = &*m_c;
        in.electrode = m_electrode;
        in.recordedMetres = m_o.pipeline != nullptr;
        DrawSheet(p, m_m, QRect(QPoint(L(), LineY(1) + MmDY(m_m, 1)), QPoint(R(), m_frame.bottom)), in, plan);
    }

    // The comparison section's first page: the comparison survey, the
    // criterion, the summary and the chart in the rest of the page.
    void DrawComparison(QPainter& p) const
    {
        const SComparison& c = *m_c;
        const bool native = c.mode == ECompareMode::Native;
        p.setFont(PointFont(m_m, 15, 700));
        p.setPen(Qt::black);
        TextOut(p, L(), m_top, native ? U8("Vergleich mit Nativmessung") : U8("Vergleich mit früherer Messung"),
                TA_LEFT | TA_TOP);
        int y = m_top + TextHeight(p) + MmDY(m_m, 3);

        SectionTitle(p, y, native ? U8("Nativmessung") : U8("Frühere Messung"));
        const CTreDoc& earlier = *m_o.comparison.earlier;
        const SAlignment& a = *c.alignment;
        std::vector<SField> fields = {{U8("Datei"), FileNameText(earlier)},
                                      {U8("Leitung"), Str(earlier.m_header[3])},
                                      {U8("Datum"), Str(earlier.m_header[1])},
                                      {U8("Zuordnung"), Str(AlignmentText(a))}};
        if (IsPresent(a.maxResidual))
            fields.push_back(
                {U8("Größte Abweichung"),
                 U8("%1 m an einem gemeinsamen %2")
                     .arg(a.maxResidual)
                     .arg(a.method == EAlignMethod::Pipeline ? U8("Festpunkt") : U8("Orientierungspunkt"))});
        // Paired by chainage, the comparison's metres are chainages.
        if (a.method == EAlignMethod::Pipeline)
            fields.push_back({U8("Meterangaben"), U8("Stationierung beider Messungen")});
        y = DrawFields(p, y + m_lh + MmDY(m_m, 1), fields) + MmDY(m_m, 3);

        // The share is of the stretch the pairs cover: only there can the
        // comparison find anything.
        SectionTitle(p, y, U8("Kriterium und Ergebnis"));
        y += m_lh + MmDY(m_m, 1);
        static const std::vector<SReportColumn> critCols = {
            {"Kriterium", "", 52, true}, {"Grenzwert", "", 48, true}, {"Anzeigen", "", 19},
            {"Länge [m]", "", 22},       {"Anteil [%]", "", 22},
        };
        const int64_t covered = c.pairs.size() < 2 ? 0 : int64_t{c.pairs.back().metre} - int64_t{c.pairs.front().metre};
        CReportTable crit(critCols, 1);
        for (const SCompareCriterionResult& cr : c.criteria) {
            if (!cr.enabled) continue;
            int count = 0;
            int64_t length = 0;
            for (const SCompareIndication& i : c.indications)
                if (i.criterion == cr.criterion) {
                    ++count;
                    length += i.length;
                }
            crit.Add({U8(CompareCriterionName(cr.criterion)), CompareLimitText(cr), QString::number(count),
                      QString::number(length), Str(assesslayout::PercentText(length, covered))});
        }
        y = crit.Draw(p, m_m, L(), y, m_lh, 0, crit.Rows());
        p.setFont(PointFont(m_m, 8));
        TextOut(p, L() + MmDX(m_m, 1), y + m_lh / 6, U8("Anteil an der gepaarten Strecke von %1 m.").arg(covered),
                TA_LEFT | TA_TOP);
        y += 2 * m_lh;

        SectionTitle(p, y, U8("Zusammenfassung"));
        y += m_lh + MmDY(m_m, 1);
        const SCompareSummary& s = c.summary;
        const char* other = native ? "ohne Gegenstück (nativ)" : "ohne Gegenstück (früher)";
        const std::vector<SReportColumn> pairCols = {
            {"gepaarte Messpunkte", "", 40},
            {"ohne Gegenstück (aktuell)", "", 50},
            {other, "", 50},
        };
        CReportTable pairs(pairCols, 1);
        pairs.Add(
            {QString::number(s.matched), QString::number(s.currentUnmatched), QString::number(s.earlierUnmatched)});
        y = pairs.Draw(p, m_m, L(), y, m_lh, 0, 1) + m_lh;
        static const std::vector<SReportColumn> statCols = {
            {"Größe", "", 52, true},  {"Anzahl", "", 18},          {"Minimum [mV]", "", 26},
            {"Maximum [mV]", "", 26}, {"Mittelwert [mV]", "", 28},
        };
        CReportTable stats(statCols, 1);
        auto add = [&](const QString& name, const SDeltaStats& d) {
            stats.Add({name, QString::number(d.count), DeltaText(d.min), DeltaText(d.max), DeltaText(d.mean)});
        };
        add(native ? U8("Δ Aus (aktuell − nativ)") : U8("Δ Aus (aktuell − früher)"), s.deltaOff);
        if (native) add(U8("Polarisation"), s.polarisation);
        y = stats.Draw(p, m_m, L(), y, m_lh, 0, stats.Rows()) + m_lh;

        SectionTitle(p, y, U8("Übersicht"));
        y += 2 * m_lh;
        const QRect box(QPoint(L(), y), QPoint(R(), m_frame.bottom));
        DrawComparisonChart(p, m_m, box, m_doc, earlier, c, m_electrode);
    }

    const CTreDoc& m_doc;
    const SReportOptions& m_o;
    SVerdict m_v;
    reportfigures::SKeyFigures m_fig;
    std::vector<std::string> m_entries;
    QString m_electrode;
    std::optional<SComparison> m_c;
    std::vector<int32_t> m_earlierMetres; // earlier mode: each earlier row on the current survey's metres
    std::vector<int> m_rowIndex;
    std::vector<int> m_priorities;
    std::vector<SStretchExtent> m_extents;
    std::vector<SSheetPlan> m_sheets;
    std::vector<CReportTable> m_tables;
    std::optional<CReportTable> m_cmpTable;
    std::optional<CReportTable> m_places; // with pipeline data: where each dig list entry lies
    std::vector<assesslayout::SPage> m_pages;
    std::vector<assesslayout::SPage> m_cmpPages;
    CReportLogo m_logo;
    CPrintMetrics m_m;
    graphiclayout::CDeviceFrame m_frame;
    int m_lh = 1;
    int m_top = 0;
};

} // namespace

bool WriteAssessmentReportPdf(const CTreDoc& doc, const SReportOptions& options, const QString& path, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error) *error = U8("Der Bewertungsbericht kann nicht nach %1 geschrieben werden: %2").arg(path, why);
        return false;
    };
    CAssessReport report(doc, options);
    QString why;
    if (!report.Prepare(&why)) return fail(why);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    constexpr int kDpi = 600;
    QPdfWriter writer(&file);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(U8("Bewertung ") + QFileInfo(Str(doc.GetPathName())).fileName());
    writer.setCreator(U8("Tresmon"));

    const int pages = report.OnPreparePrinting(false);
    QPainter p;
    if (!p.begin(&writer)) {
        file.cancelWriting();
        return fail(U8("Die PDF-Ausgabe lässt sich nicht beginnen."));
    }
    report.OnBeginPrinting(p, A4Metrics(kDpi, false));
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) writer.newPage();
        report.OnPrint(p, page);
    }
    report.OnEndPrinting();
    p.end();
    if (!file.commit()) return fail(file.errorString());
    return true;
}

bool PrintAssessmentReport(const CTreDoc& doc, const SReportOptions& options, QPrinter& printer, QString* error)
{
    CAssessReport report(doc, options);
    if (!report.Prepare(error)) return false;
    if (RunPrintJob(printer, report) < 0) {
        if (error) *error = U8("Der Drucker kann nicht geöffnet werden.");
        return false;
    }
    return true;
}
