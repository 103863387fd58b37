// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesswnd.h"

#include "assessstretch.h"
#include "doc/criterion.h"
#include "doc/tredoc.h"
#include "framehelpers.h"
#include "ui/resultlist.h"
#include "ui/textcolours.h"
#include "views/verdictbar.h"
#include "views/verdictpaint.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace assessfield;
using EList = CAssessListModel::EList;

CAssessWnd::CAssessWnd(CSurveySession& session, QWidget* parent)
    : QDockWidget(QStringLiteral("Bewertung"), parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("assessment"));

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    // The criterion, the bar and the summary scroll on their own, so that
    // a short dock still shows rows of its lists rather than only the
    // summary (the dig list is what the dock is opened for).
    auto* summaryScroller = new QScrollArea(body);
    summaryScroller->setObjectName(QStringLiteral("summaryScroller"));
    summaryScroller->setFrameShape(QFrame::NoFrame);
    summaryScroller->setWidgetResizable(true);
    summaryScroller->setWidget(BuildSummary(summaryScroller));
    layout->addWidget(summaryScroller, 1);

    // Above the pages, so a refusal is read whichever page is open.
    m_pMessage = new QLabel(body);
    m_pMessage->setStyleSheet(textcolours::ErrorStyle());
    m_pMessage->setWordWrap(true);
    m_pMessage->hide();
    layout->addWidget(m_pMessage);

    auto* tabs = new QTabWidget(body);
    tabs->setObjectName(QStringLiteral("lists"));
    // Every page's tab in sight: the tabs share the width, their texts
    // shortened only when the dock is too narrow for them.
    tabs->setUsesScrollButtons(false);
    tabs->setElideMode(Qt::ElideRight);
    tabs->tabBar()->setExpanding(true);
    for (EList list : {EList::Stretches, EList::DigList, EList::Warnings}) {
        const int i = static_cast<int>(list);
        m_pModels[i] = new CAssessListModel(list, this);
        QTableView* view = NewListView(tabs, m_pModels[i]);
        view->setToolTip(QString::fromUtf8(kDoubleClickTip));
        ConnectStretch(this, view, Sorted(view), m_pModels[i]);
        if (list == EList::DigList) OfferDigFinding(view, i);
        m_pViews[i] = view;
        tabs->addTab(view, QString());
    }
    // The settings on a page of their own: the lists get the dock's height.
    auto* fields = new QScrollArea(tabs);
    fields->setFrameShape(QFrame::NoFrame);
    fields->setWidgetResizable(true);
    fields->setWidget(BuildFields(fields));
    tabs->addTab(fields, QStringLiteral("Einstellungen"));
    // The page scrolls rather than raise the dock's least height: the main
    // window would grow with it on a small screen.
    auto* scroller = new QScrollArea(tabs);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(BuildComparePage(scroller));
    tabs->addTab(scroller, QString());
    // Room for the header and five rows of a list before the summary gets
    // more than its share.
    tabs->setMinimumHeight(tabs->tabBar()->sizeHint().height() + 7 * fontMetrics().height() + 24);
    layout->addWidget(tabs, 2);
    // On a small screen the dock scrolls instead of holding the main window
    // taller than the screen (its summary and lists need some 340 px).
    auto* outer = new QScrollArea(this);
    outer->setObjectName(QStringLiteral("assessScroller"));
    outer->setFrameShape(QFrame::NoFrame);
    outer->setWidgetResizable(true);
    outer->setWidget(body);
    setWidget(outer);
    ShowSettingsInFields();
    ShowResult();
    ShowComparison();
    connect(&m_session, &CSurveySession::Changed, this, &CAssessWnd::OnSessionChanged);
}

CAssessWnd::~CAssessWnd() = default;

int CAssessWnd::ListsWidth() const
{
    // What the dock takes beside a list: its frame, margins and the tabs'.
    const QTableView* shown = nullptr;
    for (const QTableView* v : m_pViews)
        if (v->isVisible()) shown = v;
    const int around = shown ? width() - shown->width() : 0;
    int widest = 0;
    for (const QTableView* v : m_pViews) widest = std::max(widest, ResultListWidth(v));
    return around + widest;
}

