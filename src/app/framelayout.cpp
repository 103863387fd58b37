// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's placement on the screen, its splitters and docks: the
// panes, the "Bewertung" window and the map, and what each gives the other
// when one is shown or resized.
#include "mainframe.h"

#include "appsettings.h"
#include "assesswnd.h"
#include "doc/tredoc.h"
#include "map/mapdock.h"
#include "map/mapview.h"
#include "views/curvepane.h"
#include "views/tableview.h"
#include "views/verdictlegend.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLayout>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

// One settings value of section "Settings", read with its default and
// written back at once, so the store always holds the values in use.
int ReadSetting(QSettings& s, const char* name, int def, bool writeBack)
{
    const QString key = QStringLiteral("Settings/") + QLatin1String(name);
    const int v = s.value(key, def).toInt();
    if (writeBack) s.setValue(key, v);
    return v;
}

// The central splitter, which tells when its width changes: a dock beside
// it changes that without the window's resize.
class CResizeReportingSplitter : public QSplitter {
public:
    CResizeReportingSplitter(Qt::Orientation o, QWidget* parent, std::function<void()> resized)
        : QSplitter(o, parent)
        , m_resized(std::move(resized))
    { }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QSplitter::resizeEvent(event);
        m_resized();
    }

private:
    std::function<void()> m_resized;
};

} // namespace

void CMainFrame::ReadPlacement()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect whole = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    auto settings = AppSettings();
    const int x = ReadSetting(*settings, "XPos", (whole.width() - kDefaultWidth) / 2, true);
    const int y = ReadSetting(*settings, "YPos", (whole.height() - kDefaultHeight) / 2 - 15, true);
    const int w = ReadSetting(*settings, "XWidth", kDefaultWidth, true);
    const int h = ReadSetting(*settings, "YWidth", kDefaultHeight, true);
    m_nSavedWidth = w;
    m_nRestoredTable = settings->value(QStringLiteral("Settings/SplitX2"), -1).toInt();
    move(x, y);
    resize(w, h);
    // Placed where it was left, but on a screen that is there now and
    // within it: a window saved on a larger screen would hide its table
    // and status bar beyond the edge.
    if (QScreen* at = QGuiApplication::screenAt(QRect(x, y, w, h).center())) screen = at;
    if (screen) FitInto(screen->availableGeometry());
    if (settings->value(QStringLiteral("Settings/Maximized"), false).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::FitInto(const QRect& area)
{
    if (!area.isValid() || isMaximized() || isFullScreen()) return;
    // The frame around the window is known only once it is shown.
    const QRect frame = frameGeometry();
    const QSize border = frame.size() - size();
    const QSize most = (area.size() - border).expandedTo(QSize(100, 50));
    if (width() > most.width() || height() > most.height()) resize(size().boundedTo(most));
    QPoint at = frameGeometry().topLeft();
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - frameGeometry().width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frameGeometry().height())));
    if (at != frameGeometry().topLeft()) move(at);
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_bPlacedOnScreen) return;
    m_bPlacedOnScreen = true;
    // Again with the frame the window system has put around it.
    if (QScreen* s = screen()) FitInto(s->availableGeometry());
    if (m_bSplitPending && IsPlacementSettled()) {
        PlaceRestoredSplit();
        m_nSettledWidth = width();
    }
}

