// SPDX-License-Identifier: GPL-3.0-or-later
// The table's cells: what each cell shows and how a typed text is stored.
#include "tablemodel.h"
#include "viewsfixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using M = CTrePlotModel;

class TestTrePlotModel : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cellTextsFollowTheLeftRightOption();
    void headerTexts();
    void columnLooks();
    void rowBackgroundsAndTheCriterionMark();
    void storeVoltsAsTruncatedMillivolts();
    void storeMillivoltsAsTruncatedTenths();
    void leftFieldsAreWrittenWhileMeansAreShown();
    void emptyTexts();
    void metreAndComment();
    void decimalCommaAndUnreadableTexts();
    void unfitNumbersAreRefused();
    void storesSetModifiedAndUpdateAllViews();
    void readOnlyColumnsAndRefusedRequests();
    void rowInsertAndDeleteUnderTheModelTester();

private:
    QString Text(int r, int c) { return m_model->data(m_model->index(r - 1, M::ModelColumn(c))).toString(); }
    bool Store(int r, int c, const QString& t)
    {
        return m_model->setData(m_model->index(r - 1, M::ModelColumn(c)), t, Qt::EditRole);
    }

    std::unique_ptr<CTreDoc> m_doc;
    std::unique_ptr<CCountingHost> m_host;
    std::unique_ptr<M> m_model;
};

void TestTrePlotModel::init()
{
    m_model.reset();
    m_doc = std::make_unique<CTreDoc>();
    m_host = std::make_unique<CCountingHost>();
    m_doc->SetHost(m_host.get());
    FillDoc(*m_doc, {
                        {5, -850, -1000, 150, -160, 40, 20, "Schieber"},
                        {10, -1500, -1000, NO_VALUE, NO_VALUE, 100, NO_VALUE, ""},
                        {15, NO_VALUE, -800, 125, NO_VALUE, 37, NO_VALUE, ""},
                        {20, -1200, -900, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, "Straße"},
                    });
    m_doc->m_header[2] = "-850 mV";
    m_model = std::make_unique<M>(*m_doc);
    m_host->m_nUpdates = 0;
}

void TestTrePlotModel::cellTextsFollowTheLeftRightOption()
{
    QCOMPARE(Text(1, M::ColMeter), QStringLiteral("     5  "));
    QCOMPARE(Text(1, M::ColPotOn), QStringLiteral("-0.85"));
    QCOMPARE(Text(1, M::ColPotOff), QStringLiteral("-1.00"));
    QCOMPARE(Text(2, M::ColPotIRFree), QString::fromStdString(m_doc->FormatPotIRFree(2)));
    QCOMPARE(Text(3, M::ColPotOn), QStringLiteral("     "));
    // Means: on (150 + -160) / 2 = -5 tenths -> "    0"; off (40 + 20) / 2 = 30 -> 3 mV.
    QCOMPARE(Text(1, M::ColGradOn), QStringLiteral("    0"));
    QCOMPARE(Text(1, M::ColGradOff), QStringLiteral("    3"));
    QCOMPARE(Text(1, M::ColGradDiff), QString::fromStdString(m_doc->FormatGradDiff(1)));
    QCOMPARE(Text(1, M::ColGradOnR), QStringLiteral("  -16"));
    QCOMPARE(Text(1, M::ColComment), QStringLiteral("Schieber"));
    QCOMPARE(Text(4, M::ColComment), QStringLiteral("Straße"));

    m_doc->m_bTableLR = true;
    QCOMPARE(Text(1, M::ColGradOn), QStringLiteral("   15"));
    QCOMPARE(Text(1, M::ColGradOff), QStringLiteral("    4"));
    QCOMPARE(Text(1, M::ColGradDiff), QString::fromStdString(m_doc->FormatGradDiffL(1)));
    QCOMPARE(Text(1, M::ColGradDiffR), QString::fromStdString(m_doc->FormatGradDiffR(1)));
}

void TestTrePlotModel::headerTexts()
{
    const QStringList expected = {"Meter", "Potential", "", "", "Gradient", "", "", "", "", "", "Kommentar"};
    for (int c = 0; c < M::ColumnCount; ++c) QCOMPARE(m_model->headerData(c, Qt::Horizontal).toString(), expected[c]);
    QCOMPARE(m_model->headerData(2, Qt::Vertical).toInt(), 3);
}

