// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendtables.h"

#include "doc/defects.h"
#include "reportcontent.h"
#include "trendreport.h"
#include "trendtext.h"

#include <QPainter>

#include <algorithm>

namespace {

// Field lines are a little higher than table lines (DrawFields).
int FieldLines(const std::vector<SReportField>& fields)
{
    int n = 0;
    for (const SReportField& f : fields) n += static_cast<int>(f.value.count(QLatin1Char('\n'))) + 1;
    return (n * 43 + 39) / 40;
}

QString Intervals(const trestrend::SMetreRuns& runs)
{
    QStringList parts;
    for (const auto& [from, to] : runs.intervals) parts << U8("%1–%2").arg(from).arg(to);
    return parts.isEmpty() ? U8("–") : parts.join(U8(", "));
}

QString Age(const std::optional<long long>& days) { return days ? QString::number(*days) : U8("–"); }

} // namespace

CTrendTables::CTrendTables(const STrendReportInput& in, const QStringList& draft)
{
    SurveysPart(in, draft);
    ChangesPart(in);
    TracksPart(in);
}

void CTrendTables::NewPage()
{
    m_pages.emplace_back();
    m_line = 0;
}

void CTrendTables::Title(const QString& text)
{
    if (m_line + 1 + kReportHeadLines > kReportLinesPerPage) NewPage();
    m_pages.back().push_back({text, {}, nullptr, 0, 0});
    m_line += 2;
}

void CTrendTables::Fields(std::vector<SReportField> fields)
{
    const int lines = FieldLines(fields);
    if (m_line + lines > kReportLinesPerPage) NewPage();
    m_pages.back().push_back({QString(), std::move(fields), nullptr, 0, 0});
    m_line += lines + 1;
}

void CTrendTables::Table(const QString& title, std::unique_ptr<CReportTable> table, const QString& none)
{
    if (table->Rows() == 0) {
        Title(title);
        Fields({{QString(), none}});
        return;
    }
    const std::vector<int>& lines = table->LineCounts();
    const int head = table->HeaderLines();
    if (m_line + 2 + head + lines[0] > kReportLinesPerPage) NewPage();
    m_pages.back().push_back({title, {}, nullptr, 0, 0});
    m_line += 2;
    int first = 0;
    while (first < table->Rows()) {
        if (m_line + head + lines[static_cast<size_t>(first)] > kReportLinesPerPage) NewPage();
        int used = m_line + head, count = 0;
        while (first + count < table->Rows()
               && used + lines[static_cast<size_t>(first + count)] <= kReportLinesPerPage) {
            used += lines[static_cast<size_t>(first + count)];
            ++count;
        }
        count = std::max(count, 1);
        m_pages.back().push_back({QString(), {}, table.get(), first, count});
        m_line = used + 1;
        first += count;
    }
    m_tables.push_back(std::move(table));
}

void CTrendTables::SurveysPart(const STrendReportInput& in, const QStringList& draft)
{
    NewPage();
    Title(U8("Trendbericht"));
    QString pipeline = in.pipelineName.trimmed();
    if (!in.pipelineNumber.trimmed().isEmpty()) pipeline += U8(" (Nr. %1)").arg(in.pipelineNumber.trimmed());
    std::vector<SReportField> head{{U8("Leitung"), pipeline.isEmpty() ? U8("nicht angegeben") : pipeline}};
    head.push_back({U8("Messungen"), QString::number(in.surveys.size())});
    if (!draft.isEmpty()) head.push_back({U8("Entwurf"), draft.join(U8("; ")), true});
    Fields(std::move(head));

    auto surveys = std::make_unique<CReportTable>(std::vector<SReportColumn>{{"Nr.", "", 10},
                                                                             {"Datum", "", 22},
                                                                             {"Datei", "", 83, true, true},
                                                                             {"Positionen", "", 30, true},
                                                                             {"E_p", "mV", 20}},
                                                  3);
    for (size_t i = 0; i < in.surveys.size(); ++i) {
        const trestrend::STrendSurvey& s = in.surveys[i];
        const QString ep = i < in.protection.size() ? QString::number(in.protection[i]) : U8("–");
        surveys->Add({QString::number(i + 1), TrendDate(s.date), Str(s.file),
                      s.chainage ? U8("Stationierung") : U8("Meter"), ep});
    }
    Table(U8("Verglichene Messungen"), std::move(surveys), U8("Keine Messungen."));

    auto warnings = std::make_unique<CReportTable>(std::vector<SReportColumn>{{"Warnung", "", 175, true, true}}, 4);
    for (const std::string& w : in.trend.warnings) {
        warnings->Add({Str(w)});
        warnings->SetLastRowColour(0, kReportWarningColour);
    }
    Table(U8("Warnungen"), std::move(warnings), U8("Keine Warnungen."));

    Title(U8("Nächste Messung"));
    Fields({{U8("Fällig am"), in.trend.nextSurveyDue.empty() ? U8("nicht bestimmt (kein Messintervall angegeben)")
                                                             : TrendDate(in.trend.nextSurveyDue)}});

    auto digs = std::make_unique<CReportTable>(std::vector<SReportColumn>{{"Messung", "", 16},
                                                                          {"Datum", "", 20},
                                                                          {"Zeile", "", 14},
                                                                          {"Position", "m", 22},
                                                                          {"Kategorie", "", 18},
                                                                          {"Maßnahme", "", 65, true, true},
                                                                          {"Alter", "Tage", 20}},
                                               2);
    for (const trestrend::SOpenDig& d : in.trend.openDigs) {
        if (!d.defect || d.survey >= in.surveys.size()) continue;
        const char* category = DefectCategoryName(d.defect->category);
        digs->Add({QString::number(d.survey + 1), TrendDate(in.surveys[d.survey].date), QString::number(d.defect->row),
                   TrendMetres(d.defect->position), *category ? U8(category) : U8("–"), Str(d.defect->action),
                   Age(d.ageDays)});
    }
    Table(U8("Offene Aufgrabungen"), std::move(digs), U8("Keine offenen Aufgrabungen."));
}

