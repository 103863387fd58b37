// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment report's numbers without Qt: how its tables are cut into
// pages, the axis steps of its overview chart and the text forms of its
// values, so tests can check them alone.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace assesslayout {

// The report's lists: the assessment's three, in the order they are
// printed, then the comparison's indications in their own section.
enum class ETable { Indications = 0, Defects, Warnings, Comparison };
inline constexpr int kTableCount = 3; // the assessment's lists

// A part of one table on one page: items first .. first + count - 1
// (from 0). `continued` is set when the table began on an earlier page.
struct SBlock {
    ETable table = ETable::Indications;
    int first = 0;
    int count = 0;
    bool continued = false;
};
using SPage = std::vector<SBlock>;

// The pages after the overview page. Every page holds `linesPerPage` lines;
// a table part takes `headLines` for its title and column header, then one
// line per item (an empty table one line for its "keine" note), and
// `gapLines` separate two tables on a page. A table starts on a fresh page
// when not even its header and one item fit on the current one, so no
// header stands alone at the foot of a page. At least one page results.
std::vector<SPage> PaginateTables(const std::array<int, kTableCount>& itemCounts, int linesPerPage, int headLines,
                                  int gapLines);

// The same for any tables in the order given, each with its item count:
// the comparison section's pages are cut by the same rules.
struct STableItems {
    ETable table = ETable::Indications;
    int count = 0;
};
std::vector<SPage> PaginateTables(const std::vector<STableItems>& tables, int linesPerPage, int headLines,
                                  int gapLines);

// A tick step of 1, 2 or 5 times a power of ten that cuts `range` into at
// most `maxTicks` steps (1 for an empty or negative range).
int64_t NiceStep(int64_t range, int maxTicks);

// The value texts of the report, German decimal comma, an en dash for an
// absent value (NO_VALUE).
std::string MvText(int32_t mv);         // "-850"
std::string TenthsText(int32_t tenths); // "5,0", "-0,3"
// part / whole in per cent with one decimal ("12,5"); an en dash when the
// whole is 0.
std::string PercentText(int64_t part, int64_t whole);

} // namespace assesslayout
