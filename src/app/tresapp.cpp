// SPDX-License-Identifier: GPL-3.0-or-later
#include "tresapp.h"

#include "appsettings.h"
#include "consoleseam.h"
#include "datafolders.h"
#include "doc/tredoc.h"
#include "mainframe.h"
#include "recentfiles.h"
#include "startoptions.h"
#include "tresversion.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

CTresApp::CTresApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Norvaken"));
    setApplicationName(QStringLiteral("Tresmon"));
    setApplicationDisplayName(QStringLiteral("Tresmon"));
    setApplicationVersion(QStringLiteral(TRES_VERSION));
    // Qt's own dialogs and menus (file and print dialogs, the preview's
    // tool bar, a text field's context menu) speak German like the rest.
    // Without the translations installed they stay English.
    m_pQtTranslator = std::make_unique<QTranslator>();
    if (m_pQtTranslator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(m_pQtTranslator.get());
}

CTresApp::~CTresApp()
{
    m_pMainFrame.reset();
    m_pDoc.reset();
    if (m_pConsoleSeam && &CUiSeam::Current() == m_pConsoleSeam.get()) CUiSeam::Install(nullptr);
}

int CTresApp::ConsoleErrors() const { return m_pConsoleSeam ? m_pConsoleSeam->Errors() : 0; }

CTresApp* CTresApp::Get() { return qobject_cast<CTresApp*>(QCoreApplication::instance()); }

std::unique_ptr<QSettings> CTresApp::Settings() { return AppSettings(); }

bool CTresApp::InitInstance(const CStartOptions& options)
{
    // The executable's folder as it is: on a case-sensitive file system an
    // upper-cased path would name another folder.
    m_strProgramFolder = QDir::cleanPath(applicationDirPath());

    m_bSplash = options.splash;
    // A picture is taken without anybody at the screen: a message box
    // would wait for ever.
    if (!options.screenshot.isEmpty()) {
        m_pConsoleSeam = std::make_unique<CConsoleSeam>();
        CUiSeam::Install(m_pConsoleSeam.get());
    }
    m_strCommandFile = options.file;

    m_strDataFolder = QDir::cleanPath(QDir::currentPath());
    m_strLastFilePath = m_strDataFolder;

    m_strLogatoFolder = LogatoFolder(m_strProgramFolder);
    m_strLastPort.clear();
    {
        auto settings = Settings();
        settings->setValue(QStringLiteral("Folders/Program"), m_strProgramFolder);
        settings->setValue(QStringLiteral("Folders/Data"), m_strDataFolder);
    }

    m_pDoc = std::make_unique<CTreDoc>();
    m_pMainFrame = std::make_unique<CMainFrame>(*m_pDoc, FrameSetup());
    m_pMainFrame->show();

    if (m_strCommandFile.isEmpty()) {
        m_pMainFrame->OnFileNew();
        m_pMainFrame->ShowAtStart(options);
        return true;
    }
    const QString path = QFileInfo(m_strCommandFile).absoluteFilePath();
    if (!m_pMainFrame->OpenDocumentFile(path)) return false;
    m_pMainFrame->ShowAtStart(options);
    return true;
}

QPrinter& CTresApp::Printer()
{
    if (!m_pPrinter) m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pPrinter;
}

SFrameSetup CTresApp::FrameSetup() { return SFrameSetup{this, &Printer(), m_bSplash}; }

QStringList CTresApp::RecentFiles() const { return ::RecentFiles(); }
