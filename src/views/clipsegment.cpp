// SPDX-License-Identifier: GPL-3.0-or-later
#include "clipsegment.h"

#include <limits>

namespace {

using Wide = __int128;

int Saturate(Wide v)
{
    constexpr Wide lo = std::numeric_limits<int>::min();
    constexpr Wide hi = std::numeric_limits<int>::max();
    return static_cast<int>(v < lo ? lo : (v > hi ? hi : v));
}

// a * b / c with C's truncation toward zero; c != 0.
Wide MulDiv(Wide a, Wide b, Wide c) { return a * b / c; }

} // namespace

CClipResult ClipSegment(CClipPoint p, CClipPoint c, const CClipRect& r)
{
    CClipResult res;
    res.prev = p;
    res.cur = c;

    if (c.y < r.top || c.y > r.bottom) {
        res.bThisClipped = true;
        res.cur.y = c.y < r.top ? r.top : r.bottom;
        res.cur.x
            = p.y == c.y ? c.x : Saturate(Wide{p.x} + MulDiv(Wide{res.cur.y} - p.y, Wide{c.x} - p.x, Wide{c.y} - p.y));
    }
    if (p.y < r.top || p.y > r.bottom) {
        res.bPrevClipped = true;
        res.prev.y = p.y < r.top ? r.top : r.bottom;
        res.prev.x
            = p.y == c.y ? p.x : Saturate(Wide{c.x} - MulDiv(Wide{c.x} - p.x, Wide{c.y} - res.prev.y, Wide{c.y} - p.y));
    }
    if (p.x < r.left) {
        res.bPrevClipped = true;
        res.prev.x = r.left;
        // A vertical segment left of the plot has no crossing with the edge;
        // it keeps its height rather than dividing by zero.
        res.prev.y
            = c.x == p.x ? p.y : Saturate(Wide{c.y} - MulDiv(Wide{c.y} - p.y, Wide{c.x} - r.left, Wide{c.x} - p.x));
    }
    if (c.x > r.right) {
        res.bThisClipped = true;
        res.cur.x = r.right;
        res.cur.y
            = c.x == p.x ? c.y : Saturate(Wide{c.y} - MulDiv(Wide{c.y} - p.y, Wide{c.x} - r.right, Wide{c.x} - p.x));
    }
    return res;
}
