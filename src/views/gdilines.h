// SPDX-License-Identifier: GPL-3.0-or-later
// Pixel-exact thin lines for the curve panes. The layout of the panes counts
// single pixels (point marks are three pixels tall, dashes end one pixel
// short of their end point), so lines follow one fixed rule: a line covers
// its start pixel and stops one pixel short of its end point, whatever its
// direction. Qt's own thin lines drop whichever end lies further along the
// major axis, which would shift every downward mark by a pixel.
//
// A pane repaints thousands of short lines, so when the painter draws
// straight onto a 32-bit image (the pane's backing image) the pixels are
// written into the image's memory; on any other device (or with a rotated
// or scaled painter) each run of pixels is a fillRect. Both give the same
// pixels. The painter's clip is taken once, when the object is made, and must
// not change while it draws.
#pragma once

#include "rastertarget.h"

#include <QColor>
#include <QPoint>
#include <QRect>

#include <cstdint>

class QPainter;

class CGdiLines {
public:
    explicit CGdiLines(QPainter& painter);
    // With the target already taken from the painter.
    CGdiLines(QPainter& painter, const CRasterTarget& target);

    void SetColor(const QColor& color);
    // A dotted pen sets one pixel and skips two along the line.
    void SetDotted(bool dotted) { m_bDotted = dotted; }

    void MoveTo(int x, int y) { m_cur = QPoint(x, y); }
    // Draws from the current position to (x, y), leaving (x, y) unset, and
    // makes (x, y) the current position.
    void LineTo(int x, int y);
    QPoint Current() const { return m_cur; }

    // The pixels x, y0 .. y1 (y0 <= y1) in the current colour, as a vertical
    // line from (x, y0) to (x, y1 + 1) sets them; the current position stays.
    void Column(int x, int y0, int y1) { Run(x, y0, 1, y1 - y0 + 1); }

    // Whether pixels go straight into the image (for tests).
    bool WritesPixels() const { return m_target.Direct(); }

private:
    void Run(int x, int y, int w, int h);
    // From the first point towards the second, which stays unset.
    void Horizontal(int x0, int x1, int y);
    void Vertical(int x, int y0, int y1);
    void DottedColumn(int x, int y0, int y1);
    void Walk(int x0, int y0, int x1, int y1);

    QPainter& m_painter;
    QColor m_color = Qt::black;
    uint32_t m_nPixel = 0xff000000u;
    QPoint m_cur;
    bool m_bDotted = false;
    CRasterTarget m_target;
    QRect m_bounds; // where anything can show
};
