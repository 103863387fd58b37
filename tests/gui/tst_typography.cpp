// SPDX-License-Identifier: GPL-3.0-or-later
// German typography in the texts the program adds: its menus with their
// status tips, the main window over a survey tied to pipeline data with the
// "Bewertung" window and the map, and the dialogs of its own. The program's
// first texts keep their old form; they are listed as they stand.
#include "addconstdlg.h"
#include "errorlistdlg.h"
#include "framefixture.h"
#include "mainframe.h"
#include "manualwnd.h"
#include "reportsettingsdlg.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextDocumentFragment>

namespace {

class CQuietSeam : public CUiSeam {
public:
    QMessageBox::StandardButton Question(QWidget*, const QString&, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        return QMessageBox::Yes;
    }
    void Message(QWidget*, const QString&, QMessageBox::Icon) override { }
};

// The texts the program has shown since its first version, as they stand.
const char* const kOldTexts[] = {
    "Öffnen...",
    "Anhängen...",
    "Speichern unter...",
    "Tabelle drucken...",
    "Graphik drucken...",
    "Druckereinrichtung...",
    "Datentransfer...",
    "Bearbeiten...",
    "Info ...",
    "Name :",
    "Nr. :",
    "Datum :",
    "Skrit :",
    "Text :",
    "Konstante [m] :",
    "Konstante [mV] :",
    "Startmeter :",
    "Endmeter :",
    "Info über Tresmon 3.0",
    "Tresmon 3.0",
    "Ein :",
    "Aus :",
    "IR-frei :",
    "Diff. :",
};

// What breaks German typography in `text`, empty when nothing does: a blank
// before ":", "?" or "!", three dots for "…", straight double quotes, "E_p",
// and a decimal point in a number.
QStringList TypographyFaults(QString text)
{
    if (Qt::mightBeRichText(text)) text = QTextDocumentFragment::fromHtml(text).toPlainText();
    text.replace(QRegularExpression(QStringLiteral("&(?!&)")), QString());
    for (const char* old : kOldTexts)
        if (text == QString::fromUtf8(old)) return {};
    QStringList faults;
    const struct {
        const char* pattern;
        const char* what;
    } rules[] = {
        {"\\S [:?!](\\s|$)", "Leerzeichen vor Satzzeichen"},
        {"\\.\\.\\.", "drei Punkte statt …"},
        {"\"", "gerade Anführungszeichen"},
        {"E_p", "E_p"},
        {"(?<![\\d.])\\d+\\.\\d+(?![\\d.])", "Dezimalpunkt"},
    };
    for (const auto& r : rules)
        if (text.contains(QRegularExpression(QString::fromUtf8(r.pattern))))
            faults << QString::fromUtf8(r.what) + QStringLiteral(": ") + text;
    return faults;
}

// Every text a user reads in `w` and below it.
QStringList ShownTexts(QWidget* w)
{
    QStringList texts{w->windowTitle()};
    for (QAction* a : w->findChildren<QAction*>()) texts << a->text() << a->statusTip();
    for (QLabel* l : w->findChildren<QLabel*>()) texts << l->text();
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) texts << b->text();
    for (QGroupBox* g : w->findChildren<QGroupBox*>()) texts << g->title();
    for (QLineEdit* e : w->findChildren<QLineEdit*>()) texts << e->placeholderText();
    for (QTabWidget* t : w->findChildren<QTabWidget*>())
        for (int i = 0; i < t->count(); ++i) texts << t->tabText(i);
    for (QAbstractItemView* v : w->findChildren<QAbstractItemView*>())
        if (QAbstractItemModel* m = v->model())
            for (int c = 0; c < m->columnCount(); ++c) texts << m->headerData(c, Qt::Horizontal).toString();
    return texts;
}

QStringList Faults(const QStringList& texts)
{
    QStringList faults;
    for (const QString& t : texts) faults << TypographyFaults(t);
    faults.removeDuplicates();
    return faults;
}

} // namespace

class TestTypography : public QObject, protected CFrameFixture<CQuietSeam> {
    Q_OBJECT
private slots:
    void init() { InitFrame(); }
    void cleanup() { CleanupFrame(); }
    void checkerFindsEachFault();
    void windowsAndDialogsFollowGermanTypography();
};

void TestTypography::checkerFindsEachFault()
{
    QCOMPARE(TypographyFaults(QStringLiteral("Datei überschreiben ?")).size(), 1);
    QCOMPARE(TypographyFaults(QStringLiteral("Bewertung...")).size(), 1);
    QCOMPARE(TypographyFaults(QStringLiteral("Ungültige Zahl: \"x\"")).size(), 1);
    QCOMPARE(TypographyFaults(QStringLiteral("E_p = -850 mV")).size(), 1);
    QCOMPARE(TypographyFaults(QStringLiteral("Faktor 1.025")).size(), 1);
    QCOMPARE(TypographyFaults(QString::fromUtf8("Messung vom 01.02.26: Faktor 1,025, „Nord“ …")), QStringList());
    QCOMPARE(TypographyFaults(QStringLiteral("<b>Zeile 3</b>: <span style=\"color:red\">gut</span>")), QStringList());
}

void TestTypography::windowsAndDialogsFollowGermanTypography()
{
    CMainFrame& f = Frame();
    QVERIFY(f.OpenDocumentFile(QStringLiteral(SAMPLES "/demo.tsd")));
    QVERIFY(f.LoadPipeline(QStringLiteral(SAMPLES "/demo-leitung.geojson"), true));
    f.Action(CMainFrame::ID_VIEW_ASSESS)->setChecked(true);
    f.Action(CMainFrame::ID_VIEW_MAP)->setChecked(true);
    QStringList texts = ShownTexts(&f);
    CAddConstDlg addConst(&f);
    CErrorListDlg errorList(true, &f);
    CReportSettingsDlg report(&f, SReportSettings());
    CManualWnd manual(QString(), &f);
    for (QWidget* w : std::initializer_list<QWidget*>{&addConst, &errorList, &report, &manual}) texts << ShownTexts(w);
    const QStringList faults = Faults(texts);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

TRES_GUI_TEST_MAIN(TestTypography)
#include "tst_typography.moc"
