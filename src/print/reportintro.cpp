// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportintro.h"

#include "assesslayout.h"
#include "doc/tredoc.h"
#include "doc/verdictpalette.h"
#include "pipeline/nativepairing.h"
#include "pipeline/numbers.h"
#include "pipeline/sections.h"
#include "pipeline/surveybinding.h"
#include "pipeline/tiedassessment.h"
#include "reportcontent.h"
#include "reportpage.h"
#include "reportresult.h"
#include "reporttable.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

QString Length(double m) { return Str(assesslayout::LengthText(m)); }
QString Mv(int32_t mv) { return Str(assesslayout::MvText(mv)); }
QString Share(int32_t tenths) { return Str(reportfigures::ShareText(tenths)); }
QString Count(int64_t n, const char* one, const char* many) { return Str(assesslayout::CountText(n, one, many)); }

// A setting of how the survey was taken, "nicht angegeben" when empty.
QString Stated(const QString& value, const QString& unit = QString())
{
    const QString v = value.trimmed();
    if (v.isEmpty()) return U8("nicht angegeben");
    return unit.isEmpty() ? v : v + QLatin1Char(' ') + unit;
}

// The issuer at the top of page 1: company and address on the left, the
// logo at the right in a box of 40 x 15 mm. Returns the y below.
int DrawIssuer(QPainter& p, const SReportPage& page, const SReportSettings& s, const CReportLogo& logo, int y)
{
    if (s.NoIssuer()) return y;
    const CPrintMetrics& m = page.m;
    int bottom = y + MmDY(m, 15);
    if (!logo.IsNull()) logo.Draw(p, QRectF(QPointF(page.R() - MmDX(m, 40), y), QPointF(page.R(), y + MmDY(m, 15))));
    int ty = y;
    if (!s.company.trimmed().isEmpty()) {
        p.setFont(PointFont(m, 12, 700));
        p.setPen(Qt::black);
        TextOut(p, page.L(), ty, s.company.trimmed(), TA_LEFT | TA_TOP);
        ty += TextHeight(p);
    }
    p.setFont(PointFont(m, 9));
    for (const QString& line : s.address) {
        if (line.trimmed().isEmpty()) continue;
        TextOut(p, page.L(), ty, line.trimmed(), TA_LEFT | TA_TOP);
        ty += TextHeight(p);
    }
    bottom = std::max(bottom, ty);
    return bottom + MmDY(m, 4);
}

// The pipeline data's file and route.
QString PipelineName(const trespipeline::SSurveyBinding& b)
{
    QString data = b.file.empty() ? U8("(im Programm geladen)") : QFileInfo(Str(b.file)).fileName();
    QStringList route;
    for (const std::string& part : {b.pipeline.route.name, b.pipeline.route.number})
        if (!part.empty()) route << Str(part);
    if (!route.isEmpty()) data += U8(", Trasse ") + route.join(U8(", "));
    return data;
}

// The pipeline data named on page 1, with how many sections set their own
// criteria (listed on page 2).
QString PipelineLine(const trespipeline::SSurveyBinding& b)
{
    QString data = PipelineName(b);
    if (!b.pipeline.sections.empty())
        data += U8("; %1 mit eigenen Kriterien (Seite 2)")
                    .arg(Count(static_cast<int64_t>(b.pipeline.sections.size()), "Abschnitt", "Abschnitte"));
    return data;
}

