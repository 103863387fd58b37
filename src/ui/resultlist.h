// SPDX-License-Identifier: GPL-3.0-or-later
// Read-only lists of results, one row per finding (the assessment window's
// lists and any later one): rows are chosen whole, and every column is as
// wide as its header and contents, so no value hides behind its neighbour.
#pragma once

class QTableView;

// Sets `view` up as such a list.
void SetUpResultList(QTableView* view);

// The width `view` needs to show all its columns without a horizontal
// scroll bar, with room for the vertical one.
int ResultListWidth(const QTableView* view);
