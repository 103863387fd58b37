// SPDX-License-Identifier: GPL-3.0-or-later
// What the assessment report states, without a painter: the result in
// sentences, why a report is a draft, the stretch table's joined lines,
// the QM entries under their meanings, and the sheets planned on the
// chainage with pipeline data (none left empty, the sections' criteria
// over their range, the comparison where it was paired).
#include "alignforcomparison.h"
#include "assesslayout.h"
#include "comparison.h"
#include "nativepairing.h"
#include "reportfigures.h"
#include "reportfixture.h"
#include "reportresult.h"
#include "reportstretches.h"
#include "sheetplan.h"
#include "tiedassessment.h"
#include "verdict.h"

#include <QTest>

namespace {

QStringList Q(const std::vector<std::string>& v)
{
    QStringList out;
    for (const std::string& s : v) out << QString::fromStdString(s);
    return out;
}

// A verdict of hand-made stretches on rows 1 ... 25, row r at metre 2r.
SVerdict Stretches(const std::vector<std::pair<EVerdictStatus, int>>& runs)
{
    SVerdict v;
    int row = 1;
    for (const auto& [status, points] : runs) {
        SVerdictStretch s;
        s.status = status;
        s.firstRow = row;
        s.lastRow = row + points - 1;
        s.fromMetre = 2 * s.firstRow;
        s.toMetre = 2 * s.lastRow;
        s.rows = points;
        s.length = 2.0 * points;
        if (status == EVerdictStatus::Over) {
            s.worst = -1200 - 10 * row; // more negative further on
            s.worstRow = row;
            s.worstMetre = 2 * row;
        }
        for (int r = s.firstRow; r <= s.lastRow; ++r) {
            SVerdictRow p;
            p.row = r;
            p.metre = 2 * r;
            p.position = 200 * r;
            p.status = status;
            v.rows.push_back(p);
        }
        v.stretches.push_back(s);
        row += points;
    }
    return v;
}

} // namespace

class TestReportContent : public QObject {
    Q_OBJECT
private slots:
    void resultInSentences();
    void defectsCountedPerActionMostUrgentFirst();
    void draftReasons();
    void stretchesOfOneStatusJoinAcrossFewPoints();
    void qmEntriesUnderTheirMeanings();
    void sheetsOnTheChainageWithTheSectionsCriteria();
    void noSheetWithoutAPointOfItsOwn();
};

void TestReportContent::resultInSentences()
{
    // 0 ... 100 m every 10 m: not protected at 30 and 40 m, no off
    // potential at 60 m, beyond the limiting potential at 80 m. Each point
    // stands for 10 m, the two ends for 5 m.
    CTreDoc doc;
    std::vector<CSurveyRow> rows;
    for (int m = 0; m <= 100; m += 10) {
        CSurveyRow r{m, -1150, -950, 30, 30, 30, 30};
        if (m == 30 || m == 40) r.potOff = -800;
        if (m == 60) r.potOff = NO_VALUE;
        if (m == 80) r = CSurveyRow{m, -1500, -1450, 30, 30, 30, 30};
        rows.push_back(r);
    }
    FillSurvey(doc, rows);
    doc.m_header[2] = "-850 mV";
    const SVerdict v = AssessProtection(doc);
    QCOMPARE(
        Q(reportresult::ResultSentences(v, nullptr)),
        (QStringList{
            QString::fromUtf8("Schutz nachgewiesen auf 60 m von 100 m Messstrecke (erster bis letzter Messpunkt), "
                              "das sind 60,0 %."),
            QString::fromUtf8("Nicht geschützt: 20 m in 1 Abschnitt (E* positiver als das Schutzpotential -850 mV)."),
            QString::fromUtf8("Grenzpotential unterschritten: 10 m in 1 Abschnitt (E* negativer als das "
                              "Grenzpotential -1200 mV)."),
            QString::fromUtf8("Nicht bewertet: 10 m in 1 Abschnitt („Aus-Potential fehlt“: 10 m)."),
            QString::fromUtf8("Fehlstellenverdacht: keiner."),
            QString::fromUtf8("100-mV-Kriterium nicht angewandt: keine Nativmessung."),
        }));

    // With a section's own E_p over 40 m the not protected length is split
    // by the criterion it failed; "Abschnitten" in the plural.
    doc.SetPotOff(11, -800);
    trespipeline::SSurveyBinding b;
    b.overrides.protectionPotential.assign(11, NO_VALUE);
    b.overrides.protectionPotential[10] = -950; // row 11 at 100 m
    b.overrides.protectionPotential[3] = -950;  // row 4 at 30 m
    const SVerdict tied = AssessProtection(doc, SVerdictSettings(), nullptr, &b.overrides);
    QCOMPARE(QString::fromStdString(reportresult::ResultSentences(tied, &b)[1]),
             QString::fromUtf8("Nicht geschützt: 25 m in 2 Abschnitten (E* positiver als das Schutzpotential: 10 m "
                               "gegen -850 mV, 15 m gegen -950 mV)."));
    QCOMPARE(reportresult::StretchProtectionPotentials(tied, &b, tied.stretches[1]),
             (std::vector<int32_t>{-950, -850}));
    QCOMPARE(QString::fromStdString(
                 trespipeline::Admission100mVText(AssessProtection(doc, SVerdictSettings(), &doc), nullptr)),
             QString::fromUtf8("100-mV-Kriterium (Polarisation gegen die Nativmessung mindestens 100 mV): zulässig."));
}

