// SPDX-License-Identifier: GPL-3.0-or-later
// A curve drawn as polylines in whole device pixels. Points that fall on
// one pixel column collapse to where the line enters it, its lowest and
// highest point and where it leaves: all a device can show of them. A PDF
// of a long survey thus holds a few short numbers per column instead of
// every point's fractional coordinates, which is most of the report's
// bytes and of the time it takes to compress them.
#pragma once

#include <QPolygon>

class QPainter;

class CPolylineSink {
public:
    explicit CPolylineSink(QPainter& p)
        : m_p(p)
    { }
    ~CPolylineSink() { Break(); }
    CPolylineSink(const CPolylineSink&) = delete;
    CPolylineSink& operator=(const CPolylineSink&) = delete;

    // The next point of the current line, in device units.
    void Add(double x, double y);
    // Ends the current line: the next point starts a new one. A line of a
    // single point is drawn as a point.
    void Break();

private:
    void CloseColumn();

    QPainter& m_p;
    QPolygon m_line;
    bool m_open = false; // a column is being collected
    int m_x = 0, m_first = 0, m_low = 0, m_high = 0, m_last = 0;
};
