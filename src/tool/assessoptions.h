// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment's command-line options, shared by `assess` and `report`
// (which runs in the Qt half): the survey, the limits, the spike and gap
// thresholds and the criteria left out, and for `report` the comparison
// survey with its mode and limits. No Qt here, so both halves of the
// tool parse them with the same code.
#pragma once

#include "assessment.h"
#include "comparison.h"

#include <string>
#include <vector>

enum class EAssessCommand {
    Assess, // also takes --json and --csv
    Report, // also takes -o OUT.pdf, which it needs, and --compare EARLIER
            // with --native, --worse-limit and --shift-limit
};

struct SAssessOptions {
    std::string path;
    bool csv = false;   // assess: spreadsheet CSV instead of JSON
    std::string output; // report: the PDF to write
    SAssessSettings settings;
    std::string compare; // report: the comparison survey, empty for none
    SCompareSettings compareSettings;
};

// Reads the arguments after the command's name. Returns -1 when they were
// read into `o`; otherwise the exit status to end with: kExitOk after -h or
// --help printed the command's usage on standard output, kExitUsage after a
// German message and the usage line on standard error.
int ParseAssessOptions(const std::vector<std::string>& args, EAssessCommand command, SAssessOptions& o);
