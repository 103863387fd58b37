// SPDX-License-Identifier: GPL-3.0-or-later
// A ruled table of the assessment report: a two-line column header, then
// rows of texts whose text columns may take several lines, broken between
// words. The texts are measured once when a row is added, so the page
// division is known before any device is; drawing is plain text and one
// fill per shaded row, without clipping or saving the painter per cell.
#pragma once

#include "printframe.h"

#include <QColor>
#include <QStringList>

#include <memory>
#include <vector>

class QFontMetricsF;

struct SReportColumn {
    const char* title;
    const char* unit; // second header line, may be empty
    double widthMm;
    bool left = false; // text left-aligned, numbers right-aligned
    bool wrap = false; // may take several lines
};

class CReportTable {
public:
    // The font's size in points; a row takes at most `maxLines` lines, the
    // last of them cut with "…" when its text is longer.
    static constexpr int kPoints = 8;

    CReportTable(std::vector<SReportColumn> columns, int maxLines);
    ~CReportTable();
    CReportTable(CReportTable&&) noexcept;

    void Add(const QStringList& cells);
    // The text of a cell of the last row added in `colour` instead of black.
    void SetLastRowColour(int column, const QColor& colour);
    int Rows() const { return static_cast<int>(m_rows.size()); }
    // The lines each row takes, in row order.
    const std::vector<int>& LineCounts() const { return m_lines; }
    const std::vector<SReportColumn>& Columns() const { return m_columns; }
    // The column header's lines: two when a column has a unit, else one.
    int HeaderLines() const;
    // The text of a cell, its lines joined by '\n'.
    const QString& Cell(int row, int column) const;

    // Draws the column header at `top` and rows first .. first + count - 1
    // below it, each line `lineHeight` high, from `left`. Returns the y
    // below the table's last rule.
    int Draw(QPainter& p, const CPrintMetrics& m, int left, int top, int lineHeight, int first, int count) const;

private:
    std::vector<SReportColumn> m_columns;
    int m_maxLines;
    std::vector<QStringList> m_rows;
    std::vector<int> m_lines;
    std::vector<std::vector<QColor>> m_colours; // per row: empty, or one per column (invalid: black)
    std::unique_ptr<QFontMetricsF> m_metrics;   // measures the texts as they are added
};

// `text` broken between words into lines no wider than `width` as
// `metrics` measure them; a word wider than that stands alone on its line.
// At most `maxLines` lines, the last ending in "…" when text was left over.
QStringList WrapText(const QString& text, const QFontMetricsF& metrics, double width, int maxLines);
