// SPDX-License-Identifier: GPL-3.0-or-later
#include "tableview.h"

#include "celleditor.h"
#include "doc/dochost.h"
#include "doc/tredoc.h"
#include "spanheader.h"
#include "tablemodel.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int kColumnWidth = 35;
constexpr int kMeterWidth = 52;

// The grid's widths of columns 0..10 for a fresh document.
constexpr int kInitialWidths[11] = {35, 52, 35, 35, 35, 35, 0, 35, 0, 35, 0};

using M = CTrePlotModel;

void SetEightPoint(QWidget* w)
{
    QFont f = w->font();
    f.setPointSize(8);
    w->setFont(f);
}

} // namespace

CTrePlotView::CTrePlotView(CTreDoc& doc, QWidget* parent)
    : QTableView(parent)
    , m_doc(doc)
{
    m_pModel = new CTrePlotModel(doc, this);
    m_pHeader = new CSpanHeader(this);
    m_pHeader->AddSpan(M::ModelColumn(M::ColPotOn), M::ModelColumn(M::ColPotIRFree));
    m_pHeader->AddSpan(M::ModelColumn(M::ColGradOn), M::ModelColumn(M::ColGradDiffR));
    setHorizontalHeader(m_pHeader);
    setModel(m_pModel);
    auto* delegate = new CCellEditDelegate(this);
    setItemDelegate(delegate);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setWordWrap(false);
    SetEightPoint(this);

    // The metre column stays in view when the table scrolls sideways: a
    // second view of the same model shows only that column over the first.
    m_pFrozen = new QTableView(this);
    m_pFrozen->setModel(m_pModel);
    auto* frozenDelegate = new CCellEditDelegate(m_pFrozen);
    m_pFrozen->setItemDelegate(frozenDelegate);
    m_pFrozen->setEditTriggers(editTriggers());
    m_pFrozen->setFocusPolicy(Qt::NoFocus);
    m_pFrozen->verticalHeader()->hide();
    m_pFrozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pFrozen->setSelectionModel(selectionModel());
    m_pFrozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pFrozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pFrozen->setWordWrap(false);
    m_pFrozen->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
    SetEightPoint(m_pFrozen);
    for (int col = 1; col < M::ColumnCount; ++col) m_pFrozen->setColumnHidden(col, true);
    viewport()->stackUnder(m_pFrozen);

    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    m_pFrozen->setVerticalScrollMode(ScrollPerPixel);

    const int rowHeight = QFontMetrics(font()).height() + 4;
    for (QTableView* v : {static_cast<QTableView*>(this), m_pFrozen}) {
        v->verticalHeader()->setMinimumSectionSize(1);
        v->verticalHeader()->setDefaultSectionSize(rowHeight);
        v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    }
    verticalHeader()->setMinimumWidth(kInitialWidths[0]);

    connect(m_pFrozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_pFrozen->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(horizontalScrollBar(), &QAbstractSlider::valueChanged, this, &CTrePlotView::OnHorizontalScrolled);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int newSize) {
        if (logical == 0) m_pFrozen->setColumnWidth(0, newSize);
        UpdateFrozenGeometry();
    });

    // Enter ends an edit and goes on to the cell below, as in a spreadsheet,
    // unless the text was refused (the views' own slots ran first).
    for (CCellEditDelegate* d : {delegate, frozenDelegate}) {
        connect(d, &QAbstractItemDelegate::closeEditor, this,
                [this, d](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                    if (hint == QAbstractItemDelegate::SubmitModelCache && !d->LastRefused()) MoveToRowBelow();
                });
    }
    // Told once the editor has closed: a message box opened while the
    // editor commits would take its focus and make it commit again.
    connect(m_pModel, &CTrePlotModel::StoreRefused, this, [this](const QString& message) {
        QMetaObject::invokeMethod(
            this, [this, message] { m_doc.Host().ShowMessage(message.toStdString()); }, Qt::QueuedConnection);
    });

    m_pFrozen->show();
    OnInitialUpdate();
}

void CTrePlotView::MoveToRowBelow()
{
    const QModelIndex cur = currentIndex();
    const QModelIndex below = cur.isValid() ? m_pModel->index(cur.row() + 1, cur.column()) : QModelIndex();
    if (!below.isValid()) return;
    selectionModel()->setCurrentIndex(below, QItemSelectionModel::ClearAndSelect);
    scrollTo(below);
}

CTrePlotView::~CTrePlotView() = default;

int CTrePlotView::ComputeCommentWidth() const
{
    // The grid's base character width: proportional fonts count one and a
    // half average characters.
    const QFont f = font();
    const int avg = QFontMetrics(f).averageCharWidth();
    const int w = QFontInfo(f).fixedPitch() ? avg : 3 * avg / 2;
    // A font without width (or an absurdly wide one) falls back to the
    // width the grid assumes without a font instead of dividing by zero.
    const int perMille = w > 0 ? 1000 / w : 0;
    return perMille > 0 ? 15000 / perMille : 15000 / (1000 / 10);
}

