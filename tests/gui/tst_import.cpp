// SPDX-License-Identifier: GPL-3.0-or-later
// "Datei" > "Importieren…" in the main window: a layout no built-in map
// knows is assigned in the dialog and opened, its map remembered for the
// header line (without the one survey's pipeline and date) so the next
// export of it opens through "Öffnen" without a question, even after a
// restart; a bad line stops the import until the
// user chooses to skip it, and is then named; a cancel opens nothing.
#include "framefixture.h"
#include "importui/importdlg.h"

#include "archive/store.h"
#include "doc/rowextras.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <functional>

namespace {

class CScriptedSeam : public CUiSeam {
public:
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString& filter, const QString&) override
    {
        filters << filter;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QMessageBox::StandardButton Question(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        questions << text;
        return QMessageBox::No;
    }
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }
    QStringList openAnswers, filters, questions, messages;
};

void Grab(QWidget& w, const char* name)
{
    const QByteArray dir = qgetenv("TRES_LOOK_DIR");
    if (!dir.isEmpty()) w.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
}

// A logger's export no built-in map knows: two note lines, then its own
// titles, the station in km+m, potentials in volts.
QByteArray Export(const char* rows)
{
    return QByteArray("Logger KX-9 Seriennummer 4417\nTrupp Nord; Messung 3\nPos;U-aus;U-ein;Notiz\n") + rows;
}

// Runs `act` while the import dialog, once shown, is handled by `fill`: on
// the tick after the one that first saw it, when its own event loop runs
// (an accept while exec() is still showing it would leave exec() waiting).
bool WithDialog(const std::function<void()>& act, const std::function<void(CImportDlg&)>& fill)
{
    bool seen = false, done = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dlg = qobject_cast<CImportDlg*>(QApplication::activeModalWidget());
        if (!dlg || done) return;
        if (seen) {
            done = true;
            fill(*dlg);
        }
        seen = true;
    });
    answer.start(20);
    act();
    answer.stop();
    return done;
}

void Assign(CImportDlg& dlg, tresimport::EColumn c, int column) { dlg.ColumnBox(c)->setCurrentIndex(column); }

} // namespace

class TestImport : public QObject, CFrameFixture<CScriptedSeam> {
    Q_OBJECT
    QString Write(const char* name, const QByteArray& bytes)
    {
        const QString path = m_files.filePath(QString::fromLatin1(name));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write %s", name);
        return path;
    }

private slots:
    void init() { InitFrame(); }
    void cleanup() { CleanupFrame(); }