std::vector<SReportField> SurveyFields(const SReportContent& c)
{
    const CTreDoc& doc = c.doc;
    const SProtectionCriterion& crit = c.v.criterion;
    const SReportSettings& s = c.o.issuer;
    std::vector<SReportField> f;
    f.push_back({U8("Leitung"), Str(doc.m_header[3])});
    f.push_back({doc.m_bTabHeadNumber ? U8("Nummer") : U8("Kunde"), Str(doc.m_header[4])});
    f.push_back({U8("Messdatum"), Str(doc.m_header[1])});
    f.push_back({U8("Messpunkte"), U8("%1, Länge der Messstrecke %2 m")
                                       .arg(Count(doc.GetRowCount(), "Zeile", "Zeilen"), Length(c.v.surveyLength))});
    if (!doc.m_header[7].empty()) f.push_back({U8("Bemerkung"), Str(doc.m_header[7])});
    QString criterion = Mv(crit.protection) + U8(" mV (") + U8(reportfigures::CriterionSourceText(crit.source));
    if (crit.source == ECriterionSource::Header) criterion += U8(" „") + Str(crit.headerText).trimmed() + U8("“");
    f.push_back({U8("Schutzpotential E_p"), criterion + U8(")")});
    if (!crit.warning.empty()) f.push_back({QString(), Str(crit.warning), true});
    f.push_back({U8("Grenzpotential E_l"), Mv(crit.limitPotential) + U8(" mV")});
    if (c.o.pipeline) f.push_back({U8("Leitungsdaten"), PipelineLine(*c.o.pipeline)});
    f.push_back({U8("Regelwerk"), U8(reportresult::kStandards)});
    f.push_back({U8("Bezugselektrode"), c.electrode});
    // A criterion written against another electrode than the survey's is
    // a different number; the reader must see it beside the electrode.
    if (CriterionElectrodeDiffers(crit, c.electrode.toStdString()))
        f.push_back({QString(), Str(CriterionElectrodeWarning(crit, c.electrode.toStdString())), true});
    if (c.v.nativeGiven) {
        QString pairing = Str(trespipeline::NativePairingText(c.v));
        const QString prefix = U8("Zuordnung der Nativmessung: ");
        if (pairing.startsWith(prefix)) pairing = U8("zugeordnet nach ") + pairing.mid(prefix.size());
        f.push_back({U8("Nativmessung"), pairing, !c.v.nativeWarning.empty()});
    }
    f.push_back({U8("Kalibrierung Elektrode"), Stated(s.electrodeCalibrated)});
    f.push_back({U8("Messgerät"), Stated(s.instrument)});
    f.push_back({U8("Kalibrierung Messgerät"), Stated(s.instrumentCalibrated)});
    f.push_back({U8("Elektrodenabstand quer"), Stated(s.electrodeSpacing, U8("m"))});
    f.push_back({U8("Ausschaltverzögerung"), s.offDelay.trimmed().isEmpty()
                                                 ? Stated(s.offDelay)
                                                 : s.offDelay.trimmed() + U8(" ms (Aus-Messung nach dem Abschalten)")});
    f.push_back({U8("Gleichrichter synchron"), Stated(s.synchronous)});
    f.push_back({U8("Messender"), Stated(s.surveyor)});
    f.push_back({U8("Qualifikation"), Stated(s.qualification)});
    f.push_back({U8("Witterung/Boden"), Stated(s.conditions)});
    return f;
}

// Three columns at the foot of page 1 for the people who sign.
void DrawSignOff(QPainter& p, const SReportPage& page, const QString& author)
{
    const CPrintMetrics& m = page.m;
    const int rowH = MmDY(m, 7.5);
    const int top = page.frame.bottom - 4 * rowH;
    const int width = (page.R() - page.L()) / 3;
    const QPen pen(Qt::black, std::max(1, m.dpy / 300));
    const char* titles[3] = {"Erstellt", "Geprüft", "Freigegeben"};
    const char* labels[3] = {"Name", "Datum", "Unterschrift"};
    for (int c = 0; c < 3; ++c) {
        const int x = page.L() + c * width, right = x + width - MmDX(m, 4);
        p.setFont(PointFont(m, 9, 700));
        p.setPen(Qt::black);
        TextOut(p, x, top, U8(titles[c]), TA_LEFT | TA_TOP);
        p.setFont(PointFont(m, 8));
        for (int k = 0; k < 3; ++k) {
            const int base = top + (k + 2) * rowH;
            TextOut(p, x, base, U8(labels[k]) + U8(":"), TA_LEFT | TA_BOTTOM);
            if (k == 0 && c == 0 && !author.trimmed().isEmpty())
                TextOut(p, x + MmDX(m, 20), base - MmDY(m, 0.5), author.trimmed(), TA_LEFT | TA_BOTTOM);
            p.setPen(pen);
            p.drawLine(x + MmDX(m, 19), base, right, base);
            p.setPen(Qt::black);
        }
    }
}