QWidget* CAssessWnd::BuildSummary(QWidget* parent)
{
    auto* body = new QWidget(parent);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pCriterion = framehelp::AddNote(layout, body, "criterion");
    m_pWarning = new QLabel(body);
    m_pWarning->setObjectName(QStringLiteral("criterionWarning"));
    m_pWarning->setStyleSheet(
        QStringLiteral("color: %1; font-weight: bold;").arg(PaletteColour(WarningTextColour()).name()));
    m_pWarning->setWordWrap(true);
    m_pWarning->hide();
    layout->addWidget(m_pWarning);
    m_pPipelineLabel = framehelp::AddNote(layout, body, "pipeline", true);
    m_pPipelineLabel->hide();

    m_pBar = new CVerdictBar(body);
    m_pBar->setToolTip(QString::fromUtf8("Die Messung vom ersten bis zum letzten Meter: jeder Abschnitt in der Farbe "
                                         "seines Status, nicht bewertbare grau schraffiert, Messlücken weiß"));
    layout->addWidget(m_pBar);
    m_pSummary = framehelp::AddNote(layout, body, "summary", true);
    layout->addStretch(1);
    return body;
}

QTableView* CAssessWnd::NewListView(QWidget* parent, QAbstractItemModel* model)
{
    auto* view = new QTableView(parent);
    view->setModel(new CSortedList(model, view));
    SetUpResultList(view);
    // In the order the verdict gives until a header is clicked.
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    // No arrow: room for it in every header would cost the lists their
    // width in the dock.
    view->horizontalHeader()->setSortIndicatorShown(false);
    return view;
}

const CSortedList* CAssessWnd::Sorted(const QTableView* view) { return static_cast<const CSortedList*>(view->model()); }

QWidget* CAssessWnd::BuildFields(QWidget* parent)
{
    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("fields"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    // Two columns of label, field and unit; the three category bounds share
    // the last row.
    const auto place = [&](int field, int row, int column) { PlaceField(grid, box, field, row, column); };
    const int pairs[][2] = {{FieldProtection, FieldLimit},
                            {FieldIRFreeMinDiff, FieldIRFreeMaxRatio},
                            {FieldGap, FieldSpike},
                            {FieldDefectWindow, FieldBackground},
                            {FieldDefectFactor, FieldDefectMin}};
    int row = 0;
    for (const auto& [a, b] : pairs) {
        place(a, row, 0);
        place(b, row, 1);
        ++row;
    }
    place(FieldCategory1, row, 0);
    auto* upper = new QHBoxLayout;
    for (int f : {FieldCategory2, FieldCategory3}) {
        QLabel* label = nullptr;
        QLineEdit* edit = MakeField(box, f, 48, label);
        upper->addWidget(label);
        upper->addWidget(edit);
        upper->addWidget(new QLabel(QString::fromUtf8(assessfield::Spec(f).unit), box));
        upper->addSpacing(6);
    }
    upper->addStretch(1);
    grid->addLayout(upper, row, 4, 1, 4);
    ++row;
    m_pUse100 = new QCheckBox(QString::fromUtf8("100-mV-Kriterium gegen eine Nativmessung"), box);
    m_pUse100->setChecked(Settings().use100mV);
    m_pUse100->setToolTip(QString::fromUtf8(
        "Ein sonst nicht geschützter Punkt gilt als „geschützt (100-mV-Kriterium)“, wenn sein Aus-Potential\n"
        "mindestens 100 mV negativer ist als das Potential der Nativmessung an derselben Stelle\n"
        "(zugeordnet über die Festpunkte der Leitungsdaten oder gemeinsame Orientierungspunkte).\n"
        "Nicht bei einem Schutzpotential von -950 mV oder negativer (anaerober Boden), außer ein\n"
        "Abschnitt der Leitungsdaten lässt es zu.\n"
        "Die Nativmessung wird über Datei > Vergleichsmessung laden... mit „Nativmessung“ geladen."));
    connect(m_pUse100, &QCheckBox::toggled, this, [this](bool on) {
        if (on == Settings().use100mV) return;
        SVerdictSettings next = Settings();
        next.use100mV = on;
        m_session.SetSettings(next);
    });
    grid->addWidget(m_pUse100, row, 0, 1, 8);
    ++row;
    m_pSaveDefaults = new QPushButton(QStringLiteral("Als Standard speichern"), box);
    m_pSaveDefaults->setObjectName(QStringLiteral("saveDefaults"));
    m_pSaveDefaults->setToolTip(
        QString::fromUtf8("Speichert die Einstellungen als Vorgabe für jede künftig geöffnete oder neue Messung.\n"
                          "Ohne Speichern gelten sie nur für diese Messung."));
    connect(m_pSaveDefaults, &QPushButton::clicked, this, [this] { m_session.SaveSettingsAsDefaults(); });
    grid->addWidget(m_pSaveDefaults, row, 0, 1, 4, Qt::AlignLeft);
    grid->setColumnMinimumWidth(3, 12);
    grid->setColumnStretch(7, 1);
    grid->setRowStretch(row + 1, 1);
    return box;
}

QLineEdit* CAssessWnd::MakeField(QWidget* box, int field, int width, QLabel*& label)
{
    const assessfield::SFieldSpec& spec = assessfield::Spec(field);
    label = new QLabel(QString::fromUtf8(spec.label), box);
    auto* edit = new QLineEdit(box);
    edit->setObjectName(QLatin1String(spec.key));
    edit->setFixedWidth(width);
    edit->setToolTip(QString::fromUtf8(spec.tip));
    label->setToolTip(edit->toolTip());
    label->setBuddy(edit);
    connect(edit, &QLineEdit::textEdited, this, [this, field] { OnFieldEdited(field); });
    m_pFields[field] = edit;
    return edit;
}

void CAssessWnd::PlaceField(QGridLayout* grid, QWidget* box, int field, int row, int column)
{
    QLabel* label = nullptr;
    QLineEdit* edit = MakeField(box, field, 64, label);
    grid->addWidget(label, row, column * 4);
    grid->addWidget(edit, row, column * 4 + 1);
    grid->addWidget(new QLabel(QString::fromUtf8(assessfield::Spec(field).unit), box), row, column * 4 + 2);
}

void CAssessWnd::OnFieldEdited(int field)
{
    QLineEdit* edit = m_pFields[field];
    int64_t v = 0;
    QString error;
    SVerdictSettings next = Settings();
    if (ReadField(field, edit->text(), v, error)) {
        // An empty field stands for the default (for E_p: the header's).
        if (v == NO_VALUE) v = Scaled(SVerdictSettings(), field);
        if (v != NO_VALUE) error = RangeError(field, v, edit->text());
        SetScaled(next, field, v);
        if (error.isEmpty()) error = SettingsError(next, SurveyProtectionCriterion(m_session.Doc()).protection);
    }
    const bool ok = error.isEmpty();
    edit->setStyleSheet(ok ? QString() : QStringLiteral("background: #ffd0d0;"));
    // Once the whole set stands again, every field is fine.
    if (ok)
        for (QLineEdit* e : m_pFields) e->setStyleSheet(QString());
    m_pMessage->setText(error);
    m_pMessage->setVisible(!ok);
    // A wrong entry keeps the last good value in use.
    if (!ok) return;
    m_session.SetSettings(next);
}

void CAssessWnd::ShowSettingsInFields()
{
    const SVerdictSettings defaults;
    for (int f = 0; f < kFieldCount; ++f) {
        const int64_t v = Scaled(Settings(), f);
        m_pFields[f]->setText(v == Scaled(defaults, f) ? QString() : FieldText(f, v));
        m_pFields[f]->setPlaceholderText(FieldText(f, Scaled(defaults, f)));
        m_pFields[f]->setStyleSheet(QString());
    }
    m_pMessage->clear();
    m_pMessage->hide();
    m_pUse100->setChecked(Settings().use100mV);
    m_pSaveDefaults->setEnabled(!m_session.SettingsAreDefaults());
}

void CAssessWnd::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    if (m_bStale) Refresh();
}

