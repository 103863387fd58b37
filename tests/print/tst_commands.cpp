// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's print commands: printer orientation, the range defaults
// written before the sheet, preview with the return to the sheet, print
// from the active pane and its frame, the company of the report settings,
// and refused values through the program's message boxes.
#include "curvepane.h"
#include "graphicsheet.h"
#include "headerbar.h"
#include "mainframe.h"
#include "openfilebutton.h"
#include "panejob.h"
#include "pdftext.h"
#include "printfixture.h"
#include "printrunner.h"
#include "reportsettings.h"
#include "tablesheet.h"
#include "tableview.h"
#include "tresapp.h"
#include "uiseam.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class CFakeRunner : public CPrintRunner {
public:
    bool Preview(QWidget*, QPrinter& printer, IPrintHooks& hooks, const QString& pdf) override
    {
        previews << static_cast<CPanePrintJob&>(hooks).Kind();
        pdfNames << pdf;
        orientations << printer.pageLayout().orientation();
        pages << hooks.OnPreparePrinting(true);
        return printFromPreview;
    }
    int Print(QWidget*, QPrinter& printer, IPrintHooks& hooks, const QString& pdf, const OverwriteCheck&) override
    {
        prints << static_cast<CPanePrintJob&>(hooks).Kind();
        orientations << printer.pageLayout().orientation();
        pdfNames << pdf;
        return hooks.OnPreparePrinting(false);
    }
    // The printout each call was for: the main window prints through the
    // job of the pane that stands for it.
    QList<EPrintKind> previews, prints;
    QList<QPageLayout::Orientation> orientations;
    QList<int> pages;
    QStringList pdfNames;
    bool printFromPreview = false;
};

// The real runner on a system without a printer.
class CNoPrinterRunner : public CPrintRunner {
protected:
    bool HasPrinter() const override { return false; }
    bool ExecPrintDialog(QWidget*, QPrinter&, int) override
    {
        ++dialogs;
        return true;
    }

public:
    int dialogs = 0;
};

// The real runner whose questions before many pages are answered here; with
// `printer` set it has one, whose dialog chooses `range` (PDF in `pdf`).
class CAskingRunner : public CNoPrinterRunner {
protected:
    bool HasPrinter() const override { return printer; }
    bool ExecPrintDialog(QWidget*, QPrinter& p, int) override
    {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        p.setPrintRange(QPrinter::PageRange);
        p.setFromTo(range.first, range.second);
        return true;
    }
    bool ConfirmManyPages(QWidget*, int pages, bool preview) override
    {
        asked << ManyPagesQuestion(pages, preview);
        return agree;
    }

public:
    QStringList asked;
    bool agree = false, printer = false;
    std::pair<int, int> range{1, 1};
    QString pdf;
};

class CMessages : public CUiSeam {
public:
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }
    QMessageBox::StandardButton Question(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton def) override
    {
        questions << text;
        defaults << def;
        return answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
    }
    QStringList messages, questions;
    QList<QMessageBox::StandardButton> answers, defaults;
};

// Runs `fn` on each modal sheet as it appears, until `fn` returns false.
class CSheetDriver : public QObject {
public:
    explicit CSheetDriver(std::function<bool(CTrePrintSheet*)> fn)
        : m_fn(std::move(fn))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* sheet = qobject_cast<CTrePrintSheet*>(QApplication::activeModalWidget());
            if (!sheet || sheet == m_pLast) return;
            m_pLast = sheet;
            ++count;
            if (!m_fn(sheet)) m_timer.stop();
        });
        m_timer.start(10);
    }
    int count = 0;

private:
    std::function<bool(CTrePrintSheet*)> m_fn;
    QTimer m_timer;
    CTrePrintSheet* m_pLast = nullptr;
};

// Each page's size in points, as pdfinfo reads the file.
QList<QSize> PageSizes(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"),
            {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("9999"), pdf});
    QList<QSize> sizes;
    if (!p.waitForFinished(60000)) return sizes;
    static const QRegularExpression line(QStringLiteral("Page +\\d+ size: +([\\d.]+) x ([\\d.]+) pts"));
    for (auto it = line.globalMatch(QString::fromLatin1(p.readAllStandardOutput())); it.hasNext();) {
        const auto m = it.next();
        sizes << QSize(qRound(m.captured(1).toDouble()), qRound(m.captured(2).toDouble()));
    }
    return sizes;
}

