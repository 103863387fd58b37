// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessreport.h"

#include "assesschart.h"
#include "assesslayout.h"
#include "assessment.h"
#include "printframe.h"
#include "printjob.h"
#include "tredoc.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>
#include <optional>
#include <vector>

using assesslayout::ETable;

namespace {

// Every line of the report is this high, so the page division is known
// before a device is: 58 lines between the table print's margins.
constexpr double kLineMm = 4.5;
constexpr int kLinesPerPage = static_cast<int>((297 - kTableMargins.top - kTableMargins.bottom) / kLineMm);
constexpr int kHeadLines = 4; // a table's title, its two-line column header and the rule below
constexpr int kGapLines = 2;

QString Str(const std::string& s) { return QString::fromStdString(s); }
QString U8(const char* s) { return QString::fromUtf8(s); }

struct SColumn {
    const char* title;
    const char* unit; // second header line, may be empty
    double widthMm;
    bool left; // text columns are left-aligned, numbers right-aligned
};

const std::vector<SColumn>& Columns(ETable t)
{
    static const std::vector<SColumn> indications = {
        {"Nr.", "", 10, false},
        {"Kriterium", "", 48, true},
        {"Zeilen", "", 26, false},
        {"Von", "[m]", 17, false},
        {"Bis", "[m]", 17, false},
        {"Länge", "[m]", 17, false},
        {"Schlechtester", "Wert", 23, false},
        {"bei", "[m]", 17, false},
    };
    static const std::vector<SColumn> defects = {
        {"Nr.", "", 8, false},           {"Zeile", "", 12, false},
        {"Meter", "[m]", 14, false},     {"Gr.-Diff.", "[mV]", 16, false},
        {"Gr. Ein", "[mV]", 15, false},  {"Gr. Aus", "[mV]", 15, false},
        {"Pot. Ein", "[mV]", 15, false}, {"Pot. Aus", "[mV]", 15, false},
        {"IR-frei", "[mV]", 14, false},  {"Orientierungspunkt", "", 36, true},
        {"Abstand", "[m]", 15, false},
    };
    static const std::vector<SColumn> comparison = {
        {"Nr.", "", 10, false},
        {"Kriterium", "", 52, true},
        {"Von", "[m]", 18, false},
        {"Bis", "[m]", 18, false},
        {"Paare", "", 16, false},
        {"Länge", "[m]", 18, false},
        {"Schlechtester", "Wert [mV]", 25, false},
        {"bei", "[m]", 18, false},
    };
    static const std::vector<SColumn> warnings = {
        {"Nr.", "", 10, false},          {"Warnung", "", 52, true}, {"Erste Zeile", "", 22, false},
        {"Letzte Zeile", "", 22, false}, {"Von", "[m]", 22, false}, {"Bis", "[m]", 22, false},
    };
    switch (t) {
    case ETable::Indications: return indications;
    case ETable::Defects: return defects;
    case ETable::Comparison: return comparison;
    default: return warnings;
    }
}

const char* TableTitle(ETable t)
{
    switch (t) {
    case ETable::Indications: return "Anzeigen";
    case ETable::Defects: return "Verdacht auf Fehlstellen";
    case ETable::Comparison: return "Anzeigen des Vergleichs";
    default: return "Plausibilitätswarnungen";
    }
}

// The worst value of an indication with its unit: gradients in tenths.
QString WorstText(const SIndication& i)
{
    if (i.criterion == ECriterion::GradDiff) return Str(assesslayout::TenthsText(i.worst)) + U8(" mV");
    return Str(assesslayout::MvText(i.worst)) + U8(" mV");
}

QString LimitText(const SCriterionResult& c)
{
    switch (c.criterion) {
    case ECriterion::Off: return U8("Aus-Potential > ") + Str(assesslayout::MvText(c.limit)) + U8(" mV");
    case ECriterion::IRFree: return U8("IR-frei > ") + Str(assesslayout::MvText(c.limit)) + U8(" mV");
    case ECriterion::Over: return U8("Aus-Potential < ") + Str(assesslayout::MvText(c.limit)) + U8(" mV");
    default: return U8("Grad.-Differenz ≥ ") + Str(assesslayout::TenthsText(c.limit)) + U8(" mV");
    }
}

// A comparison's difference in mV, an en dash when absent.
QString DeltaText(int64_t v) { return v == kNoDelta ? U8("–") : QString::number(v); }

QString CompareLimitText(const SCompareCriterionResult& c)
{
    if (c.criterion == ECompareCriterion::Worse)
        return U8("Δ Aus-Potential ≥ ") + Str(assesslayout::MvText(c.limit)) + U8(" mV");
    return U8("Polarisation < ") + Str(assesslayout::MvText(c.limit)) + U8(" mV");
}

QString FileNameText(const CTreDoc& doc)
{
    const QString path = Str(doc.GetPathName());
    return path.isEmpty() ? U8("(ohne Namen)") : QFileInfo(path).fileName();
}

class CAssessReport : public IPrintHooks {
public:
    CAssessReport(const CTreDoc& doc, const SAssessSettings& settings, const SReportComparison& comparison)
        : m_doc(doc)
        , m_settings(settings)
        , m_a(Assess(doc, settings))
        , m_earlier(comparison.earlier)
    {
        m_pages = assesslayout::PaginateTables({static_cast<int>(m_a.indications.size()),
                                                static_cast<int>(m_a.defects.size()),
                                                static_cast<int>(m_a.warnings.size())},
                                               kLinesPerPage, kHeadLines, kGapLines);
        if (m_earlier) {
            m_c = Compare(doc, *m_earlier, comparison.settings);
            m_cmpPages = assesslayout::PaginateTables({{ETable::Comparison, static_cast<int>(m_c->indications.size())}},
                                                      kLinesPerPage, kHeadLines, kGapLines);
        }
    }

