// SPDX-License-Identifier: GPL-3.0-or-later
// "tresmon-tool report --trend": the trend report across the archived
// surveys of one pipeline as a PDF file.
//
//   report --trend [ARCHIVE] --pipeline NAME -o OUT.pdf [--number NR]
//          [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--match M] [--window W]
//          [--drift MV] [--interval YEARS] [--section M] [--final]
//          [--report-number TEXT] [--revision TEXT] [--company TEXT]
//          [--logo FILE] [--author TEXT] [--electrode TEXT]
//
// The surveys are compared as `trend` compares them; the issuer comes from
// the program's settings "Bericht", each part overridden by its option, as
// for the assessment report.
#pragma once

// Whether the words after "report" ask for the trend report.
bool AsksForTrendReport(int argc, char** argv);

// argv[0] is the first word after "report". Returns 0 on success, 1 for a
// usage error, 2 when the archive cannot be read or the PDF not written.
int RunTrendReportCommand(int argc, char** argv);
