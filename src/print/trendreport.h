// SPDX-License-Identifier: GPL-3.0-or-later
// The trend report across a pipeline's surveys: A4 portrait, German, with
// the assessment report's header, issuer and draft rules. First the surveys
// compared, the warnings, the next survey due and the digs still open; then
// per pair of consecutive surveys where protection was lost or regained;
// the track table with a column per survey and the dig findings; a chart
// per fixed point of its potential over the survey dates; and one sheet per
// section with the surveys' potentials drawn over each other.
//
// The report shows ComputeTrend()'s result; it computes nothing of its own
// beyond the sections and the scales.
#pragma once

#include "reportoptions.h"
#include "trend/archivetrend.h"
#include "trend/trend.h"

#include <QString>

#include <cstdint>
#include <vector>

struct STrendReportInput {
    QString pipelineName;
    QString pipelineNumber;
    // In date order, as the trend was computed from them; `trend` points
    // into them.
    std::vector<trestrend::STrendSurvey> surveys;
    // The dig findings the trend's tracks point into, when the input holds
    // them itself (TrendReportInputFrom). Moving the input keeps the
    // pointers; a copy still points into the original.
    std::vector<trestrend::SDigFinding> findings;
    trestrend::STrend trend;
    std::vector<int32_t> protection; // E_p the survey was assessed with, mV, one per survey
    QString electrode;               // of the potentials; empty: the issuer's setting
    bool criterionAssumed = false;   // a survey's E_p is the default, not stated: a draft
};

// The report's input from the surveys a trend was loaded with (moved in),
// the trend computed over them with `options`: one way for the tool and the
// program. A survey without a stated criterion counts as the default one
// and makes the report a draft.
STrendReportInput TrendReportInputFrom(trestrend::SArchiveTrend loaded, const trestrend::STrendOptions& options);

// Writes the report as a PDF file, under a temporary name beside `path`
// renamed when complete, so a failure leaves an existing file as it was.
// `options` gives the issuer, the report number and revision, the section
// length and whether a final report is asked for (a draft then is refused).
// On failure returns false with a German message in `error` (when given).
bool WriteTrendReportPdf(const STrendReportInput& in, const SReportOptions& options, const QString& path,
                         QString* error);