void CMainFrame::createPanes()
{
    m_pOuter = new CResizeReportingSplitter(Qt::Horizontal, this, [this] { OnCentralResized(); });
    m_pOuter->setObjectName(QStringLiteral("outerSplitter"));
    m_pInner = new QSplitter(Qt::Vertical, m_pOuter);
    m_pInner->setObjectName(QStringLiteral("innerSplitter"));
    // Creation order makes the upper pane the first curve pane (gradients).
    m_pUpper = new CTrePrintView(m_doc, m_pInner);
    m_pTable = new CTrePlotView(m_doc, m_pOuter);
    m_pLower = new CTrePrintView(m_doc, m_pInner);
    // The verdict's legend strip sits under the potential pane while the
    // verdict is laid over the curves.
    auto* lowerBox = new QWidget(m_pInner);
    auto* lowerLayout = new QVBoxLayout(lowerBox);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    lowerLayout->setSizeConstraint(QLayout::SetNoConstraint);
    m_pLower->setParent(lowerBox);
    lowerLayout->addWidget(m_pLower, 1);
    m_pLegend = new CVerdictLegend(lowerBox);
    m_pLegendArea = new CVerdictLegendArea(m_pLegend, lowerBox);
    m_pLegendArea->hide();
    lowerLayout->addWidget(m_pLegendArea);
    m_pOuter->addWidget(m_pInner);
    m_pOuter->addWidget(m_pTable);
    m_pInner->addWidget(m_pUpper);
    m_pInner->addWidget(lowerBox);
    AddView(m_pSession.get());
    AddView(m_pUpper);
    AddView(m_pTable);
    AddView(m_pLower);
    for (QSplitter* s : {m_pOuter, m_pInner}) {
        s->setChildrenCollapsible(true);
        for (int i = 0; i < s->count(); ++i) s->widget(i)->setMinimumSize(0, 0);
    }
    // The curve column takes what the window gains; the table keeps its width.
    m_pOuter->setStretchFactor(0, 1);
    m_pOuter->setStretchFactor(1, 0);
    m_pInner->setStretchFactor(0, 0);
    m_pInner->setStretchFactor(1, 1);
    setCentralWidget(m_pOuter);
    connect(m_pOuter, &QSplitter::splitterMoved, this, [this] {
        // The user has set the split: the table owes nothing.
        m_lastOuterSizes = m_pOuter->sizes();
        m_nTableLent = 0;
        m_bSplitPending = false;
    });
    connect(m_pTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainFrame::OnTableSelectionChanged);
    createCursorLinks();
}

void CMainFrame::createAssessment()
{
    // Hidden until asked for, so the window looks as it always did.
    m_pAssess = new CAssessWnd(*m_pSession, this);
    m_pAssess->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, m_pAssess);
    m_pAssess->hide();
    connect(m_pAssess, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        Action(ID_VIEW_ASSESS)->setChecked(!m_pAssess->isHidden());
        if (!visible) KeepAssessWidth();
    });
    connect(m_pAssess, &CAssessWnd::StretchChosen, this, &CMainFrame::ShowStretch);
    connect(m_pAssess, &CAssessWnd::DigFindingAsked, this, &CMainFrame::OnDigFinding);
    connect(m_pAssess, &CAssessWnd::CompareReversedAsked, this, [this] { m_pSession->CompareReversed(); });
    const bool overlay = AppSettings()->value(QStringLiteral("Bewertung/inCurves"), false).toBool();
    Action(ID_ASSESS_OVERLAY)->setChecked(overlay);
    createMap();
    // The docks and tool bars as they were left (open or closed, where).
    const QByteArray state = AppSettings()->value(QStringLiteral("Settings/WindowState")).toByteArray();
    if (!state.isEmpty()) restoreState(state);
    Action(ID_VIEW_ASSESS)->setChecked(!m_pAssess->isHidden());
    Action(ID_VIEW_MAP)->setChecked(!m_pMap->isHidden());
}

void CMainFrame::createMap()
{
    m_pMap = new tresmap::CMapDock(this);
    m_pMap->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, m_pMap);
    m_pMap->hide();
    connect(m_pMap, &QDockWidget::visibilityChanged, this, [this] {
        Action(ID_VIEW_MAP)->setChecked(!m_pMap->isHidden());
        UpdateMap();
    });
    connect(m_pMap->View(), &tresmap::CMapView::DefectClicked, this,
            [this](int row) { ShowStretch(row, row, m_doc.GetMeter(row), m_doc.GetMeter(row)); });
    UpdateMap();
}

