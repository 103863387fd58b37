// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers of the table print that need no drawing device: the line
// layout of the rows (with the error list's gaps), the column positions and
// the texts of the limit windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTreDoc;

namespace tablelayout {

// Table lines per page: 46, or 43 with the error list (its limit windows
// take the room of three lines).
int RowsPerPage(bool errorList);

// N / RP rounded up, at least 1.
int PageCount(int rowCount, bool errorList);

// The row on each line of the table, lines numbered from 1 (index 0 is
// line 1); 0 marks the empty line that stands for a run of rows the error
// list leaves out. Without the error list row r sits on line r. An empty
// line never becomes the first line of a page: the next printed row takes
// that line instead.
std::vector<int> LineLayout(const CTreDoc& doc, bool errorList, int rowsPerPage);

// Column positions of a table from left to right (device units).
struct CColumns {
    int x14 = 0, x41 = 0, x74 = 0;        // ends of the metre, potential and gradient groups
    int xm = 0;                           // metre centre
    int potOn = 0, potOff = 0, potIR = 0; // potential sub-column centres (potIR only with IR)
    int a = 0;                            // a third of the gradient group
    int ge = 0, ga = 0, gd = 0;           // gradient Ein, Aus, Diff. centres
};
CColumns ComputeColumns(int left, int right, bool withIR, bool leftRight);

// The text of limit window k (0..5) as the error-list header prints it:
// larger bound first, "[ ____ / ____ ]" or "[...../.....]" when unset.
std::string LimitWindowText(const CTreDoc& doc, int k, bool arial);

} // namespace tablelayout
