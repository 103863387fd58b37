// SPDX-License-Identifier: GPL-3.0-or-later
// The "Bewertung" window's page "Vergleich": the comparison survey, how it
// was aligned, the limit of the mode's criterion, the pairs' summary and
// the indications.
#include "assesswnd.h"

#include "assessstretch.h"
#include "doc/metrealign.h"
#include "framehelpers.h"
#include "ui/textcolours.h"
#include "views/comparemodel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

QWidget* CAssessWnd::BuildComparePage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("comparison"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);

    m_pCompareSource = framehelp::AddNote(layout, page, nullptr);
    m_pCompareAlign = framehelp::AddNote(layout, page, "alignment", true);
    m_pCompareReverse = new QPushButton(QStringLiteral("Umgekehrt vergleichen"), page);
    m_pCompareReverse->setToolTip(QString::fromUtf8(
        "Vergleicht die Vergleichsmessung als vom anderen Ende her gemessen: ihre Orientierungspunkte werden\n"
        "in umgekehrter Reihenfolge den Orientierungspunkten der aktuellen Messung zugeordnet."));
    m_pCompareReverse->hide();
    connect(m_pCompareReverse, &QPushButton::clicked, this, &CAssessWnd::CompareReversedAsked);
    layout->addWidget(m_pCompareReverse, 0, Qt::AlignLeft);

    auto* row = new QHBoxLayout;
    m_pCompareLimitLabel = new QLabel(page);
    m_pCompareLimit = new QLineEdit(page);
    m_pCompareLimit->setMaximumWidth(80);
    connect(m_pCompareLimit, &QLineEdit::textEdited, this, &CAssessWnd::OnCompareLimitEdited);
    row->addWidget(m_pCompareLimitLabel);
    row->addWidget(m_pCompareLimit);
    row->addWidget(new QLabel(QStringLiteral("mV"), page));
    row->addStretch(1);
    layout->addLayout(row);

    m_pCompareSummary = new QLabel(page);
    m_pCompareSummary->setTextFormat(Qt::RichText);
    layout->addWidget(m_pCompareSummary);

    m_pCompareModel = new CCompareListModel(this);
    m_pCompareView = NewListView(page, m_pCompareModel);
    m_pCompareView->setToolTip(QString::fromUtf8(kDoubleClickTip));
    ConnectStretch(this, m_pCompareView, Sorted(m_pCompareView), m_pCompareModel);
    layout->addWidget(m_pCompareView, 1);
    return page;
}

void CAssessWnd::OnCompareLimitEdited()
{
    int64_t v = 0;
    bool ok = ParseNumber(m_pCompareLimit->text(), 0, v);
    m_pCompareLimit->setStyleSheet(ok ? QString() : QStringLiteral("background: #ffd0d0;"));
    m_pMessage->setText(ok ? QString()
                           : QString::fromUtf8("Ungültige Zahl: „%1“. Erlaubt sind ganze mV wie 50 oder 100.")
                                 .arg(m_pCompareLimit->text()));
    m_pMessage->setVisible(!ok);
    if (!ok) return;
    m_session.SetCompareLimit(static_cast<int32_t>(v));
}