void CMainFrame::OnViewMap(bool on)
{
    if (!on) {
        m_pMap->hide();
        return;
    }
    if (m_pMap->isVisible()) {
        m_pMap->raise();
        return;
    }
    m_bSplitPending = false;
    // Under the assessment when that is open, else a column of its own.
    if (m_pAssess->isVisible() && !m_pAssess->isFloating() && !m_pMap->isFloating()
        && dockWidgetArea(m_pAssess) == dockWidgetArea(m_pMap))
        splitDockWidget(m_pAssess, m_pMap, Qt::Vertical);
    m_pMap->show();
    // Under the assessment the map gets two fifths of the height: room to
    // read it, while the assessment keeps its summary whole.
    if (!m_pMap->isFloating() && m_pAssess->isVisible() && dockWidgetArea(m_pAssess) == dockWidgetArea(m_pMap))
        resizeDocks({m_pAssess, m_pMap}, {height() * 3 / 5, height() * 2 / 5}, Qt::Vertical);
    if (!m_pAssess->isVisible() && !m_pMap->isFloating()) resizeDocks({m_pMap}, {360}, Qt::Horizontal);
    m_pMap->raise();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    const int w = width();
    if (w <= 0) return;
    const int handle = m_pOuter->handleWidth();
    // Until the window has its final size the splitters are placed as they
    // were left; a later change of the width is the user's.
    if (m_bSplitPending && (m_nSettledWidth < 0 || w == m_nSettledWidth)) {
        PlaceRestoredSplit();
        if (m_nSettledWidth < 0 && IsPlacementSettled()) m_nSettledWidth = w;
        return;
    }
    m_bSplitPending = false;
    if (w == m_nLastClientWidth) return;
    // The curve column alone follows the window's width (the table keeps
    // its own); should it go below nothing it keeps a sliver of 10 pixels.
    int col0 = m_lastOuterSizes.value(0) + (w - m_nLastClientWidth);
    if (col0 < 0) col0 = 10;
    m_pOuter->setSizes({col0, std::max(0, m_pOuter->width() - handle - col0)});
    m_lastOuterSizes = {col0, std::max(0, m_pOuter->width() - handle - col0)};
    m_nLastClientWidth = w;
}

void CMainFrame::KeepAssessWidth()
{
    // Closed, it opens again at the width it had: docked beside the table
    // and set by the user, not while it is being arranged.
    if (!m_pAssess || m_bArranging || m_pAssess->isFloating() || m_pAssess->width() <= 0) return;
    if (dockWidgetArea(m_pAssess) == Qt::BottomDockWidgetArea) return;
    AppSettings()->setValue(QStringLiteral("Settings/AssessWidth"), m_pAssess->width());
}

void CMainFrame::SaveLayout()
{
    if (m_pAssess && m_pAssess->isVisible()) KeepAssessWidth();
    {
        // Docks and tool bars as they are, and whether the window fills the
        // screen; the size it has then is no size to come back to.
        auto settings = AppSettings();
        settings->setValue(QStringLiteral("Settings/WindowState"), saveState());
        settings->setValue(QStringLiteral("Settings/Maximized"), isMaximized());
    }
    const QRect r = frameGeometry();
    if (isMaximized() || isFullScreen()) return;
    if (!(r.width() > 100 && r.height() > 50 && r.left() > 0 && r.top() > 0)) return;
    auto settings = AppSettings();
    settings->setValue(QStringLiteral("Settings/XPos"), r.left());
    settings->setValue(QStringLiteral("Settings/YPos"), r.top());
    settings->setValue(QStringLiteral("Settings/XWidth"), width());
    settings->setValue(QStringLiteral("Settings/YWidth"), height());
    const QList<int> outer = m_pOuter->sizes();
    settings->setValue(QStringLiteral("Settings/SplitX1"), outer.value(0));
    settings->setValue(QStringLiteral("Settings/SplitX2"), outer.value(1));
    settings->setValue(QStringLiteral("Settings/SplitY1"), m_pInner->sizes().value(0));
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!SaveModified()) {
        event->ignore();
        return;
    }
    SaveLayout();
    event->accept();
}

