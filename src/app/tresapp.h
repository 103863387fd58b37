// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: where settings live, the program and data
// folders, the folder for files from the handheld, the command line, the
// About box and the one printer every print uses.
#pragma once

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

class CTresApp : public QApplication {
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

    // The one printer all prints use; the landscape and portrait commands
    // act on it.
    QPrinter& Printer();
    void OnPrinterLandscape();
    void OnPrinterPortrait();

    // "Inf&o ...", "&Konstante addieren", "Bearbeiten..." of "Fehlerliste".
    void OnAppAbout();
    // "Datentransfer...": the handheld transfer dialog; remembers the port
    // that answered for the next time.
    void OnTransfer();
    void OnAddConstant();
    void EditErrorList();

    // The recent-file list (8 entries, newest first).
    QStringList RecentFiles() const;
    void AddToRecentFiles(const QString& path);

    bool SplashEnabled() const { return m_bSplash; }
    // Warnings and errors a run without a user (--screenshot) has written to
    // standard error instead of showing them.
    int ConsoleErrors() const;

    QString m_strProgramFolder; // folder of the executable
    QString m_strDataFolder;    // working folder at start-up
    QString m_strLastPort;      // serial port that answered last in the transfer dialog
    QString m_strLastFilePath;  // last path opened or saved through a file dialog
    QString m_strLogatoFolder;  // where files from the handheld are received

private:
    std::unique_ptr<CTreDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<QPrinter> m_pPrinter;
    std::unique_ptr<QTranslator> m_pQtTranslator;
    std::unique_ptr<CConsoleSeam> m_pConsoleSeam; // installed while nobody answers dialogs
    QString m_strCommandFile;
    bool m_bSplash = false; // InitInstance decides from the command line
};
