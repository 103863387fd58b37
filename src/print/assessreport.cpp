// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessreport.h"

#include "a4pdf.h"
#include "assesssheet.h"
#include "doc/tredoc.h"
#include "printjob.h"
#include "reportcompare.h"
#include "reportcontent.h"
#include "reportintro.h"
#include "reportpage.h"
#include "reportresult.h"
#include "reporttables.h"

#include <QFileInfo>
#include <QPainter>

#include <QPrinter>
#include <functional>

#include <algorithm>
#include <cmath>

namespace {

class CAssessReport : public IPrintHooks {
public:
    CAssessReport(const CTreDoc& doc, const SReportOptions& o)
        : m_c(doc, o)
        , m_tables(m_c)
    { }

    // Reads what the report needs from outside the documents, the logo, and
    // refuses a draft asked for as final.
    bool Prepare(QString* error)
    {
        if (m_c.o.final && !m_c.draft.isEmpty()) {
            if (error)
                *error = U8("Der Bericht ist ein Entwurf und wird nicht als Endfassung geschrieben: ")
                         + m_c.draft.join(U8("; ")) + U8(".");
            return false;
        }
        if (m_c.o.issuer.logo.isEmpty()) return true;
        return m_logo.Load(m_c.o.issuer.logo, error);
    }

    int PageCount() const
    {
        const int assessment = FirstTablePage() + static_cast<int>(m_tables.Pages().size()) - 1;
        return m_c.c ? assessment + 1 + static_cast<int>(m_tables.ComparisonPages().size()) : assessment;
    }

    int OnPreparePrinting(bool) override { return PageCount(); }
    void OnBeginPrinting(QPainter&, const CPrintMetrics& m) override { m_page.Begin(m); }
    void OnPrint(QPainter& p, int page) override
    {
        p.save();
        if (!m_c.draft.isEmpty()) DrawDraftWatermark(p, m_page);
        const int sheets = kReportIntroPages + 1;
        const int tables = FirstTablePage();
        const int comparison = tables + static_cast<int>(m_tables.Pages().size()); // the comparison's first page
        if (page == 1) DrawFirstPage(p, m_page, m_c, m_logo);
        else if (page < sheets) DrawFiguresPage(p, m_page, m_c);
        else if (page < tables) DrawSheetPage(p, page - sheets);
        else if (page < comparison) m_tables.Draw(p, m_page, m_tables.Pages()[static_cast<size_t>(page - tables)]);
        else if (page == comparison) DrawComparisonPage(p, m_page, m_c);
        else m_tables.Draw(p, m_page, m_tables.ComparisonPages()[static_cast<size_t>(page - comparison - 1)]);
        DrawHeader(p, page);
        p.restore();
    }
    void OnEndPrinting() override { }

private:
    int FirstTablePage() const { return kReportIntroPages + 1 + static_cast<int>(m_c.sheets.size()); }

    void DrawHeader(QPainter& p, int page) const
    {
        const SReportOptions& o = m_c.o;
        const QString identity
            = ReportIdentity(U8("Bewertungsbericht"), o.reportNumber, o.revision, !m_c.draft.isEmpty());
        DrawReportHeader(p, m_page,
                         {identity, U8("Messdatei: ") + FileNameText(m_c.doc), o.issuer.company, page, PageCount()});
    }

    void DrawSheetPage(QPainter& p, int index) const
    {
        const SSheetPlan& plan = m_c.sheets[static_cast<size_t>(index)];
        SectionTitle(p, m_page, m_page.top,
                     U8("Abschnitt %1 von %2: %3%4 bis %5 m")
                         .arg(index + 1)
                         .arg(m_c.sheets.size())
                         .arg(m_c.Chainage() ? U8("Stationierung ") : QString())
                         .arg(plan.section.from)
                         .arg(plan.section.to));
        SSheetInput in;
        in.doc = &m_c.doc;
        in.verdict = &m_c.v;
        in.extents = &m_c.extents;
        in.priorities = &m_c.priorities;
        in.rowIndex = &m_c.rowIndex;
        if (m_c.c) {
            if (m_c.Native()) in.native = &*m_c.c;
            else in.earlier = m_c.o.comparison.earlier;
            in.comparisonPositions = &m_c.comparisonPositions;
            in.comparisonDirection = m_c.comparisonDirection;
        }
        in.electrode = m_c.electrode;
        in.chainage = m_c.Chainage();
        const QRect box(QPoint(m_page.L(), m_page.LineY(1) + MmDY(m_page.m, 1)),
                        QPoint(m_page.R(), m_page.frame.bottom));
        DrawSheet(p, m_page.m, box, in, plan);
    }

    SReportContent m_c;
    CReportTables m_tables;
    CReportLogo m_logo;
    SReportPage m_page;
};

} // namespace

QStringList AssessmentReportDraftReasons(const CTreDoc& doc, const SReportOptions& options)
{
    const SProtectionCriterion criterion
        = SurveyProtectionCriterion(doc, options.settings.protectionPotential, options.settings.limitPotential);
    return Strs(reportresult::DraftReasons(!options.issuer.NoIssuer(), criterion, options.pipeline));
}

bool WriteAssessmentReportPdf(const CTreDoc& doc, const SReportOptions& options, const QString& path, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error) *error = U8("Der Bewertungsbericht kann nicht nach %1 geschrieben werden: %2").arg(path, why);
        return false;
    };
    CAssessReport report(doc, options);
    QString why;
    if (!report.Prepare(&why)) return fail(why);
    constexpr int kDpi = 600;
    const int pages = report.OnPreparePrinting(false);
    const auto draw = [&](QPainter& p, const std::function<void()>& newPage) {
        report.OnBeginPrinting(p, A4Metrics(kDpi, false));
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) newPage();
            report.OnPrint(p, page);
        }
        report.OnEndPrinting();
    };
    if (!WriteA4Pdf(path, U8("Bewertung ") + QFileInfo(Str(doc.GetPathName())).fileName(), kDpi, draw, why))
        return fail(why);
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
