// SPDX-License-Identifier: GPL-3.0-or-later
// What `trend` and `report --trend` share: the archive and the pipeline
// they name, the limits of the comparison, and the trend's input read from
// the archive, so both halves of the tool compare the same surveys alike.
#pragma once

#include "archivecommon.h"

#include "trend/archivetrend.h"
#include "trend/trend.h"

#include <string>
#include <vector>

struct STrendCommand {
    std::string location; // the archive
    trestrend::STrendRequest request;
    trestrend::STrendOptions options; // its interval only from --interval
    SArchiveWords words;              // every word, for the command's own options
};

// Reads the words of a trend command: [ARCHIVE] --pipeline NAME [--number
// NR] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--match M] [--window W]
// [--drift D] [--interval YEARS] and the command's `extra` options. -1 when
// they were read; else the exit status after --help or a usage message.
int ReadTrendCommand(const Args& args, const std::vector<SOptionName>& extra, const char* usage, STrendCommand& cmd);

// The trend's input from the archive, the route's interval taken where
// --interval was not given and today's date set; false after a German
// message (exit status kExitFile). What was set aside while loading is
// printed as a warning.
bool LoadTrendForTool(STrendCommand& cmd, trestrend::SArchiveTrend& loaded);