    int PageCount() const
    {
        const int assessment = 1 + static_cast<int>(m_pages.size());
        return m_c ? assessment + 1 + static_cast<int>(m_cmpPages.size()) : assessment;
    }

    int OnPreparePrinting(bool) override { return PageCount(); }
    void OnBeginPrinting(QPainter&, const CPrintMetrics& m) override
    {
        m_m = m;
        m_frame = ComputeFrame(m, kTableMargins);
        m_lh = MmDY(m, kLineMm);
    }
    void OnPrint(QPainter& p, int page) override
    {
        p.save();
        const int section = 2 + static_cast<int>(m_pages.size()); // the comparison's first page
        if (page == 1) DrawOverview(p);
        else if (page < section) DrawTables(p, m_pages[static_cast<size_t>(page - 2)]);
        else if (page == section) DrawComparison(p);
        else DrawTables(p, m_cmpPages[static_cast<size_t>(page - section - 1)]);
        DrawFooter(p, page);
        p.restore();
    }
    void OnEndPrinting() override { }

private:
    int L() const { return m_frame.left; }
    int R() const { return m_frame.right; }
    int LineY(int line) const { return m_frame.top + line * m_lh; }

    void DrawFooter(QPainter& p, int page) const
    {
        p.setFont(PointFont(m_m, 8));
        p.setPen(Qt::black);
        const int y = MmY(m_m, m_frame.bottom, 4);
        p.setPen(QPen(Qt::black, std::max(1, m_m.dpy / 300)));
        p.drawLine(L(), MmY(m_m, m_frame.bottom, 2), R(), MmY(m_m, m_frame.bottom, 2));
        TextOut(p, L(), y, FileNameText(m_doc), TA_LEFT | TA_TOP);
        TextOut(p, R(), y, U8("Seite %1 von %2").arg(page).arg(PageCount()), TA_RIGHT | TA_TOP);
    }

