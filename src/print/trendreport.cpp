// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendreport.h"

#include "a4pdf.h"
#include "doc/criterion.h"
#include "reportcontent.h"
#include "reportpage.h"
#include "reportresult.h"
#include "trendcharts.h"
#include "trendtables.h"
#include "trendtext.h"

#include <QPainter>

#include <functional>

namespace {

constexpr int kChartsPerPage = 2;

QStringList TrendDraftReasons(const STrendReportInput& in, const SReportOptions& o)
{
    SProtectionCriterion criterion;
    criterion.source = in.criterionAssumed ? ECriterionSource::Default : ECriterionSource::Header;
    return Strs(reportresult::DraftReasons(!o.issuer.NoIssuer(), criterion, nullptr));
}

class CTrendReport {
public:
    CTrendReport(const STrendReportInput& in, const SReportOptions& o)
        : m_in(in)
        , m_o(o)
        , m_draft(TrendDraftReasons(in, o))
        , m_tables(in, m_draft)
        , m_sections(TrendSections(in, o.sectionLength))
        , m_potential(TrendPotentialTitle(in.electrode.trimmed().isEmpty() ? o.issuer.electrode : in.electrode))
    { }

    bool Prepare(QString* error) const
    {
        if (m_o.final && !m_draft.isEmpty()) {
            if (error)
                *error = U8("Der Bericht ist ein Entwurf und wird nicht als Endfassung geschrieben: ")
                         + m_draft.join(U8("; ")) + U8(".");
            return false;
        }
        return true;
    }

    int ChartPages() const
    {
        return static_cast<int>((m_in.trend.fixpoints.size() + kChartsPerPage - 1) / kChartsPerPage);
    }
    int PageCount() const
    {
        return static_cast<int>(m_tables.Pages().size()) + ChartPages() + static_cast<int>(m_sections.size());
    }

    void Begin(const CPrintMetrics& m) { m_page.Begin(m); }
    void Print(QPainter& p, int page) const
    {
        p.save();
        if (!m_draft.isEmpty()) DrawDraftWatermark(p, m_page);
        const int tables = static_cast<int>(m_tables.Pages().size());
        if (page <= tables) m_tables.Draw(p, m_page, m_tables.Pages()[static_cast<size_t>(page - 1)]);
        else if (page <= tables + ChartPages()) DrawChartPage(p, page - tables - 1);
        else DrawSectionPage(p, page - tables - ChartPages() - 1);
        QString second = U8("Leitung: ") + m_in.pipelineName.trimmed();
        if (!m_in.pipelineNumber.trimmed().isEmpty()) second += U8(" (Nr. ") + m_in.pipelineNumber.trimmed() + U8(")");
        DrawReportHeader(p, m_page,
                         {ReportIdentity(U8("Trendbericht"), m_o.reportNumber, m_o.revision, !m_draft.isEmpty()),
                          second, m_o.issuer.company, page, PageCount()});
        p.restore();
    }

private:
    void DrawChartPage(QPainter& p, int index) const
    {
        const int height = (m_page.frame.bottom - m_page.top) / kChartsPerPage;
        for (int k = 0; k < kChartsPerPage; ++k) {
            const size_t i = static_cast<size_t>(index * kChartsPerPage + k);
            if (i >= m_in.trend.fixpoints.size()) break;
            const trestrend::SFixpointTrend& f = m_in.trend.fixpoints[i];
            const int top = m_page.top + k * height;
            SectionTitle(p, m_page, top,
                         U8("Festpunkt „%1“, Stationierung %2 m").arg(Str(f.name), TrendMetres(f.chainage)));
            const QRect box(QPoint(m_page.L(), top + 2 * m_page.lh), QPoint(m_page.R(), top + height - m_page.lh));
            DrawFixpointChart(p, m_page.m, box, m_in, f, m_potential);
        }
    }

    void DrawSectionPage(QPainter& p, int index) const
    {
        const STrendSection& s = m_sections[static_cast<size_t>(index)];
        const bool chainage = !m_in.surveys.empty() && m_in.surveys.front().chainage;
        SectionTitle(p, m_page, m_page.top,
                     U8("Abschnitt %1 von %2: %3%4 bis %5 m")
                         .arg(index + 1)
                         .arg(m_sections.size())
                         .arg(chainage ? U8("Stationierung ") : QString())
                         .arg(TrendMetres(s.from), TrendMetres(s.to)));
        const int height = MmDY(m_page.m, 150);
        const QRect box(QPoint(m_page.L(), m_page.LineY(2)), QPoint(m_page.R(), m_page.LineY(2) + height));
        DrawSectionChart(p, m_page.m, box, m_in, s, m_potential);
    }

    const STrendReportInput& m_in;
    const SReportOptions& m_o;
    QStringList m_draft;
    CTrendTables m_tables;
    std::vector<STrendSection> m_sections;
    QString m_potential;
    SReportPage m_page;
};

} // namespace

bool WriteTrendReportPdf(const STrendReportInput& in, const SReportOptions& options, const QString& path,
                         QString* error)
{
    auto fail = [&](const QString& why) {
        if (error) *error = U8("Der Trendbericht kann nicht nach %1 geschrieben werden: %2").arg(path, why);
        return false;
    };
    CTrendReport report(in, options);
    QString why;
    if (!report.Prepare(&why)) return fail(why);
    constexpr int kDpi = 600;
    const auto draw = [&](QPainter& p, const std::function<void()>& newPage) {
        report.Begin(A4Metrics(kDpi, false));
        for (int page = 1; page <= report.PageCount(); ++page) {
            if (page > 1) newPage();
            report.Print(p, page);
        }
    };
    if (!WriteA4Pdf(path, U8("Trendbericht ") + in.pipelineName.trimmed(), kDpi, draw, why)) return fail(why);
    return true;
}

STrendReportInput TrendReportInputFrom(trestrend::SArchiveTrend loaded, const trestrend::STrendOptions& options)
{
    STrendReportInput in;
    in.pipelineName = QString::fromStdString(loaded.pipeline.name);
    in.pipelineNumber = QString::fromStdString(loaded.pipeline.number);
    in.surveys = std::move(loaded.surveys);
    for (const trestrend::STrendSurvey& s : in.surveys) {
        in.protection.push_back(s.protection.value_or(kDefaultProtectionPotential));
        in.criterionAssumed = in.criterionAssumed || s.protectionAssumed || !s.protection;
    }
    // The trend points into the surveys and findings: both live in `in`.
    in.findings = std::move(loaded.findings);
    in.trend = trestrend::ComputeTrend(in.surveys, in.findings, loaded.fixpoints, options);
    return in;
}