void CTrePlotView::SetGridColumnWidth(int c, int width)
{
    if (c == 0) {
        verticalHeader()->setMinimumWidth(width);
        return;
    }
    const int mc = M::ModelColumn(c);
    if (width <= 0) {
        setColumnHidden(mc, true);
        return;
    }
    setColumnHidden(mc, false);
    setColumnWidth(mc, width);
    if (mc == 0) m_pFrozen->setColumnWidth(0, width);
}

int CTrePlotView::GridColumnWidth(int c) const
{
    if (c == 0) return verticalHeader()->width();
    const int mc = M::ModelColumn(c);
    return isColumnHidden(mc) ? 0 : columnWidth(mc);
}

void CTrePlotView::OnInitialUpdate()
{
    m_pModel->Reset();
    // Another survey starts at its first row and column, wherever the last
    // one was left.
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    for (int c = 0; c < 11; ++c) SetGridColumnWidth(c, kInitialWidths[c]);
    m_nCommentWidth = ComputeCommentWidth();
    SetGridColumnWidth(M::ColComment, m_nCommentWidth);
    StretchCommentColumn();
    UpdateFrozenGeometry();
}

void CTrePlotView::OnUpdate()
{
    SetGridColumnWidth(M::ColPotIRFree, m_doc.m_bTableIRFree ? kColumnWidth : 0);
    const int lrWidth = m_doc.m_bTableLR ? kColumnWidth : 0;
    SetGridColumnWidth(M::ColGradOnR, lrWidth);
    SetGridColumnWidth(M::ColGradOffR, lrWidth);
    SetGridColumnWidth(M::ColGradDiffR, lrWidth);
    m_pModel->Sync();
    StretchCommentColumn();
    Invalidate();
}

void CTrePlotView::Invalidate()
{
    viewport()->update();
    horizontalHeader()->viewport()->update();
    m_pFrozen->viewport()->update();
}

void CTrePlotView::StretchCommentColumn()
{
    if (m_bInLayout || !m_pFrozen) return;
    m_bInLayout = true;
    int before = 0;
    for (int c = 1; c < M::ColComment; ++c) before += GridColumnWidth(c);
    // The client area counts the row-number column too, which lies outside
    // the viewport; both sides of the sum leave it out.
    const int fill = viewport()->width() - before - 1;
    const int mc = M::ModelColumn(M::ColComment);
    const int width = std::max(m_nCommentWidth, fill);
    if (columnWidth(mc) != width) setColumnWidth(mc, width);
    m_bInLayout = false;
}

int CTrePlotView::FullWidth() const
{
    int w = 2 * frameWidth() + verticalHeader()->width() + m_nCommentWidth;
    for (int c = 1; c < M::ColComment; ++c) w += GridColumnWidth(c);
    if (verticalScrollBar()->isVisible()) w += verticalScrollBar()->width();
    return w;
}

void CTrePlotView::UpdateFrozenGeometry()
{
    if (!m_pFrozen) return; // the base class lays out before the overlay exists
    const int fw = frameWidth();
    m_pFrozen->setGeometry(verticalHeader()->width() + fw, fw, columnWidth(0),
                           viewport()->height() + horizontalHeader()->height());
    m_pFrozen->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    m_pHeader->SetCoveredWidth(columnWidth(0));
}

void CTrePlotView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    StretchCommentColumn();
    UpdateFrozenGeometry();
}

void CTrePlotView::updateGeometries()
{
    QTableView::updateGeometries();
    StretchCommentColumn();
    UpdateFrozenGeometry();
    // The last offset is the first stop that shows the last column whole,
    // which may leave blank grid at the right; column widths that changed
    // move the offset to the nearest stop.
    QScrollBar* bar = horizontalScrollBar();
    if (m_pFrozen && bar->maximum() > 0) {
        bar->setMaximum(SnapOffset(bar->maximum(), true));
        const int snapped = SnapOffset(bar->value(), false, true);
        if (snapped != bar->value()) bar->setValue(snapped);
    }
}

// The metre column lies over the left edge of the scrolled columns. Scrolled
// by pixels, a column would slide half under it and show "..18" for -1.18;
// so the table scrolls sideways only by whole columns: every offset it takes
// puts a column's left edge right at the metre column's right edge.
std::vector<int> CTrePlotView::ColumnStops() const
{
    std::vector<int> stops{0};
    const int frozen = columnWidth(0);
    for (int c = 1; c < M::ColumnCount; ++c) {
        if (isColumnHidden(c)) continue;
        const int stop = horizontalHeader()->sectionPosition(c) - frozen;
        if (stop > stops.back()) stops.push_back(stop);
    }
    return stops;
}

