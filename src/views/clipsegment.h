// SPDX-License-Identifier: GPL-3.0-or-later
// Clipping of one curve segment against the plot rectangle, shared by the
// curve panes and the graphic print. No Qt here so the print code and the
// batch tool can link it alone.
#pragma once

struct CClipPoint {
    int x = 0;
    int y = 0;
    bool operator==(const CClipPoint&) const = default;
};

struct CClipRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct CClipResult {
    CClipPoint prev; // the previous point, moved onto the rectangle if it lay outside
    CClipPoint cur;  // the current point, likewise
    bool bPrevClipped = false;
    bool bThisClipped = false;
};

// Moves the ends of the segment prev -> cur onto the rectangle's edges:
// first the current and the previous point vertically (top/bottom), then
// the previous point against the left edge and the current point against
// the right edge, the last two from the unclipped heights. Integer
// arithmetic throughout, quotients truncated toward zero.
//
// Curves run from left to right, so only the previous point is tested
// against the left edge and only the current point against the right edge.
//
// Never divides by zero (a vertical segment outside left or right keeps its
// heights) and never overflows: products are formed in 128 bits and the
// results saturate to the int range.
CClipResult ClipSegment(CClipPoint prev, CClipPoint cur, const CClipRect& rect);

// The same for a segment running either way, that never leaves an end it
// draws outside the rectangle: a segment running right to left is clipped
// as its mirror image, one that lies wholly beyond an edge comes back with
// both ends clipped (drawn as nothing), and one whose clipped end
// ClipSegment's order of edges leaves outside (it leaves the plot through
// the bottom before it reaches the right edge) gets that end on the edge it
// crosses. Where ClipSegment's ends lie inside, its result is returned as
// it is, so a curve running left to right keeps its pixels. A comparison
// survey's rows need not run along the axis, nor need the chainages of a
// survey walked against it.
CClipResult ClipSegmentInside(CClipPoint prev, CClipPoint cur, const CClipRect& rect);