void TestTrePlotModel::columnLooks()
{
    auto fg = [&](int c) {
        return m_model->data(m_model->index(0, M::ModelColumn(c)), Qt::ForegroundRole).value<QColor>();
    };
    auto align = [&](int c) {
        return Qt::Alignment(m_model->data(m_model->index(0, M::ModelColumn(c)), Qt::TextAlignmentRole).toInt());
    };
    for (int c : {2, 5, 6}) QCOMPARE(fg(c), QColor(0, 0, 159));
    for (int c : {3, 7, 8}) QCOMPARE(fg(c), QColor(159, 0, 0));
    for (int c : {4, 9, 10}) QCOMPARE(fg(c), QColor(0, 96, 0));
    QVERIFY(!fg(1).isValid());
    QVERIFY(!fg(11).isValid());
    QCOMPARE(align(1), Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    for (int c = 2; c <= 7; ++c) QCOMPARE(align(c), Qt::Alignment(Qt::AlignCenter));
    for (int c = 8; c <= 11; ++c) QCOMPARE(align(c), Qt::Alignment());
}

void TestTrePlotModel::rowBackgroundsAndTheCriterionMark()
{
    auto bg = [&](int r, int c) { return m_model->CellBackground(r, c); };
    QCOMPARE(bg(1, M::ColMeter), QColor(255, 255, 255));
    QCOMPARE(bg(2, M::ColMeter), QColor(192, 220, 192));
    // Criterion -850: -800 lies above it, -1000 and -900 below, equal is not above.
    QCOMPARE(bg(3, M::ColPotOff), QColor(255, 128, 128));
    QCOMPARE(bg(1, M::ColPotOff), QColor(255, 255, 255));
    QCOMPARE(bg(4, M::ColPotOff), QColor(192, 220, 192));
    QCOMPARE(bg(3, M::ColPotOn), QColor(255, 255, 255)); // only column 3 is marked
    m_doc->SetPotOff(2, -850);
    QCOMPARE(bg(2, M::ColPotOff), QColor(192, 220, 192));
    m_doc->SetPotOff(3, NO_VALUE);
    QCOMPARE(bg(3, M::ColPotOff), QColor(255, 255, 255));

    // The one criterion reading: without a criterion the -850 mV assumed
    // (not 0 V, which marked only positive potentials), volts and rounding
    // half away from zero as the verdict reads them.
    m_doc->m_header[2] = "";
    m_doc->SetPotOff(1, -849);
    QCOMPARE(bg(1, M::ColPotOff), QColor(255, 128, 128));
    QCOMPARE(bg(4, M::ColPotOff), QColor(192, 220, 192));
    m_doc->m_header[2] = "-850.9 mV";
    m_doc->SetPotOff(1, -851);
    QCOMPARE(bg(1, M::ColPotOff), QColor(255, 255, 255));
    m_doc->SetPotOff(1, -850);
    QCOMPARE(bg(1, M::ColPotOff), QColor(255, 128, 128));
    m_doc->m_header[2] = "-0,95 V";
    QCOMPARE(m_model->Criterion(), -950.0);
    m_doc->m_header[2] = "Skrit";
    QCOMPARE(m_model->Criterion(), -850.0);
}

void TestTrePlotModel::storeVoltsAsTruncatedMillivolts()
{
    QVERIFY(Store(1, M::ColPotOn, "-0.85"));
    QCOMPARE(m_doc->GetPotOn(1), -850);
    QCOMPARE(Text(1, M::ColPotOn), QStringLiteral("-0.85"));
    QVERIFY(Store(1, M::ColPotOff, "1.005")); // 1004.9999... is cut, not rounded
    QCOMPARE(m_doc->GetPotOff(1), 1004);
    QVERIFY(Store(2, M::ColPotOn, " -1.2345 "));
    QCOMPARE(m_doc->GetPotOn(2), -1234);
}

void TestTrePlotModel::storeMillivoltsAsTruncatedTenths()
{
    QVERIFY(Store(2, M::ColGradOn, "12.3"));
    QCOMPARE(m_doc->GetGradOnL(2), 123);
    QCOMPARE(Text(2, M::ColGradOn), QStringLiteral("   12"));
    QVERIFY(Store(2, M::ColGradOnR, "-0.77"));
    QCOMPARE(m_doc->GetGradOnR(2), -7);
    QVERIFY(Store(2, M::ColGradOffR, "4.99"));
    QCOMPARE(m_doc->GetGradOffR(2), 49);
}

void TestTrePlotModel::leftFieldsAreWrittenWhileMeansAreShown()
{
    // Row 1 shows the mean of 150 and -160; typing 20 writes the left side
    // and the cell then shows the mean of 200 and -160.
    QVERIFY(!m_doc->m_bTableLR);
    QVERIFY(Store(1, M::ColGradOn, "20"));
    QCOMPARE(m_doc->GetGradOnL(1), 200);
    QCOMPARE(m_doc->GetGradOnR(1), -160);
    QCOMPARE(Text(1, M::ColGradOn), QStringLiteral("    2"));
    QVERIFY(Store(1, M::ColGradOff, "1"));
    QCOMPARE(m_doc->GetGradOffL(1), 10);
    QCOMPARE(m_doc->GetGradOffR(1), 20);
}

void TestTrePlotModel::emptyTexts()
{
    for (const char* blank : {"", " ", "   ", "    "}) {
        m_doc->SetPotOn(1, -850);
        QVERIFY(Store(1, M::ColPotOn, blank));
        QCOMPARE(m_doc->GetPotOn(1), NO_VALUE);
        QCOMPARE(Text(1, M::ColPotOn), QStringLiteral("     "));
    }
    // Any number of blanks, as an absent value shows: the cell is cleared,
    // not set to 0.
    m_doc->SetPotOn(1, -850);
    QVERIFY(Store(1, M::ColPotOn, "  "));
    QCOMPARE(m_doc->GetPotOn(1), NO_VALUE);
    QVERIFY(Store(1, M::ColGradOffR, "     "));
    QCOMPARE(m_doc->GetGradOffR(1), NO_VALUE);
    for (int c : {M::ColGradOn, M::ColGradOnR, M::ColGradOff, M::ColGradOffR, M::ColPotOff}) {
        QVERIFY(Store(1, c, ""));
    }
    QCOMPARE(m_doc->GetGradOnL(1), NO_VALUE);
    QCOMPARE(m_doc->GetGradOnR(1), NO_VALUE);
    QCOMPARE(m_doc->GetGradOffL(1), NO_VALUE);
    QCOMPARE(m_doc->GetGradOffR(1), NO_VALUE);
    QCOMPARE(m_doc->GetPotOff(1), NO_VALUE);
    // Clearing the metre leaves it as it was.
    QVERIFY(Store(1, M::ColMeter, ""));
    QCOMPARE(m_doc->GetMeter(1), 5);
    // An empty comment is stored as typed.
    QVERIFY(Store(1, M::ColComment, "   "));
    QCOMPARE(m_doc->GetComment(1), std::string("   "));
}

void TestTrePlotModel::metreAndComment()
{
    QVERIFY(Store(2, M::ColMeter, "  123.9 m"));
    QCOMPARE(m_doc->GetMeter(2), 123);
    QVERIFY(Store(2, M::ColMeter, "-7.9"));
    QCOMPARE(m_doc->GetMeter(2), -7);
    QVERIFY(!Store(2, M::ColMeter, "x"));
    QCOMPARE(m_doc->GetMeter(2), -7);
    QVERIFY(Store(3, M::ColComment, "Prüfstelle 12"));
    QCOMPARE(m_doc->GetComment(3), std::string("Prüfstelle 12"));
    QCOMPARE(Text(3, M::ColComment), QStringLiteral("Prüfstelle 12"));
}

void TestTrePlotModel::decimalCommaAndUnreadableTexts()
{
    QSignalSpy refused(m_model.get(), &M::StoreRefused);
    // A comma reads as the point does, with or without the column's unit.
    QVERIFY(Store(1, M::ColPotOn, "-1,25"));
    QCOMPARE(m_doc->GetPotOn(1), -1250);
    QVERIFY(Store(1, M::ColPotOff, " -0,855 V "));
    QCOMPARE(m_doc->GetPotOff(1), -855);
    QVERIFY(Store(2, M::ColGradOn, "12,3"));
    QCOMPARE(m_doc->GetGradOnL(2), 123);
    QVERIFY(Store(2, M::ColGradOnR, "-0,77mV"));
    QCOMPARE(m_doc->GetGradOnR(2), -7);
    QVERIFY(Store(3, M::ColMeter, "12,9 m"));
    QCOMPARE(m_doc->GetMeter(3), 12);
    QVERIFY(Store(4, M::ColPotOn, "-1.5e0"));
    QCOMPARE(m_doc->GetPotOn(4), -1500);
    QCOMPARE(refused.count(), 0);
    // What is not one number is refused whole, never cut to its start,
    // and the user is told with the text typed.
    const char* const bad[] = {"-1,2x", "1.2.3", "1,2,3", "abc", "-", ",", "1e", "- 1", "1 2", "-1,25 mV", "V"};
    for (const char* text : bad) {
        QVERIFY2(!Store(1, M::ColPotOn, text), text);
        QCOMPARE(m_doc->GetPotOn(1), -1250);
        QVERIFY(refused.last().value(0).toString().contains(QStringLiteral("\"%1\"").arg(QString::fromUtf8(text))));
    }
    QCOMPARE(refused.count(), static_cast<int>(std::size(bad)));
    QVERIFY(!Store(2, M::ColGradOff, "7 V"));
    QCOMPARE(m_doc->GetGradOffL(2), 100);
}

void TestTrePlotModel::unfitNumbersAreRefused()
{
    QSignalSpy refused(m_model.get(), &M::StoreRefused);
    // Numbers whose stored value does not fit 32 bits leave the row alone
    // instead of storing whatever an overflowing conversion would give.
    QVERIFY(!Store(1, M::ColPotOn, "3000000"));
    QCOMPARE(m_doc->GetPotOn(1), -850);
    QVERIFY(!Store(1, M::ColMeter, "1e300"));
    QCOMPARE(m_doc->GetMeter(1), 5);
    QVERIFY(!Store(1, M::ColGradOn, "-1e999"));
    QCOMPARE(m_doc->GetGradOnL(1), 150);
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(m_host->m_nUpdates, 0);
    QCOMPARE(refused.count(), 3);
    // The largest fitting values are still taken.
    QVERIFY(Store(1, M::ColMeter, "2147483647"));
    QCOMPARE(m_doc->GetMeter(1), 2147483647);
}

void TestTrePlotModel::storesSetModifiedAndUpdateAllViews()
{
    int expected = 0;
    for (int c : {1, 2, 3, 5, 6, 7, 8, 11}) {
        m_doc->SetModifiedFlag(false);
        QVERIFY(Store(2, c, "1"));
        QVERIFY2(m_doc->IsModified(), qPrintable(QString::number(c)));
        QCOMPARE(m_host->m_nUpdates, ++expected);
    }
    // Clearing the metre changes nothing but still counts as an edit.
    m_doc->SetModifiedFlag(false);
    QVERIFY(Store(2, M::ColMeter, ""));
    QVERIFY(m_doc->IsModified());
}

void TestTrePlotModel::readOnlyColumnsAndRefusedRequests()
{
    for (int c : {4, 9, 10}) {
        QVERIFY(!(m_model->flags(m_model->index(0, M::ModelColumn(c))) & Qt::ItemIsEditable));
        QVERIFY(!Store(1, c, "1"));
    }
    for (int c : {1, 2, 3, 5, 6, 7, 8, 11})
        QVERIFY(m_model->flags(m_model->index(0, M::ModelColumn(c))) & Qt::ItemIsEditable);
    // Other roles, invalid cells and rows past the end are refused.
    QVERIFY(!m_model->setData(m_model->index(0, 1), "1", Qt::DisplayRole));
    QVERIFY(!m_model->setData(QModelIndex(), "1"));
    QCOMPARE(m_model->StoreCell(0, 2, "1"), M::EStore::Refused);
    QCOMPARE(m_model->StoreCell(1, 0, "1"), M::EStore::Refused);
    QCOMPARE(m_model->StoreCell(99, 2, "1"), M::EStore::Refused);
    // A style without a value is accepted and changes nothing.
    QVERIFY(m_model->setData(m_model->index(0, 1), QVariant(), Qt::EditRole));
    QCOMPARE(m_doc->GetPotOn(1), -850);
    QVERIFY(!m_doc->IsModified());
}

void TestTrePlotModel::rowInsertAndDeleteUnderTheModelTester()
{
    QAbstractItemModelTester tester(m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_model->InsertRowAfter(4); // behind the last row
    QCOMPARE(m_model->rowCount(), 5);
    QCOMPARE(m_doc->GetMeter(5), 0);
    QCOMPARE(Text(5, M::ColPotOn), QStringLiteral("     "));
    QVERIFY(m_doc->IsModified());
    m_model->InsertRowAfter(1);
    QCOMPARE(m_doc->GetMeter(2), 0);
    QCOMPARE(m_doc->GetMeter(3), 10);
    m_model->DeleteRows(2, 3);
    QCOMPARE(m_model->rowCount(), 4);
    QCOMPARE(m_doc->GetMeter(2), 15);
    // Changes the model did not make itself arrive with the next update.
    m_doc->InsertRowAfter(4);
    m_doc->InsertRowAfter(4);
    m_model->Sync();
    QCOMPARE(m_model->rowCount(), 6);
    m_doc->DeleteRows(1, 5);
    m_model->Sync();
    QCOMPARE(m_model->rowCount(), 1);
    m_model->Reset();
    QCOMPARE(m_model->rowCount(), 1);
    // Deleting everything leaves a table without rows that still answers.
    m_model->DeleteRows(1, 1);
    QCOMPARE(m_model->rowCount(), 0);
    QVERIFY(!m_model->data(m_model->index(0, 0)).isValid());
}

QTEST_MAIN(TestTrePlotModel)
#include "tst_tablemodel.moc"
