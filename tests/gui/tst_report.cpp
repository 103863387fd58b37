// SPDX-License-Identifier: GPL-3.0-or-later
// "Datei" > "Bewertungsbericht…" through the real dialogs: the report's
// own questions, a save dialog of PDF files that puts the report beside the
// survey and never over it; and "Optionen" > "Bericht…", whose settings
// the report prints.
#include "framefixture.h"
#include "mainframe.h"
#include "printrunner.h"
#include "reportdlg.h"
#include "reportsettings.h"
#include "reportsettingsdlg.h"
#include "tredoc.h"
#include "tresapp.h"
#include "uiseam.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>

namespace {

// The real file and report dialogs; messages and questions recorded, and
// a save answer given in place of the dialog when one is set.
class CRecordingSeam : public CUiSeam {
public:
    QString SaveFileName(QWidget* parent, const QString& title, const QString& initial, const QString& filter,
                         const QString& suffix) override
    {
        saveFilters << filter + QLatin1Char('|') + suffix;
        if (!saveAnswer.isNull()) return saveAnswer;
        return CUiSeam::SaveFileName(parent, title, initial, filter, suffix);
    }
    QMessageBox::StandardButton Question(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        questions << text;
        return answer;
    }
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }

    QString saveAnswer;
    QMessageBox::StandardButton answer = QMessageBox::No;
    QStringList saveFilters, questions, messages;
};

// The system's printers as the test sets them: none, or one whose print
// dialog is accepted with the job going to the PDF file `output`.
class CTestPrinters : public CPrintRunner {
public:
    bool HasPrinter() const override { return hasPrinter; }
    bool ExecPrintDialog(QWidget*, QPrinter& printer, int) override
    {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(output);
        return true;
    }
    bool hasPrinter = false;
    QString output;
    int dialogs = 0;
};

void WriteSurvey(const QString& path)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n42\r\n\r\n\r\nBem\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (int i = 0; i < 200; ++i) out << i * 10 << ";-1.20;-0.90;10;2;;;\r\n";
}

// Saves a picture of a dialog for looking at it, when asked to.
void Grab(QWidget& w, const char* name)
{
    const QByteArray dir = qgetenv("TRES_LOOK_DIR");
    if (!dir.isEmpty()) w.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers every modal dialog that comes up with `answer` until stopped.
class CModalAnswerer {
public:
    explicit CModalAnswerer(std::function<void(QWidget*)> answer)
        : m_answer(std::move(answer))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget(); w && w != m_last) {
                m_last = w;
                m_answer(w);
            }
        });
        m_timer.start(20);
    }

private:
    std::function<void(QWidget*)> m_answer;
    QTimer m_timer;
    QPointer<QWidget> m_last; // null again once the dialog is gone
};

} // namespace

class TestReport : public QObject, protected CFrameFixture<CRecordingSeam> {
    Q_OBJECT
private slots:
    void init()
    {
        InitFrame();
        m_printers = CTestPrinters();
        CPrintRunner::Install(&m_printers);
    }
    void cleanup()
    {
        CleanupFrame();
        CPrintRunner::Install(nullptr);
    }

    void reportGoesBesideTheSurveyNeverOverIt();
    void printIsOfferedWithAPrinter();
    void finalReportOfADraftIsRefused();
    void settingsDialogKeepsTheIssuer();

private:
    CTestPrinters m_printers;
};

