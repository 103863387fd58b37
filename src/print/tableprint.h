// SPDX-License-Identifier: GPL-3.0-or-later
// The table print: the survey as a ruled table with a header block on every
// page, or, with "Fehlerliste drucken", the rows that pass the error-list
// test with the limit windows in the header.
#pragma once

#include "printframe.h"
#include "tablelayout.h"

#include <QFont>

#include <vector>

class CTreDoc;
class QPainter;

class CTablePrint {
public:
    CTablePrint(const CTreDoc& doc, const CPrintContext& ctx)
        : m_doc(doc)
        , m_ctx(ctx)
    { }

    // Prepare printing: N / 46 (or / 43 with the error list) rounded up.
    int PageCount() const;
    // Begin printing: frame, fonts, line height, character widths and the
    // line layout of the rows.
    void Begin(QPainter& p, const CPrintMetrics& m);
    void PrintPage(QPainter& p, int page) const;

    // The geometry of a page (device units).
    struct CGeometry {
        int w = 0, u = 0;
        int z = 0, hc = 0, h5 = 0, hb = 0, mid = 0;
        tablelayout::CColumns cols;
    };
    CGeometry Geometry() const;
    const graphiclayout::CDeviceFrame& Frame() const { return m_frame; }
    int LineHeight() const { return m_nLineHeight; }
    int CharWidth() const { return m_nCharWidth; }
    int RowsPerPage() const { return m_nRowsPerPage; }
    // y of table line `line` (from 1) on page `page`.
    int LineY(int line, int page) const;
    // The rows of page `page` line by line (0 = empty line).
    std::vector<int> PageLines(int page) const;

private:
    void DrawHeaderBlock(QPainter& p, const CGeometry& g, int page) const;
    void DrawLimitWindows(QPainter& p, const CGeometry& g) const;
    void DrawRow(QPainter& p, const CGeometry& g, int row, int y) const;

    const CTreDoc& m_doc;
    CPrintContext m_ctx;
    CPrintMetrics m_metrics;
    graphiclayout::CDeviceFrame m_frame;
    QFont m_body, m_small, m_medium, m_title;
    int m_nLineHeight = 1;
    int m_nCharWidth = 1;
    int m_nWideCharWidth = 1;
    int m_nRowsPerPage = 46;
    std::vector<int> m_lines;
};