// The pipeline data and how the survey was re-stationed to them: every
// length of the verdict is measured in the chainage they give.
std::vector<SReportField> PipelineFields(const trespipeline::SSurveyBinding& b)
{
    std::vector<SReportField> f;
    f.push_back({U8("Datei"), PipelineName(b)});
    QString restation
        = U8("an %1 angepasst").arg(Count(static_cast<int64_t>(b.ties.size()), "Festpunkt", "Festpunkten"));
    if (!b.factors.empty()) {
        const auto [lo, hi] = std::minmax_element(b.factors.begin(), b.factors.end());
        const QString low = Str(trespipeline::GermanFixed(*lo, 4)), high = Str(trespipeline::GermanFixed(*hi, 4));
        restation += U8(", Maßstab zwischen den Festpunkten ") + (low == high ? low : low + U8(" bis ") + high);
    } else {
        restation += U8(", verschoben");
    }
    if (!b.unmatched.empty())
        restation += U8("; %1 ohne Messpunkt")
                         .arg(Count(static_cast<int64_t>(b.unmatched.size()), "Festpunkt", "Festpunkte"));
    // Positions are only as good as the drawn route: say whether its
    // length was checked against the stationing, and against what.
    const trespipeline::SRouteLengthCheck& rc = b.routeCheck;
    if (rc.checked)
        restation += U8("\nTrasse zwischen den äußeren Festpunkten %1 m lang, Stationierung %2 m")
                         .arg(Str(trespipeline::GermanFixed(rc.routeLength, 2)),
                              Str(trespipeline::GermanFixed(rc.tieSpan, 2)));
    else restation += U8("\nLänge der Trasse nicht geprüft: weniger als zwei angeschlossene Festpunkte mit Lage");
    f.push_back({U8("Stationierung"), restation + U8("\nLängen, Abstände und die Achse der Blätter in Stationierung")});
    if (!b.warnings.empty()) f.push_back({U8("Warnungen"), Strs(b.warnings).join(QLatin1Char('\n')), true});
    if (!b.pipeline.sections.empty()) {
        QStringList lines;
        for (const trespipeline::SSection& s : b.pipeline.sections)
            lines << Str(trespipeline::SectionText(s))
                         + U8(" (%1)").arg(Count(static_cast<int64_t>(trespipeline::SectionRows(s, b.chainage)),
                                                 "Messpunkt", "Messpunkte"));
        f.push_back({U8("Abschnittskriterien"), lines.join(QLatin1Char('\n'))});
    }
    return f;
}

// A decimal number as the settings hold it: "0,8", "2,5", "15".
QString Decimal(double v) { return Str(tresnum::GermanNumber(v, 3)); }

// What the assessment was told, so its numbers can be checked.
QString SettingsText(const SVerdictSettings& s)
{
    return U8("Bewertet mit: IR-freies Potential verwendbar ab D ≥ %1 mV und Gradient Aus ≤ %2 × Gradient Ein; "
              "Fehlstellenverdacht bei D ≥ %3 × Hintergrund (Median über %4 bis %5 m) und ≥ %6 mV; "
              "Kategorien bis %7 / %8 / %9 % IR; Ausreißer über %10 mV; Einflussbereich je Seite höchstens %11 m.")
        .arg(Str(assesslayout::TenthsText(s.irfreeMinDiff)), Decimal(s.irfreeMaxRatio), Decimal(s.defectFactor),
             Length(s.defectWindow), Length(s.background), Str(assesslayout::TenthsText(s.defectMin)),
             Decimal(s.categories[0]), Decimal(s.categories[1]), Decimal(s.categories[2]))
        .arg(s.spike)
        .arg(Length(s.gap / 2));
}

std::vector<SReportField> CoverageFields(const SReportContent& c)
{
    const reportfigures::SKeyFigures& k = c.fig;
    const SVerdictCoverage& cov = c.v.coverage;
    const double surveyed = reportresult::SurveyedLength(c.v);
    std::vector<SReportField> f = {
        {U8("Gemessene Länge"), Length(cov.totalLength) + U8(" m (Einflussbereiche der Messpunkte)")},
        {U8("Bewertete Länge"), Length(k.assessedLength) + U8(" m = ") + Share(k.assessedShareTenths)
                                    + U8(" % der gemessenen Länge, ") + Share(ShareTenths(k.assessedLength, surveyed))
                                    + U8(" % der Messstrecke von %1 m (erster bis letzter "
                                         "Messpunkt)")
                                          .arg(Length(surveyed))},
        {U8("Nicht bewertet"),
         Length(k.statuses[0].length) + U8(" m in ") + Count(k.statuses[0].stretches, "Abschnitt", "Abschnitten")},
        {U8("Nicht gemessen"),
         Length(cov.gapLength) + U8(" m (Messlücke bei Punktabstand über %1 m)").arg(Length(c.v.settings.gap))},
    };
    // With pipeline data the route between the outermost ties is the
    // length the survey should have covered.
    if (c.o.pipeline) {
        const trespipeline::SRouteCoverage route = trespipeline::RouteCoverage(c.v, *c.o.pipeline);
        if (IsPresent(route.shareTenths))
            f.insert(
                f.begin() + 2,
                {U8("Bewertet auf der Trasse"),
                 Length(route.assessedLength) + U8(" m = ") + Share(route.shareTenths)
                     + U8(" % der Trasse von %1 m zwischen den äußeren Festpunkten").arg(Length(route.routeLength))});
    }
    return f;
}

