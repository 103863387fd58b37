// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment report's pages as a reader sees them: with pipeline data a
// sheet's band, curve, defect and landmark of one row at one x on the
// chainage axis, a section's E_p over its range; a draft marked on every
// page and refused as final; page 1 with the result and how the survey
// was taken; the stretch table at chainage and recorded metre with the
// E_p that applied.
#include "alignforcomparison.h"
#include "assesschart.h"
#include "assessreport.h"
#include "assesssheet.h"
#include "comparison.h"
#include "missingtool.h"
#include "pdftext.h"
#include "recorder.h"
#include "reportfixture.h"
#include "sheetplan.h"
#include "tiedassessment.h"
#include "verdict.h"
#include "verdictpalette.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

bool SameRgb(const QColor& c, const SPaletteRgb& p) { return c.red() == p.r && c.green() == p.g && c.blue() == p.b; }

// The tied survey's first sheet drawn on a recording device.
struct SDrawnSheet {
    CTreDoc doc;
    trespipeline::SPipelineData data = TiedSurveyData();
    trespipeline::SSurveyBinding binding;
    SVerdict v;
    std::vector<SSheetPlan> plans;
    SSheetGeometry g;
    CPrintMetrics m = A4Metrics(600, false);
    CRecordingDevice dev{m};

    bool Draw()
    {
        BuildTiedSurvey(doc);
        binding = trespipeline::BindSurvey(doc, data);
        if (!binding.ok) return false;
        v = trespipeline::AssessTied(doc, SVerdictSettings(), nullptr, &binding);
        plans = PlanSheets(doc, v, 500, {}, &data.sections);
        const std::vector<SStretchExtent> extents = StretchExtents(v);
        const std::vector<int> index = VerdictRowIndex(v, doc.GetRowCount());
        const std::vector<int> priorities(v.defects.size(), 1);
        SSheetInput in;
        in.doc = &doc;
        in.verdict = &v;
        in.extents = &extents;
        in.priorities = &priorities;
        in.rowIndex = &index;
        in.electrode = QStringLiteral("Cu/CuSO4");
        in.chainage = true;
        const QRect box(MmX(m, 0, 20), MmY(m, 0, 30), MmDX(m, 175), MmDY(m, 240));
        g = SheetGeometry(m, box);
        QPainter p(&dev);
        DrawSheet(p, m, box, in, plans[0]);
        return true;
    }
    // Where chainage s lies on the first sheet, 1000 to 1500 m.
    double X(double s) const { return g.potential.left() + (s - 1000.0) * g.potential.width() / 500.0; }
};

} // namespace

class TestReportPages : public QObject {
    Q_OBJECT
private slots:
    void oneRowOneXOnTheChainage();
    void sectionCriterionOverItsRange();
    void comparisonChartOnTheChainage();
    void draftMarkedAndRefusedAsFinal();
    void firstPageStatesResultAndConditions();
    void stretchTableAtChainageAndMetre();

private:
    QTemporaryDir m_dir;
};

void TestReportPages::oneRowOneXOnTheChainage()
{
    SDrawnSheet s;
    QVERIFY(s.Draw());
    const CRecordingEngine& e = s.dev.Engine();
    const double at = s.X(1253); // metre 230
    const double tolerance = 1.5;

    // The one-row "nicht geschützt" band around it, 2,75 m either side.
    bool band = false;
    for (const auto& f : e.fills)
        if (SameRgb(f.colour, VerdictStatusColour(EVerdictStatus::Unprotected)) && f.rect.top() == s.g.potential.top()
            && std::abs(f.rect.center().x() - at) < tolerance)
            band = true;
    QVERIFY(band);
    // The potential off's most positive point, drawn lowest, is there.
    // (-800 mV is the axis' end: on the plot's lower edge.)
    const QRectF plot = QRectF(s.g.potential).adjusted(-2, -2, 2, 2);
    QPointF lowest(0, -1e9);
    for (const CRecPolyline& l : e.polylines)
        if (l.colour == QColor(255, 0, 0))
            for (const QPointF& pt : l.points)
                if (plot.contains(pt) && pt.y() > lowest.y()) lowest = pt;
    QVERIFY2(std::abs(lowest.x() - at) < tolerance, qPrintable(QStringLiteral("%1 %2").arg(lowest.x()).arg(at)));
    // The defect's triangle points at it, and the landmark's line runs through it.
    bool triangle = false, landmark = false;
    for (const CRecPolyline& t : e.polygons)
        triangle = triangle || (SameRgb(t.colour, DefectMarkColour()) && std::abs(t.points[0].x() - at) < tolerance);
    for (const CRecLine& l : e.lines)
        landmark = landmark
                   || (l.colour == QColor(150, 150, 150) && l.line.x1() == l.line.x2()
                       && std::abs(l.line.x1() - at) < tolerance);
    QVERIFY(triangle);
    QVERIFY(landmark);
    QVERIFY(s.dev.Text(QStringLiteral("Stationierung [m]")));
    QVERIFY(s.dev.Text(QStringLiteral("1250")));
}

