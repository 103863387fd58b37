// SPDX-License-Identifier: GPL-3.0-or-later
// The columns as they were left, brought back after a restart: the window
// takes its maximised size and the docks their stored width only after the
// splitters were first placed, so the placing is repeated until then, and
// held to the least widths the panes need to be read.
#include "mainframe.h"

#include "appsettings.h"
#include "framelimits.h"

#include <QScreen>
#include <QSettings>
#include <QSplitter>

#include <algorithm>

bool CMainFrame::IsPlacementSettled() const
{
    if (!m_bPlacedOnScreen) return false;
    if (!isMaximized()) return true;
    // Maximised only once the window system has given the screen's size.
    const QScreen* s = screen();
    return s && frameGeometry().size() == s->availableGeometry().size();
}

void CMainFrame::PlaceRestoredSplit()
{
    auto settings = AppSettings();
    const int x1 = settings->value(QStringLiteral("Settings/SplitX1"), kDefaultSplitX1).toInt();
    const int y1 = settings->value(QStringLiteral("Settings/SplitY1"), kDefaultSplitY1).toInt();
    const int handle = m_pOuter->handleWidth();
    const int room = std::max(0, m_pOuter->width() - handle);
    // At the width it was left the curve column is as it was; at another
    // (maximised, or fitted into a smaller screen) the table keeps its width
    // and the curves take the difference.
    int table = room - x1;
    if (width() != m_nSavedWidth)
        table = m_nRestoredTable > 0 ? m_nRestoredTable : kDefaultWidth - handle - kDefaultSplitX1;
    const int least = std::max(framelimit::kTableMinWidth, (width() + 3) / 4);
    table = std::min(table, room - framelimit::kCurvesMinWidth);
    table = std::min(std::max(table, least), room);
    m_lastOuterSizes = {room - table, table};
    m_pOuter->setSizes(m_lastOuterSizes);
    m_pInner->setSizes({y1, std::max(0, m_pInner->height() - m_pInner->handleWidth() - y1)});
    m_nLastClientWidth = width();
    m_nTableLent = 0;
}
