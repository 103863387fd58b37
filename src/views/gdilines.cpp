// SPDX-License-Identifier: GPL-3.0-or-later
#include "gdilines.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <utility>

CGdiLines::CGdiLines(QPainter& painter)
    : CGdiLines(painter, CRasterTarget::Of(painter))
{ }

CGdiLines::CGdiLines(QPainter& painter, const CRasterTarget& target)
    : m_painter(painter)
    , m_target(target)
{
    if (m_target.Direct()) m_bounds = m_target.bounds;
    else m_bounds = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : QRect(0, 0, 1 << 15, 1 << 15);
}

void CGdiLines::SetColor(const QColor& color)
{
    m_color = color;
    m_nPixel = CRasterTarget::Pixel(color); // the panes draw only opaque colours
}

void CGdiLines::Run(int x, int y, int w, int h)
{
    if (!m_target.Direct()) {
        m_painter.fillRect(x, y, w, h, m_color);
        return;
    }
    const int x0 = std::max(x, m_bounds.left()), x1 = std::min(x + w - 1, m_bounds.right());
    const int y0 = std::max(y, m_bounds.top()), y1 = std::min(y + h - 1, m_bounds.bottom());
    if (x0 > x1) return;
    for (int row = y0; row <= y1; ++row) {
        CRasterTarget::Fill(m_target.Line(row) + x0, x1 - x0 + 1, m_nPixel);
    }
}

void CGdiLines::LineTo(int x1, int y1)
{
    const QPoint from = m_cur;
    m_cur = QPoint(x1, y1);
    if (from == m_cur) return;
    if (!m_bDotted && from.y() == y1) Horizontal(from.x(), x1, y1);
    else if (!m_bDotted && from.x() == x1) Vertical(x1, from.y(), y1);
    else if (m_bDotted && from.x() == x1 && m_target.Direct()) DottedColumn(x1, from.y(), y1);
    else Walk(from.x(), from.y(), x1, y1);
}

namespace {

// The pixels a straight line from a0 towards a1 sets (a1 itself not), as
// start and count, cut to lo - 1 .. hi + 1: the clip of the painter bounds
// the work, so only the part of a long line that can touch the picture is
// walked. 64 bits: saturated coordinates from far outside the plot must not
// overflow the differences. A count of 0 or less: nothing to draw.
std::pair<int, int> ClippedRun(int a0, int a1, int lo, int hi)
{
    const int a = a1 > a0 ? a0 : a1 + 1;
    const long long len = std::llabs(static_cast<long long>(a1) - a0);
    const long long from = std::max<long long>(a, lo - 1);
    const long long to = std::min<long long>(static_cast<long long>(a) + len, hi + 1);
    return {static_cast<int>(from), to > from ? static_cast<int>(to - from) : 0};
}

} // namespace

void CGdiLines::Horizontal(int x0, int x1, int y)
{
    if (y < m_bounds.top() || y > m_bounds.bottom()) return;
    const auto [from, count] = ClippedRun(x0, x1, m_bounds.left(), m_bounds.right());
    if (count > 0) Run(from, y, count, 1);
}

void CGdiLines::Vertical(int x, int y0, int y1)
{
    if (x < m_bounds.left() || x > m_bounds.right()) return;
    const auto [from, count] = ClippedRun(y0, y1, m_bounds.top(), m_bounds.bottom());
    if (count > 0) Run(x, from, 1, count);
}

// Every third pixel from the start, as the walk sets them.
void CGdiLines::DottedColumn(int x, int y0, int y1)
{
    if (x < m_bounds.left() || x > m_bounds.right()) return;
    const int sy = y1 > y0 ? 1 : -1;
    long long from = 0, to = std::llabs(static_cast<long long>(y1) - y0); // steps along the line
    if (sy > 0) {
        from = std::max<long long>(from, static_cast<long long>(m_bounds.top()) - y0);
        to = std::min<long long>(to, static_cast<long long>(m_bounds.bottom()) - y0 + 1);
    } else {
        from = std::max<long long>(from, static_cast<long long>(y0) - m_bounds.bottom());
        to = std::min<long long>(to, static_cast<long long>(y0) - m_bounds.top() + 1);
    }
    for (long long i = (from + 2) / 3 * 3; i < to; i += 3) m_target.Line(static_cast<int>(y0 + sy * i))[x] = m_nPixel;
}

void CGdiLines::Walk(int x0, int y0, int x1, int y1)
{
    const long long dx = std::llabs(static_cast<long long>(x1) - x0);
    const long long dy = std::llabs(static_cast<long long>(y1) - y0);
    const int sx = x1 > x0 ? 1 : -1;
    const int sy = y1 > y0 ? 1 : -1;
    const QRect& bounds = m_bounds;

    // Bresenham along the major axis, collecting runs of pixels on one
    // row (or column) so that a shallow line costs one fill per row.
    const bool xMajor = dx >= dy;
    const long long major = xMajor ? dx : dy;
    const long long minor = xMajor ? dy : dx;
    long long err = major / 2;
    long long px = x0, py = y0;
    long long i = 0;
    // A line that starts far outside the picture jumps to where it enters,
    // with the error term it would have had after walking there.
    {
        const long long pos = xMajor ? px : py;
        const long long dir = xMajor ? sx : sy;
        const long long lo = xMajor ? bounds.left() : bounds.top();
        const long long hi = xMajor ? bounds.right() : bounds.bottom();
        long long skip = dir > 0 ? lo - 1 - pos : pos - (hi + 1);
        if (skip > 0) {
            skip = std::min(skip, major);
            const __int128 need = static_cast<__int128>(skip) * minor - err;
            const __int128 m = need <= 0 ? 0 : (need + major - 1) / major;
            err = static_cast<long long>(err - static_cast<__int128>(skip) * minor + m * major);
            if (xMajor) {
                px += sx * skip;
                py += sy * static_cast<long long>(m);
            } else {
                py += sy * skip;
                px += sx * static_cast<long long>(m);
            }
            i = skip;
        }
    }
    long long runStartX = px, runStartY = py, runLen = 0;
    auto flush = [&]() {
        if (runLen == 0) return;
        long long rx = runStartX, ry = runStartY, w = 1, h = 1;
        if (xMajor) {
            w = runLen;
            if (sx < 0) rx = runStartX - runLen + 1;
        } else {
            h = runLen;
            if (sy < 0) ry = runStartY - runLen + 1;
        }
        const QRect r(static_cast<int>(rx), static_cast<int>(ry), static_cast<int>(w), static_cast<int>(h));
        if (r.intersects(bounds)) Run(r.x(), r.y(), r.width(), r.height());
        runLen = 0;
    };
    for (; i < major; ++i) {
        const bool on = !m_bDotted || i % 3 == 0;
        if (on) {
            if (runLen == 0) {
                runStartX = px;
                runStartY = py;
            }
            ++runLen;
        }
        if (m_bDotted) flush();
        if (xMajor) px += sx;
        else py += sy;
        err -= minor;
        if (err < 0) {
            err += major;
            flush();
            if (xMajor) py += sy;
            else px += sx;
        }
        // Far outside the picture there is nothing left to draw.
        if ((xMajor ? (sx > 0 ? px > bounds.right() : px < bounds.left())
                    : (sy > 0 ? py > bounds.bottom() : py < bounds.top())))
            break;
    }
    flush();
}
