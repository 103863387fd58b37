// SPDX-License-Identifier: GPL-3.0-or-later
// What each sheet of the assessment report shows, without Qt: the survey cut
// into sections of equal length, and for each the rows, defects, landmarks
// and stretches that fall into it and the axes fitted to its values. The
// report draws a sheet from its plan alone, so a sheet's work does not grow
// with the length of the survey.
#pragma once

#include "assesslayout.h"
#include "verdict.h"

#include <cstdint>
#include <vector>

class CTreDoc;
struct SComparison;

// A stretch's extent along the metre axis: its points' zones of influence,
// half the way to each neighbour but at most half the gap on a side.
struct SStretchExtent {
    double from = 0, to = 0; // m, from <= to
};
std::vector<SStretchExtent> StretchExtents(const SVerdict& v);

struct SSheetPlan {
    assesslayout::SSection section;
    // Rows (1..N) whose curves the sheet draws, ascending: the rows with a
    // metre in the section, and the row before and after each run of them
    // so the curves reach the edges. The same for the comparison survey.
    std::vector<int> rows;
    std::vector<int> earlierRows;
    // The comparison's pairs the native curve draws: [pairFirst, pairEnd).
    size_t pairFirst = 0, pairEnd = 0;
    std::vector<int> defects;     // indices into SVerdict::defects
    std::vector<int> landmarks;   // rows with a comment, in row order
    std::vector<int> stretches;   // indices into SVerdict::stretches reaching into the section
    assesslayout::SAxis potAxis;  // mV
    assesslayout::SAxis gradAxis; // tenths of a mV
};

// The comparison drawn on the sheets: the earlier survey's potential off, or
// for a native survey the native potential of the pairs (each pair's off
// value, else its on value).
struct SSheetComparison {
    const CTreDoc* earlier = nullptr;    // earlier mode
    const SComparison* native = nullptr; // native mode
    // Earlier mode: where each earlier row lies on the current survey's
    // metres (EarlierOnCurrentMetres); null: its own recorded metres.
    const std::vector<int32_t>* earlierMetres = nullptr;
};

// The sheets of `doc` in sections of `sectionLength` m. The potential axis
// of a sheet spans the potentials on and off, the usable IR-free potentials
// and the comparison's potentials in its section together with E_p and E_l;
// the gradient axis the on and off gradients and D. O(N) plus the
// sections.
std::vector<SSheetPlan> PlanSheets(const CTreDoc& doc, const SVerdict& v, int64_t sectionLength,
                                   const SSheetComparison& comparison = {});

// For each row 0..N of `doc` the index of its point in SVerdict::rows, -1
// for a row without a metre (and for the unused entry 0).
std::vector<int> VerdictRowIndex(const SVerdict& v, int rowCount);

// The native potential of a pair, NO_VALUE when neither was measured.
int32_t NativePotential(const SComparison& c, size_t pair);