    // A ruled table at line `line`: header rows, then `rows` (each a text
    // per column). Returns the line after it.
    int DrawGrid(QPainter& p, int line, const std::vector<SColumn>& cols, const std::vector<QStringList>& rows,
                 bool twoLineHeader) const
    {
        const int pad = MmDX(m_m, 1);
        std::vector<int> xs{L()};
        for (const SColumn& c : cols) xs.push_back(MmX(m_m, xs.back(), c.widthMm));
        auto cell = [&](size_t k, int y, const QString& text, bool bold) {
            const SColumn& c = cols[k];
            p.save();
            p.setClipRect(QRect(QPoint(xs[k], y), QPoint(xs[k + 1] - 1, y + m_lh)));
            if (bold) {
                QFont f = p.font();
                f.setWeight(QFont::Bold);
                p.setFont(f);
            }
            if (c.left) TextOut(p, xs[k] + pad, y + m_lh / 6, text, TA_LEFT | TA_TOP);
            else TextOut(p, xs[k + 1] - pad, y + m_lh / 6, text, TA_RIGHT | TA_TOP);
            p.restore();
        };
        const int headLines = twoLineHeader ? 2 : 1;
        p.fillRect(QRect(QPoint(xs.front(), LineY(line)), QPoint(xs.back(), LineY(line + headLines))),
                   QColor(225, 225, 225));
        for (size_t k = 0; k < cols.size(); ++k) {
            cell(k, LineY(line), U8(cols[k].title), true);
            if (twoLineHeader) cell(k, LineY(line + 1), U8(cols[k].unit), false);
        }
        line += headLines;
        const QPen rule(Qt::black, std::max(1, m_m.dpy / 300));
        p.setPen(rule);
        p.drawLine(xs.front(), LineY(line), xs.back(), LineY(line));
        for (size_t i = 0; i < rows.size(); ++i, ++line) {
            if (i % 2 == 1)
                p.fillRect(QRect(QPoint(xs.front(), LineY(line)), QPoint(xs.back(), LineY(line + 1))),
                           QColor(242, 242, 242));
            p.setPen(Qt::black);
            for (size_t k = 0; k < cols.size() && k < static_cast<size_t>(rows[i].size()); ++k)
                cell(k, LineY(line), rows[i][static_cast<int>(k)], false);
        }
        p.setPen(rule);
        p.drawLine(xs.front(), LineY(line), xs.back(), LineY(line));
        return line;
    }

    // A title on line `line`, standing on its foot so the larger font does
    // not reach into the next line.
    void SectionTitle(QPainter& p, int line, const QString& text) const
    {
        p.setFont(PointFont(m_m, 11, 700));
        p.setPen(Qt::black);
        TextOut(p, L(), LineY(line + 1) - m_lh / 8, text, TA_LEFT | TA_BOTTOM);
        p.setFont(PointFont(m_m, 9));
    }

    // A page's title with the company on the right.
    void PageTitle(QPainter& p, const QString& text) const
    {
        p.setFont(PointFont(m_m, 15, 700));
        p.setPen(Qt::black);
        TextOut(p, L(), m_frame.top, text, TA_LEFT | TA_TOP);
        p.setFont(PointFont(m_m, 10));
        TextOut(p, R(), m_frame.top, CompanyText(), TA_RIGHT | TA_TOP);
    }

    // Labelled values, one a line from `line`, the values aligned after the
    // longest label. Returns the line after them.
    int DrawFields(QPainter& p, int line, const QString* labels, const QString* values, int count) const
    {
        int wl = 0;
        for (int i = 0; i < count; ++i) wl = std::max(wl, TextWidth(p, labels[i]));
        for (int i = 0; i < count; ++i, ++line) {
            TextOut(p, L() + MmDX(m_m, 2), LineY(line) + m_lh / 6, labels[i], TA_LEFT | TA_TOP);
            p.save();
            p.setClipRect(QRect(QPoint(L(), LineY(line)), QPoint(R(), LineY(line + 1))));
            TextOut(p, L() + MmDX(m_m, 4) + wl, LineY(line) + m_lh / 6, U8(":  ") + values[i], TA_LEFT | TA_TOP);
            p.restore();
        }
        return line;
    }