void TestReportPages::sectionCriterionOverItsRange()
{
    SDrawnSheet s;
    QVERIFY(s.Draw());
    // E_p dashed at -850 mV but from 1100 to 1200 m, where the section's
    // -950 mV stands dash-dotted, with its value.
    std::vector<QLineF> dashed, dashDotted;
    for (const CRecLine& l : s.dev.Engine().lines) {
        if (!SameRgb(l.colour, ProtectionLineColour()) || l.line.y1() != l.line.y2()) continue;
        if (!s.g.potential.contains(l.line.p1().toPoint())) continue; // the legend's samples
        if (l.style == Qt::DashLine) dashed.push_back(l.line);
        if (l.style == Qt::DashDotLine) dashDotted.push_back(l.line);
    }
    QCOMPARE(dashDotted.size(), size_t{1});
    QVERIFY(std::abs(dashDotted[0].x1() - s.X(1100)) < 1 && std::abs(dashDotted[0].x2() - s.X(1200)) < 1);
    QCOMPARE(dashed.size(), size_t{2});
    QVERIFY(std::abs(dashed[0].x2() - s.X(1100)) < 1 && std::abs(dashed[1].x1() - s.X(1200)) < 1);
    QVERIFY(dashDotted[0].y1() < dashed[0].y1()); // -950 above -850
    QVERIFY(s.dev.Text(QStringLiteral("Schutzpotential -950 mV")));
    QVERIFY(s.dev.Text(QStringLiteral("Schutzpotential -850 mV")));
}

void TestReportPages::comparisonChartOnTheChainage()
{
    // The earlier survey was protected at metre 230 (-950 mV): one
    // indication there, which the overview band shows at the chainage of
    // the current survey's dip.
    CTreDoc doc, earlier;
    BuildTiedSurvey(doc);
    BuildTiedSurvey(earlier);
    earlier.SetPotOff(47, -950);
    const trespipeline::SPipelineData data = TiedSurveyData();
    const trespipeline::SSurveyBinding b = trespipeline::BindSurvey(doc, data);
    QVERIFY(b.ok);
    trespipeline::SComparisonAlignRequest request;
    request.pipeline = &data;
    SCompareSettings settings;
    settings.alignment = trespipeline::AlignForComparison(doc, earlier, false, request).alignment;
    QVERIFY(settings.alignment);
    const SComparison c = Compare(doc, earlier, settings);
    QCOMPARE(c.indications.size(), size_t{1});
    const CPrintMetrics m = A4Metrics(600, false);
    CRecordingDevice dev(m);
    const QRect box(MmX(m, 0, 20), MmY(m, 0, 150), MmDX(m, 175), MmDY(m, 120));
    {
        QPainter p(&dev);
        DrawComparisonChart(p, m, box, doc, earlier, c, QStringLiteral("Cu/CuSO4"), &b.chainage);
    }
    QVERIFY(dev.Text(QStringLiteral("Stationierung [m]")));
    QPointF lowest(0, -1e9);
    for (const CRecPolyline& l : dev.Engine().polylines)
        if (l.style == Qt::SolidLine)
            for (const QPointF& pt : l.points)
                if (pt.y() > lowest.y()) lowest = pt;
    bool band = false;
    for (const auto& f : dev.Engine().fills)
        band = band
               || (f.rect.height() < MmDY(m, 2) && f.rect.left() <= lowest.x() + 1 && f.rect.right() >= lowest.x() - 1);
    QVERIFY(band);
}

void TestReportPages::draftMarkedAndRefusedAsFinal()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    CTreDoc doc;
    BuildTiedSurvey(doc);
    doc.m_header[2] = "850 mV"; // no sign: the criterion is assumed
    SReportOptions o;
    QCOMPARE(AssessmentReportDraftReasons(doc, o),
             (QStringList{QStringLiteral("kein Herausgeber angegeben"), QStringLiteral("Schutzkriterium angenommen")}));
    const QString path = m_dir.filePath(QStringLiteral("entwurf.pdf"));
    QVERIFY(WriteAssessmentReportPdf(doc, o, path, nullptr));
    const QStringList pages = PdfPages(path);
    QVERIFY(pages.size() >= 4);
    for (const QString& page : pages)
        QVERIFY(page.trimmed().startsWith(QString::fromUtf8("ENTWURF – Bewertungsbericht")));
    QVERIFY2(pages[0].contains(QString::fromUtf8(
                 "ENTWURF, nicht zur Freigabe: kein Herausgeber angegeben; Schutzkriterium angenommen")),
             qPrintable(pages[0]));

    // Asked for as final, the draft is not written and the message says why.
    o.final = true;
    QFile::remove(path);
    QString error;
    QVERIFY(!WriteAssessmentReportPdf(doc, o, path, &error));
    QVERIFY2(error.contains(QString::fromUtf8("Entwurf und wird nicht als Endfassung geschrieben: kein Herausgeber "
                                              "angegeben; Schutzkriterium angenommen")),
             qPrintable(error));
    QVERIFY(!QFile::exists(path));

    // With an issuer and the header's criterion it is final: no mark.
    doc.m_header[2] = "-850 mV";
    o.issuer.company = QStringLiteral("Korrosionsschutz Nord GmbH");
    QVERIFY(AssessmentReportDraftReasons(doc, o).isEmpty());
    QVERIFY(WriteAssessmentReportPdf(doc, o, path, &error));
    QVERIFY(!PdfPages(path).join(QString()).contains(QStringLiteral("ENTWURF")));
}

