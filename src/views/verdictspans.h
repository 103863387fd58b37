// SPDX-License-Identifier: GPL-3.0-or-later
// The protection verdict laid over the recorded metres, for whatever draws
// it along the metre axis (the curve shading, the window's bar, the
// report's sheets): every point covers its zone of influence, half the way
// to each neighbour but at most half the gap setting on a side, exactly the
// length the verdict weighs it with; consecutive points of one status make
// one span unless a gap parts them. So a single failing point shows as the
// metre it stands for, and an unmeasured stretch stays empty. No Qt here.
#pragma once

#include "doc/verdict.h"

#include <vector>

struct SVerdictSpan {
    double from = 0, to = 0; // m as recorded (or of the positions given), from <= to
    EVerdictStatus status = EVerdictStatus::NotAssessed;
};

// In row order. With `positions` (row r at [r - 1], as the curve panes draw
// the rows with pipeline data) the spans lie there instead, each point's
// zone measured in them as the verdict measures it in chainage; a point
// without one has no span.
std::vector<SVerdictSpan> VerdictSpans(const SVerdict& verdict, const std::vector<double>* positions = nullptr);
