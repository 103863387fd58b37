// SPDX-License-Identifier: GPL-3.0-or-later
// A horizontal header in which one cell may cover several columns ("Potential"
// over the three potential columns, "Gradient" over the six gradient
// columns). Each column paints its slice of the covering cell, so the cell
// stays whole while columns are hidden, resized or scrolled.
#pragma once

#include <QHeaderView>

#include <vector>

class CSpanHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit CSpanHeader(QWidget* parent = nullptr);

    // Columns first..last (model columns) share one header cell that shows
    // the header text of `first`.
    void AddSpan(int first, int last);
    // The covering cell's first and last column for `logical`, or the column
    // itself when it is not covered.
    std::pair<int, int> SpanOf(int logical) const;
    // The header's left `width` pixels lie under another widget (the table's
    // metre column): a covering cell's word is drawn right of them, in the
    // part of its cell that shows.
    void SetCoveredWidth(int width);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    std::vector<std::pair<int, int>> m_spans;
    int m_nCovered = 0;
};
