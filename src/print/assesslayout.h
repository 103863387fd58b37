// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment report's numbers without Qt: how its tables are cut into
// pages, how the survey is cut into sheets, the axes of a sheet's charts
// and the text forms of its values, so tests can check them alone.
#pragma once

#include "doc/numtext.h"
#include "doc/valueaxis.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace assesslayout {

// The report's lists in the order they are printed: the assessment's four,
// then the comparison's indications in their own section. DigPlaces, where
// each dig list entry lies, is printed right after the dig list when the
// survey is tied to pipeline data.
enum class ETable { DigList = 0, Stretches, NotAssessed, Warnings, Comparison, DigPlaces };
inline constexpr int kTableCount = 4; // the assessment's lists

// A part of one table on one page: items first .. first + count - 1
// (from 0). `continued` is set when the table began on an earlier page.
struct SBlock {
    ETable table = ETable::DigList;
    int first = 0;
    int count = 0;
    bool continued = false;
};
using SPage = std::vector<SBlock>;

// A table to cut: its items, each `lines` tall (one line each when `lines`
// is empty; otherwise it holds one entry per item, each at least 1).
struct STableItems {
    ETable table = ETable::DigList;
    int count = 0;
    std::vector<int> lines;
};

// The pages of the tables in the order given. Every page holds
// `linesPerPage` lines; a table part takes `headLines` for its title and
// column header, then its items' lines (an empty table one line for its
// "keine" note), and `gapLines` separate two tables on a page. A table
// starts on a fresh page when not even its header and first item fit on
// the current one, so no header stands alone at the foot of a page; an
// item never splits. At least one page results.
std::vector<SPage> PaginateTables(const std::vector<STableItems>& tables, int linesPerPage, int headLines,
                                  int gapLines);
// The same for the assessment's lists, one line per item.
std::vector<SPage> PaginateTables(const std::array<int, kTableCount>& itemCounts, int linesPerPage, int headLines,
                                  int gapLines);

// The tick steps and axes of the charts, as the curve panes fit them too.
using valueaxis::AxisTicks;
using valueaxis::CeilTo;
using valueaxis::FitGradientAxis;
using valueaxis::FitPotentialAxis;
using valueaxis::FloorTo;
using valueaxis::NiceStep;
using valueaxis::SAxis;

// ---- sheets ------------------------------------------------------------------------
// One sheet's stretch of the survey: metres from .. to, both ends included,
// so a point on a boundary shows at the edge of both sheets.
struct SSection {
    int64_t from = 0, to = 0;
};
// The sheets for metres `lowest` .. `highest` in sections of `length` m
// (at least 1), the first starting at `lowest` rounded down to a multiple
// of `length`. At least one section.
std::vector<SSection> Sections(int64_t lowest, int64_t highest, int64_t length);

// ---- texts ---------------------------------------------------------------------------
// The value texts of the report, German decimal comma, an en dash for an
// absent value (NO_VALUE); numtext's where the window and the exports show
// the same value.
std::string MvText(int32_t mv); // "-850"
using tresnum::TenthsText;      // "5,0", "-0,3"
using tresnum::ThousandthsText; // mV as V: "-0,8", "-1,25"
// part / whole in per cent with one decimal ("12,5"); an en dash when the
// whole is 0.
std::string PercentText(int64_t part, int64_t whole);
// A count with its noun in the number it takes: "1 Abschnitt",
// "3 Abschnitten" (the caller gives the case), "0 Punkte".
std::string CountText(int64_t n, const char* one, const char* many);
// A length in m as the assessment gives it (whole, half or hundredths of a
// metre): "2306", "2399,5", "12,25".
using tresnum::LengthText;

} // namespace assesslayout
