// SPDX-License-Identifier: GPL-3.0-or-later
// The start the commands share that read one survey and take no options:
// their words, the survey opened, and the exit status when that fails.
#pragma once

#include "cmdline.h"
#include "doc/tredoc.h"
#include "toolhost.h"

#include <cstddef>
#include <string>

struct SSurveyCommand {
    CommandLine line;
    CToolHost host;
    CTreDoc doc;
};

// Reads `args` (only -h/--help besides the operands), wants exactly
// `operands` operands and opens the first into `cmd.doc`; with two, the
// second is the output, which must not be the first. Returns -1 when
// the command goes on; otherwise the exit status to end with: kExitOk after
// the help, kExitUsage after the usage line of `synopsis` (or the refusal
// of the output) on standard error, kExitFile when the survey cannot be read (the reason printed).
int StartSurveyCommand(const Args& args, const std::string& synopsis, size_t operands, SSurveyCommand& cmd);
