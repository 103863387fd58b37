// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment report ("Bewertungsbericht") an operator files: A4
// portrait, German. Page 1 names the issuer (when the settings "Bericht"
// give one), states the result in sentences ("Ergebnis"), the survey's
// facts with the criterion, its source, the standards, the reference
// electrode and how the survey was taken, and holds the sign-off block.
// Page 2 gives the QM entries, the pipeline data with the re-stationing,
// and the key figures of the assessment. One sheet per section of the
// survey follows with the potential and gradient charts (assesssheet.h),
// then the dig list, the stretches that are not "geschützt", the
// stretches not assessed and the warnings, each table with its column
// header on every page it covers. With pipeline data the dig list is
// followed by where each entry lies (chainage, latitude/longitude,
// easting/northing). With a comparison survey its section comes last,
// naming how the rows were paired. Every page's header holds the report's
// number and revision, the survey's file name and "Seite n von m".
//
// A report without an issuer, with an assumed criterion or with pipeline
// data that raised warnings is a draft: "ENTWURF" across every page and at
// the start of the first header line, the reasons under the title. Asked
// for as final, such a report is not written.
//
// The report shows AssessProtection()'s and Compare()'s results; it
// computes nothing of its own beyond sums and ratios of them.
#pragma once

#include "reportoptions.h"

#include <QString>
#include <QStringList>

class CTreDoc;
class QPrinter;

// Why the report of `doc` under `options` would be a draft (German, in the
// order page 1 lists them); empty when it may be final.
QStringList AssessmentReportDraftReasons(const CTreDoc& doc, const SReportOptions& options);

// Writes the report as a PDF file. The file appears under `path` only when
// it is complete: it is written beside it under a temporary name and
// renamed at the end, so a failure leaves an existing file as it was and no
// new one. On failure (also a logo that cannot be read, and a draft asked
// for as final, the message naming why it is one) returns false with a
// German message in `error` (when given).
bool WriteAssessmentReportPdf(const CTreDoc& doc, const SReportOptions& options, const QString& path, QString* error);

// Prints the report on `printer` as it is set up (its page range if one is
// set). False with a German message in `error` when the logo cannot be
// read, a draft was asked for as final, or the printer cannot be opened.
bool PrintAssessmentReport(const CTreDoc& doc, const SReportOptions& options, QPrinter& printer, QString* error);