void TestReportContent::defectsCountedPerActionMostUrgentFirst()
{
    SVerdict v;
    v.defects.resize(4);
    v.digList = {{1, 0, EDigAction::PlanDig},
                 {2, 1, EDigAction::DigNow},
                 {3, 2, EDigAction::NoAction},
                 {4, 3, EDigAction::DigNow}};
    QVERIFY(Q(reportresult::ResultSentences(v, nullptr))
                .contains(QString::fromUtf8("Fehlstellenverdacht: 4 Fehlstellen, davon 2 „umgehend aufgraben“, "
                                            "1 „Aufgrabung planen“, 1 „keine Maßnahme“.")));
    v.defects.resize(1);
    v.digList = {{1, 0, EDigAction::Observe}};
    QVERIFY(Q(reportresult::ResultSentences(v, nullptr))
                .contains(QString::fromUtf8("Fehlstellenverdacht: 1 Fehlstelle, davon 1 „bei nächster Messung "
                                            "beobachten“.")));
}

void TestReportContent::draftReasons()
{
    SProtectionCriterion header;
    header.source = ECriterionSource::Header;
    QVERIFY(reportresult::DraftReasons(true, header, nullptr).empty());
    SProtectionCriterion assumed;
    trespipeline::SSurveyBinding warned;
    warned.warnings = {"Zwischen den Festpunkten ..."};
    QCOMPARE(Q(reportresult::DraftReasons(false, assumed, &warned)),
             (QStringList{QStringLiteral("kein Herausgeber angegeben"), QStringLiteral("Schutzkriterium angenommen"),
                          QStringLiteral("Leitungsdaten mit Warnungen")}));
    trespipeline::SSurveyBinding clean;
    QVERIFY(reportresult::DraftReasons(true, header, &clean).empty());
}

void TestReportContent::stretchesOfOneStatusJoinAcrossFewPoints()
{
    using S = EVerdictStatus;
    // Beyond the limiting potential on rows 11-12, 14-16, 19, 23 and 25,
    // broken by one protected point (13), two by the 100 mV criterion
    // (17-18), three protected points (20-22) and one not assessed (24).
    const SVerdict v = Stretches({{S::Protected, 10},
                                  {S::Over, 2},
                                  {S::Protected, 1},
                                  {S::Over, 3},
                                  {S::Protected100, 2},
                                  {S::Over, 1},
                                  {S::Protected, 3},
                                  {S::Over, 1},
                                  {S::NotAssessed, 1},
                                  {S::Over, 1}});
    std::vector<SReportStretch> lines = ReportStretches(v, 3);
    QCOMPARE(lines.size(), size_t{4});
    const SVerdictStretch& joined = lines[0].joined;
    QCOMPARE((QList<int>{joined.firstRow, joined.lastRow, joined.rows}), (QList<int>{11, 19, 6}));
    QCOMPARE(joined.length, 12.0);
    QCOMPARE((QList<int>{joined.worst, joined.worstRow, joined.toMetre}), (QList<int>{-1390, 19, 38}));
    QCOMPARE(lines[0].parts, (std::vector<int>{1, 3, 5}));
    QCOMPARE(QString::fromStdString(InterruptionText(v, lines[0])),
             QString::fromUtf8("unterbrochen von 1 Punkt „geschützt“ bei 26 m; 2 Punkten „geschützt "
                               "(100-mV-Kriterium)“ bei 34 m und 36 m"));
    // The 100 mV stretch keeps its own line; three points and a point not
    // assessed join nothing.
    QCOMPARE(lines[1].joined.status, S::Protected100);
    QCOMPARE((QList<int>{lines[2].joined.firstRow, lines[3].joined.firstRow}), (QList<int>{23, 25}));
    QVERIFY(InterruptionText(v, lines[3]).empty());
    QCOMPARE(ReportStretches(v, 2).size(), size_t{5});
    QCOMPARE(ReportStretches(v, 0).size(), size_t{6});
}

