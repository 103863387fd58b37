// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: where settings live, the program and data
// folders, the folder for files from the handheld, the command line and
// the one printer every print uses. It makes the main window with them;
// the window never calls back into it.
#pragma once

#include "framesetup.h"

#include <QApplication>
#include <QString>
#include <QStringList>

#include <memory>

class CConsoleSeam;
class CTreDoc;
class CMainFrame;
struct CStartOptions;
class QPrinter;
class QSettings;
class QTranslator;

class CTresApp : public QApplication, public CAppFolders {
    Q_OBJECT
public:
    CTresApp(int& argc, char** argv);
    ~CTresApp() override;

    static CTresApp* Get();

    // The start-up sequence with what the command line asked for; false
    // when its file cannot be opened, and the program then ends.
    bool InitInstance(const CStartOptions& options);

    // The settings store (company "Norvaken").
    static std::unique_ptr<QSettings> Settings();

    CTreDoc& Doc() { return *m_pDoc; }
    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }

    // The one printer all prints use.
    QPrinter& Printer();
    // What the main window is made with: the folders, the printer, the splash.
    SFrameSetup FrameSetup();

    // The recent-file list (8 entries, newest first).
    QStringList RecentFiles() const;

    bool SplashEnabled() const { return m_bSplash; }
    // Warnings and errors a run without a user (--screenshot) has written to
    // standard error instead of showing them.
    int ConsoleErrors() const;

private:
    std::unique_ptr<CTreDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<QPrinter> m_pPrinter;
    std::unique_ptr<QTranslator> m_pQtTranslator;
    std::unique_ptr<CConsoleSeam> m_pConsoleSeam; // installed while nobody answers dialogs
    QString m_strCommandFile;
    bool m_bSplash = false; // InitInstance decides from the command line
};
