// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportcontent.h"

#include "doc/tredoc.h"
#include "pipeline/surveybinding.h"
#include "pipeline/tiedassessment.h"
#include "reportresult.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

QString U8(const char* s) { return QString::fromUtf8(s); }
QString Str(const std::string& s) { return QString::fromStdString(s); }

QStringList Strs(const std::vector<std::string>& v)
{
    QStringList out;
    for (const std::string& s : v) out << Str(s);
    return out;
}

QString FileNameText(const CTreDoc& doc)
{
    const QString path = Str(doc.GetPathName());
    return path.isEmpty() ? U8("(ohne Namen)") : QFileInfo(path).fileName();
}

SReportContent::SReportContent(const CTreDoc& d, const SReportOptions& options)
    : doc(d)
    , o(options)
    , v(options.verdict
            ? *options.verdict
            : trespipeline::AssessTied(d, options.settings, options.native, options.pipeline, options.nativePairing))
    , fig(reportfigures::KeyFigures(v))
    , qm(reportfigures::QmFields(d))
    , electrode(Str(
          reportfigures::ReferenceElectrode(reportfigures::DeviceEntries(d), options.issuer.electrode.toStdString())))
    , draft(Strs(reportresult::DraftReasons(!options.issuer.NoIssuer(), v.criterion, options.pipeline)))
    , result(Strs(reportresult::ResultSentences(v, options.pipeline)))
{
    const CTreDoc* earlier = o.comparison.earlier;
    if (earlier) c = Compare(doc, *earlier, o.comparison.settings);
    rowIndex = VerdictRowIndex(v, doc.GetRowCount());
    priorities.assign(v.defects.size(), 0);
    for (const SDigItem& item : v.digList) priorities[static_cast<size_t>(item.defect)] = item.priority;
    extents = StretchExtents(v);
    // The comparison drawn where it was paired, on the sheets' axis.
    if (c) comparisonPositions = ComparisonPositions(doc, *earlier, *c, o.pipeline ? &o.pipeline->chainage : nullptr);
    const auto first
        = std::find_if(comparisonPositions.begin(), comparisonPositions.end(), [](double x) { return !std::isnan(x); });
    const auto last = std::find_if(comparisonPositions.rbegin(), comparisonPositions.rend(),
                                   [](double x) { return !std::isnan(x); });
    if (first != comparisonPositions.end() && *last < *first) comparisonDirection = -1;
    SSheetComparison drawn;
    if (c) {
        drawn.earlier = Native() ? nullptr : earlier;
        drawn.native = Native() ? &*c : nullptr;
        drawn.positions = &comparisonPositions;
    }
    sheets = PlanSheets(doc, v, o.sectionLength, drawn, o.pipeline ? &o.pipeline->pipeline.sections : nullptr);
}
