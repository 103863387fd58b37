// SPDX-License-Identifier: GPL-3.0-or-later
// The trend's input taken from the archive: a pipeline's surveys that are
// still in it (their current assessments, in date order, same date lower id
// first), the fixed points of the newest revision of its pipeline data,
// the interval the route asks for, and the dig findings recorded at its
// surveys.
#pragma once

#include "fixpointtrend.h"
#include "trendinput.h"
#include "trendjson.h"

#include "archive/store.h"

#include <optional>
#include <string>
#include <vector>

namespace trestrend {

struct STrendRequest {
    std::string pipeline;              // its name, matched as the archive's list matches
    std::optional<std::string> number; // its number, when several share the name
    std::string from, to;              // YYYY-MM-DD, inclusive; empty: open
};

struct SArchiveTrend {
    STrendPipeline pipeline;
    std::vector<STrendSurvey> surveys;
    std::vector<SDigFinding> findings;
    std::vector<SFixpointAt> fixpoints;
    std::optional<int> surveyInterval; // years: the route's surveyInterval
    std::vector<std::string> warnings; // what was set aside while loading
};

// False with a German reason in `error` when no pipeline or more than one
// answers the request, or a survey's assessment cannot be read. Archive
// faults are thrown as tresarchive::CArchiveError.
bool LoadArchiveTrend(tresarchive::CArchive& archive, const STrendRequest& request, SArchiveTrend& out,
                      std::string& error);

} // namespace trestrend