// The key figures in a framed box. Returns the y below it.
int DrawKeyFigures(QPainter& p, const SReportPage& page, const SReportContent& c, int y)
{
    const CPrintMetrics& m = page.m;
    const reportfigures::SKeyFigures& k = c.fig;
    const int boxTop = y;
    y = DrawFields(p, page, y + MmDY(m, 1.5), CoverageFields(c)) + MmDY(m, 1);

    static const std::vector<SReportColumn> columns = {
        {"Status", "", 62, true}, {"Länge [m]", "", 24},       {"Anteil [%]", "", 22},
        {"Abschnitte", "", 22},   {"Anteil an", "", 40, true},
    };
    CReportTable table(columns, 1);
    for (const EVerdictStatus s : kVerdictStatusOrder) {
        const SStatusSummary& st = k.statuses[static_cast<size_t>(s)];
        table.Add({U8(VerdictStatusName(s)), Length(st.length), Share(st.shareTenths), QString::number(st.stretches),
                   s == EVerdictStatus::NotAssessed ? U8("gemessener Länge") : U8("bewerteter Länge")});
    }
    y = table.Draw(p, m, page.L() + MmDX(m, 2), y, MmDY(m, 4.0), 0, table.Rows()) + MmDY(m, 1.5);

    QString perCategory;
    for (int cat = 4; cat >= 1; --cat)
        perCategory
            += U8("%1 %2, ").arg(U8(DefectCategoryName(cat))).arg(k.defectsByCategory[static_cast<size_t>(cat)]);
    perCategory += U8("ohne Einstufung %1").arg(k.defectsByCategory[0]);
    const std::vector<SReportField> tail = {
        {U8("Fehlstellenverdacht"), U8("%1 (%2)").arg(k.defects).arg(perCategory)},
        {U8("Fehlstellen je km"),
         Str(assesslayout::TenthsText(k.defectsPerKmTenths)) + U8(" (je km bewerteter Länge)")},
        {U8("Aufgrabungsliste"), U8("%1, davon %2 „%3“")
                                     .arg(Count(static_cast<int64_t>(c.v.digList.size()), "Eintrag", "Einträge"))
                                     .arg(k.digNow)
                                     .arg(U8(DigActionName(EDigAction::DigNow)))},
    };
    y = DrawFields(p, page, y, tail);

    p.setFont(PointFont(m, 7));
    const QFontMetricsF fm(p.font());
    y += MmDY(m, 1);
    for (const QString& line : WrapText(SettingsText(c.v.settings), fm, page.R() - page.L() - MmDX(m, 4), 4)) {
        TextOut(p, page.L() + MmDX(m, 2), y, line, TA_LEFT | TA_TOP);
        y += TextHeight(p);
    }
    y += MmDY(m, 1.5);
    p.setPen(QPen(Qt::black, std::max(1, m.dpy / 300)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(page.L(), boxTop), QPoint(page.R(), y)));
    return y;
}

