// SPDX-License-Identifier: GPL-3.0-or-later
// The trend as scripts read it (`trend --json`): the surveys compared, the
// tracks with their findings, the changes per pair, the fixed points, the
// warnings, the due date and the open digs. Surveys are named by their
// archive id; categories and statuses as the assessment's JSON gives them.
#pragma once

#include "export/jsontext.h"
#include "trend.h"

namespace trestrend {

struct STrendPipeline {
    long long id = 0;
    std::string name, number;
};

ojson TrendJson(const STrendPipeline& pipeline, const std::vector<STrendSurvey>& surveys, const STrend& trend);

} // namespace trestrend
