// SPDX-License-Identifier: GPL-3.0-or-later
#include "manualwnd.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

QString ManualPlace(const QString& programFolder)
{
    // The build's relative path from the program's folder to the installed
    // page, the same in the build tree.
    return QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(TRES_MANUAL_FROM_BINDIR)));
}

QString ManualFile(const QString& programFolder)
{
    const QString file = ManualPlace(programFolder);
    return QFileInfo(file).isFile() ? file : QString();
}

CManualWnd::CManualWnd(const QString& file, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Tresmon – Handbuch"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setOpenExternalLinks(true);
    // The page's headings link to themselves, for a browser's address bar;
    // here they are headings only.
    m_pBrowser->document()->setDefaultStyleSheet(
        QStringLiteral("a.permalink { color: palette(text); text-decoration: none; }"
                       "h1 { font-size: x-large; } h2 { font-size: large; }"));
    m_pBrowser->setSource(QUrl::fromLocalFile(file));
    layout->addWidget(m_pBrowser);
    resize(720, 640);
}