void CAssessWnd::OnSessionChanged(CSurveySession::EChange what)
{
    // A header text changes nothing shown here.
    if (what == CSurveySession::EChange::Header) return;
    // Another survey brings the stored defaults: what was typed for the
    // last one, refused entries too, is gone from the fields.
    if (what == CSurveySession::EChange::Survey) ShowSettingsInFields();
    m_pSaveDefaults->setEnabled(!m_session.SettingsAreDefaults());
    if (!isVisible()) {
        m_bStale = true;
        return;
    }
    Refresh();
}

void CAssessWnd::Refresh()
{
    m_bStale = false;
    const std::shared_ptr<const SVerdict> result = m_session.Verdict();
    const std::shared_ptr<const trespipeline::SSurveyBinding> binding = m_session.Binding();
    for (CAssessListModel* m : m_pModels) m->SetVerdict(result, binding);
    ShowPipeline();
    m_pBar->SetVerdict(result);
    ShowResult();
    m_pCompareModel->SetComparison(m_session.ComparisonResult());
    ShowComparison();
}

void CAssessWnd::OfferDigFinding(QTableView* view, int model)
{
    // What the dig found belongs to the defect the crew was sent to.
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view, model](const QPoint& at) {
        const QModelIndex index = view->indexAt(at);
        if (!index.isValid()) return;
        const int row = m_pModels[model]->SurveyRows(Sorted(view)->SourceRow(index.row())).first;
        if (row < 1) return;
        QMenu menu(view);
        menu.addAction(QString::fromUtf8("Befund erfassen…"), this, [this, row] { emit DigFindingAsked(row); });
        menu.exec(view->viewport()->mapToGlobal(at));
    });
}
