// SPDX-License-Identifier: GPL-3.0-or-later
// The graphic print: the survey as a gradient chart above a potential chart
// over the measuring metre at a fixed scale, with the title block at the
// foot of each page. Every page shows the next stretch of the same length.
#pragma once

#include "graphiclayout.h"
#include "printframe.h"

#include <QPen>

class CTreDoc;
class QPainter;

class CGraphicPrint {
public:
    CGraphicPrint(const CTreDoc& doc, const CPrintContext& ctx)
        : m_doc(doc)
        , m_ctx(ctx)
    { }

    // Prepare printing: the number of pages the print range needs.
    int PageCount() const;
    // Begin printing: frame, chart geometry, page division and pens.
    void Begin(const CPrintMetrics& m);
    // Draws page `page` (from 1) completely.
    void PrintPage(QPainter& p, int page) const;

    const graphiclayout::CDeviceFrame& Frame() const { return m_frame; }
    const graphiclayout::CGraphicGeometry& Geometry() const { return m_geo; }

    // The title block's dividing lines (device units).
    struct CTitleBlock {
        int v = 0; // top of the block
        int x1 = 0, x2 = 0, x3 = 0, x4 = 0, x5 = 0;
        int y5 = 0, y6 = 0;
        int RowBottom(int k, int b) const { return b - (b - v) * (4 - k) / 4; }
    };
    CTitleBlock TitleBlock() const;

private:
    enum EPen { PenPotOn, PenPotOff, PenIR, PenGradOn, PenGradOff, PenGradDiff, PenMarker, PenFrame, PenCount };

    void DrawTitleBlock(QPainter& p, int page) const;
    void DrawTitleGrid(QPainter& p) const;
    void DrawLegendTexts(QPainter& p) const;
    void DrawHeaderCells(QPainter& p, int page) const;
    void DrawLogoCell(QPainter& p) const;
    void DrawLegendSamples(QPainter& p) const;
    void DrawGradientAxis(QPainter& p) const;
    void DrawPotentialAxis(QPainter& p) const;
    void DrawMetreAxis(QPainter& p, int page) const;
    void DrawCurves(QPainter& p, int page) const;
    void DrawComments(QPainter& p, int page) const;
    int LegendY(int row) const;

    const CTreDoc& m_doc;
    CPrintContext m_ctx;
    CPrintMetrics m_metrics;
    graphiclayout::CDeviceFrame m_frame;
    graphiclayout::CGraphicGeometry m_geo;
    QPen m_pens[PenCount];
};
