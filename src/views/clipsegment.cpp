// SPDX-License-Identifier: GPL-3.0-or-later
#include "clipsegment.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

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

bool Inside(CClipPoint q, const CClipRect& r)
{
    return q.x >= r.left && q.x <= r.right && q.y >= r.top && q.y <= r.bottom;
}

// Where a -> b enters (t0) and leaves (t1) the rectangle, 0 <= t0 <= t1 <= 1;
// false when it misses it.
bool Crossing(CClipPoint a, CClipPoint b, const CClipRect& r, double& t0, double& t1)
{
    t0 = 0;
    t1 = 1;
    const double d[2] = {double(b.x) - a.x, double(b.y) - a.y};
    const double from[2] = {double(a.x), double(a.y)};
    const double lo[2] = {double(r.left), double(r.top)}, hi[2] = {double(r.right), double(r.bottom)};
    for (int k = 0; k < 2; ++k) {
        if (d[k] == 0) {
            if (from[k] < lo[k] || from[k] > hi[k]) return false;
            continue;
        }
        double e = (lo[k] - from[k]) / d[k], f = (hi[k] - from[k]) / d[k];
        if (e > f) std::swap(e, f);
        t0 = std::max(t0, e);
        t1 = std::min(t1, f);
    }
    return t0 <= t1;
}

// The point at t along a -> b, truncated toward a and held in the rectangle.
CClipPoint At(CClipPoint a, CClipPoint b, double t, const CClipRect& r)
{
    const auto along = [t](int from, int to) { return from + std::trunc((double(to) - from) * t); };
    return {static_cast<int>(std::clamp<double>(along(a.x, b.x), r.left, r.right)),
            static_cast<int>(std::clamp<double>(along(a.y, b.y), r.top, r.bottom))};
}

} // namespace

CClipResult ClipSegmentInside(CClipPoint p, CClipPoint c, const CClipRect& r)
{
    if (c.x < p.x) {
        CClipResult m = ClipSegmentInside(c, p, r);
        std::swap(m.prev, m.cur);
        std::swap(m.bPrevClipped, m.bThisClipped);
        return m;
    }
    CClipResult res = ClipSegment(p, c, r);
    if (res.bPrevClipped && res.bThisClipped) return res; // drawn as nothing
    if (Inside(res.prev, r) && Inside(res.cur, r)) return res;
    double t0 = 0, t1 = 1;
    if (!Crossing(p, c, r, t0, t1)) {
        res.bPrevClipped = res.bThisClipped = true;
        return res;
    }
    res.bPrevClipped = !Inside(p, r);
    res.bThisClipped = !Inside(c, r);
    res.prev = res.bPrevClipped ? At(c, p, 1 - t0, r) : p;
    res.cur = res.bThisClipped ? At(p, c, t1, r) : c;
    return res;
}

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
