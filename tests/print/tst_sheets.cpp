// SPDX-License-Identifier: GPL-3.0-or-later
// The two option sheets on the offscreen platform: their pages and button
// row, what they take from and give to the document, and the refused
// metre values.
#include "graphicsheet.h"
#include "printfixture.h"
#include "tablesheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace {

template <typename T> T* Ctl(const CTrePrintPage& page, int id) { return qobject_cast<T*>(page.Control(id)); }

// Saves a picture of the sheet for looking at it, when asked to.
void Grab(QWidget& w, const char* name)
{
    const QByteArray dir = qgetenv("TRES_LOOK_DIR");
    if (!dir.isEmpty()) w.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
}

} // namespace

class TestSheets : public QObject {
    Q_OBJECT
private slots:
    void buttonRowInOrder();
    void buttonsFitTheirTexts();
    void plotSheetFromDocument();
    void plotSheetToDocument();
    void plotSheetRefusesMetres();
    void leavingAPageValidatesIt();
    void tableSheetRightSide();
    void tableSheetHeaderChoice();
    void cancelStoresNothing();
};

void TestSheets::buttonRowInOrder()
{
    CTrePlotDruckPS sheet;
    sheet.InitSheet();
    QCOMPARE(sheet.windowTitle(), QStringLiteral("Grafik drucken"));
    QCOMPARE(sheet.Tabs()->count(), 4);
    QCOMPARE(sheet.Tabs()->tabText(0), QStringLiteral(" Kurven "));
    QCOMPARE(sheet.Tabs()->tabText(3), QStringLiteral(" Extras "));
    QPushButton* ok = sheet.Button(CTrePrintSheet::IdOk);
    QPushButton* print = sheet.Button(CTrePrintSheet::IdPrint);
    QPushButton* preview = sheet.Button(CTrePrintSheet::IdPreview);
    QPushButton* cancel = sheet.Button(CTrePrintSheet::IdCancel);
    QCOMPARE(ok->text(), QString::fromUtf8("Übernehmen"));
    QCOMPARE(print->text(), QStringLiteral("Drucken"));
    QCOMPARE(preview->text(), QStringLiteral("Vorschau"));
    QCOMPARE(cancel->text(), QStringLiteral("Abbrechen"));
    QVERIFY(ok->x() + ok->width() <= print->x());
    QVERIFY(print->x() + print->width() <= preview->x());
    QVERIFY(preview->x() + preview->width() <= cancel->x());
    QVERIFY(cancel->x() + cancel->width() <= sheet.width());
    QCOMPARE(ok->y(), cancel->y());
    QVERIFY(ok->y() > sheet.Tabs()->y() + sheet.Tabs()->height());
    QVERIFY(!sheet.m_page1.Control(1063)->isEnabled()); // Links + Rechts
    QVERIFY(!sheet.m_page4.Control(1048)->isEnabled()); // Gitterraster
    sheet.show();
    Grab(sheet, "sheet-graphic.png");
    sheet.Tabs()->setCurrentIndex(1);
    Grab(sheet, "sheet-graphic-y.png");
    sheet.Tabs()->setCurrentIndex(2);
    Grab(sheet, "sheet-graphic-x.png");
    CTreTabDruckPS table;
    table.show();
    QCOMPARE(table.windowTitle(), QStringLiteral("Tabelle drucken"));
    QCOMPARE(table.Tabs()->count(), 3);
    Grab(table, "sheet-table.png");
    table.Tabs()->setCurrentIndex(2);
    Grab(table, "sheet-table-extras.png");
}

void TestSheets::buttonsFitTheirTexts()
{
    CTrePlotDruckPS graphic;
    CTreTabDruckPS table;
    for (CTrePrintSheet* sheet : {static_cast<CTrePrintSheet*>(&graphic), static_cast<CTrePrintSheet*>(&table)}) {
        sheet->show();
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        int left = 0;
        for (int id :
             {CTrePrintSheet::IdOk, CTrePrintSheet::IdPrint, CTrePrintSheet::IdPreview, CTrePrintSheet::IdCancel}) {
            QPushButton* b = sheet->Button(id);
            const int text = QFontMetrics(b->font()).horizontalAdvance(b->text());
            const QString what = sheet->windowTitle() + ": " + b->text() + " " + QString::number(b->width()) + " < "
                                 + QString::number(b->sizeHint().width());
            QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(what));
            QVERIFY2(b->width() > text, qPrintable(what));
            QVERIFY2(b->x() >= left, qPrintable(what)); // in order, not overlapping
            left = b->x() + b->width();
        }
        QVERIFY(left <= sheet->width());
    }
    Grab(graphic, "sheet-graphic-buttons.png");
    Grab(table, "sheet-table-buttons.png");
}

