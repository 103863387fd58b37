// SPDX-License-Identifier: GPL-3.0-or-later
// Where protection was lost or regained between two surveys, metre by
// metre along the stretch both cover: each whole metre takes the status of
// the survey's row nearest to it (the lower position on a tie) when that
// row lies within 5 m, else none.
#pragma once

#include "trendinput.h"

#include <utility>
#include <vector>

namespace trestrend {

struct SMetreRuns {
    long long length = 0;                                   // m: the number of such metres
    std::vector<std::pair<long long, long long>> intervals; // [first, last + 1)
};

struct SProtectionChange {
    size_t from = 0, to = 0;     // indices of the surveys compared
    long long compared = 0;      // m where both have an assessed status
    SMetreRuns newlyUnprotected; // protected before, unprotected or over now
    SMetreRuns reprotected;      // the reverse
};

inline constexpr double kStatusReach = 5.0; // m

SProtectionChange ProtectionChange(const STrendSurvey& before, const STrendSurvey& after);

} // namespace trestrend
