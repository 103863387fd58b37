// SPDX-License-Identifier: GPL-3.0-or-later
// The table pane: every survey row with metre, potentials, gradients,
// derived values and comment, edited in place. The cells come from
// CTrePlotModel; this view adds the column layout, the frozen metre column,
// the comment column that fills the pane, and the row commands.
#pragma once

#include "viewhub.h"

#include <QTableView>

#include <vector>

class CTreDoc;
class CTrePlotModel;
class CSpanHeader;

class CTrePlotView : public QTableView, public CTreViewBase {
    Q_OBJECT
public:
    explicit CTrePlotView(CTreDoc& doc, QWidget* parent = nullptr);
    ~CTrePlotView() override;

    CTrePlotModel* PlotModel() const { return m_pModel; }
    QTableView* FrozenColumn() const { return m_pFrozen; }

    // Column layout for a fresh document: column 4 shown, 6, 8 and 10
    // hidden, whatever the table options say until the next update.
    void OnInitialUpdate() override;
    // Applies "IR-frei" and "Links/Rechts" and shows every cell again.
    void OnUpdate() override;
    void Invalidate() override;

    // Width of survey table column c (0 = row numbers .. 11); 0 = hidden.
    int GridColumnWidth(int c) const;
    // The comment column's width before it is stretched to the pane.
    int CommentSetWidth() const { return m_nCommentWidth; }
    // The pane's width that shows every column, the comment column at its
    // own width, without a horizontal scroll bar: what is wider than this is
    // empty comment column.
    int FullWidth() const;

    // "Zeile löschen": the rows of the one selected range (whole columns
    // count as all rows). Several ranges or none: nothing happens. The
    // Delete key does the same when whole rows are selected.
    void OnDeleteRows();
    // One range of whole rows (every shown column) is selected.
    bool WholeRowsSelected() const;
    // "Zeile einfügen": a row with metre 0 behind the current cell's row.
    void OnInsertRow();
    // The clipboard is not used by the table.
    bool CanCutCopyPaste() const { return false; }
    // Printing is not done from the table; its preparation is refused.
    bool OnPreparePrinting() { return false; }

    // The rows of the selection when it is one range, widened to whole rows;
    // {0, 0} otherwise.
    std::pair<int, int> SelectedRowRange() const;
    // Selects the whole rows first..last (1-based, clamped to the survey),
    // makes the first the current row and scrolls it into view.
    void SelectRows(int first, int last);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    // The cell below the current one becomes current and selected.
    void MoveToRowBelow();
    void SetGridColumnWidth(int c, int width);
    int ComputeCommentWidth() const;
    void StretchCommentColumn();
    void UpdateFrozenGeometry();
    // Horizontal offsets at which a column's left edge meets the frozen
    // column's right edge, ascending; 0 first.
    std::vector<int> ColumnStops() const;
    // The stop at or above `offset` (up) or at or below it; the nearest one
    // when `nearest` is set.
    int SnapOffset(int offset, bool up, bool nearest = false) const;
    // The offset that shows column `column` whole beside the frozen column,
    // scrolling as little as possible from `offset`.
    int OffsetShowing(int column, int offset) const;
    void OnHorizontalScrolled(int value);

    CTreDoc& m_doc;
    CTrePlotModel* m_pModel = nullptr;
    CSpanHeader* m_pHeader = nullptr;
    QTableView* m_pFrozen = nullptr;
    int m_nCommentWidth = 0;
    int m_nLastHOffset = 0;
    bool m_bInLayout = false;
};