void TestReport::reportGoesBesideTheSurveyNeverOverIt()
{
    const QString survey = m_files.filePath(QStringLiteral("messung.tsd"));
    WriteSurvey(survey);
    const QByteArray before = FileBytes(survey);
    QVERIFY(Frame().OpenDocumentFile(survey));

    // The user types the survey's name without an ending and says "Ja" to
    // whatever Qt asks.
    QStringList seen;
    CModalAnswerer answerer([&](QWidget* w) {
        if (auto* report = qobject_cast<CReportDlg*>(w)) {
            seen << QStringLiteral("report");
            report->RevisionEdit()->setText(QStringLiteral("C"));
            report->SectionBox()->setCurrentIndex(report->SectionBox()->findData(500));
            report->accept();
        } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
            seen << files->nameFilters().join(QLatin1Char(';')) + QLatin1Char('|') + files->defaultSuffix();
            auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(QStringLiteral("messung"));
            QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
            seen << QStringLiteral("question");
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) yes->click();
            else box->accept();
        }
    });
    Frame().Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QCOMPARE(seen, (QStringList{QStringLiteral("report"), QStringLiteral("PDF-Dateien (*.pdf)|pdf")}));
    QCOMPARE(FileBytes(survey), before);
    const QString pdf = m_files.filePath(QStringLiteral("messung.pdf"));
    QVERIFY2(FileBytes(pdf).startsWith("%PDF"), qPrintable(m_seam.messages.join('\n')));
    QVERIFY(m_seam.messages.isEmpty());
    // The section length asked for is kept for the next report.
    QCOMPARE(CTresApp::Settings()->value(QStringLiteral("Bericht/Abschnitt")).toInt(), 500);

    // A name typed with the survey's own ending gets ".pdf" on top.
    m_seam.saveAnswer = survey;
    Frame().Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QCOMPARE(FileBytes(survey), before);
    QVERIFY(FileBytes(survey + QStringLiteral(".pdf")).startsWith("%PDF"));
    QVERIFY(m_seam.questions.isEmpty());
    // Once that PDF is there, replacing it is asked first ("Nein" here).
    QFile::resize(survey + QStringLiteral(".pdf"), 3);
    Frame().Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QCOMPARE(m_seam.questions.size(), 1);
    QVERIFY(m_seam.questions[0].contains(QStringLiteral("messung.tsd.pdf")));
    QCOMPARE(FileBytes(survey + QStringLiteral(".pdf")).size(), 3);

    // "Speichern unter" keeps the surveys' filter and ending.
    m_seam.saveAnswer = QString(QLatin1String(""));
    Frame().Action(CMainFrame::ID_FILE_SAVE_AS)->trigger();
    QCOMPARE(m_seam.saveFilters.back(), CUiSeam::FileFilter() + QStringLiteral("|tsd"));
}

int PdfPageCount(const QString& path)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(FileBytes(path)).count(page));
}

void TestReport::printIsOfferedWithAPrinter()
{
    const QString survey = m_files.filePath(QStringLiteral("messung.tsd"));
    WriteSurvey(survey);
    QVERIFY(Frame().OpenDocumentFile(survey));
    m_printers.hasPrinter = true;
    m_printers.output = m_files.filePath(QStringLiteral("gedruckt.pdf"));
    const QString pdf = m_files.filePath(QStringLiteral("bericht.pdf"));
    m_seam.saveAnswer = pdf;
    CModalAnswerer answerer([](QWidget* w) {
        if (auto* report = qobject_cast<CReportDlg*>(w)) report->accept();
    });
    const QString offer = QStringLiteral("Soll der Bewertungsbericht auch gedruckt werden?");

    // "Ja": the print dialog, then the report's pages on the printer.
    m_seam.answer = QMessageBox::Yes;
    Frame().Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QCOMPARE(m_seam.questions, QStringList{offer});
    QCOMPARE(m_printers.dialogs, 1);
    QVERIFY(m_seam.messages.isEmpty());
    const int pages = PdfPageCount(pdf);
    QVERIFY(pages >= 3);
    QCOMPARE(PdfPageCount(m_printers.output), pages);

    // "Nein": the PDF written again, nothing printed.
    QVERIFY(QFile::remove(pdf) && QFile::remove(m_printers.output));
    m_seam.answer = QMessageBox::No;
    Frame().Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QCOMPARE(m_seam.questions, (QStringList{offer, offer}));
    QCOMPARE(PdfPageCount(pdf), pages);
    QCOMPARE(m_printers.dialogs, 1);
    QVERIFY(!QFile::exists(m_printers.output));
}

void TestReport::finalReportOfADraftIsRefused()
{
    const QString survey = m_files.filePath(QStringLiteral("messung.tsd"));
    WriteSurvey(survey);
    QVERIFY(Frame().OpenDocumentFile(survey));
    // No issuer in the settings: asked for as final, the report says why
    // it would be a draft and asks for no file name.
    int reports = 0;
    CModalAnswerer answerer([&](QWidget* w) {
        auto* report = qobject_cast<CReportDlg*>(w);
        if (!report) return;
        ++reports;
        QCOMPARE(report->MergeBox()->value(), 3);
        report->MergeBox()->setValue(5);
        report->FinalBox()->setChecked(true);
        Grab(*report, "report-dialog.png");
        report->accept();
    });
    Frame().Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QCOMPARE(reports, 1);
    QCOMPARE(m_seam.messages.size(), 1);
    QCOMPARE(m_seam.messages[0], QString::fromUtf8("Der Bericht wäre ein Entwurf und wird nicht als Endfassung "
                                                   "geschrieben:\n– kein Herausgeber angegeben"));
    QVERIFY(m_seam.saveFilters.isEmpty());
    QVERIFY(!QFile::exists(m_files.filePath(QStringLiteral("messung-Bewertung.pdf"))));
    QCOMPARE(CTresApp::Settings()->value(QStringLiteral("Bericht/Zusammenfassen")).toInt(), 5);
}

