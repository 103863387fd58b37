// Pixel-exact thin lines for the curve panes. The layout of the panes counts
// single pixels (point marks are three pixels tall, dashes end one pixel
// short of their end point), so lines follow one fixed rule: a line covers
// its start pixel and stops one pixel short of its end point, whatever its
// direction. Qt's own thin lines drop whichever end lies further along the
// major axis, which would shift every downward mark by a pixel.
#pragma once

#include <QColor>
#include <QPoint>

class QPainter;

class CGdiLines {
public:
    explicit CGdiLines(QPainter& painter)
        : m_painter(painter)
    { }

    void SetColor(const QColor& color) { m_color = color; }
    // A dotted pen sets one pixel and skips two along the line.
    void SetDotted(bool dotted) { m_bDotted = dotted; }

    void MoveTo(int x, int y) { m_cur = QPoint(x, y); }
    // Draws from the current position to (x, y), leaving (x, y) unset, and
    // makes (x, y) the current position.
    void LineTo(int x, int y);
    QPoint Current() const { return m_cur; }

private:
    void Run(int x, int y, int w, int h);

    QPainter& m_painter;
    QColor m_color = Qt::black;
    QPoint m_cur;
    bool m_bDotted = false;
};
