// SPDX-License-Identifier: GPL-3.0-or-later
// What each sheet of the assessment report shows, without Qt: the survey cut
// into sections of equal length, and for each the rows, defects, landmarks
// and stretches that fall into it and the axes fitted to its values. The
// report draws a sheet from its plan alone, so a sheet's work does not grow
// with the length of the survey.
//
// A sheet has one axis for everything drawn on it: the verdict's positions,
// which are the recorded metres, or the chainage when the survey is tied to
// pipeline data. Curves, bands, dots, defects, landmarks, criterion lines
// and the comparison all stand there, so a band and the dip it marks meet.
#pragma once

#include "assesslayout.h"
#include "doc/metrealign.h"
#include "doc/verdict.h"
#include "pipeline/limitruns.h"
#include "pipeline/pipelinedata.h"

#include <cstdint>
#include <utility>
#include <vector>

class CTreDoc;
struct SComparison;

// A stretch's extent along the axis: its points' zones of influence, half
// the way to each neighbour but at most half the gap on a side.
struct SStretchExtent {
    double from = 0, to = 0; // m, from <= to
};
std::vector<SStretchExtent> StretchExtents(const SVerdict& v);

using trespipeline::SLimitRun;

struct SSheetPlan {
    assesslayout::SSection section;
    // Rows (1..N) whose curves the sheet draws, ascending: the rows placed
    // in the section, and the row before and after each run of them so the
    // curves reach the edges. The same for the comparison survey.
    std::vector<int> rows;
    std::vector<int> earlierRows;
    // The comparison's pairs the native curve draws: [pairFirst, pairEnd).
    size_t pairFirst = 0, pairEnd = 0;
    std::vector<int> defects;                 // indices into SVerdict::defects
    std::vector<int> landmarks;               // rows with a comment, in row order
    std::vector<int> stretches;               // indices into SVerdict::stretches reaching into the section
    std::vector<SLimitRun> protection, limit; // E_p and E_l from the left edge to the right
    assesslayout::SAxis potAxis;              // mV
    assesslayout::SAxis gradAxis;             // tenths of a mV
};

// The comparison drawn on the sheets: the earlier survey's potential off, or
// for a native survey the native potential of the pairs (each pair's off
// value, else its on value).
struct SSheetComparison {
    const CTreDoc* earlier = nullptr;    // earlier mode
    const SComparison* native = nullptr; // native mode
    // Where each earlier row (earlier mode, at [r - 1]) or each pair (native
    // mode) stands on the axis (ComparisonPositions); NaN: nowhere.
    const std::vector<double>* positions = nullptr;
};

// The sheets of `doc` in sections of `sectionLength` m of the axis. The
// potential axis of a sheet spans the potentials on and off, the usable
// IR-free potentials and the comparison's potentials in its section
// together with E_p and E_l (the sections' own where `sections` set them);
// the gradient axis the on and off gradients and D. A section in which no
// row stands but on a boundary it shares with the next or previous one is
// left out: it would show nothing the sheets beside it do not. O(N) plus
// the sections.
std::vector<SSheetPlan> PlanSheets(const CTreDoc& doc, const SVerdict& v, int64_t sectionLength,
                                   const SSheetComparison& comparison = {},
                                   const std::vector<trespipeline::SSection>* sections = nullptr);

// For each row 0..N of `doc` the index of its point in SVerdict::rows, -1
// for a row without a metre (and for the unused entry 0).
std::vector<int> VerdictRowIndex(const SVerdict& v, int rowCount);

// A point's place on the axis in m.
inline double AxisPosition(const SVerdictRow& row) { return static_cast<double>(row.position) / 100.0; }

// Where a metre the comparison's alignment paired by stands on the axis.
// Without `chainage` on the current survey's recorded metres
// (CAlignedToRecorded); with it (the current survey's chainage, row r at
// [r - 1]) at the chainage: the aligned metre itself where the pipeline
// data paired the surveys, else the recorded metre carried over between
// the current survey's rows (piecewise linear, beyond its first and last
// row shifted with the direction kept). NaN where there is none.
class CComparisonAxis {
public:
    CComparisonAxis(const CTreDoc& current, const SAlignment& a, const std::vector<double>* chainage);
    double operator()(int32_t aligned) const;

private:
    CAlignedToRecorded m_toRecorded;
    bool m_chainage, m_aligned;
    std::vector<std::pair<double, double>> m_knots; // (recorded metre, chainage) by metre
    double m_slope = 1;
};

// Where the comparison stands on the axis (CComparisonAxis): each earlier
// row (earlier mode, at [r - 1]) or each pair (native mode).
std::vector<double> ComparisonPositions(const CTreDoc& current, const CTreDoc& other, const SComparison& c,
                                        const std::vector<double>* chainage);

// The native potential of a pair, NO_VALUE when neither was measured.
int32_t NativePotential(const SComparison& c, size_t pair);

using trespipeline::LimitRuns;
