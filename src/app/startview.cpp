// SPDX-License-Identifier: GPL-3.0-or-later
// The window as the start options ask for it once the survey is open: the
// demo shows what the program is for, the verdict with its dig list beside
// the curves that carry it, and the survey on its route.
#include "mainframe.h"

#include "assesswnd.h"
#include "startoptions.h"

#include <QAction>
#include <QFileInfo>
#include <QLayout>
#include <QTabWidget>

#include <algorithm>

void CMainFrame::ShowAtStart(const CStartOptions& options)
{
    // A refusal is told by LoadPipeline itself; the survey stays open.
    const bool pipeline = !options.pipeline.isEmpty() && LoadPipeline(QFileInfo(options.pipeline).absoluteFilePath());
    if (options.showAssessment) {
        OnAssess();
        Action(ID_ASSESS_OVERLAY)->setChecked(true);
        if (pipeline) OnViewMap(true);
        if (auto* pages = m_pAssess->findChild<QTabWidget*>(QStringLiteral("lists")))
            pages->setCurrentIndex(1); // "Aufgrabungsliste"
    }
    // Last: the "Bewertung" window widens the window by its own width.
    if (options.width > 0) resize(options.width, options.height);
    // Opened in the smaller window, the dock takes its lists' width in this
    // one, as it would have opened here.
    if (options.showAssessment && options.width > 0 && !m_pAssess->isFloating()) {
        if (layout()) layout()->activate();
        resizeDocks({m_pAssess}, {std::min(m_pAssess->ListsWidth(), width() / 2)}, Qt::Horizontal);
    }
}
