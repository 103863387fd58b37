// SPDX-License-Identifier: GPL-3.0-or-later
#include "manualwnd.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextCursor>
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

    m_pFindBar = new QWidget(this);
    auto* bar = new QHBoxLayout(m_pFindBar);
    bar->setContentsMargins(6, 2, 6, 4);
    bar->addWidget(new QLabel(QStringLiteral("Suchen:"), m_pFindBar));
    m_pFind = new QLineEdit(m_pFindBar);
    m_pFind->setPlaceholderText(QString::fromUtf8("Wort im Handbuch – Eingabe: weiter, Umschalt+Eingabe: zurück"));
    m_pFind->installEventFilter(this);
    bar->addWidget(m_pFind, 1);
    m_pFindState = new QLabel(m_pFindBar);
    bar->addWidget(m_pFindState);
    m_pFindBar->hide();
    layout->addWidget(m_pFindBar);
    // Typing searches as it goes, from where the last place found began.
    connect(m_pFind, &QLineEdit::textEdited, this, [this] {
        QTextCursor c = m_pBrowser->textCursor();
        c.setPosition(c.selectionStart());
        m_pBrowser->setTextCursor(c);
        Find(false);
    });

    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &CManualWnd::OpenFindBar);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(720, 640);
}

void CManualWnd::OpenFindBar()
{
    m_pFindBar->show();
    m_pFind->setFocus(Qt::ShortcutFocusReason);
    m_pFind->selectAll();
}

bool CManualWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pFind && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Find(key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool CManualWnd::Find(bool backward)
{
    const QString text = m_pFind->text();
    m_pFindState->clear();
    if (text.isEmpty()) return false;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (m_pBrowser->find(text, flags)) return true;
    // Round the end to the other end, as a reader expects.
    const QTextCursor before = m_pBrowser->textCursor();
    m_pBrowser->moveCursor(backward ? QTextCursor::End : QTextCursor::Start);
    if (m_pBrowser->find(text, flags)) return true;
    m_pBrowser->setTextCursor(before);
    m_pFindState->setText(QStringLiteral("nicht gefunden"));
    return false;
}
