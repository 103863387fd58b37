// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the assessment report shows, worked out once before a page is
// drawn: the verdict, the key figures and the result, the QM entries and
// the electrode, the comparison and where it stands on the sheets, and the
// sheets' plans. The page painters read it and compute nothing.
#pragma once

#include "doc/verdict.h"
#include "reportfigures.h"
#include "reportoptions.h"
#include "sheetplan.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class CTreDoc;

struct SReportContent {
    SReportContent(const CTreDoc& doc, const SReportOptions& options);

    const CTreDoc& doc;
    const SReportOptions& o;
    SVerdict v;
    reportfigures::SKeyFigures fig;
    std::vector<reportfigures::SQmField> qm;
    QString electrode;
    QStringList draft;  // why the report is a draft; empty: final
    QStringList result; // the "Ergebnis" in sentences
    std::optional<SComparison> c;
    std::vector<double> comparisonPositions; // earlier rows or native pairs on the sheets' axis
    int comparisonDirection = 1;             // of the earlier rows' places (SSheetInput)
    std::vector<int> rowIndex;
    std::vector<int> priorities; // dig list priority of each defect
    std::vector<SStretchExtent> extents;
    std::vector<SSheetPlan> sheets;

    bool Native() const { return c && c->mode == ECompareMode::Native; }
    bool Chainage() const { return o.pipeline != nullptr; }
};

QString U8(const char* s);
QString Str(const std::string& s);
QStringList Strs(const std::vector<std::string>& v);
// The survey's file name, "(ohne Namen)" for one never saved.
QString FileNameText(const CTreDoc& doc);