// What is done about a suspected defect, by its category and the status of
// its point: the dig list's one rule as a table, so the reader can check
// every entry's action. Returns the y below it.
int DrawActionTable(QPainter& p, const SReportPage& page, int y, int32_t margin)
{
    const CPrintMetrics& m = page.m;
    SectionTitle(p, page, y, U8("Maßnahmen bei Fehlstellenverdacht"));
    y += page.lh + MmDY(m, 1);
    static const std::vector<SReportColumn> columns = {
        {"Status der Fehlstelle", "", 42, true, true},
        {"ohne %IR", "", 27, true, true},
        {"I gering", "", 27, true, true},
        {"II mittel", "", 27, true, true},
        {"III erheblich", "", 27, true, true},
        {"IV schwer", "", 27, true, true},
    };
    struct SRowKind {
        const char* name;
        EVerdictStatus status;
        bool marginal;
    };
    static const SRowKind kinds[] = {
        {"nicht geschützt", EVerdictStatus::Unprotected, false},
        {"geschützt, grenzwertig (auch 100-mV-Kriterium)", EVerdictStatus::Protected, true},
        {"geschützt", EVerdictStatus::Protected, false},
        {"geschützt (100-mV-Kriterium)", EVerdictStatus::Protected100, false},
        {"Grenzpotential unterschritten", EVerdictStatus::Over, false},
        {"nicht bewertbar", EVerdictStatus::NotAssessed, false},
    };
    CReportTable table(columns, 3);
    for (const SRowKind& k : kinds) {
        QStringList cells{U8(k.name)};
        for (int category = 0; category <= 4; ++category)
            cells << U8(DigActionName(DigActionFor(category, k.status, k.marginal)));
        table.Add(cells);
    }
    y = table.Draw(p, m, page.L(), y, MmDY(m, 4.0), 0, table.Rows());
    p.setFont(PointFont(m, 7));
    p.setPen(Qt::black);
    y += MmDY(m, 1);
    const QFontMetricsF fm(p.font());
    const QString note = U8("Grenzwertig: E* höchstens %1 mV unter dem Schutzpotential, oder eine Polarisation "
                            "höchstens %1 mV über 100 mV; die Potentiale sind auf 10 mV genau aufgezeichnet.")
                             .arg(margin);
    for (const QString& line : WrapText(note, fm, page.R() - page.L(), 3)) {
        TextOut(p, page.L(), y, line, TA_LEFT | TA_TOP);
        y += TextHeight(p);
    }
    return y;
}

} // namespace

void DrawFirstPage(QPainter& p, const SReportPage& page, const SReportContent& c, const CReportLogo& logo)
{
    const CPrintMetrics& m = page.m;
    int y = DrawIssuer(p, page, c.o.issuer, logo, page.top);
    p.setFont(PointFont(m, 15, 700));
    p.setPen(Qt::black);
    TextOut(p, page.L(), y, U8("Bewertung der Intensivmessung"), TA_LEFT | TA_TOP);
    y += TextHeight(p) + MmDY(m, 1);
    p.setFont(PointFont(m, 10));
    TextOut(p, page.L(), y, U8("Schutznachweis nach Schutzpotential, Grenzpotential und Fehlstellensuche"),
            TA_LEFT | TA_TOP);
    y += TextHeight(p) + MmDY(m, 1);
    if (!c.draft.isEmpty()) {
        p.setFont(PointFont(m, 10, 700));
        p.setPen(DeviceColour(m, kReportWarningColour));
        y = DrawParagraphs(p, page, y, {U8("ENTWURF, nicht zur Freigabe: ") + c.draft.join(U8("; "))}, 0);
        p.setPen(Qt::black);
    }
    y += MmDY(m, 2);

    SectionTitle(p, page, y, U8("Ergebnis"));
    p.setFont(PointFont(m, 9));
    y = DrawParagraphs(p, page, y + page.lh + MmDY(m, 1), c.result, MmDX(m, 2), U8("–")) + MmDY(m, 2);
    SectionTitle(p, page, y, U8("Messung"));
    DrawFields(p, page, y + page.lh + MmDY(m, 1), SurveyFields(c));
    DrawSignOff(p, page, c.o.issuer.author);
}

void DrawFiguresPage(QPainter& p, const SReportPage& page, const SReportContent& c)
{
    const CPrintMetrics& m = page.m;
    int y = page.top;
    SectionTitle(p, page, y, U8("Angaben des Messgeräts (QM-Daten)"));
    std::vector<SReportField> qm;
    for (const reportfigures::SQmField& f : c.qm) qm.push_back({Str(f.label), Str(f.text)});
    if (qm.empty()) qm.push_back({U8("QM-Daten"), U8("keine")});
    y = DrawFields(p, page, y + page.lh + MmDY(m, 1), qm) + MmDY(m, 3);
    if (c.o.pipeline) {
        SectionTitle(p, page, y, U8("Leitungsdaten"));
        y = DrawFields(p, page, y + page.lh + MmDY(m, 1), PipelineFields(*c.o.pipeline)) + MmDY(m, 3);
    }
    SectionTitle(p, page, y, U8("Kennzahlen"));
    y = DrawKeyFigures(p, page, c, y + page.lh + MmDY(m, 1)) + MmDY(m, 4);
    DrawActionTable(p, page, y, c.v.settings.margin);
}