    void DrawOverview(QPainter& p) const
    {
        PageTitle(p, U8("Bewertung der Intensivmessung"));
        int line = 2;

        // header data
        SectionTitle(p, line, U8("Kopfdaten"));
        ++line;
        const QString labels[6] = {U8("Leitung"),   m_doc.m_bTabHeadNumber ? U8("Nummer") : U8("Kunde"),
                                   U8("Datum"),     U8("Schutzkriterium"),
                                   U8("Bemerkung"), U8("Messpunkte")};
        const QString values[6] = {Str(m_doc.m_header[3]),
                                   Str(m_doc.m_header[4]),
                                   Str(m_doc.m_header[1]),
                                   Str(m_doc.m_header[2]),
                                   Str(m_doc.m_header[7]),
                                   QString::number(m_doc.GetRowCount()) + U8(", Länge der Messstrecke ")
                                       + QString::number(m_a.summary.surveyLength) + U8(" m")};
        line = DrawFields(p, line, labels, values, 6) + 1;

        // criteria with their limits and results
        SectionTitle(p, line, U8("Kriterien und Ergebnis"));
        line += 2;
        static const std::vector<SColumn> critCols = {
            {"Kriterium", "", 48, true}, {"Grenzwert", "", 44, true},  {"Prüfung", "", 17, true},
            {"Anzeigen", "", 19, false}, {"Länge [m]", "", 22, false}, {"Anteil [%]", "", 22, false},
        };
        std::vector<QStringList> rows;
        const SAssessSummary& s = m_a.summary;
        for (const SCriterionResult& c : m_a.criteria) {
            const size_t k = static_cast<size_t>(c.criterion);
            if (!c.enabled) {
                rows.push_back({U8(CriterionName(c.criterion)), LimitText(c), U8("aus"), U8("–"), U8("–"), U8("–")});
                continue;
            }
            rows.push_back({U8(CriterionName(c.criterion)), LimitText(c), U8("ein"),
                            QString::number(s.indicationCount[k]), QString::number(s.indicationLength[k]),
                            Str(assesslayout::PercentText(s.indicationLength[k], s.surveyLength))});
        }
        line = DrawGrid(p, line, critCols, rows, false);
        TextOut(p, L() + MmDX(m_m, 1), LineY(line) + m_lh / 6,
                U8("Verdacht auf Fehlstellen: %1 Stellen.  Ausreißer ab %2 mV, Messlücke ab mehr als %3 m.")
                    .arg(s.defectCount)
                    .arg(m_settings.spike)
                    .arg(m_settings.gap),
                TA_LEFT | TA_TOP);
        line += 2;

        // warnings per kind
        SectionTitle(p, line, U8("Plausibilitätswarnungen"));
        line += 2;
        static const std::vector<SColumn> warnCols = {{"Warnung", "", 60, true}, {"Anzahl", "", 20, false}};
        rows.clear();
        for (int k = 0; k < kWarningCount; ++k)
            rows.push_back(
                {U8(WarningName(static_cast<EWarning>(k))), QString::number(s.warningCount[static_cast<size_t>(k)])});
        line = DrawGrid(p, line, warnCols, rows, false);
        ++line;

        // overview chart in the rest of the page
        SectionTitle(p, line, U8("Übersicht"));
        line += 2;
        const QRect box(QPoint(L(), LineY(line)), QPoint(R(), m_frame.bottom));
        DrawAssessmentChart(p, m_m, box, m_doc, m_a);
    }