void CTrendTables::ChangesPart(const STrendReportInput& in)
{
    NewPage();
    auto changes = std::make_unique<CReportTable>(std::vector<SReportColumn>{{"Von", "Nr.", 9},
                                                                             {"Bis", "Nr.", 9},
                                                                             {"verglichen", "m", 18},
                                                                             {"neu nicht geschützt", "m", 30},
                                                                             {"Bereiche", "m", 41, true, true},
                                                                             {"wieder geschützt", "m", 25},
                                                                             {"Bereiche", "m", 41, true, true}},
                                                  6);
    for (const trestrend::SProtectionChange& c : in.trend.changes) {
        changes->Add({QString::number(c.from + 1), QString::number(c.to + 1), QString::number(c.compared),
                      QString::number(c.newlyUnprotected.length), Intervals(c.newlyUnprotected),
                      QString::number(c.reprotected.length), Intervals(c.reprotected)});
        if (c.newlyUnprotected.length > 0) {
            changes->SetLastRowColour(3, kReportWarningColour);
            changes->SetLastRowColour(4, kReportWarningColour);
        }
    }
    Table(U8("Änderungen des Schutzzustands zwischen aufeinanderfolgenden Messungen"), std::move(changes),
          U8("Weniger als zwei Messungen: nichts zu vergleichen."));
}

void CTrendTables::TracksPart(const STrendReportInput& in)
{
    NewPage();
    const size_t n = std::max<size_t>(1, in.surveys.size());
    const double width = (175.0 - 12) / static_cast<double>(n);
    std::vector<SReportColumn> columns{{"Spur", "", 12}};
    m_titles.reserve(2 * in.surveys.size());
    for (size_t i = 0; i < in.surveys.size(); ++i) {
        m_titles.push_back(U8("Messung %1").arg(i + 1).toUtf8());
        const char* title = m_titles.back().constData();
        m_titles.push_back(TrendDate(in.surveys[i].date).toUtf8());
        columns.push_back({title, m_titles.back().constData(), width, true, true});
    }
    auto tracks = std::make_unique<CReportTable>(std::move(columns), 4);
    for (const trestrend::STrack& t : in.trend.tracks) {
        QStringList cells(static_cast<qsizetype>(in.surveys.size() + 1));
        cells[0] = QString::number(t.id);
        for (const trestrend::STrackState& st : t.states)
            if (st.survey < in.surveys.size()) cells[static_cast<qsizetype>(st.survey + 1)] = TrackCell(st);
        tracks->Add(cells);
        for (const trestrend::STrackState& st : t.states) {
            const QColor colour = TrackStateColour(st.state);
            if (colour.isValid()) tracks->SetLastRowColour(static_cast<int>(st.survey + 1), colour);
        }
    }
    Table(U8("Fehlstellen über die Messungen"), std::move(tracks), U8("Keine Fehlstellen angezeigt."));

    auto findings = std::make_unique<CReportTable>(std::vector<SReportColumn>{{"Spur", "", 10},
                                                                              {"Messung", "", 15},
                                                                              {"Zeile", "", 12},
                                                                              {"Datum", "", 19},
                                                                              {"Befund", "", 55, true, true},
                                                                              {"instand-", "gesetzt", 17},
                                                                              {"Versatz", "m", 15},
                                                                              {"durch", "", 32, true, true}},
                                                   3);
    for (const trestrend::STrack& t : in.trend.tracks)
        for (const trestrend::SDigFinding* f : t.findings) {
            QString survey = QString::number(f->survey);
            for (size_t i = 0; i < in.surveys.size(); ++i)
                if (in.surveys[i].id == f->survey) survey = QString::number(i + 1);
            findings->Add({QString::number(t.id), survey, QString::number(f->row), TrendDate(f->date), Str(f->finding),
                           f->repaired ? U8("ja") : U8("nein"), f->offset ? TrendMetres(*f->offset) : U8("–"),
                           Str(f->by)});
        }
    Table(U8("Befunde der Aufgrabungen"), std::move(findings), U8("Keine Befunde erfasst."));
}

void CTrendTables::Draw(QPainter& p, const SReportPage& page, const STrendTablePage& blocks) const
{
    int line = 0;
    for (const STrendBlock& b : blocks) {
        if (!b.title.isEmpty()) {
            SectionTitle(p, page, page.LineY(line), b.title);
            line += 2;
        }
        if (!b.fields.empty()) {
            DrawFields(p, page, page.LineY(line), b.fields);
            line += FieldLines(b.fields) + 1;
        }
        if (b.table) {
            p.setFont(PointFont(page.m, CReportTable::kPoints));
            b.table->Draw(p, page.m, page.L(), page.LineY(line), page.lh, b.first, b.count);
            int used = b.table->HeaderLines();
            for (int i = b.first; i < b.first + b.count; ++i) used += b.table->LineCounts()[static_cast<size_t>(i)];
            line += used + 1;
        }
    }
}