void TestReportPages::firstPageStatesResultAndConditions()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    CTreDoc doc;
    BuildTiedSurvey(doc);
    const trespipeline::SSurveyBinding b = trespipeline::BindSurvey(doc, TiedSurveyData());
    QVERIFY(b.ok);
    SReportOptions o;
    o.pipeline = &b;
    o.issuer.company = QStringLiteral("Netzbetreiber West");
    o.issuer.instrument = QStringLiteral("Logger 7");
    o.issuer.electrodeSpacing = QStringLiteral("1,5");
    o.issuer.offDelay = QStringLiteral("300");
    o.issuer.synchronous = QStringLiteral("nein");
    const QString path = m_dir.filePath(QStringLiteral("messung.pdf"));
    QVERIFY(WriteAssessmentReportPdf(doc, o, path, nullptr));
    const QString first = PdfPages(path).value(0);
    const auto field = [&first](const char* label, const char* value) {
        return first.contains(
            QRegularExpression(QRegularExpression::escape(QString::fromUtf8(label)) + QStringLiteral(":\\s+")
                               + QRegularExpression::escape(QString::fromUtf8(value)) + QStringLiteral("\\n")));
    };
    QVERIFY2(field("Messgerät", "Logger 7"), qPrintable(first));
    QVERIFY(field("Kalibrierung Messgerät", "nicht angegeben"));
    QVERIFY(field("Elektrodenabstand quer", "1,5 m"));
    QVERIFY(field("Ausschaltverzögerung", "300 ms (Aus-Messung nach dem Abschalten)"));
    QVERIFY(field("Gleichrichter synchron", "nein"));
    QVERIFY(field("Messender", "nicht angegeben"));
    QVERIFY(field("Witterung/Boden", "nicht angegeben"));
    QVERIFY(first.contains(QString::fromUtf8("Regelwerk:")) && first.contains(QStringLiteral("DIN EN ISO 15589-1")));
    // The result: of 550 m, 5,5 m not protected at metre 230 against the
    // survey's -850 mV and the section's 18 points of 5,5 m against its
    // -950 mV.
    QVERIFY2(first.contains(QStringLiteral("Ergebnis")), qPrintable(first));
    const QString flowing = QString(first).replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    QVERIFY(flowing.contains(QString::fromUtf8("Schutz nachgewiesen auf 445,5 m von 550 m Messstrecke")));
    QVERIFY(flowing.contains(QString::fromUtf8("Nicht geschützt: 104,5 m in 2 Abschnitten (E* positiver als das "
                                               "Schutzpotential: 5,5 m gegen -850 mV, 99 m gegen -950 mV).")));
}

void TestReportPages::stretchTableAtChainageAndMetre()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    CTreDoc doc;
    BuildTiedSurvey(doc);
    const trespipeline::SSurveyBinding b = trespipeline::BindSurvey(doc, TiedSurveyData());
    QVERIFY(b.ok);
    SReportOptions o;
    o.pipeline = &b;
    o.sectionLength = 500;
    const QString path = m_dir.filePath(QStringLiteral("abschnitte.pdf"));
    QVERIFY(WriteAssessmentReportPdf(doc, o, path, nullptr));
    const QString text = PdfPages(path).join(QString());
    // Nr., status, chainage from/to, metre from/to, points, length, E_p,
    // worst value and its chainage.
    QVERIFY2(text.contains(QRegularExpression(QString::fromUtf8(
                 "\\n\\s*1 nicht "
                 "geschützt\\s+1104,50\\s+1198,00\\s+95\\s+180\\s+18\\s+99\\s+-950\\s+-900\\s+1104,50\\s+–"))),
             qPrintable(text));
    QVERIFY(text.contains(QRegularExpression(QString::fromUtf8(
        "\\n\\s*2 nicht geschützt\\s+1253,00\\s+1253,00\\s+230\\s+230\\s+1\\s+5,5\\s+-850\\s+-800\\s+1253,00\\s+–"))));
    QVERIFY(text.contains(QStringLiteral("Abschnitt 1 von 2: Stationierung 1000 bis 1500 m")));
}

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    TestReportPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reportpages.moc"
