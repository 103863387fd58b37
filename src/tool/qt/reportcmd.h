// SPDX-License-Identifier: GPL-3.0-or-later
// "tresmon-tool report": the assessment report of a survey as a PDF file.
//
//   report FILE -o OUT.pdf [the assessment's options]
//          [--compare EARLIER [--native] [--worse-limit MV] [--shift-limit MV]
//                             [--reverse | --no-align]]
//          [--section M] [--report-number TEXT] [--revision TEXT]
//          [--company TEXT] [--logo FILE] [--author TEXT]
//
// The assessment's options are those of `assess`, read by the same parser,
// and the comparison's limits are read as `compare` reads them; the two
// surveys are aligned as `compare` aligns them (by the pipeline data with
// --pipeline). The issuer
// comes from the program's settings "Bericht", each part overridden by its
// option; the report is the one the program writes from its
// "Bewertungsbericht..." command.
#pragma once

#include "print/reportsettings.h"

struct SAssessOptions;

// The program's settings "Bericht", each overridden by its option; the
// numbers in the form the report prints them. The trend report takes its
// issuer the same way.
SReportSettings IssuerWithOptions(const SAssessOptions& o);

// argv[0] is the first word after "report"; with --trend among them the
// trend report is written (trendreportcmd.h). Returns 0 on success, 1 for a
// usage error, 2 when a survey or the logo cannot be read or the PDF not
// written (no file is then left under the output name); German messages go
// to standard error.
int RunReportCommand(int argc, char** argv);
