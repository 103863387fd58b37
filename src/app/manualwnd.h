// SPDX-License-Identifier: GPL-3.0-or-later
// "?" > "Handbuch" (F1): the program's German manual, the HTML page made
// from its manual page when the program is built, shown in a window of the
// program's own, so it needs neither a browser nor a network.
#pragma once

#include <QWidget>

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

private:
    QTextBrowser* m_pBrowser;
};