    // The comparison section's first page: the comparison survey, the
    // criterion, the summary and the chart in the rest of the page.
    void DrawComparison(QPainter& p) const
    {
        const SComparison& c = *m_c;
        const bool native = c.mode == ECompareMode::Native;
        PageTitle(p, native ? U8("Vergleich mit Nativmessung") : U8("Vergleich mit früherer Messung"));
        int line = 2;

        SectionTitle(p, line, native ? U8("Nativmessung") : U8("Frühere Messung"));
        ++line;
        const QString labels[3] = {U8("Datei"), U8("Leitung"), U8("Datum")};
        const QString values[3] = {FileNameText(*m_earlier), Str(m_earlier->m_header[3]), Str(m_earlier->m_header[1])};
        line = DrawFields(p, line, labels, values, 3) + 1;

        // The share is of the stretch the pairs cover: only there can the
        // comparison find anything.
        SectionTitle(p, line, U8("Kriterium und Ergebnis"));
        line += 2;
        static const std::vector<SColumn> critCols = {
            {"Kriterium", "", 52, true},  {"Grenzwert", "", 48, true},   {"Anzeigen", "", 19, false},
            {"Länge [m]", "", 22, false}, {"Anteil [%]", "", 22, false},
        };
        const int64_t covered = c.pairs.size() < 2 ? 0 : int64_t{c.pairs.back().metre} - int64_t{c.pairs.front().metre};
        std::vector<QStringList> rows;
        for (const SCompareCriterionResult& cr : c.criteria) {
            if (!cr.enabled) continue;
            int count = 0;
            int64_t length = 0;
            for (const SCompareIndication& i : c.indications)
                if (i.criterion == cr.criterion) {
                    ++count;
                    length += i.length;
                }
            rows.push_back({U8(CompareCriterionName(cr.criterion)), CompareLimitText(cr), QString::number(count),
                            QString::number(length), Str(assesslayout::PercentText(length, covered))});
        }
        line = DrawGrid(p, line, critCols, rows, false);
        TextOut(p, L() + MmDX(m_m, 1), LineY(line) + m_lh / 6,
                U8("Anteil an der gepaarten Strecke von %1 m.").arg(covered), TA_LEFT | TA_TOP);
        line += 2;

        SectionTitle(p, line, U8("Zusammenfassung"));
        line += 2;
        const SCompareSummary& s = c.summary;
        static const std::vector<SColumn> pairCols = {
            {"Gepaarte Meter", "", 40, false},
            {"Ohne Partner (aktuell)", "", 50, false},
            {"Ohne Partner (Vergleich)", "", 50, false},
        };
        line = DrawGrid(p, line, pairCols,
                        {{QString::number(s.matched), QString::number(s.currentUnmatched),
                          QString::number(s.earlierUnmatched)}},
                        false)
               + 1;
        static const std::vector<SColumn> statCols = {
            {"Größe", "", 40, true},         {"Anzahl", "", 20, false},          {"Minimum [mV]", "", 28, false},
            {"Maximum [mV]", "", 28, false}, {"Mittelwert [mV]", "", 30, false},
        };
        auto stats = [](const char* name, const SDeltaStats& d) {
            return QStringList{U8(name), QString::number(d.count), DeltaText(d.min), DeltaText(d.max),
                               DeltaText(d.mean)};
        };
        rows = {stats("Differenz Aus", s.deltaOff)};
        if (native) rows.push_back(stats("Polarisation", s.polarisation));
        line = DrawGrid(p, line, statCols, rows, false) + 1;

        SectionTitle(p, line, U8("Übersicht"));
        line += 2;
        const QRect box(QPoint(L(), LineY(line)), QPoint(R(), m_frame.bottom));
        DrawComparisonChart(p, m_m, box, m_doc, *m_earlier, c);
    }

