// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment report ("Bewertungsbericht"): A4 portrait, German. Page 1
// holds the survey's header data, the criteria with their limits and
// results, the plausibility warnings per kind and an overview chart of the
// whole survey; then follow the lists of indications, suspected defects
// (with their landmark) and warnings, each with its column header on every
// page it covers. Every page has "Seite n von m" and the survey's file name
// in its footer. With a comparison survey, a section follows on a new page:
// the comparison's criterion, its summary, a chart of both surveys and the
// comparison's indications. The report shows Assess()'s and Compare()'s
// results; it computes nothing of its own beyond sums and per-cent shares.
#pragma once

#include "comparison.h"

#include <QString>

class CTreDoc;
class QPrinter;
struct SAssessSettings;

struct SReportComparison {
    const CTreDoc* earlier = nullptr; // null: no comparison section
    SCompareSettings settings;        // mode and limits
};

// Writes the report as a PDF file. The file appears under `path` only when
// it is complete: it is written beside it under a temporary name and
// renamed at the end, so a failure leaves an existing file as it was and no
// new one. On failure returns false with a German message in `error` (when
// given).
bool WriteAssessmentReportPdf(const CTreDoc& doc, const SAssessSettings& settings, const QString& path, QString* error,
                              const SReportComparison& comparison = {});

// Prints the report on `printer` as it is set up (its page range if one is
// set). False with a German message in `error` when the printer cannot be
// opened.
bool PrintAssessmentReport(const CTreDoc& doc, const SAssessSettings& settings, QPrinter& printer, QString* error,
                           const SReportComparison& comparison = {});
