// SPDX-License-Identifier: GPL-3.0-or-later
// The least widths the main window's panes need to be read: a curve pane
// its axis texts and some curve, the table its metre and a value column.
#pragma once

namespace framelimit {
constexpr int kCurvesMinWidth = 200;
constexpr int kTableMinWidth = 160;
} // namespace framelimit
