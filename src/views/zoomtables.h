// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom steps of the curve panes: the metre axis (shared by both panes)
// and the value axis (per pane). A requested span snaps to the smallest
// table row that is not smaller than the request.
#pragma once

#include <cstdint>

struct CZoomStep {
    int32_t nSpan = 0;
    int32_t nLineStep = 0;  // scroll-arrow step
    int32_t nPageStep = 0;  // scroll-page step
    int32_t nLabelStep = 0; // distance of ticks and labels
    bool operator==(const CZoomStep&) const = default;
};

// Metre axis. Line and page steps come back in scroll units of 10 m, the
// span and label step in metres. A request above the largest row (50000 m)
// keeps the steps of `current` and takes the requested span as it is.
CZoomStep SnapMeterSpan(int64_t requested, const CZoomStep& current);

// Value axis, in 0.1 mV (gradient pane) or negated mV (potential pane). A
// request up to 20001 still gives the 20000 row; a larger one returns
// `current` unchanged.
CZoomStep SnapValueSpan(int64_t requested, const CZoomStep& current);

// Zoom in asks for trunc(0.4 * span) - 1 and zoom out for span + 1, so each
// click moves exactly one row (and stays at the ends of the table).
int64_t ZoomInRequest(int32_t span);
int64_t ZoomOutRequest(int32_t span);