void CMainFrame::OnAssess()
{
    if (m_pAssess->isVisible() || m_pAssess->isFloating()) {
        m_pAssess->show();
        m_pAssess->raise();
        return;
    }
    // The dock gets the width that shows its lists whole, as far as there is
    // room: the window grows by it as far as the screen lets it, then the
    // table gives its empty comment column. Only to find the dock's least
    // 400 pixels the curve column gives too, keeping at least half.
    constexpr int kDockWidth = 400;
    m_bSplitPending = false;
    m_bArranging = true;
    const int curvesWidth = m_pOuter->sizes().value(0);
    const int tableWidth = m_pOuter->sizes().value(1);
    const int spare = std::max(0, tableWidth - m_pTable->FullWidth());
    const int oldWidth = width();
    // Shown first, so that its lists are laid out and can be measured.
    m_pAssess->show();
    if (layout()) layout()->activate();
    // The width the user left it at, else the lists' own.
    const int left = AppSettings()->value(QStringLiteral("Settings/AssessWidth"), 0).toInt();
    const int want = left > 0 ? left : std::max(kDockWidth, m_pAssess->ListsWidth());
    if (!isMaximized() && !isFullScreen()) {
        int most = oldWidth + want;
        QRect area;
        if (QScreen* s = screen()) area = s->availableGeometry();
        if (area.isValid()) most = std::min(most, area.width() - (frameGeometry().width() - width()));
        if (most > width()) resize(most, height());
        // Grown to the right, the window stays on its screen.
        if (area.isValid() && frameGeometry().right() > area.right())
            move(std::max(area.left(), area.right() + 1 - frameGeometry().width()), y());
    }
    const int grown = std::max(0, width() - oldWidth);
    // The separator beside the dock takes its pixels from the same room.
    const int separator = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    // Its lists whole take from the curves too, up to half the window.
    const int dock = left > 0 ? left : std::min(want, std::max({kDockWidth, grown + spare - separator, width() / 2}));
    resizeDocks({m_pAssess}, {dock}, Qt::Horizontal);
    if (layout()) layout()->activate();
    const int room = std::max(0, m_pOuter->width() - m_pOuter->handleWidth());
    // The curves keep their width while the table has empty comment column
    // to give; after that, they keep at least half.
    int table = std::min(tableWidth, std::max(room - curvesWidth, std::min(tableWidth, m_pTable->FullWidth())));
    if (room - table < room / 2) table = std::min(table, room / 2);
    m_nTableLent = std::max(0, tableWidth - table);
    m_lastOuterSizes = {room - table, table};
    m_pOuter->setSizes(m_lastOuterSizes);
    m_nLastClientWidth = width();
    m_bArranging = false;
    m_pAssess->raise();
}

void CMainFrame::OnCentralResized()
{
    // Only a dock beside the table changes the central width while the
    // window keeps its own (the window's resize is resizeEvent's).
    // The docks taking their stored width.
    if (m_bSplitPending && !m_bArranging && m_nLastClientWidth >= 0) {
        PlaceRestoredSplit();
        return;
    }
    if (m_bArranging || m_nLastClientWidth < 0 || width() != m_nLastClientWidth || m_lastOuterSizes.size() < 2) return;
    const int room = std::max(0, m_pOuter->width() - m_pOuter->handleWidth());
    const int delta = room - (m_lastOuterSizes[0] + m_lastOuterSizes[1]);
    if (delta == 0) return;
    int table = m_lastOuterSizes[1];
    if (delta < 0) {
        // A wider dock takes the table's empty comment column first; the
        // curves give the rest, down to a sliver of 10 pixels.
        const int give = std::min(-delta, std::max(0, table - m_pTable->FullWidth()));
        table -= give;
        m_nTableLent += give;
        if (room - table < 10) table = std::max(0, room - std::min(10, room));
    } else {
        // A narrower one gives the table back what it lent, the rest goes
        // to the curves.
        const int back = std::min(delta, m_nTableLent);
        table += back;
        m_nTableLent -= back;
    }
    m_lastOuterSizes = {room - table, table};
    m_pOuter->setSizes(m_lastOuterSizes);
}