void CAssessWnd::ShowComparison()
{
    auto* tabs = findChild<QTabWidget*>(QStringLiteral("lists"));
    const SCompareSettings settings = m_session.CompareSettings();
    const std::shared_ptr<const SComparison> result = m_session.ComparisonResult();
    const SComparison* c = result.get();
    tabs->setTabText(tabs->count() - 1,
                     c ? QStringLiteral("Vergleich (%1)").arg(c->indications.size()) : QStringLiteral("Vergleich"));

    const bool native = settings.mode == ECompareMode::Native;
    const ECompareCriterion criterion = native ? ECompareCriterion::Shift : ECompareCriterion::Worse;
    const int32_t limit = native ? settings.shiftLimit : settings.worseLimit;
    const int32_t byDefault = native ? kDefaultShiftLimit : kDefaultWorseLimit;
    // The pairs fail at deltaOff >= limit, or below a polarisation of limit.
    m_pCompareLimitLabel->setText(QString::fromUtf8(native ? "Polarisation mindestens" : "Schutz verschlechtert ab"));
    m_pCompareLimitLabel->setToolTip(QString::fromUtf8(CompareCriterionName(criterion)));
    m_pCompareLimit->setToolTip(
        QString::fromUtf8(native
                              ? "Ein Paar fällt auf, wenn seine Polarisation (Nativpotential minus Aus-Potential) "
                                "kleiner ist als dieser Wert (mV).\nLeer: %1 mV."
                              : "Ein Paar fällt auf, wenn sein Aus-Potential um mindestens diesen Wert (mV) positiver "
                                "ist als in der früheren Messung.\nLeer: %1 mV.")
            .arg(byDefault));
    if (!m_pCompareLimit->hasFocus()) m_pCompareLimit->setText(limit == byDefault ? QString() : QString::number(limit));
    m_pCompareLimit->setPlaceholderText(QString::number(byDefault));

    const bool loaded = m_session.Comparison().IsLoaded();
    m_pCompareLimit->setEnabled(loaded);
    m_pCompareView->setEnabled(loaded);
    if (!loaded) {
        m_pCompareSource->setText(
            QString::fromUtf8("Keine Vergleichsmessung geladen (Datei > Vergleichsmessung laden…)."));
        m_pCompareAlign->clear();
        m_pCompareReverse->hide();
        m_pCompareSummary->clear();
        return;
    }
    m_pCompareSource->setText(QString::fromUtf8(native ? "Nativmessung: %1" : "Frühere Messung: %1")
                                  .arg(m_session.ComparisonName().toHtmlEscaped()));
    QString align;
    if (!m_session.Comparison().AlignErrors().isEmpty()) {
        align = textcolours::Coloured(
            textcolours::Error(), m_session.Comparison().AlignErrors().join(QStringLiteral("<br>")).toHtmlEscaped());
    } else if (const SAlignment* a = settings.alignment.get()) {
        // Named as the report names it.
        align = QStringLiteral("Zuordnung: ") + QString::fromStdString(AlignmentText(*a)).toHtmlEscaped();
        if (IsPresent(a->maxResidual))
            align += QString::fromUtf8(", größte Abweichung an einem gemeinsamen Punkt %1 m").arg(a->maxResidual);
    }
    for (const QString& n : m_session.Comparison().AlignNotes()) align += QStringLiteral("<br>") + n.toHtmlEscaped();
    m_pCompareAlign->setText(align);
    m_pCompareReverse->setVisible(m_session.Comparison().RefusedAsReversed());
    if (!c) {
        m_pCompareSummary->clear();
        return;
    }
    const SCompareSummary& s = c->summary;
    int64_t length = 0;
    for (const SCompareIndication& i : c->indications) length += i.length;
    QString html = QString::fromUtf8("Paare: %1 &nbsp; ohne Partner: %2 aktuell, %3 im Vergleich<br>"
                                     "Anzeigen: %4, Länge %5 m")
                       .arg(s.matched)
                       .arg(s.currentUnmatched)
                       .arg(s.earlierUnmatched)
                       .arg(c->indications.size())
                       .arg(length);
    html += QStringLiteral("<table cellspacing=0 cellpadding=1><tr><th align=left>Differenz</th>"
                           "<th align=right>&nbsp;Anzahl</th><th align=right>&nbsp;Min</th>"
                           "<th align=right>&nbsp;Max</th><th align=right>&nbsp;Mittel</th></tr>");
    const auto addRow = [&](const char* name, const SDeltaStats& d) {
        html += QStringLiteral("<tr><td>%1</td><td align=right>%2</td><td align=right>%3</td>"
                               "<td align=right>%4</td><td align=right>%5</td></tr>")
                    .arg(QString::fromUtf8(name))
                    .arg(d.count)
                    .arg(CCompareListModel::DeltaText(d.min), CCompareListModel::DeltaText(d.max),
                         CCompareListModel::DeltaText(d.mean));
    };
    addRow("Δ Aus-Potential", s.deltaOff);
    if (native) addRow("Polarisation", s.polarisation);
    html += QStringLiteral("</table>");
    m_pCompareSummary->setText(html);
}
