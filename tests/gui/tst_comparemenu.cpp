// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison survey in the main window: loading it through the open
// dialog's "Nativmessung" option, the curve it adds to the potential pane,
// hiding and closing it, and that it never becomes the document.
#include "comparesurvey.h"
#include "curvepane.h"
#include "mainframe.h"
#include "tredoc.h"
#include "tresapp.h"
#include "uiseam.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sstream>

namespace {

const QColor kGrey(160, 160, 160);

class CCompareSeam : public CUiSeam {
public:
    QString OpenFileNameWithOption(QWidget*, const QString& title, const QString&, const QString& option,
                                   bool& checked) override
    {
        titles << title;
        options << option;
        offered << checked;
        if (answers.isEmpty()) return {};
        checked = nativeAnswer;
        return answers.takeFirst();
    }
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }

    QStringList answers, titles, options, messages;
    QList<bool> offered;
    bool nativeAnswer = false;
};

// Metres 0..400 every 2 m with the potential off `offVolts`.
void WriteSurvey(const QString& path, const char* offVolts, const char* name)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\n" << name << "\r\n7\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (int m = 0; m <= 400; m += 2) out << m << ";-1.20;" << offVolts << ";;;;;\r\n";
}

std::string Bytes(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

QStringList MenuTexts(CMainFrame& frame, const QString& menu)
{
    QStringList out;
    for (QAction* m : frame.menuBar()->actions())
        if (m->text() == menu)
            for (QAction* a : m->menu()->actions())
                if (!a->isSeparator()) out << a->text().remove('&');
    return out;
}

// Grey pixels inside the potential pane's plot, and the longest run of them
// on one row.
struct SGrey {
    int count = 0, longestRun = 0;
};
SGrey GreyInPlot(CTrePrintView& pane)
{
    const QImage img = pane.grab().toImage();
    const QRect plot = pane.PlotRect();
    SGrey g;
    for (int y = plot.top() + 1; y < plot.bottom(); ++y) {
        int run = 0;
        for (int x = plot.left() + 1; x < plot.right(); ++x) {
            const bool grey = (img.pixel(x, y) & 0xffffff) == (kGrey.rgb() & 0xffffff);
            run = grey ? run + 1 : 0;
            g.count += grey;
            g.longestRun = std::max(g.longestRun, run);
        }
    }
    return g;
}

} // namespace

class TestCompareMenu : public QObject {
    Q_OBJECT
private slots:
    void loadShowHideAndClose();
};

void TestCompareMenu::loadShowHideAndClose()
{
    QTemporaryDir dir;
    const QString current = dir.filePath("aktuell.tsd"), earlier = dir.filePath("vorjahr.tsd");
    WriteSurvey(current, "-0.90", "Leitung aktuell");
    WriteSurvey(earlier, "-0.95", "Leitung Vorjahr");
    const std::string earlierBytes = Bytes(earlier);

    CCompareSeam seam;
    CUiSeam::Install(&seam);
    CTreDoc doc;
    CMainFrame frame(doc, CTresApp::Get());
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(frame.OpenDocumentFile(current));
    CTrePrintView* potential = frame.UpperPane()->IsGradientPane() ? frame.LowerPane() : frame.UpperPane();

    QVERIFY(MenuTexts(frame, "&Datei").contains(QString::fromUtf8("Vergleichsmessung laden...")));
    QVERIFY(MenuTexts(frame, "&Datei").contains(QString::fromUtf8("Vergleichsmessung schließen")));
    QVERIFY(MenuTexts(frame, "&Ansicht").contains("Vergleich in Kurven"));
    QVERIFY(!frame.Action(CMainFrame::ID_COMPARE_CLOSE)->isEnabled());
    QVERIFY(!frame.Action(CMainFrame::ID_VIEW_COMPARE)->isEnabled());
    QCOMPARE(GreyInPlot(*potential).count, 0);

    // Loaded as an earlier survey: on at once, dotted, beside the document.
    seam.answers << earlier;
    frame.Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QCOMPARE(seam.options, QStringList{"Nativmessung"});
    QCOMPARE(seam.offered, QList<bool>{false});
    QVERIFY(frame.Comparison().IsLoaded());
    QCOMPARE(CTreDoc::GetDoc(), &doc);
    QCOMPARE(QString::fromStdString(doc.m_header[3]), QString("Leitung aktuell"));
    QVERIFY(!doc.IsModified());
    QVERIFY(frame.Action(CMainFrame::ID_VIEW_COMPARE)->isChecked());
    SGrey g = GreyInPlot(*potential);
    QVERIFY(g.count > 20);
    QCOMPARE(g.longestRun, 1);

    frame.Action(CMainFrame::ID_VIEW_COMPARE)->trigger();
    QVERIFY(!frame.Action(CMainFrame::ID_VIEW_COMPARE)->isChecked());
    QCOMPARE(GreyInPlot(*potential).count, 0);
    frame.Action(CMainFrame::ID_VIEW_COMPARE)->trigger();
    QVERIFY(GreyInPlot(*potential).count > 20);

    // A file that cannot be read keeps the survey loaded so far.
    seam.answers << dir.filePath("fehlt.tsd");
    frame.Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(frame.Comparison().Path(), QFileInfo(earlier).absoluteFilePath());

    // Again as a native survey: dashed.
    seam.answers << earlier;
    seam.nativeAnswer = true;
    frame.Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QVERIFY(frame.Comparison().IsNative());
    g = GreyInPlot(*potential);
    QVERIFY(g.longestRun >= 3);

    // Saving the document leaves the comparison file alone.
    QVERIFY(doc.OnSaveDocument(current.toStdString()));
    frame.Action(CMainFrame::ID_COMPARE_CLOSE)->trigger();
    QVERIFY(!frame.Comparison().IsLoaded());
    QVERIFY(!frame.Action(CMainFrame::ID_VIEW_COMPARE)->isEnabled());
    QCOMPARE(GreyInPlot(*potential).count, 0);
    QCOMPARE(Bytes(earlier), earlierBytes);
    CUiSeam::Install(nullptr);
}

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CTresApp app(argc, argv);
    TestCompareMenu test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_comparemenu.moc"
