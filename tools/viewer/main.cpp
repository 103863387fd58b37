// SPDX-License-Identifier: GPL-3.0-or-later
// tres-viewer FILE [--grab OUT.png] [--size WIDTHxHEIGHT] [--lr] [--no-irfrei]
// Shows a survey file in the table and both curve panes, laid out as the
// main window lays them out (curve panes left, gradient above potential,
// table right). With --grab the window is written to a PNG and the program
// ends, which is how the panes are looked at on a machine without a screen.
#include "curvepane.h"
#include "surveyopen.h"
#include "tableview.h"
#include "tredoc.h"
#include "tresversion.h"
#include "viewhub.h"

#include <QApplication>
#include <QSplitter>
#include <QTimer>

#include <cstdio>
#include <string>

namespace {

class CViewerHost : public CTreViewHub {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

const char kUsage[] = "Aufruf: tres-viewer [DATEI.tsd] [--grab BILD.png] [--size BREITExHÖHE] [--lr] [--no-irfrei]\n";

} // namespace

int main(int argc, char** argv)
{
    // Answered before a window is asked for, so also without a screen.
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--")) break;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == QLatin1String("--version")) {
            std::puts("tres-viewer " TRES_VERSION);
            return 0;
        }
        if (a == QLatin1String("--grab") || a == QLatin1String("--size")) {
            ++i;
        } else if (a.startsWith(QLatin1String("--")) && a != QLatin1String("--lr")
                   && a != QLatin1String("--no-irfrei")) {
            // One dash is Qt's own (-platform offscreen).
            std::fprintf(stderr, "tres-viewer: Unbekannte Option: %s\n%s", argv[i], kUsage);
            return 1;
        }
    }
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString file, grab;
    bool lr = false, noIrFree = false, endOfOptions = false;
    int w = 1100, h = 620;
    for (int i = 1; i < args.size(); ++i) {
        if (endOfOptions) file = args[i];
        else if (args[i] == "--") endOfOptions = true;
        else if (args[i] == "--grab" && i + 1 < args.size()) grab = args[++i];
        else if (args[i] == "--lr") lr = true;
        else if (args[i] == "--no-irfrei") noIrFree = true;
        else if (args[i] == "--size" && i + 1 < args.size()) {
            const QStringList wh = args[++i].split('x');
            if (wh.size() == 2) {
                w = wh[0].toInt();
                h = wh[1].toInt();
            }
        } else file = args[i];
    }

    CTreDoc doc;
    CViewerHost host;
    doc.SetHost(&host);
    if (file.isEmpty()) doc.OnNewDocument();
    else if (!tresimport::OpenSurvey(doc, file.toStdString())) return 2;

    QSplitter outer(Qt::Horizontal);
    auto* inner = new QSplitter(Qt::Vertical, &outer);
    // Creation order as in the main window: upper curve pane, table, lower
    // curve pane; the upper one becomes the gradient pane.
    auto* upper = new CTrePrintView(doc, inner);
    auto* table = new CTrePlotView(doc, &outer);
    auto* lower = new CTrePrintView(doc, inner);
    for (CTreViewBase* v :
         {static_cast<CTreViewBase*>(upper), static_cast<CTreViewBase*>(table), static_cast<CTreViewBase*>(lower)})
        host.AddView(v);
    host.InitialUpdateAll();
    // The table options as the menu "Optionen" > "Tabelle" switches them.
    if (lr || noIrFree) {
        doc.m_bTableLR = lr;
        doc.m_bTableIRFree = !noIrFree;
        doc.UpdateAllViews();
    }
    outer.addWidget(inner);
    outer.addWidget(table);
    outer.setWindowTitle(QStringLiteral("Tresmon – %1").arg(file.isEmpty() ? QStringLiteral("Unbenannt") : file));
    outer.resize(w, h);
    outer.setSizes({w * 55 / 100, w * 45 / 100});
    inner->setSizes({h / 2, h / 2});
    outer.show();

    if (!grab.isEmpty()) {
        QTimer::singleShot(300, [&]() {
            outer.grab().save(grab);
            app.quit();
        });
    }
    return app.exec();
}
