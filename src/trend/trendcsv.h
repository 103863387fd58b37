// SPDX-License-Identifier: GPL-3.0-or-later
// The trend for a spreadsheet (`trend --csv`): the tracks, one line per
// track and survey, then after an empty line the changes of protection per
// pair of surveys; as every spreadsheet export of the tool (UTF-8 with
// BOM, semicolons, decimal comma).
#pragma once

#include "trend.h"

#include <string>

namespace trestrend {

std::string TrendCsv(const std::vector<STrendSurvey>& surveys, const STrend& trend);

} // namespace trestrend