void TestReport::settingsDialogKeepsTheIssuer()
{
    Frame();
    QAction* entry = nullptr;
    for (QAction* top : m_frame->menuBar()->actions())
        if (top->text().remove(QLatin1Char('&')) == QStringLiteral("Optionen"))
            for (QAction* a : top->menu()->actions())
                if (a->text() == QStringLiteral("Bericht…")) entry = a;
    QVERIFY(entry);

    // First with a logo that is not there: the dialog says so and stays.
    int shown = 0;
    const QString missing = m_files.filePath(QStringLiteral("fehlt.svg"));
    CModalAnswerer answerer([&](QWidget* w) {
        auto* dlg = qobject_cast<CReportSettingsDlg*>(w);
        if (!dlg) return;
        ++shown;
        dlg->CompanyEdit()->setText(QStringLiteral("Korrosionsschutz Nord GmbH"));
        dlg->AddressEdit(2)->setText(QStringLiteral("24103 Kiel"));
        dlg->AuthorEdit()->setText(QStringLiteral("M. Ebersbach"));
        dlg->ElectrodeEdit()->setText(QString());
        dlg->LogoEdit()->setText(missing);
        dlg->accept();
        QVERIFY(dlg->isVisible());
        dlg->LogoEdit()->clear();
        // A spacing that is no number is refused too; one with a point
        // is kept with a comma.
        dlg->SpacingEdit()->setText(QStringLiteral("breit"));
        dlg->accept();
        QVERIFY(dlg->isVisible());
        dlg->SpacingEdit()->setText(QStringLiteral("1.5"));
        dlg->OffDelayEdit()->setText(QStringLiteral("300"));
        dlg->InstrumentEdit()->setText(QStringLiteral("Logger 7"));
        dlg->InstrumentCalibratedEdit()->setText(QStringLiteral("02.01.2026"));
        dlg->ElectrodeCalibratedEdit()->setText(QStringLiteral("03.01.2026"));
        dlg->SynchronousBox()->setCurrentIndex(dlg->SynchronousBox()->findText(QStringLiteral("nein")));
        dlg->SurveyorEdit()->setText(QStringLiteral("K. Lind"));
        dlg->QualificationEdit()->setText(QStringLiteral("Fachkraft KKS"));
        dlg->ConditionsEdit()->setText(QStringLiteral("trocken, Lehm"));
        Grab(*dlg, "report-settings.png");
        dlg->accept();
    });
    entry->trigger();
    QCOMPARE(shown, 1);
    QCOMPARE(m_seam.messages.size(), 2);
    QVERIFY(m_seam.messages[0].contains(missing));
    QCOMPARE(m_seam.messages[1], QString::fromUtf8("Elektrodenabstand quer: „breit“ ist keine Zahl (z. B. 1,5); leer "
                                                   "bedeutet „nicht angegeben“."));
    const SReportSettings s = ReadReportSettings();
    QCOMPARE(s.company, QStringLiteral("Korrosionsschutz Nord GmbH"));
    QCOMPARE(s.address[2], QStringLiteral("24103 Kiel"));
    QCOMPARE(s.author, QStringLiteral("M. Ebersbach"));
    QCOMPARE(s.electrode, QStringLiteral("Cu/CuSO4")); // empty means the default
    QVERIFY(s.logo.isEmpty());
    QVERIFY(!s.NoIssuer());
    QCOMPARE(
        (QStringList{s.electrodeSpacing, s.offDelay, s.instrument, s.instrumentCalibrated, s.electrodeCalibrated,
                     s.synchronous, s.surveyor, s.qualification, s.conditions}),
        (QStringList{QStringLiteral("1,5"), QStringLiteral("300"), QStringLiteral("Logger 7"),
                     QStringLiteral("02.01.2026"), QStringLiteral("03.01.2026"), QStringLiteral("nein"),
                     QStringLiteral("K. Lind"), QStringLiteral("Fachkraft KKS"), QStringLiteral("trocken, Lehm")}));
}

TRES_GUI_TEST_MAIN(TestReport)

#include "tst_report.moc"
