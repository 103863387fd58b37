// SPDX-License-Identifier: GPL-3.0-or-later
// The first two pages of the assessment report. Page 1 is the record one
// signs: the issuer, the title, a draft's reasons, the result in sentences
// ("Ergebnis"), the survey's facts with its criteria, the standards and how
// it was taken ("Messung"), and the sign-off columns at the foot. Page 2
// holds what the result rests on: the QM entries under their meanings, the
// pipeline data with the re-stationing and the sections' criteria, the key
// figures and the settings the assessment was told.
#pragma once

class CReportLogo;
class QPainter;
struct SReportContent;
struct SReportPage;

inline constexpr int kReportIntroPages = 2;

void DrawFirstPage(QPainter& p, const SReportPage& page, const SReportContent& c, const CReportLogo& logo);
void DrawFiguresPage(QPainter& p, const SReportPage& page, const SReportContent& c);
