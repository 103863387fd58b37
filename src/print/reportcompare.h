// SPDX-License-Identifier: GPL-3.0-or-later
// The first page of the assessment report's comparison section: the
// comparison survey and how its rows were paired, the criterion with its
// result, the summary of the pairs and differences, and the overview chart
// in the rest of the page.
#pragma once

class QPainter;
struct SReportContent;
struct SReportPage;

void DrawComparisonPage(QPainter& p, const SReportPage& page, const SReportContent& c);
