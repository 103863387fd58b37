// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablelayout.h"

#include "doc/numtext.h"
#include "doc/tredoc.h"

namespace tablelayout {

int RowsPerPage(bool errorList) { return errorList ? 43 : 46; }

int PageCount(int rowCount, bool errorList)
{
    const int rp = RowsPerPage(errorList);
    const int pages = (rowCount + rp - 1) / rp;
    return pages < 1 ? 1 : pages;
}

std::vector<int> LineLayout(const CTreDoc& doc, bool errorList, int rowsPerPage)
{
    const int n = doc.GetRowCount();
    std::vector<int> lines;
    lines.reserve(static_cast<size_t>(n > 0 ? n : 0));
    bool skipped = false;
    for (int r = 1; r <= n; ++r) {
        if (errorList && !doc.IsInErrorWindow(r)) {
            skipped = true;
            continue;
        }
        if (skipped && rowsPerPage > 0 && lines.size() % static_cast<size_t>(rowsPerPage) != 0) lines.push_back(0);
        skipped = false;
        lines.push_back(r);
    }
    return lines;
}

CColumns ComputeColumns(int left, int right, bool withIR, bool leftRight)
{
    const int w = right - left;
    CColumns c;
    c.x14 = left + w * 14 / 100;
    c.x41 = left + w * 41 / 100;
    c.x74 = left + w * 74 / 100;
    c.xm = left + w * 14 / 200;
    const int d = c.x41 - c.x14;
    if (withIR) {
        c.potOn = c.x14 + static_cast<int>(0.17 * d);
        c.potOff = c.x14 + static_cast<int>(0.5 * d);
        c.potIR = c.x14 + static_cast<int>(0.83 * d);
    } else {
        c.potOn = c.x14 + static_cast<int>(0.33 * d);
        c.potOff = c.x14 + static_cast<int>(0.66 * d);
    }
    c.a = (c.x74 - c.x41) / 3;
    c.ga = c.x41 + (c.x74 - c.x41) / 2;
    if (leftRight) {
        c.ge = c.x41 + c.a / 2;
        c.gd = c.x41 + static_cast<int>(2.5 * c.a);
    } else {
        c.ge = c.x41 + static_cast<int>(0.5555555555555556 * c.a);
        c.gd = c.x41 + static_cast<int>(2.4 * c.a);
    }
    return c;
}

std::string LimitWindowText(const CTreDoc& doc, int k, bool arial)
{
    if (k < 0 || k > 5) return {};
    const int32_t lo = doc.m_limits[static_cast<size_t>(k)];
    const int32_t hi = doc.m_limits[static_cast<size_t>(k + 12)];
    if (!IsPresent(lo) || !IsPresent(hi)) return arial ? "[ ____ / ____ ]" : "[...../.....]";
    std::string a, b;
    if (k < 3) {
        a = tresnum::VoltsText(hi, 5);
        b = tresnum::VoltsText(lo, 5);
        return arial ? "[ " + a + " / " + b + " ]" : "[" + a + "/" + b + "]";
    }
    a = tresnum::FormatInt(lo / 10, 5);
    b = tresnum::FormatInt(hi / 10, 5);
    return arial ? "[  " + a + " /   " + b + " ]" : "[" + a + "/" + b + "]";
}

} // namespace tablelayout
