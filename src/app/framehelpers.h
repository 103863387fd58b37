// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers the main window's command files share.
#pragma once

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QString>
#include <QStringList>

namespace framehelp {

// At most `most` lines of a list of reasons, with how many more there are.
inline QString Lines(const QStringList& lines, int most = 12)
{
    QStringList shown = lines.mid(0, most);
    if (lines.size() > most) shown << QString::fromUtf8("… und %1 weitere").arg(lines.size() - most);
    return shown.join(QLatin1Char('\n'));
}

// The overridden-cursor scope of the long document commands.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// A wrapped note of the docks, added to `layout`: wrapped, a note never
// makes a dock wider than its lists. `name` finds it in tests and pictures.
inline QLabel* AddNote(QBoxLayout* layout, QWidget* parent, const char* name, bool rich = false)
{
    auto* label = new QLabel(parent);
    if (name) label->setObjectName(QLatin1String(name));
    if (rich) label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

} // namespace framehelp