    QStringList Row(ETable t, int i) const
    {
        const QString nr = QString::number(i + 1);
        const size_t k = static_cast<size_t>(i);
        switch (t) {
        case ETable::Indications: {
            const SIndication& x = m_a.indications[k];
            const QString rowsText = x.firstRow == x.lastRow
                                         ? QString::number(x.firstRow)
                                         : QString::number(x.firstRow) + U8("–") + QString::number(x.lastRow);
            return {nr,
                    U8(CriterionName(x.criterion)),
                    rowsText,
                    QString::number(x.fromMetre),
                    QString::number(x.toMetre),
                    QString::number(x.length),
                    WorstText(x),
                    QString::number(x.worstMetre)};
        }
        case ETable::Comparison: {
            const SCompareIndication& x = m_c->indications[k];
            return {nr,
                    U8(CompareCriterionName(x.criterion)),
                    QString::number(x.fromMetre),
                    QString::number(x.toMetre),
                    QString::number(x.rows),
                    QString::number(x.length),
                    DeltaText(x.worst),
                    QString::number(x.worstMetre)};
        }
        case ETable::Defects: {
            const SDefect& d = m_a.defects[k];
            using namespace assesslayout;
            return {nr,
                    QString::number(d.row),
                    QString::number(d.metre),
                    Str(TenthsText(d.gradDiff)),
                    Str(TenthsText(d.gradOn)),
                    Str(TenthsText(d.gradOff)),
                    Str(MvText(d.potOn)),
                    Str(MvText(d.potOff)),
                    Str(MvText(d.potIRFree)),
                    d.landmark.found ? Str(d.landmark.comment) : U8("–"),
                    d.landmark.found ? QString::number(d.landmark.distance) : U8("–")};
        }
        default: {
            const SWarning& w = m_a.warnings[k];
            return {nr,
                    U8(WarningName(w.kind)),
                    QString::number(w.firstRow),
                    QString::number(w.lastRow),
                    QString::number(w.fromMetre),
                    QString::number(w.toMetre)};
        }
        }
    }

    void DrawTables(QPainter& p, const assesslayout::SPage& page) const
    {
        int line = 0;
        bool first = true;
        for (const assesslayout::SBlock& b : page) {
            if (!first) line += kGapLines;
            first = false;
            const int start = line;
            SectionTitle(p, line, U8(TableTitle(b.table)) + (b.continued ? U8(" (Fortsetzung)") : QString()));
            std::vector<QStringList> rows;
            for (int i = b.first; i < b.first + b.count; ++i) rows.push_back(Row(b.table, i));
            line = DrawGrid(p, line + 1, Columns(b.table), rows, true);
            if (b.count == 0) {
                TextOut(p, L() + MmDX(m_m, 1), LineY(line) + m_lh / 6, U8("keine"), TA_LEFT | TA_TOP);
                ++line;
            }
            line = std::max(line, start + kHeadLines + std::max(b.count, 1));
        }
    }

    const CTreDoc& m_doc;
    const SAssessSettings& m_settings;
    SAssessment m_a;
    std::vector<assesslayout::SPage> m_pages;
    const CTreDoc* m_earlier;
    std::optional<SComparison> m_c;
    std::vector<assesslayout::SPage> m_cmpPages;
    CPrintMetrics m_m;
    graphiclayout::CDeviceFrame m_frame;
    int m_lh = 1;
};

} // namespace

bool WriteAssessmentReportPdf(const CTreDoc& doc, const SAssessSettings& settings, const QString& path, QString* error,
                              const SReportComparison& comparison)
{
    auto fail = [&](const QString& why) {
        if (error) *error = U8("Der Bewertungsbericht kann nicht nach %1 geschrieben werden: %2").arg(path, why);
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    constexpr int kDpi = 600;
    QPdfWriter writer(&file);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(U8("Bewertung ") + QFileInfo(Str(doc.GetPathName())).fileName());
    writer.setCreator(U8("Tresmon"));

    CAssessReport report(doc, settings, comparison);
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

bool PrintAssessmentReport(const CTreDoc& doc, const SAssessSettings& settings, QPrinter& printer, QString* error,
                           const SReportComparison& comparison)
{
    CAssessReport report(doc, settings, comparison);
    if (RunPrintJob(printer, report) < 0) {
        if (error) *error = U8("Der Drucker kann nicht geöffnet werden.");
        return false;
    }
    return true;
}
