// SPDX-License-Identifier: GPL-3.0-or-later
#include "polylinesink.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

void CPolylineSink::Add(double x, double y)
{
    const int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
    if (m_open && px == m_x) {
        m_low = std::min(m_low, py);
        m_high = std::max(m_high, py);
        m_last = py;
        return;
    }
    CloseColumn();
    m_open = true;
    m_x = px;
    m_first = m_low = m_high = m_last = py;
}

void CPolylineSink::CloseColumn()
{
    if (!m_open) return;
    m_open = false;
    auto add = [&](int y) {
        if (m_line.isEmpty() || m_line.back() != QPoint(m_x, y)) m_line.append(QPoint(m_x, y));
    };
    add(m_first);
    // The extremes in the order that keeps the stroke within the column.
    if (m_first - m_low < m_high - m_first) {
        add(m_low);
        add(m_high);
    } else {
        add(m_high);
        add(m_low);
    }
    add(m_last);
}

void CPolylineSink::Break()
{
    CloseColumn();
    if (m_line.size() >= 2) m_p.drawPolyline(m_line);
    else if (m_line.size() == 1) m_p.drawPoint(m_line.front());
    m_line.clear();
}