int CTrePlotView::SnapOffset(int offset, bool up, bool nearest) const
{
    const std::vector<int> stops = ColumnStops();
    const auto above = std::lower_bound(stops.begin(), stops.end(), offset);
    if (above == stops.end()) return stops.back();
    if (*above == offset || above == stops.begin()) return *above;
    const int below = *(above - 1);
    if (nearest) return offset - below < *above - offset ? below : *above;
    return up ? *above : below;
}

int CTrePlotView::OffsetShowing(int column, int offset) const
{
    // The metre column is always in view.
    if (column <= 0 || isColumnHidden(column)) return offset;
    const int left = horizontalHeader()->sectionPosition(column);
    const int first = left - columnWidth(0); // the offset that puts the column first
    if (offset > first) return first;
    const int overhang = left + columnWidth(column) - viewport()->width();
    if (offset < overhang) return std::min(SnapOffset(overhang, true), first);
    return offset;
}

void CTrePlotView::OnHorizontalScrolled(int value)
{
    // A dragged slider goes to the nearest column; steps, pages, the wheel
    // and the program go on to the next column in their direction.
    QScrollBar* bar = horizontalScrollBar();
    const int snapped = SnapOffset(value, value > m_nLastHOffset, bar->isSliderDown());
    m_nLastHOffset = snapped;
    if (snapped != value) bar->setValue(snapped);
    // A covering header cell places its word by what shows of it, so the
    // header is drawn anew rather than moved.
    m_pHeader->viewport()->update();
}

QModelIndex CTrePlotView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // Home goes to the start of the row: the metre cell, with the table
    // scrolled back to its first column.
    if (cursorAction == MoveHome) horizontalScrollBar()->setValue(0);
    return QTableView::moveCursor(cursorAction, modifiers);
}

void CTrePlotView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid()) return;
    // The base class brings the row into view; sideways it would scroll by
    // pixels and ignore the metre column, so the offset is set again here.
    QScrollBar* bar = horizontalScrollBar();
    const int offset = bar->value();
    QTableView::scrollTo(index, hint);
    bar->setValue(OffsetShowing(index.column(), offset));
}

std::pair<int, int> CTrePlotView::SelectedRowRange() const
{
    const QItemSelection sel = selectionModel() ? selectionModel()->selection() : QItemSelection();
    if (sel.isEmpty()) return {0, 0};
    // Qt cuts one rectangular selection into pieces around hidden columns;
    // pieces over the same rows that only hidden columns separate are one
    // range of the table.
    std::vector<QItemSelectionRange> ranges(sel.begin(), sel.end());
    std::sort(ranges.begin(), ranges.end(), [](const auto& a, const auto& b) { return a.left() < b.left(); });
    const int top = ranges.front().top();
    const int bottom = ranges.front().bottom();
    for (size_t i = 1; i < ranges.size(); ++i) {
        if (ranges[i].top() != top || ranges[i].bottom() != bottom) return {0, 0};
        for (int c = ranges[i - 1].right() + 1; c < ranges[i].left(); ++c)
            if (!isColumnHidden(c)) return {0, 0};
        if (ranges[i].left() <= ranges[i - 1].right()) return {0, 0};
    }
    return {top + 1, bottom + 1};
}

void CTrePlotView::SelectRows(int first, int last)
{
    const int n = m_pModel->rowCount();
    if (n <= 0) return;
    first = std::clamp(first, 1, n);
    last = std::clamp(last, first, n);
    const QModelIndex top = m_pModel->index(first - 1, 0);
    const QItemSelection rows(top, m_pModel->index(last - 1, m_pModel->columnCount() - 1));
    selectionModel()->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    scrollTo(top, PositionAtTop);
}

void CTrePlotView::OnDeleteRows()
{
    const auto [top, bottom] = SelectedRowRange();
    if (top < 1) return;
    clearSelection();
    m_pModel->DeleteRows(top, bottom);
}

void CTrePlotView::OnInsertRow()
{
    const QModelIndex cur = currentIndex();
    if (!cur.isValid()) return;
    m_pModel->InsertRowAfter(cur.row() + 1);
}

bool CTrePlotView::WholeRowsSelected() const
{
    const auto [top, bottom] = SelectedRowRange();
    if (top < 1) return false;
    for (int c = 0; c < m_pModel->columnCount(); ++c)
        if (!isColumnHidden(c) && !selectionModel()->isSelected(m_pModel->index(top - 1, c))) return false;
    return true;
}

void CTrePlotView::keyPressEvent(QKeyEvent* event)
{
    // Delete takes rows only when whole rows are selected; on cells it
    // empties them, as a spreadsheet does, and takes no more than that.
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        if (WholeRowsSelected()) OnDeleteRows();
        else m_pModel->ClearCells(selectionModel()->selectedIndexes());
        event->accept();
        return;
    }
    // Item views copy the current cell on their own; the table keeps away
    // from the clipboard altogether.
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)
        || event->matches(QKeySequence::Paste)) {
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
}