// The frame drawn over `pane` when it is the active one.
QWidget* MarkerOn(QWidget* pane)
{
    QWidget* marker = pane->findChild<QWidget*>(QStringLiteral("paneMarker"), Qt::FindDirectChildrenOnly);
    return marker && marker->isVisible() ? marker : nullptr;
}

QLineEdit* EndEdit(CTrePrintSheet* s)
{
    return qobject_cast<QLineEdit*>(static_cast<CTrePlotDruckPS*>(s)->m_page3.Control(1059));
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void enabledWithDocument();
    void graphicDefaultsStayAfterCancel();
    void previewReturnsToTheSheet();
    void printingFromThePreviewEndsTheCycle();
    void tablePrintIsPortraitAndDoesNotReturn();
    void refusedValueShowsMessage();
    void pdfGoesBesideTheSurvey();
    void pdfIsOverwrittenOnlyWhenTheUserAgrees();
    void manyPagesOnlyWhenTheUserAgrees();
    void ctrlPPrintsTheActivePaneOnItsOwnPaper();
    void activePaneIsFramed();
    void printsNameTheCompanyOfTheReportSettings();

private:
    std::unique_ptr<CTreDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeRunner m_runner;
    CMessages m_seam;

    CMainFrame& Frame(int lastMetre = 500)
    {
        FillDoc(*m_doc, Survey(lastMetre, lastMetre >= 100 ? 10 : 2));
        m_frame = std::make_unique<CMainFrame>(*m_doc, CTresApp::Get()->FrameSetup());
        m_frame->InitialUpdateAll();
        m_frame->UpdateCommandUI();
        return *m_frame;
    }
};

void TestCommands::init()
{
    m_doc = std::make_unique<CTreDoc>();
    m_runner = CFakeRunner();
    m_seam = CMessages();
    CPrintRunner::Install(&m_runner);
    CUiSeam::Install(&m_seam);
}

void TestCommands::cleanup()
{
    m_frame.reset();
    m_doc.reset();
    CPrintRunner::Install(nullptr);
    CUiSeam::Install(nullptr);
}

