// SPDX-License-Identifier: GPL-3.0-or-later
// "tresmon-tool report": the assessment report of a survey as a PDF file.
//
//   report FILE -o OUT.pdf [--off-limit MV] [--irfree-limit MV]
//          [--over-limit MV] [--graddiff-limit MV] [--spike MV] [--gap M]
//          [--without off,irfree,over,graddiff]
//          [--compare EARLIER [--native] [--worse-limit MV] [--shift-limit MV]]
//
// The options are those of `assess`, read by the same parser, and the
// comparison's, whose limits are read as `compare` reads them; the report is
// the one the program writes from its "Bewertungsbericht..." command.
#pragma once

// argv[0] is the first word after "report". Returns 0 on success, 1 for a
// usage error, 2 when a survey cannot be read or the PDF not written (no
// file is then left under the output name); German messages go to
// standard error.
int RunReportCommand(int argc, char** argv);