    void AssignedRememberedAndReopened()
    {
        using tresimport::EColumn;
        const QString first = Write("kx9-a.csv", Export("12+345,6;-0,8555;-0,95;Schieber\n12+346,4;-0,81;;\n"));
        m_seam.openAnswers << first;
        const QString archivePath = m_files.filePath(QStringLiteral("archiv.gpkg"));
        CTresApp::Settings()->setValue(QStringLiteral("Archiv/Ort"), archivePath);
        CMainFrame& f = Frame();
        QString shown;
        const bool seen = WithDialog([&] { f.Action(CMainFrame::ID_FILE_IMPORT)->trigger(); },
                                     [&](CImportDlg& dlg) {
                                         // Nothing known yet: the header is taken for data.
                                         QVERIFY(!dlg.ImportButton()->isEnabled());
                                         dlg.SkipBox()->setValue(2);
                                         QCOMPARE(dlg.Preview()->rowCount(), 5);
                                         QCOMPARE(dlg.Preview()->item(2, 1)->text(), QStringLiteral("U-aus"));
                                         Assign(dlg, EColumn::Station, 1);
                                         Assign(dlg, EColumn::Off, 2);
                                         Assign(dlg, EColumn::On, 3);
                                         Assign(dlg, EColumn::Comment, 4);
                                         dlg.HeaderField(0)->setText(QStringLiteral("Gasleitung Nord"));
                                         dlg.HeaderField(2)->setText(QStringLiteral("03.06.2026"));
                                         dlg.HeaderField(4)->setText(QStringLiteral("Cu/CuSO4"));
                                         shown = dlg.ResultText();
                                         Grab(dlg, "import-dialog.png");
                                         dlg.ImportButton()->click();
                                     });
        QVERIFY(seen);
        QVERIFY2(shown.startsWith(QString::fromUtf8("Lesbar: 2 Zeilen, Meter 12346 bis 12346; Stationen in km+m, "
                                                    "Potentiale in V")),
                 qPrintable(shown));
        QVERIFY2(shown.contains(QString::fromUtf8("2 Stationen auf ganze Meter gerundet, höchstens um 0,4 m.")),
                 qPrintable(shown));
        QVERIFY(m_seam.filters.at(0).startsWith(QStringLiteral("CSV- und Textexporte (*.csv *.txt)")));
        QCOMPARE(m_doc->GetRowCount(), 2);
        QCOMPARE(m_doc->GetRow(1)->m_nPotOff, -856);
        QCOMPARE(m_doc->GetRow(1)->m_nPotOn, -950);
        QCOMPARE(m_doc->GetRow(2)->m_nPotOn, NO_VALUE);
        QCOMPARE(m_doc->m_header[3], std::string("Gasleitung Nord"));
        QCOMPARE(m_doc->m_header[1], std::string("03.06.2026"));

        // Archived as read: the dialog's pipeline and date file it, and the
        // archive keeps how it was read for every later reading.
        f.Action(CMainFrame::ID_ARCHIVE_ADD)->trigger();
        QCOMPARE(m_seam.messages.size(), 2);
        QVERIFY2(m_seam.messages[1].startsWith(QStringLiteral("Messung 1:")), qPrintable(m_seam.messages[1]));
        {
            const auto archive = tresarchive::OpenArchive(archivePath.toStdString(), false);
            QCOMPARE(archive->List().at(0).name, std::string("Gasleitung Nord"));
            QCOMPARE(archive->List().at(0).surveys.at(0).date, std::string("2026-06-03"));
            QVERIFY(archive->Survey(1).reading.find("\"U-aus\"") != std::string::npos);
        }

        // The next export of that logger, after a restart, through "Öffnen".
        CloseFrame();
        const QString second = Write("kx9-b.txt", Export("0+100;-0,9;-1,0;\n0+101;-0,91;-1,01;Muffe\n"));
        m_seam.openAnswers << second;
        m_doc = std::make_unique<CTreDoc>();
        const bool asked = WithDialog([&] { Frame().Action(CMainFrame::ID_FILE_OPEN)->trigger(); },
                                      [](CImportDlg& dlg) { dlg.reject(); });
        QVERIFY(!asked);
        QCOMPARE(m_doc->GetRowCount(), 2);
        QCOMPARE(m_doc->GetRow(2)->m_nMeter, 101);
        QCOMPARE(m_doc->GetRow(2)->m_nPotOff, -910);
        // Another survey: the first one's pipeline and date are not its own.
        QCOMPARE(m_doc->m_header[1], std::string());
        QCOMPARE(m_doc->m_header[3], std::string());
        QCOMPARE(m_doc->Extras().electrode, std::string("Cu/CuSO4"));

        // Importing it again starts from the remembered map.
        m_seam.openAnswers << second;
        tresimport::CColumnMap again;
        WithDialog([&] { Frame().Action(CMainFrame::ID_FILE_IMPORT)->trigger(); },
                   [&](CImportDlg& dlg) {
                       again = dlg.Chosen().map;
                       dlg.reject();
                   });
        QCOMPARE(again.skip, 2);
        QCOMPARE(again[EColumn::Off].title, std::string("U-aus"));
        QCOMPARE(again.pipeline, std::string());
        QCOMPARE(again.electrode, std::string("Cu/CuSO4"));
        // The rounding was said once, at the first import; after the
        // archive's word nothing else was.
        QCOMPARE(m_seam.messages.size(), 2);
        QCOMPARE(m_seam.messages[0], QString::fromUtf8("2 Stationen auf ganze Meter gerundet, höchstens um 0,4 m."));
    }

