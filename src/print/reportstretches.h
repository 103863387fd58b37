// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of the report's table of stretches that are assessed and not
// "geschützt", without Qt. The verdict's stretch rule stays exact (and so
// does the JSON): a run of one status ends at the first point of another.
// Read on paper, 100 m of "Grenzpotential unterschritten" broken by single
// protected points into a dozen lines hides that it is one finding; so the
// table joins stretches of one status ("nicht geschützt", "Grenzpotential
// unterschritten") separated by fewer than `merge` points of other assessed
// statuses into one line that names the interruptions. Its length and
// points are those of the joined stretches alone; its worst value the
// worst among them.
#pragma once

#include "doc/verdict.h"

#include <string>
#include <vector>

inline constexpr int kDefaultStretchMerge = 3; // points

struct SReportStretch {
    SVerdictStretch joined;         // the joined stretches' status, ends, points, length and worst value
    std::vector<int> parts;         // indices into SVerdict::stretches of the stretches joined
    std::vector<int> interruptions; // indices of the stretches between them
};

// The verdict's stretches that are assessed and not "geschützt", in row
// order, those of one status joined as described above; `merge` 0 or 1
// joins none.
std::vector<SReportStretch> ReportStretches(const SVerdict& v, int merge);

// "unterbrochen von 2 Punkten „geschützt“ bei 412 m und 418 m" (several
// statuses one after another, separated by "; "), each point at its place
// on the axis with `decimals` (0 ... 2; 0 keeps what a half or hundredths
// of a metre needs); empty for a line that joins nothing.
std::string InterruptionText(const SVerdict& v, const SReportStretch& s, int decimals = 0);