void TestCommands::enabledWithDocument()
{
    CMainFrame frame(*m_doc, CTresApp::Get()->FrameSetup());
    frame.UpdateCommandUI();
    QVERIFY(!frame.Action(CMainFrame::ID_PRINT_GRAPHIC)->isEnabled());
    QVERIFY(!frame.Action(CMainFrame::ID_PRINT_TABLE)->isEnabled());
    frame.OnFileNew();
    QVERIFY(frame.Action(CMainFrame::ID_PRINT_GRAPHIC)->isEnabled());
    QVERIFY(frame.Action(CMainFrame::ID_PRINT_TABLE)->isEnabled());
    QCOMPARE(frame.Action(CMainFrame::ID_FILE_PRINT)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
}

void TestCommands::graphicDefaultsStayAfterCancel()
{
    CMainFrame& frame = Frame(12); // rows 0 ... 12 m
    QVERIFY(!IsPresent(m_doc->m_nPlotEnd));
    QString shownEnd;
    CSheetDriver driver([&](CTrePrintSheet* s) {
        shownEnd = EndEdit(s)->text();
        s->reject();
        return false;
    });
    frame.OnPrintGraphic();
    QCOMPARE(driver.count, 1);
    QCOMPARE(shownEnd, QStringLiteral("20"));
    QCOMPARE(m_doc->m_nPlotEnd, 20);
    QCOMPARE(m_doc->m_nPlotStart, 0);
    QCOMPARE(frame.ActivePane(), 2);
    QCOMPARE(CTresApp::Get()->Printer().pageLayout().orientation(), QPageLayout::Landscape);
    QVERIFY(m_runner.previews.isEmpty() && m_runner.prints.isEmpty());
    QVERIFY(!m_doc->IsModified());
}

void TestCommands::previewReturnsToTheSheet()
{
    CMainFrame& frame = Frame();
    QStringList endTexts;
    CSheetDriver driver([&](CTrePrintSheet* s) {
        endTexts << EndEdit(s)->text();
        if (endTexts.size() == 1) {
            EndEdit(s)->setText(QStringLiteral("300"));
            s->Button(CTrePrintSheet::IdPreview)->click();
            return true;
        }
        s->reject();
        return false;
    });
    frame.OnPrintGraphic();
    QCOMPARE(m_runner.previews.size(), 1);
    QCOMPARE(m_runner.previews[0], EPrintKind::Graphic); // the lower pane's
    QCOMPARE(m_runner.orientations[0], QPageLayout::Landscape);
    QCOMPARE(m_runner.pages[0], 2); // 0 ... 300 m at 1:1000
    QVERIFY(frame.IsPrintTimerActive(1));
    QTRY_COMPARE(driver.count, 2);
    QCOMPARE(endTexts, (QStringList{QStringLiteral("500"), QStringLiteral("300")}));
    QTRY_VERIFY(!frame.IsPrintTimerActive(1));
    QCOMPARE(m_doc->m_nPlotEnd, 300); // "Abbrechen" leaves the values taken over
    QCOMPARE(m_runner.previews.size(), 1);
}

void TestCommands::printingFromThePreviewEndsTheCycle()
{
    CMainFrame& frame = Frame();
    m_runner.printFromPreview = true;
    CSheetDriver driver([&](CTrePrintSheet* s) {
        s->Button(CTrePrintSheet::IdPreview)->click();
        return true;
    });
    frame.OnPrintGraphic();
    QCOMPARE(m_runner.previews.size(), 1);
    QVERIFY(!frame.IsPrintTimerActive(1));
    // The sheet comes back only through its timer, stopped above.
    QCoreApplication::processEvents();
    QCOMPARE(driver.count, 1);
}

void TestCommands::tablePrintIsPortraitAndDoesNotReturn()
{
    CMainFrame& frame = Frame();
    m_doc->SetPathName("/tmp/strecke.tsd");
    CSheetDriver driver([&](CTrePrintSheet* s) {
        s->Button(CTrePrintSheet::IdPrint)->click();
        return true;
    });
    frame.OnPrintTable();
    QCOMPARE(driver.count, 1);
    QCOMPARE(m_runner.prints.size(), 1);
    QCOMPARE(m_runner.prints[0], EPrintKind::Table); // the upper pane's
    QCOMPARE(m_runner.orientations[0], QPageLayout::Portrait);
    QCOMPARE(m_runner.pdfNames[0], QStringLiteral("/tmp/strecke.pdf"));
    QCOMPARE(frame.ActivePane(), 0);
    QVERIFY(!frame.IsPrintTimerActive(2));
    // The sheet comes back only through its timer, stopped above.
    QCoreApplication::processEvents();
    QCOMPARE(driver.count, 1);
}

void TestCommands::refusedValueShowsMessage()
{
    CMainFrame& frame = Frame();
    CSheetDriver driver([&](CTrePrintSheet* s) {
        EndEdit(s)->setText(QStringLiteral("zwanzig"));
        s->Button(CTrePrintSheet::IdPrint)->click();
        const bool open = s->isVisible();
        s->reject();
        return open && false;
    });
    frame.OnPrintGraphic();
    QCOMPARE(m_seam.messages, QStringList{QStringLiteral("Geben Sie bitte eine ganze Zahl ein.")});
    QVERIFY(m_runner.prints.isEmpty());
}

void TestCommands::pdfGoesBesideTheSurvey()
{
    CMainFrame& frame = Frame();
    m_doc->SetPathName("/tmp/mess/strecke 4.tsd");
    frame.SetActivePane(0);
    frame.OnFilePrint();
    m_runner.printFromPreview = true;
    CSheetDriver driver([&](CTrePrintSheet* s) {
        s->Button(CTrePrintSheet::IdPreview)->click();
        return false;
    });
    frame.OnPrintTable();
    // An unnamed survey prints into the data folder.
    QTemporaryDir data;
    CTresApp::Get()->m_strDataFolder = data.path();
    m_doc->SetPathName("");
    frame.OnFilePrint();
    QCOMPARE(m_runner.pdfNames,
             (QStringList{"/tmp/mess/strecke 4.pdf", "/tmp/mess/strecke 4.pdf", data.path() + "/Tresmon.pdf"}));
}

void TestCommands::pdfIsOverwrittenOnlyWhenTheUserAgrees()
{
    CNoPrinterRunner runner;
    CPrintRunner::Install(&runner);
    QTemporaryDir dir;
    CMainFrame& frame = Frame();
    m_doc->SetPathName((dir.path() + "/strecke.tsd").toStdString());
    const QString pdf = dir.path() + "/strecke.pdf";
    frame.SetActivePane(0);
    // A new file is written without a question, and without the print
    // dialog, which would offer nothing but the file.
    frame.OnFilePrint();
    QVERIFY(m_seam.questions.isEmpty());
    QCOMPARE(runner.dialogs, 0);
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().startsWith("%PDF"));
    written.close();
    QVERIFY(frame.statusBar()->currentMessage().endsWith(QDir::toNativeSeparators(pdf)));
    QCOMPARE(frame.OpenWrittenButton()->File(), pdf);
    // "Nein" leaves the file there as it was.
    QVERIFY(written.open(QIODevice::WriteOnly | QIODevice::Truncate));
    written.write("alt");
    written.close();
    m_seam.answers << QMessageBox::No;
    frame.OnFilePrint();
    QCOMPARE(m_seam.questions, QStringList{"Die Datei " + QDir::toNativeSeparators(pdf)
                                           + " existiert bereits.\n\nDatei überschreiben ?"});
    QCOMPARE(m_seam.defaults[0], QMessageBox::No);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("alt"));
    written.close();
    QVERIFY(m_seam.messages.isEmpty());
    // "Ja" prints over it.
    m_seam.answers << QMessageBox::Yes;
    frame.OnFilePrint();
    QCOMPARE(m_seam.questions.size(), 2);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().startsWith("%PDF"));
    QVERIFY(m_seam.messages.isEmpty());
}