void TestSheets::plotSheetFromDocument()
{
    CTreDoc doc;
    FillDoc(doc, Survey(100));
    doc.m_nPlotStart = 10;
    doc.m_nPlotEnd = 90;
    doc.m_nPlotScale = 2000;
    doc.m_nPotAxisMax = -2500;
    doc.m_nPotAxisMin = -400;
    doc.m_bPlotGradDiff = false;
    CTrePlotDruckPS sheet;
    sheet.LoadFromDoc(doc);
    sheet.InitSheet();
    QCOMPARE(Ctl<QComboBox>(sheet.m_page2, 1056)->currentText(), QStringLiteral("-2.50"));
    QCOMPARE(Ctl<QComboBox>(sheet.m_page2, 1058)->currentText(), QStringLiteral("-0.40"));
    QCOMPARE(Ctl<QComboBox>(sheet.m_page2, 1059)->currentText(), QStringLiteral("200"));
    QCOMPARE(Ctl<QComboBox>(sheet.m_page2, 1060)->currentText(), QStringLiteral("-50"));
    QCOMPARE(Ctl<QComboBox>(sheet.m_page3, 1053)->currentText(), QStringLiteral("1:2000"));
    QCOMPARE(Ctl<QLineEdit>(sheet.m_page3, 1058)->text(), QStringLiteral("10"));
    QCOMPARE(Ctl<QLineEdit>(sheet.m_page3, 1059)->text(), QStringLiteral("90"));
    QVERIFY(!Ctl<QCheckBox>(sheet.m_page1, 1061)->isChecked());
    QVERIFY(Ctl<QCheckBox>(sheet.m_page1, 1060)->isChecked());
    QVERIFY(Ctl<QCheckBox>(sheet.m_page4, 1014)->isChecked());
    sheet.show();
    sheet.Tabs()->setCurrentIndex(1);
    Grab(sheet, "sheet-graphic-y-loaded.png");
    sheet.Tabs()->setCurrentIndex(2);
    Grab(sheet, "sheet-graphic-x-loaded.png");
}

void TestSheets::plotSheetToDocument()
{
    CTreDoc doc;
    FillDoc(doc, Survey(100));
    doc.m_nPlotStart = 0;
    doc.m_nPlotEnd = 100;
    CTrePlotDruckPS sheet;
    sheet.LoadFromDoc(doc);
    sheet.InitSheet();
    Ctl<QComboBox>(sheet.m_page2, 1056)->setEditText(QStringLiteral("-1.25"));
    Ctl<QComboBox>(sheet.m_page2, 1058)->setEditText(QStringLiteral("abc"));
    Ctl<QComboBox>(sheet.m_page2, 1059)->setEditText(QStringLiteral("400"));
    Ctl<QComboBox>(sheet.m_page3, 1053)->setCurrentText(QStringLiteral("1:5000"));
    Ctl<QLineEdit>(sheet.m_page3, 1058)->setText(QStringLiteral(" 250 "));
    Ctl<QCheckBox>(sheet.m_page4, 1014)->setChecked(false);
    Ctl<QCheckBox>(sheet.m_page1, 1059)->setChecked(false);
    QVERIFY(sheet.OnOK());
    sheet.StoreToDoc(doc);
    QCOMPARE(doc.m_nPotAxisMax, -1250);
    QCOMPARE(doc.m_nPotAxisMin, 0); // not a number: 0
    QCOMPARE(doc.m_nGradAxisMax, 400);
    QCOMPARE(doc.m_nGradAxisMin, -50);
    QCOMPARE(doc.m_nPlotScale, 5000);
    QCOMPARE(doc.m_nPlotStart, 250);
    QCOMPARE(doc.m_nPlotEnd, 100);

    // a decimal comma as a German hand types it
    Ctl<QComboBox>(sheet.m_page2, 1056)->setEditText(QStringLiteral("-1,75"));
    QVERIFY(sheet.OnOK());
    sheet.StoreToDoc(doc);
    QCOMPARE(doc.m_nPotAxisMax, -1750);
    QVERIFY(!doc.m_bPlotQM);
    QVERIFY(!doc.m_bPlotIR);
    QVERIFY(!doc.IsModified());
    // A scale the list does not offer leaves no choice; the document keeps it.
    doc.m_nPlotScale = 750;
    CTrePlotDruckPS odd;
    odd.LoadFromDoc(doc);
    QVERIFY(odd.OnOK());
    odd.StoreToDoc(doc);
    QCOMPARE(doc.m_nPlotScale, 750);
}

