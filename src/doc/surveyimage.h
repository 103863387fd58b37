// SPDX-License-Identifier: GPL-3.0-or-later
// A survey as a reader found it in a file, before it reaches the document:
// what CTreDoc::Replace puts in place of the document's survey, or
// CTreDoc::Append adds behind its rows. A reader fills one completely before
// the document changes, so a refused file leaves the document as it was.
#pragma once

#include "measrow.h"
#include "rowextras.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The printout switches a file may carry; each one it names is set, the
// others keep their value (after Replace: the defaults).
enum class EPrintSwitch {
    TableIR,
    TableQM,
    TableArial,
    TableLinesGW,
    HeadNumber, // both printouts' head number
    PlotIR,
    PlotQM,
    PlotGradOn,
    PlotGradOff,
    PlotGradDiff,
};

struct CSurveyImage {
    // As the document holds them (UTF-8), but entry 10: the QM line still
    // encoded, as read. Append keeps the document's header and QM data.
    std::array<std::string, 20> header;
    std::array<std::string, 20> qm;
    std::vector<CMeasRow> rows;
    // The error-list limits the file names, in its order: pair k gets lower
    // and upper (both NO_VALUE when a bound did not fit).
    struct CLimit {
        int k;
        int32_t lower, upper;
    };
    std::vector<CLimit> limits;
    std::vector<std::pair<EPrintSwitch, bool>> switches;
    // What the rows' format cannot carry; empty from a .tsd.
    CSurveyExtras extras;
};
