// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendtabs.h"

#include "print/printframe.h"
#include "print/trendcharts.h"
#include "print/trendtext.h"

#include <QHeaderView>
#include <QPainter>

namespace {

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QString Runs(const trestrend::SMetreRuns& runs)
{
    QString text = QString::number(runs.length) + " m";
    QStringList parts;
    for (const auto& [from, to] : runs.intervals) parts << QString("%1–%2 m").arg(from).arg(to);
    if (!parts.isEmpty()) text += " (" + parts.join(", ") + ")";
    return text;
}

QString FindingText(const trestrend::SDigFinding& f)
{
    QString text = TrendDate(f.date) + ": " + QString::fromStdString(f.finding);
    if (f.repaired) text += " (instand gesetzt)";
    return text;
}

} // namespace

QTableWidget* NewTrackTable(const STrendReportInput& in, QWidget* parent)
{
    const auto& tracks = in.trend.tracks;
    auto* table = new QTableWidget(static_cast<int>(tracks.size()), static_cast<int>(in.surveys.size()) + 2, parent);
    QStringList titles{"Spur"};
    for (const auto& s : in.surveys) titles << QString("Nr. %1, %2").arg(s.id).arg(TrendDate(s.date));
    titles << "Befunde";
    table->setHorizontalHeaderLabels(titles);
    for (size_t t = 0; t < tracks.size(); ++t) {
        const int r = static_cast<int>(t);
        table->setItem(r, 0, Cell(QString::number(tracks[t].id)));
        for (const trestrend::STrackState& st : tracks[t].states) {
            QTableWidgetItem* item = Cell(TrackCell(st));
            if (const QColor c = TrackStateColour(st.state); c.isValid()) item->setForeground(c);
            item->setData(kTrackRowRole, st.defect ? st.defect->row : 0);
            item->setData(kTrackSurveyRole, static_cast<int>(st.survey));
            table->setItem(r, static_cast<int>(st.survey) + 1, item);
        }
        QStringList findings;
        for (const trestrend::SDigFinding* f : tracks[t].findings) findings << FindingText(*f);
        table->setItem(r, table->columnCount() - 1, Cell(findings.join("; ")));
    }
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setSelectionBehavior(QAbstractItemView::SelectItems);
    return table;
}

QTableWidget* NewChangesTable(const STrendReportInput& in, QWidget* parent)
{
    const auto& changes = in.trend.changes;
    auto* table = new QTableWidget(static_cast<int>(changes.size()), 4, parent);
    table->setHorizontalHeaderLabels({"Messungen", "verglichen", "neu nicht geschützt", "wieder geschützt"});
    for (size_t i = 0; i < changes.size(); ++i) {
        const auto& c = changes[i];
        const int r = static_cast<int>(i);
        table->setItem(r, 0, Cell(TrendDate(in.surveys[c.from].date) + " → " + TrendDate(in.surveys[c.to].date)));
        table->setItem(r, 1, Cell(QString::number(c.compared) + " m"));
        table->setItem(r, 2, Cell(Runs(c.newlyUnprotected)));
        table->setItem(r, 3, Cell(Runs(c.reprotected)));
    }
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

CFixpointChart::CFixpointChart(const STrendReportInput* in, QWidget* parent)
    : QWidget(parent)
    , m_in(in)
{
    setMinimumSize(240, 160);
}

void CFixpointChart::SetFixpoint(int index)
{
    m_index = index;
    update();
}

void CFixpointChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const auto& fixpoints = m_in->trend.fixpoints;
    if (m_index < 0 || static_cast<size_t>(m_index) >= fixpoints.size()) {
        p.drawText(rect(), Qt::AlignCenter, "Keine Prüfstelle in den Leitungsdaten.");
        return;
    }
    CPrintMetrics m;
    m.dpx = logicalDpiX();
    m.dpy = logicalDpiY();
    m.physWidth = width();
    m.physHeight = height();
    DrawFixpointChart(p, m, rect().adjusted(4, 4, -4, -4), *m_in, fixpoints[static_cast<size_t>(m_index)],
                      TrendPotentialTitle(m_in->electrode));
}
