// SPDX-License-Identifier: GPL-3.0-or-later
// What the trend across surveys compares: per survey of one pipeline, its
// assessed rows and its defects at their positions (chainages where the
// survey was tied to pipeline data, else its recorded metres), as its
// stored assessment gave them, and the dig findings recorded since.
#pragma once

#include "doc/rowverdict.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trestrend {

struct STrendRow {
    int row = 0;
    int32_t metre = 0;
    double position = 0; // m: chainage, or the metre without pipeline data
    EVerdictStatus status = EVerdictStatus::NotAssessed;
    std::optional<int32_t> value; // E* in mV, for an assessed row
};

struct STrendDefect {
    int row = 0;
    int32_t metre = 0;
    double position = 0;
    int category = 0; // 1..4 (I..IV), 0 without one
    std::optional<double> irPercent;
    EVerdictStatus status = EVerdictStatus::NotAssessed;
    std::string action; // the dig list's, e.g. "umgehend aufgraben"
};

struct STrendSurvey {
    long long id = 0;
    std::string date; // YYYY-MM-DD
    std::string file;
    bool chainage = false; // positions are chainages
    std::vector<STrendRow> rows;
    std::vector<STrendDefect> defects;
    // E_p the survey was assessed with, mV, and whether it was only assumed
    // (neither given nor in the header): the report is then a draft.
    std::optional<int32_t> protection;
    bool protectionAssumed = false;
};

// What a dig at a defect of a stored survey found.
struct SDigFinding {
    long long survey = 0;
    int row = 0;
    std::string date; // YYYY-MM-DD
    std::string finding;
    bool repaired = false;
    std::optional<double> offset; // m from the indicated chainage
    std::string by;
};

} // namespace trestrend
