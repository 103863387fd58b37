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
// metre. O(N) for a survey whose metres rise or fall in row order, else
// O(N log N).
std::vector<SMetreRow> FirstRowsByMetre(const CTreDoc& doc);
// The same for metres given per row (`rows` in row order, absent metres left
// out): the metres a survey's rows stand for once aligned to another's.
std::vector<SMetreRow> FirstRowsByMetre(std::vector<SMetreRow> rows);

// The first row with `metre` in such a list; 0 when there is none.
int FirstRowWithMetre(const std::vector<SMetreRow>& index, int32_t metre);
