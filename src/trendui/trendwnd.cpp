// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendwnd.h"

#include "print/trendtext.h"
#include "trendtabs.h"

#include <QComboBox>
#include <QVBoxLayout>

CTrendWnd::CTrendWnd(QWidget* parent)
    : QWidget(parent)
    , m_summary(new QLabel(this))
    , m_tabs(new QTabWidget(this))
{
    setWindowTitle("Verlauf");
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_tabs, 1);
}

void CTrendWnd::SetTrend(STrendReportInput in, std::optional<size_t> current)
{
    m_in = std::move(in);
    m_current = current;
    QStringList dates;
    for (const auto& s : m_in.surveys) dates << TrendDate(s.date);
    QString text = QString("%1 %2: %3")
                       .arg(m_in.surveys.size())
                       .arg(m_in.surveys.size() == 1 ? "Messung" : "Messungen")
                       .arg(dates.join(", "));
    for (const std::string& w : m_in.trend.warnings) text += "\n" + QString::fromStdString(w);
    if (!m_in.trend.nextSurveyDue.empty())
        text += "\nnächste Intensivmessung fällig: " + TrendDate(m_in.trend.nextSurveyDue);
    if (!m_in.trend.openDigs.empty()) text += QString("\noffene Aufgrabungen: %1").arg(m_in.trend.openDigs.size());
    m_summary->setText(text);

    while (m_tabs->count() > 0) {
        QWidget* page = m_tabs->widget(0);
        m_tabs->removeTab(0);
        page->deleteLater();
    }
    QTableWidget* tracks = NewTrackTable(m_in, m_tabs);
    connect(tracks, &QTableWidget::cellClicked, this, [this, tracks](int r, int c) {
        const QTableWidgetItem* item = tracks->item(r, c);
        if (!item || !m_current || item->data(kTrackSurveyRole).toInt() != static_cast<int>(*m_current)) return;
        if (const int row = item->data(kTrackRowRole).toInt(); row > 0) emit defectChosen(row);
    });
    m_tabs->addTab(tracks, "Fehlstellen");
    m_tabs->addTab(NewChangesTable(m_in, m_tabs), "Schutzänderungen");

    auto* page = new QWidget(m_tabs);
    auto* choose = new QComboBox(page);
    for (const auto& f : m_in.trend.fixpoints)
        choose->addItem(QString::fromStdString(f.name) + " (" + TrendMetres(f.chainage) + " m)");
    auto* chart = new CFixpointChart(&m_in, page);
    connect(choose, &QComboBox::currentIndexChanged, chart, &CFixpointChart::SetFixpoint);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(choose);
    layout->addWidget(chart, 1);
    m_tabs->addTab(page, "Prüfstellen");
}