void TestCommands::manyPagesOnlyWhenTheUserAgrees()
{
    CAskingRunner runner;
    CPrintRunner::Install(&runner);
    QTemporaryDir dir;
    CMainFrame& frame = Frame();
    m_doc->SetPathName((dir.path() + "/strecke.tsd").toStdString());
    const QString pdf = dir.path() + "/strecke.pdf";
    m_doc->m_nPlotScale = 100;
    m_doc->m_nPlotEnd = 22022; // 1001 pages of 22 m
    frame.SetActivePane(2);
    // "Nein": nothing printed, no file, no message.
    frame.OnFilePrint();
    QCOMPARE(runner.asked, QStringList{"Der Ausdruck hätte 1.001 Seiten. Trotzdem drucken?"});
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(m_seam.messages.isEmpty());
    // The preview asks too, before it draws a page.
    CPanePrintJob job(*frame.LowerPane(), *m_doc);
    QPrinter printer;
    QVERIFY(!runner.Preview(&frame, printer, job, pdf));
    QCOMPARE(runner.asked.last(),
             QStringLiteral("Der Ausdruck hätte 1.001 Seiten. Trotzdem in der Seitenansicht zeigen?"));
    // With a printer, what counts is the range chosen in its dialog.
    runner.printer = true;
    runner.pdf = pdf;
    runner.range = {991, 1001};
    frame.OnFilePrint();
    QCOMPARE(runner.asked.size(), 2);
    QVERIFY(QFile::exists(pdf));
    QFile::remove(pdf);
    runner.range = {1, 1001};
    frame.OnFilePrint();
    QCOMPARE(runner.asked.size(), 3);
    QVERIFY(!QFile::exists(pdf));
    // "Ja": all of them.
    runner.printer = false;
    runner.agree = true;
    frame.OnFilePrint();
    QCOMPARE(runner.asked.size(), 4);
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLatin1(written.readAll()).count(QRegularExpression("/Type\\s*/Page(?![s\\w])")), 1001);
}

