// SPDX-License-Identifier: GPL-3.0-or-later
// The page of the assessment report as every part of it draws on it: the
// frame inside the margins, the line height of the tables, where the
// content starts below the header, and the two kinds of text block the
// pages share: a section title and labelled values.
#pragma once

#include "printframe.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <vector>

class QPainter;

// Every table line is this high, so the page division is known before a
// device is; the page header takes the top of the frame.
inline constexpr double kReportLineMm = 4.0;
inline constexpr double kReportHeaderMm = 11.0;
inline constexpr int kReportLinesPerPage
    = static_cast<int>((297 - kTableMargins.top - kTableMargins.bottom - kReportHeaderMm) / kReportLineMm);
inline constexpr int kReportHeadLines = 3; // a table's title and its two-line column header
inline constexpr int kReportGapLines = 2;

inline const QColor kReportWarningColour(200, 0, 0);
// What no longer applies, such as a defect not shown again.
inline const QColor kReportMutedColour(130, 130, 130);

struct SReportPage {
    CPrintMetrics m;
    graphiclayout::CDeviceFrame frame;
    int lh = 1;  // a table line
    int top = 0; // below the header

    void Begin(const CPrintMetrics& metrics);
    int L() const { return frame.left; }
    int R() const { return frame.right; }
    int LineY(int line) const { return top + line * lh; }
};

// The header of every report page: the report's identity (a draft says so
// first) and "Seite n von m" on the first line, `second` and the issuer's
// company on the second, a rule below.
struct SReportHeader {
    QString identity; // e.g. "Bewertungsbericht Nr. 12, Revision 2"
    QString second;
    QString company;
    int page = 1, pages = 1;
};
void DrawReportHeader(QPainter& p, const SReportPage& page, const SReportHeader& h);
// "<title> Nr. <number>, Revision <revision>", each part only when given,
// "ENTWURF – " before it for a draft.
QString ReportIdentity(const QString& title, const QString& number, const QString& revision, bool draft);
// "ENTWURF" across the page, under everything drawn after it.
void DrawDraftWatermark(QPainter& p, const SReportPage& page);

// A title whose top is at `y`.
void SectionTitle(QPainter& p, const SReportPage& page, int y, const QString& text);

// A labelled value; it may hold several lines ('\n'), and one in `red` is
// a warning.
struct SReportField {
    QString label;
    QString value;
    bool red = false;
};
// The fields from `y`, the values after the longest label, each line cut
// at blanks where it would run off the page. Returns the y below them.
int DrawFields(QPainter& p, const SReportPage& page, int y, const std::vector<SReportField>& fields);
// Paragraphs from `y` across the page, each cut at blanks into lines, in
// the current font; with a `bullet` before each, its lines indented past
// it. Returns the y below them.
int DrawParagraphs(QPainter& p, const SReportPage& page, int y, const QStringList& paragraphs, int indent,
                   const QString& bullet = QString());
