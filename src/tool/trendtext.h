// SPDX-License-Identifier: GPL-3.0-or-later
// The trend as `trend` prints it by default, for a person at a terminal:
// the surveys compared, each track with its states and findings, the
// changes of protection per pair, the potential at each fixed point, the
// warnings, the next survey due and the digs still open.
#pragma once

#include "trend/archivetrend.h"
#include "trend/trend.h"

#include <string>

std::string TrendText(const trestrend::SArchiveTrend& loaded, const trestrend::STrend& trend);
