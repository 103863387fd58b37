// SPDX-License-Identifier: GPL-3.0-or-later
#include "tresapp.h"

#include "aboutdlg.h"
#include "addconstdlg.h"
#include "consoleseam.h"
#include "datafolders.h"
#include "errorlistdlg.h"
#include "mainframe.h"
#include "startoptions.h"
#include "transferdlg.h"
#include "tredoc.h"
#include "tresversion.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPageLayout>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

namespace {
constexpr int kRecentFiles = 8;
} // namespace

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

std::unique_ptr<QSettings> CTresApp::Settings()
{
    return std::make_unique<QSettings>(QStringLiteral("Norvaken"), QStringLiteral("Tresmon"));
}

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
    m_pMainFrame = std::make_unique<CMainFrame>(*m_pDoc, this);
    m_pMainFrame->show();

    if (m_strCommandFile.isEmpty()) {
        m_pMainFrame->OnFileNew();
        return true;
    }
    const QString path = QFileInfo(m_strCommandFile).absoluteFilePath();
    return m_pMainFrame->OpenDocumentFile(path);
}

QPrinter& CTresApp::Printer()
{
    if (!m_pPrinter) m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pPrinter;
}

void CTresApp::OnPrinterLandscape() { Printer().setPageOrientation(QPageLayout::Landscape); }

void CTresApp::OnPrinterPortrait() { Printer().setPageOrientation(QPageLayout::Portrait); }

void CTresApp::OnAppAbout()
{
    CAboutDlg dlg(activeWindow());
    dlg.exec();
}

void CTresApp::OnTransfer()
{
    QWidget* main = m_pMainFrame ? static_cast<QWidget*>(m_pMainFrame.get()) : activeWindow();
    const QRect rect = main ? main->frameGeometry() : QRect();
    CTransferDlg dlg(main, rect, m_strLogatoFolder, m_strLastPort);
    dlg.exec();
    m_strLastPort = dlg.Port();
}

void CTresApp::OnAddConstant()
{
    CTreDoc* pDoc = CTreDoc::GetDoc();
    if (!pDoc || pDoc->m_bEmpty) return;
    CTreDoc& doc = *pDoc;
    CAddConstDlg dlg(activeWindow());
    dlg.SetStart(doc.AddConstantStart());
    dlg.SetEnd(doc.AddConstantEnd());
    if (dlg.exec() == QDialog::Accepted) doc.AddConstant(dlg.Quantity(), dlg.Start(), dlg.End(), dlg.Constant());
    else doc.UpdateAllViews();
}

void CTresApp::EditErrorList()
{
    CTreDoc* pDoc = CTreDoc::GetDoc();
    if (!pDoc || pDoc->m_bEmpty) return;
    CTreDoc& doc = *pDoc;
    CErrorListDlg dlg(doc.m_bTableLR, activeWindow());
    dlg.SetTexts(LimitsToBoxTexts(doc.m_limits));
    if (dlg.exec() != QDialog::Accepted) return;
    const LimitArray limits = BoxTextsToLimits(dlg.Texts());
    // Changed windows must reach the file: as a step they mark the document,
    // so they are not lost when the program closes.
    doc.ChangeFields(EStepKind::ErrorLimits, [&limits](CTreDoc& d) { d.m_limits = limits; });
}

QStringList CTresApp::RecentFiles() const
{
    auto settings = Settings();
    QStringList files;
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString f = settings->value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
        if (!f.isEmpty()) files << f;
    }
    return files;
}

void CTresApp::AddToRecentFiles(const QString& path)
{
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFiles) files.removeLast();
    auto settings = Settings();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString key = QStringLiteral("Recent File List/File%1").arg(i);
        if (i <= files.size()) settings->setValue(key, files[i - 1]);
        else settings->remove(key);
    }
}
