// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportcompare.h"

#include "assesschart.h"
#include "assesslayout.h"
#include "doc/tredoc.h"
#include "pipeline/surveybinding.h"
#include "reportcontent.h"
#include "reportpage.h"
#include "reporttable.h"

#include <QPainter>

namespace {

QString Mv(int32_t mv) { return Str(assesslayout::MvText(mv)); }
// A comparison's difference in mV, an en dash when absent.
QString DeltaText(int64_t v) { return v == kNoDelta ? U8("–") : QString::number(v); }

QString CompareLimitText(const SCompareCriterionResult& c)
{
    if (c.criterion == ECompareCriterion::Worse) return U8("Δ Aus-Potential ≥ ") + Mv(c.limit) + U8(" mV");
    return U8("Polarisation < ") + Mv(c.limit) + U8(" mV");
}

} // namespace

// The comparison section's first page: the comparison survey, the
// criterion, the summary and the chart in the rest of the page.
void DrawComparisonPage(QPainter& p, const SReportPage& page, const SReportContent& content)
{
    const SComparison& c = *content.c;
    const CPrintMetrics& m = page.m;
    const bool native = c.mode == ECompareMode::Native;
    p.setFont(PointFont(m, 15, 700));
    p.setPen(Qt::black);
    TextOut(p, page.L(), page.top, native ? U8("Vergleich mit Nativmessung") : U8("Vergleich mit früherer Messung"),
            TA_LEFT | TA_TOP);
    int y = page.top + TextHeight(p) + MmDY(m, 3);

    SectionTitle(p, page, y, native ? U8("Nativmessung") : U8("Frühere Messung"));
    const CTreDoc& earlier = *content.o.comparison.earlier;
    const SAlignment& a = *c.alignment;
    std::vector<SReportField> fields = {{U8("Datei"), FileNameText(earlier)},
                                        {U8("Leitung"), Str(earlier.m_header[3])},
                                        {U8("Datum"), Str(earlier.m_header[1])},
                                        {U8("Zuordnung"), Str(AlignmentText(a))}};
    if (IsPresent(a.maxResidual))
        fields.push_back({U8("Größte Abweichung"),
                          U8("%1 m an einem gemeinsamen %2")
                              .arg(a.maxResidual)
                              .arg(a.method == EAlignMethod::Pipeline ? U8("Festpunkt") : U8("Orientierungspunkt"))});
    // Paired by chainage, the comparison's metres are chainages.
    if (a.method == EAlignMethod::Pipeline)
        fields.push_back({U8("Meterangaben"), U8("Stationierung beider Messungen")});
    y = DrawFields(p, page, y + page.lh + MmDY(m, 1), fields) + MmDY(m, 3);

    // The share is of the stretch the pairs cover: only there can the
    // comparison find anything.
    SectionTitle(p, page, y, U8("Kriterium und Ergebnis"));
    y += page.lh + MmDY(m, 1);
    static const std::vector<SReportColumn> critCols = {
        {"Kriterium", "", 52, true}, {"Grenzwert", "", 48, true}, {"Anzeigen", "", 19},
        {"Länge [m]", "", 22},       {"Anteil [%]", "", 22},
    };
    const int64_t covered = c.pairs.size() < 2 ? 0 : int64_t{c.pairs.back().metre} - int64_t{c.pairs.front().metre};
    CReportTable crit(critCols, 1);
    for (const SCompareCriterionResult& cr : c.criteria) {
        if (!cr.enabled) continue;
        int count = 0;
        int64_t length = 0;
        for (const SCompareIndication& i : c.indications)
            if (i.criterion == cr.criterion) {
                ++count;
                length += i.length;
            }
        crit.Add({U8(CompareCriterionName(cr.criterion)), CompareLimitText(cr), QString::number(count),
                  QString::number(length), Str(assesslayout::PercentText(length, covered))});
    }
    y = crit.Draw(p, m, page.L(), y, page.lh, 0, crit.Rows());
    p.setFont(PointFont(m, 8));
    TextOut(p, page.L() + MmDX(m, 1), y + page.lh / 6, U8("Anteil an der gepaarten Strecke von %1 m.").arg(covered),
            TA_LEFT | TA_TOP);
    y += 2 * page.lh;

    SectionTitle(p, page, y, U8("Zusammenfassung"));
    y += page.lh + MmDY(m, 1);
    const SCompareSummary& s = c.summary;
    const char* other = native ? "ohne Gegenstück (nativ)" : "ohne Gegenstück (früher)";
    const std::vector<SReportColumn> pairCols = {
        {"gepaarte Messpunkte", "", 40},
        {"ohne Gegenstück (aktuell)", "", 50},
        {other, "", 50},
    };
    CReportTable pairs(pairCols, 1);
    pairs.Add({QString::number(s.matched), QString::number(s.currentUnmatched), QString::number(s.earlierUnmatched)});
    y = pairs.Draw(p, m, page.L(), y, page.lh, 0, 1) + page.lh;
    static const std::vector<SReportColumn> statCols = {
        {"Größe", "", 52, true},  {"Anzahl", "", 18},          {"Minimum [mV]", "", 26},
        {"Maximum [mV]", "", 26}, {"Mittelwert [mV]", "", 28},
    };
    CReportTable stats(statCols, 1);
    auto add = [&](const QString& name, const SDeltaStats& d) {
        stats.Add({name, QString::number(d.count), DeltaText(d.min), DeltaText(d.max), DeltaText(d.mean)});
    };
    add(native ? U8("Δ Aus (aktuell − nativ)") : U8("Δ Aus (aktuell − früher)"), s.deltaOff);
    if (native) add(U8("Polarisation"), s.polarisation);
    y = stats.Draw(p, m, page.L(), y, page.lh, 0, stats.Rows()) + page.lh;

    SectionTitle(p, page, y, U8("Übersicht"));
    y += 2 * page.lh;
    const QRect box(QPoint(page.L(), y), QPoint(page.R(), page.frame.bottom));
    DrawComparisonChart(p, m, box, content.doc, earlier, c, content.electrode,
                        content.o.pipeline ? &content.o.pipeline->chainage : nullptr);
}