void TestCommands::ctrlPPrintsTheActivePaneOnItsOwnPaper()
{
    CNoPrinterRunner runner;
    CPrintRunner::Install(&runner);
    QTemporaryDir dir;
    CMainFrame& frame = Frame();
    m_doc->SetPathName((dir.path() + "/strecke.tsd").toStdString());
    const QString pdf = dir.path() + "/strecke.pdf";
    // The table through its own command: portrait A4.
    const auto printFromSheet = [](CTrePrintSheet* s) {
        s->Button(CTrePrintSheet::IdPrint)->click();
        return false;
    };
    {
        CSheetDriver driver(printFromSheet);
        frame.OnPrintTable();
    }
    QCOMPARE(PageSizes(pdf), (QList<QSize>{{595, 842}, {595, 842}}));
    const QStringList tablePages = PdfPages(pdf);
    QVERIFY(QFile::remove(pdf));
    // The graphic leaves the shared printer on landscape.
    {
        CSheetDriver driver(printFromSheet);
        frame.OnPrintGraphic();
    }
    QCOMPARE(PageSizes(pdf), (QList<QSize>{{842, 595}, {842, 595}, {842, 595}}));
    QVERIFY(QFile::remove(pdf));
    // Ctrl+P with the table active prints the table as its command did.
    frame.SetActivePane(1);
    frame.Action(CMainFrame::ID_FILE_PRINT)->trigger();
    QCOMPARE(PageSizes(pdf), (QList<QSize>{{595, 842}, {595, 842}}));
    QCOMPARE(PdfPages(pdf), tablePages);
    QVERIFY(QFile::remove(pdf));
    // ... and with the potential pane active, the graphic on landscape again.
    frame.SetActivePane(2);
    frame.Action(CMainFrame::ID_FILE_PRINT)->trigger();
    QCOMPARE(PageSizes(pdf), (QList<QSize>{{842, 595}, {842, 595}, {842, 595}}));
}

void TestCommands::activePaneIsFramed()
{
    CMainFrame& frame = Frame();
    frame.resize(1000, 700);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QWidget* const panes[3] = {frame.UpperPane(), frame.TableView(), frame.LowerPane()};
    const auto framed = [&](int pane) {
        for (int i = 0; i < 3; ++i)
            if ((MarkerOn(panes[i]) != nullptr) != (i == pane)) return false;
        return frame.ActivePane() == pane;
    };
    // A click on a curve pane, which takes no focus of its own, and on the table.
    QTest::mouseClick(frame.LowerPane(), Qt::LeftButton, {}, frame.LowerPane()->rect().center());
    QTRY_VERIFY(framed(2));
    QTest::mouseClick(frame.TableView()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_VERIFY(framed(1));
    // The focus moved by the keyboard; focus outside the panes keeps the last.
    frame.UpperPane()->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(framed(0));
    frame.HeaderBar()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QVERIFY(framed(0));
    frame.SetActivePane(2);
    QVERIFY(framed(2));
    // What the user sees: a 2 px line in the highlight colour round the pane.
    const QImage shot = frame.LowerPane()->grab().toImage();
    const QColor highlight = frame.LowerPane()->palette().color(QPalette::Highlight);
    const int h = shot.height() / 2;
    QCOMPARE(shot.pixelColor(0, h), highlight);
    QCOMPARE(shot.pixelColor(1, h), highlight);
    QCOMPARE(shot.pixelColor(shot.width() - 1, h), highlight);
    QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() - 2), highlight);
    QVERIFY(shot.pixelColor(2, h) != highlight);
}

void TestCommands::printsNameTheCompanyOfTheReportSettings()
{
    if (!HavePdfToText()) QSKIP("pdftotext is missing");
    CNoPrinterRunner runner;
    CPrintRunner::Install(&runner);
    QTemporaryDir dir;
    CMainFrame& frame = Frame();
    m_doc->SetPathName((dir.path() + "/strecke.tsd").toStdString());
    const QString pdf = dir.path() + "/strecke.pdf";
    const auto printed = [&](int pane) {
        QFile::remove(pdf);
        frame.SetActivePane(pane);
        frame.OnFilePrint();
        return PdfPages(pdf).value(0).simplified();
    };
    // None set: the printouts' own.
    QVERIFY(printed(2).contains("Firma Zazudoviv"));
    const QString plain = printed(1);
    QVERIFY(plain.contains("Firma") && plain.contains("Zazudoviv"));
    SReportSettings settings = ReadReportSettings();
    settings.company = QStringLiteral("Rohrschutz Ostwald GmbH");
    WriteReportSettings(settings);
    // The graphic in one line, the table in its two.
    const QString graphic = printed(2), table = printed(1);
    QVERIFY2(graphic.contains("Rohrschutz Ostwald GmbH"), qPrintable(graphic));
    QVERIFY2(table.contains("Rohrschutz") && table.contains("Ostwald GmbH"), qPrintable(table));
    for (const QString& page : {graphic, table}) QVERIFY(!page.contains("Zazudoviv") && !page.contains("Firma"));
    settings.company.clear();
    WriteReportSettings(settings);
}

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CTresApp app(argc, argv);
    TestCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_commands.moc"
