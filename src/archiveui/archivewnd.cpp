// SPDX-License-Identifier: GPL-3.0-or-later
#include "archivewnd.h"

#include "archivesession.h"
#include "doc/numtext.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kIdRole = Qt::UserRole;

QString Km(double metres) { return QString::fromStdString(tresnum::GermanFixed(metres / 1000.0, 3)) + " km"; }

QTreeWidgetItem* SurveyItem(const tresarchive::SSurveyEntry& s)
{
    auto* item = new QTreeWidgetItem(
        QStringList{GermanDate(s.date), QString::fromStdString(s.file), QString::number(s.rows), Km(s.totalLength),
                    Km(s.assessedLength), QString::number(s.defects), QString::number(s.urgent),
                    QString::fromStdString(s.addedBy), QString::fromStdString(tresarchive::ShownTime(s.addedAt))});
    item->setData(0, kIdRole, s.id);
    for (int c = 2; c <= 6; ++c) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    item->setToolTip(0, QStringLiteral("Messung Nr. %1").arg(s.id));
    return item;
}

} // namespace

CArchiveWnd::CArchiveWnd(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("archiveWindow"));
    setWindowTitle(QStringLiteral("Archiv"));
    auto* layout = new QVBoxLayout(this);
    m_pLocation = new QLabel(this);
    m_pLocation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pLocation->setWordWrap(true);
    layout->addWidget(m_pLocation);

    m_pList = new QTreeWidget(this);
    m_pList->setObjectName(QStringLiteral("archiveList"));
    m_pList->setHeaderLabels({QStringLiteral("Leitung / Datum"), QStringLiteral("Datei"), QStringLiteral("Zeilen"),
                              QString::fromUtf8("Länge"), QStringLiteral("bewertet"), QStringLiteral("Fehlstellen"),
                              QStringLiteral("umgehend"), QStringLiteral("Benutzer"), QStringLiteral("hinzugefügt")});
    m_pList->setRootIsDecorated(true);
    m_pList->setUniformRowHeights(true);
    m_pList->header()->setStretchLastSection(false);
    m_pList->setAllColumnsShowFocus(true);
    m_pList->headerItem()->setToolTip(7, QString::fromUtf8("Wer die Messung ins Archiv übernommen hat"));
    m_pList->headerItem()->setToolTip(8, QString::fromUtf8("Wann die Messung ins Archiv übernommen wurde (UTC)"));
    m_pList->headerItem()->setToolTip(6, QString::fromUtf8("Fehlstellen mit „umgehend aufgraben“"));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_pList, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_pOpen = buttons->addButton(QString::fromUtf8("Öffnen"), QDialogButtonBox::ActionRole);
    m_pCompare = buttons->addButton(QStringLiteral("Als Vergleich"), QDialogButtonBox::ActionRole);
    m_pReport = buttons->addButton(QStringLiteral("Bericht"), QDialogButtonBox::ActionRole);
    QPushButton* refresh = buttons->addButton(QStringLiteral("Aktualisieren"), QDialogButtonBox::ResetRole);
    buttons->addButton(QDialogButtonBox::Close)->setText(QString::fromUtf8("Schließen"));
    m_pOpen->setToolTip(QString::fromUtf8("Öffnet die Messung aus dem Archiv als neue, unbenannte Messung"));
    m_pCompare->setToolTip(QStringLiteral("Lädt die Messung aus dem Archiv als Vergleichsmessung"));
    m_pReport->setToolTip(
        QString::fromUtf8("Schreibt den Bewertungsbericht der Messung mit ihren Leitungsdaten und Optionen aus dem "
                          "Archiv"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pOpen, &QPushButton::clicked, this, [this] { emit OpenRequested(SelectedSurvey()); });
    connect(m_pCompare, &QPushButton::clicked, this, [this] { emit CompareRequested(SelectedSurvey()); });
    connect(m_pReport, &QPushButton::clicked, this, [this] { emit ReportRequested(SelectedSurvey()); });
    connect(refresh, &QPushButton::clicked, this, &CArchiveWnd::RefreshRequested);
    connect(m_pList, &QTreeWidget::itemSelectionChanged, this, &CArchiveWnd::UpdateButtons);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item->parent()) emit OpenRequested(SelectedSurvey());
    });
    FitColumns();
    UpdateButtons();
}