    void BadLineStopsUntilSkipped()
    {
        using tresimport::EColumn;
        const QString path = Write("kx9-bad.csv", Export("0+100;-0,9;-1,0;\n0+101;-0,9a;-1,01;\n0+102;-0,92;-1,02;\n"));
        m_seam.openAnswers << path;
        QString refused, skipped;
        bool enabledBefore = true;
        WithDialog([&] { Frame().Action(CMainFrame::ID_FILE_IMPORT)->trigger(); },
                   [&](CImportDlg& dlg) {
                       dlg.SkipBox()->setValue(2);
                       Assign(dlg, EColumn::Station, 1);
                       Assign(dlg, EColumn::Off, 2);
                       refused = dlg.ResultText();
                       enabledBefore = dlg.ImportButton()->isEnabled();
                       dlg.SkipBadBox()->setChecked(true);
                       skipped = dlg.ResultText();
                       dlg.ImportButton()->click();
                   });
        QCOMPARE(refused, QString::fromUtf8("kx9-bad.csv: Zeile 5, Spalte „U-aus“: „-0,9a“ ist keine Zahl"));
        QVERIFY(!enabledBefore);
        QVERIFY2(skipped.contains(QString::fromUtf8("Zeile 5 übersprungen: Spalte „U-aus“: „-0,9a“ ist keine Zahl.")),
                 qPrintable(skipped));
        QCOMPARE(m_doc->GetRowCount(), 2);
        QCOMPARE(m_doc->Extras().notes,
                 std::vector<std::string>{"Zeile 5 übersprungen: Spalte „U-aus“: „-0,9a“ ist keine Zahl."});
    }

    // Archived from the window as `archive add` stores it: a file with its
    // own GPS track keeps its places in the archive's map layers.
    void GpsExportArchivedWithItsPositions()
    {
        const QString archivePath = m_files.filePath(QStringLiteral("gps.gpkg"));
        CTresApp::Settings()->setValue(QStringLiteral("Archiv/Ort"), archivePath);
        const QString gps = Write("gps.csv", [] {
            QFile f(QStringLiteral(SAMPLES "/import/survey-manager-gps.csv"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }());
        m_seam.openAnswers << gps;
        CMainFrame& f = Frame();
        // The survey managers' layout is known; the dialog adds what it lacks.
        QVERIFY(WithDialog([&] { f.Action(CMainFrame::ID_FILE_IMPORT)->trigger(); },
                           [](CImportDlg& dlg) {
                               dlg.HeaderField(0)->setText(QStringLiteral("Gasleitung Talweg"));
                               dlg.HeaderField(2)->setText(QStringLiteral("14.10.2026"));
                               dlg.ImportButton()->click();
                           }));
        QCOMPARE(m_doc->GetRowCount(), 2401);
        f.Action(CMainFrame::ID_ARCHIVE_ADD)->trigger();
        QVERIFY2(!m_seam.messages.isEmpty() && m_seam.messages.last().startsWith(QStringLiteral("Messung 1:")),
                 qPrintable(m_seam.messages.join(QLatin1Char('\n'))));
        const auto archive = tresarchive::OpenArchive(archivePath.toStdString(), false);
        QVERIFY(archive->Survey(1).assessmentJson.find("\"positions\": \"gps\"") != std::string::npos);
    }

    void CancelOpensAndRemembersNothing()
    {
        const QString path = Write("kx9-c.csv", Export("0+100;-0,9;-1,0;\n"));
        m_seam.openAnswers << path << path;
        CMainFrame& f = Frame();
        QVERIFY(WithDialog([&] { f.Action(CMainFrame::ID_FILE_IMPORT)->trigger(); },
                           [](CImportDlg& dlg) { dlg.reject(); }));
        QVERIFY(m_doc->m_bEmpty);
        // Still unknown: "Öffnen" offers the dialog rather than refusing it.
        QVERIFY(
            WithDialog([&] { f.Action(CMainFrame::ID_FILE_OPEN)->trigger(); }, [](CImportDlg& dlg) { dlg.reject(); }));
        QVERIFY(m_doc->m_bEmpty);
        QVERIFY(m_seam.messages.isEmpty());
    }
};

TRES_GUI_TEST_MAIN(TestImport)
#include "tst_import.moc"
