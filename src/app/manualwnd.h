// SPDX-License-Identifier: GPL-3.0-or-later
// "?" > "Handbuch" (F1): the program's German manual, the HTML page made
// from its manual page when the program is built, shown in a window of the
// program's own, so it needs neither a browser nor a network. Esc closes
// it; Ctrl+F opens a find bar (Enter: the next place, Shift+Enter: the one
// before, from the end round to the start).
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;

// Where the manual belongs for a program in `programFolder`: beside an
// installed program in <bindir>/../share/tresmon, and in the build tree at
// the same place relative to the program.
QString ManualPlace(const QString& programFolder);
// ManualPlace when the page is there, else empty.
QString ManualFile(const QString& programFolder);

class CManualWnd : public QWidget {
    Q_OBJECT
public:
    // A window of its own over `parent`, showing the HTML page `file`.
    CManualWnd(const QString& file, QWidget* parent);

    QTextBrowser* Browser() const { return m_pBrowser; }
    QLineEdit* FindField() const { return m_pFind; }
    // "nicht gefunden" after a search that found nothing, else empty.
    QLabel* FindState() const { return m_pFindState; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenFindBar();
    // The next place of the find field's text after the selection, or the
    // one before it; false, and told so, when there is none.
    bool Find(bool backward);

    QTextBrowser* m_pBrowser;
    QWidget* m_pFindBar;
    QLineEdit* m_pFind;
    QLabel* m_pFindState;
};