void CArchiveWnd::Show(const QString& shownLocation, const std::vector<tresarchive::SPipelineEntry>& pipelines)
{
    const long long selected = SelectedSurvey();
    m_pLocation->setText(QStringLiteral("Archiv: ") + shownLocation);
    m_pList->clear();
    for (const tresarchive::SPipelineEntry& p : pipelines) {
        const QString title = QString::fromStdString(tresarchive::PipelineTitle(p.name, p.number));
        const QString count = p.surveys.size() == 1 ? QStringLiteral("1 Messung")
                                                    : QStringLiteral("%1 Messungen").arg(p.surveys.size());
        auto* top = new QTreeWidgetItem(
            QStringList{(title.isEmpty() ? QStringLiteral("(ohne Namen)") : title) + QStringLiteral(" – ") + count});
        top->setFlags(top->flags() & ~Qt::ItemIsSelectable);
        QFont bold = top->font(0);
        bold.setBold(true);
        top->setFont(0, bold);
        for (const tresarchive::SSurveyEntry& s : p.surveys) top->addChild(SurveyItem(s));
        m_pList->addTopLevelItem(top);
        // The pipeline's line spans the columns of its surveys.
        top->setFirstColumnSpanned(true);
        top->setExpanded(true);
    }
    FitColumns();
    if (!SelectSurvey(selected) && m_pList->topLevelItemCount() > 0 && m_pList->topLevelItem(0)->childCount() > 0)
        m_pList->setCurrentItem(m_pList->topLevelItem(0)->child(0));
    UpdateButtons();
}

long long CArchiveWnd::SelectedSurvey() const
{
    const QList<QTreeWidgetItem*> items = m_pList->selectedItems();
    return items.isEmpty() || !items.front()->parent() ? 0 : items.front()->data(0, kIdRole).toLongLong();
}

bool CArchiveWnd::SelectSurvey(long long id)
{
    if (id == 0) return false;
    for (int p = 0; p < m_pList->topLevelItemCount(); ++p)
        for (int s = 0; s < m_pList->topLevelItem(p)->childCount(); ++s)
            if (QTreeWidgetItem* item = m_pList->topLevelItem(p)->child(s); item->data(0, kIdRole).toLongLong() == id) {
                m_pList->setCurrentItem(item);
                return true;
            }
    return false;
}

void CArchiveWnd::FitColumns()
{
    // By the surveys' texts and the titles: a pipeline's long name spans
    // the columns and must not widen the first.
    const QFontMetrics fm(m_pList->font());
    const int pad = 2 * fm.averageCharWidth() + 2 * m_pList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin);
    for (int c = 0; c < m_pList->columnCount(); ++c) {
        int width = m_pList->header()->sectionSizeHint(c);
        for (int p = 0; p < m_pList->topLevelItemCount(); ++p)
            for (int s = 0; s < m_pList->topLevelItem(p)->childCount(); ++s)
                width = std::max(width, fm.horizontalAdvance(m_pList->topLevelItem(p)->child(s)->text(c)) + pad
                                            + (c == 0 ? 2 * m_pList->indentation() : 0));
        m_pList->setColumnWidth(c, width);
    }
}

QSize CArchiveWnd::sizeHint() const
{
    int width = 0;
    for (int c = 0; c < m_pList->columnCount(); ++c) width += m_pList->columnWidth(c);
    const QMargins m = layout()->contentsMargins();
    return QSize(width + m.left() + m.right() + 2 * m_pList->frameWidth()
                     + m_pList->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                 QDialog::sizeHint().height());
}

void CArchiveWnd::UpdateButtons()
{
    const bool any = SelectedSurvey() != 0;
    for (QPushButton* b : {m_pOpen, m_pCompare, m_pReport}) b->setEnabled(any);
}
