// SPDX-License-Identifier: GPL-3.0-or-later
#include "startoptions.h"
#include "tresapp.h"

#include <QMainWindow>
#include <QTimer>

#include <cstdio>

namespace {

// The picture of the main window once it has settled, then the end; the
// demo and the documentation take their pictures this way, on any platform
// (also without a display, on Qt's offscreen platform). A warning shown
// on the way makes the run fail, though the picture is written.
void TakeScreenshotAndQuit(const CTresApp& app, const QString& path)
{
    QTimer::singleShot(800, [&app, path] {
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMainWindow*>(w) && w->isVisible()) window = w;
        const bool saved = window && window->grab().save(path, "PNG");
        // Closed as a user closes it, so the layout is kept for the next
        // start: a picture after a restart is two such runs.
        if (window) window->close();
        if (!saved)
            std::fprintf(stderr, "tresmon: Das Bild des Fensters konnte nicht nach %s geschrieben werden.\n",
                         qPrintable(path));
        QCoreApplication::exit(saved && app.ConsoleErrors() == 0 ? 0 : 1);
    });
}

} // namespace

int main(int argc, char** argv)
{
    // Read before the application exists: --help and --version need no
    // display, and a wrong option is told before a window opens.
    CStartOptions options;
    if (const auto exit = ReadStartOptions(StartWords(argc, argv), options)) return *exit;
    CTresApp app(argc, argv);
    if (!app.InitInstance(options)) return 1;
    if (!options.screenshot.isEmpty()) TakeScreenshotAndQuit(app, options.screenshot);
    return app.exec();
}
