// SPDX-License-Identifier: GPL-3.0-or-later
// A survey's rows by metre, each metre once with its first row: how a second
// survey (an earlier or a native one) is matched to the current one.
#pragma once

#include <compare>
#include <cstdint>
#include <vector>

class CTreDoc;

struct SMetreRow {
    int32_t metre;
    int row;
    auto operator<=>(const SMetreRow&) const = default;
};

// Each present metre once, with its first row in row order, ascending by
// metre. O(N log N).
std::vector<SMetreRow> FirstRowsByMetre(const CTreDoc& doc);

// The first row with `metre` in such a list; 0 when there is none.
int FirstRowWithMetre(const std::vector<SMetreRow>& index, int32_t metre);