void TestSheets::plotSheetRefusesMetres()
{
    CTreDoc doc;
    FillDoc(doc, Survey(100));
    doc.m_nPlotStart = 0;
    doc.m_nPlotEnd = 100;
    CTrePlotDruckPS sheet;
    QStringList messages;
    sheet.SetMessageHandler([&](QWidget*, const QString& t) { messages << t; });
    sheet.LoadFromDoc(doc);
    sheet.InitSheet();
    QLineEdit* end = Ctl<QLineEdit>(sheet.m_page3, 1059);
    end->setText(QStringLiteral("12a"));
    sheet.OnPreview();
    QCOMPARE(messages, QStringList{QStringLiteral("Geben Sie bitte eine ganze Zahl ein.")});
    QVERIFY(!sheet.m_bPreview);
    QCOMPARE(sheet.result(), 0);
    QCOMPARE(sheet.Tabs()->currentIndex(), 2);
    end->setText(QStringLiteral("1000000"));
    sheet.OnPrint();
    QCOMPARE(messages.last(), QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen 0 und 999999 ein."));
    QVERIFY(!sheet.m_bPrint);
    Ctl<QLineEdit>(sheet.m_page3, 1058)->setText(QStringLiteral("-1"));
    end->setText(QStringLiteral("999999"));
    QVERIFY(!sheet.OnOK());
    QCOMPARE(messages.size(), 3);
    Ctl<QLineEdit>(sheet.m_page3, 1058)->setText(QStringLiteral("0"));
    sheet.OnPreview();
    QVERIFY(sheet.m_bPreview);
    QCOMPARE(sheet.result(), int(QDialog::Accepted));
}

void TestSheets::leavingAPageValidatesIt()
{
    CTreDoc doc;
    FillDoc(doc, Survey(100));
    doc.m_nPlotStart = 0;
    doc.m_nPlotEnd = 100;
    CTrePlotDruckPS sheet;
    QStringList messages;
    sheet.SetMessageHandler([&](QWidget*, const QString& t) { messages << t; });
    sheet.LoadFromDoc(doc);
    sheet.show();
    sheet.Tabs()->setCurrentIndex(2);
    Ctl<QLineEdit>(sheet.m_page3, 1058)->setText(QStringLiteral("x"));
    sheet.Tabs()->setCurrentIndex(0);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(sheet.Tabs()->currentIndex(), 2);
}

void TestSheets::tableSheetRightSide()
{
    CTreDoc doc;
    std::vector<CPrintRow> rows = Survey(100);
    for (CPrintRow& r : rows) r.gradOnR = r.gradOffR = NO_VALUE;
    FillDoc(doc, rows);
    doc.m_bTabLR = true;
    CTreTabDruckPS sheet;
    sheet.LoadFromDoc(doc);
    sheet.InitSheet();
    QCheckBox* lr = Ctl<QCheckBox>(sheet.m_page1, 1045);
    QVERIFY(!lr->isChecked());
    QVERIFY(!lr->isEnabled());
    QVERIFY(!Ctl<QCheckBox>(sheet.m_page1, 1041)->isEnabled());
    QVERIFY(sheet.OnOK());
    sheet.StoreToDoc(doc);
    QVERIFY(!doc.m_bTabLR);
    // With right-hand gradients the option is offered.
    CTreDoc both;
    FillDoc(both, Survey(100));
    CTreTabDruckPS sheet2;
    sheet2.LoadFromDoc(both);
    sheet2.InitSheet();
    QVERIFY(Ctl<QCheckBox>(sheet2.m_page1, 1045)->isEnabled());
    Ctl<QCheckBox>(sheet2.m_page1, 1045)->setChecked(true);
    Ctl<QCheckBox>(sheet2.m_page2, 1014)->setChecked(true);
    Ctl<QCheckBox>(sheet2.m_page3, 1050)->setChecked(false);
    QVERIFY(sheet2.OnOK());
    sheet2.StoreToDoc(both);
    QVERIFY(both.m_bTabLR && both.m_bTabErrList && !both.m_bTabArial);
}

void TestSheets::tableSheetHeaderChoice()
{
    CTreDoc doc;
    FillDoc(doc, Survey(100));
    CTreTabDruckPS sheet;
    sheet.LoadFromDoc(doc);
    sheet.InitSheet();
    QVERIFY(Ctl<QRadioButton>(sheet.m_page3, 1138)->isChecked());
    Ctl<QRadioButton>(sheet.m_page3, 1139)->setChecked(true);
    QVERIFY(sheet.OnOK());
    sheet.StoreToDoc(doc);
    QVERIFY(!doc.m_bTabHeadNumber);
    QVERIFY(!doc.m_bPlotHeadNumber); // the graphic print reads "Kunde" too
    CTreTabDruckPS again;
    again.LoadFromDoc(doc);
    again.InitSheet();
    QVERIFY(Ctl<QRadioButton>(again.m_page3, 1139)->isChecked());
    Ctl<QRadioButton>(again.m_page3, 1138)->setChecked(true);
    QVERIFY(again.OnOK());
    again.StoreToDoc(doc);
    QVERIFY(doc.m_bTabHeadNumber && doc.m_bPlotHeadNumber);
}

void TestSheets::cancelStoresNothing()
{
    CTreDoc doc;
    FillDoc(doc, Survey(100));
    CTreTabDruckPS sheet;
    sheet.LoadFromDoc(doc);
    sheet.show();
    QTest::mouseClick(sheet.Button(CTrePrintSheet::IdCancel), Qt::LeftButton);
    QCOMPARE(sheet.result(), int(QDialog::Rejected));
    QVERIFY(!sheet.m_bPreview && !sheet.m_bPrint);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestSheets test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sheets.moc"
