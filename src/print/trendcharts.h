// SPDX-License-Identifier: GPL-3.0-or-later
// The trend report's charts: a fixed point's potential over the survey
// dates, and a section's potentials of all surveys drawn over each other
// along the position. Vector drawing scaled to the box, negative
// potentials upward as on the assessment report's sheets; a missing value
// leaves a gap in a curve rather than a line across it.
#pragma once

#include "printframe.h"

#include <QRect>
#include <QString>

#include <vector>

class QPainter;
struct STrendReportInput;
namespace trestrend {
struct SFixpointTrend;
}

struct STrendSection {
    double from = 0, to = 0; // m
};
// The sections of `length` m the surveys' positions cover, from a whole
// multiple of it; none without an assessed value.
std::vector<STrendSection> TrendSections(const STrendReportInput& in, int length);

// "E* in mV gegen <electrode>", "E* in mV" without one.
QString TrendPotentialTitle(const QString& electrode);

// E* at the fixed point as a polyline with a mark per survey, the surveys'
// E_p as a dashed line, over the survey dates.
void DrawFixpointChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const STrendReportInput& in,
                       const trestrend::SFixpointTrend& fixpoint, const QString& potentialTitle);
// Every survey's E* in the section in its own colour (SurveyColour), with
// a legend naming each survey's number and date under the chart.
void DrawSectionChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const STrendReportInput& in,
                      const STrendSection& section, const QString& potentialTitle);