void TestReportContent::qmEntriesUnderTheirMeanings()
{
    CTreDoc doc;
    FillSurvey(doc, {{0, -1000, -900}});
    doc.m_qm[1] = "FILLER";
    doc.m_qm[2] = "TF-12";
    doc.m_qm[3] = " ";
    doc.m_qm[4] = "Nr. 3318";
    doc.m_qm[6] = "Ger\x84t 7";
    doc.m_qm[7] = "08.12.26";
    doc.m_qm[8] = "TS 3.018";
    doc.m_qm[11] = "Messtrupp 2";
    std::vector<std::pair<QString, QString>> got;
    for (const reportfigures::SQmField& f : reportfigures::QmFields(doc))
        got.push_back({QString::fromStdString(f.label), QString::fromStdString(f.text)});
    const std::vector<std::pair<QString, QString>> expected = {
        {QString::fromUtf8("Gerät"), QStringLiteral("TF-12 Nr. 3318")},
        {QStringLiteral("QM-Angabe 6"), QString::fromUtf8("Gerät 7")},
        {QStringLiteral("zuletzt gespeichert"), QStringLiteral("08.12.26")},
        {QStringLiteral("gespeichert mit"), QStringLiteral("TS 3.018")},
        {QStringLiteral("QM-Angabe 11"), QStringLiteral("Messtrupp 2")},
    };
    QCOMPARE(got, expected);
    QCOMPARE(assesslayout::CountText(1, "Abschnitt", "Abschnitten"), std::string("1 Abschnitt"));
    QCOMPARE(assesslayout::CountText(0, "Punkt", "Punkte"), std::string("0 Punkte"));
}

void TestReportContent::sheetsOnTheChainageWithTheSectionsCriteria()
{
    CTreDoc doc;
    BuildTiedSurvey(doc);
    const trespipeline::SPipelineData data = TiedSurveyData();
    const trespipeline::SSurveyBinding b = trespipeline::BindSurvey(doc, data);
    QVERIFY2(b.ok, b.errors.empty() ? "" : b.errors.front().c_str());
    const SVerdict v = trespipeline::AssessTied(doc, SVerdictSettings(), nullptr, &b);
    const std::vector<SSheetPlan> plans = PlanSheets(doc, v, 500, {}, &data.sections);
    // Chainage 1000 ... 1550 m: two sheets from 1000 m.
    QCOMPARE(plans.size(), size_t{2});
    QCOMPARE((QList<int64_t>{plans[0].section.from, plans[0].section.to}), (QList<int64_t>{1000, 1500}));
    QCOMPARE(plans[0].landmarks, (std::vector<int>{1, 47}));
    QCOMPARE(plans[0].defects.size(), size_t{1});
    // E_p: the survey's up to the section, the section's over it, the
    // survey's after it; E_l the survey's throughout. The axis holds -950.
    const std::vector<SLimitRun>& ep = plans[0].protection;
    QCOMPARE(ep.size(), size_t{3});
    QCOMPARE((QList<double>{ep[0].to, ep[1].from, ep[1].to, ep[2].to}), (QList<double>{1100, 1100, 1200, 1500}));
    QCOMPARE((QList<int>{ep[0].mv, ep[1].mv, ep[2].mv}), (QList<int>{-850, -950, -850}));
    QVERIFY(!ep[0].section && ep[1].section && !ep[2].section);
    QCOMPARE(plans[0].limit.size(), size_t{1});
    QCOMPARE(plans[1].protection.size(), size_t{1});

    // A survey of the same rows paired by the pipeline data stands at the
    // chainage too: its row at metre 230 at 1253 m.
    CTreDoc earlier;
    BuildTiedSurvey(earlier);
    trespipeline::SComparisonAlignRequest request;
    request.pipeline = &data;
    const trespipeline::SComparisonAlignResult a = trespipeline::AlignForComparison(doc, earlier, false, request);
    QVERIFY(a.ok);
    SCompareSettings settings;
    settings.alignment = a.alignment;
    const SComparison c = Compare(doc, earlier, settings);
    const std::vector<double> at = ComparisonPositions(doc, earlier, c, &b.chainage);
    QCOMPARE(at[46], 1253.0);
    QCOMPARE(ComparisonPositions(doc, earlier, c, nullptr)[46], 230.0);
}

void TestReportContent::noSheetWithoutAPointOfItsOwn()
{
    // 0 ... 1000 m, then one point at 2000 m and one at 2001 m: the sheet
    // from 1000 to 2000 m would show only the points on its edges, which
    // the sheets beside it show.
    CTreDoc doc;
    std::vector<CSurveyRow> rows;
    for (int m = 0; m <= 1000; m += 10) rows.push_back({m, -1150, -950});
    rows.push_back({2000, -1150, -950});
    rows.push_back({2001, -1150, -950});
    FillSurvey(doc, rows);
    const std::vector<SSheetPlan> plans = PlanSheets(doc, AssessProtection(doc), 1000);
    QCOMPARE(plans.size(), size_t{2});
    QCOMPARE((QList<int64_t>{plans[0].section.from, plans[1].section.from}), (QList<int64_t>{0, 2000}));
    // A single point is still one sheet.
    CTreDoc one;
    FillSurvey(one, {{500, -1150, -950}});
    QCOMPARE(PlanSheets(one, AssessProtection(one), 1000).size(), size_t{1});
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TestReportContent test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reportcontent.moc"
