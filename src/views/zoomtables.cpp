// SPDX-License-Identifier: GPL-3.0-or-later
#include "zoomtables.h"

#include <array>
#include <cmath>

namespace {

// Metre rows in metres; the steps are divided by 10 when stored.
constexpr std::array<CZoomStep, 10> kMeterRows{{
    {50, 10, 50, 5},
    {100, 10, 50, 10},
    {200, 20, 200, 20},
    {500, 100, 500, 50},
    {1000, 200, 500, 100},
    {2000, 200, 2000, 200},
    {5000, 500, 2500, 500},
    {10000, 1000, 5000, 1000},
    {20000, 2000, 10000, 5000},
    {50000, 5000, 25000, 5000},
}};

// The 20000 row deliberately keeps small line and page steps so that the
// widest view still scrolls in useful amounts.
constexpr std::array<CZoomStep, 8> kValueRows{{
    {100, 10, 50, 10},
    {200, 20, 100, 20},
    {500, 50, 250, 50},
    {1000, 100, 500, 100},
    {2000, 200, 1000, 200},
    {5000, 500, 2500, 500},
    {10000, 1000, 5000, 1000},
    {20000, 200, 1000, 2000},
}};

} // namespace

CZoomStep SnapMeterSpan(int64_t requested, const CZoomStep& current)
{
    for (const CZoomStep& row : kMeterRows)
        if (requested <= row.nSpan) return {row.nSpan, row.nLineStep / 10, row.nPageStep / 10, row.nLabelStep};
    CZoomStep kept = current;
    kept.nSpan = requested > INT32_MAX ? INT32_MAX : static_cast<int32_t>(requested);
    return kept;
}

CZoomStep SnapValueSpan(int64_t requested, const CZoomStep& current)
{
    if (requested > 20001) return current;
    for (const CZoomStep& row : kValueRows)
        if (requested <= row.nSpan) return row;
    return kValueRows.back(); // 20001
}

int64_t ZoomInRequest(int32_t span) { return static_cast<int64_t>(std::trunc(0.4 * span)) - 1; }

int64_t ZoomOutRequest(int32_t span) { return int64_t{span} + 1; }
