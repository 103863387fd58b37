// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesswnd.h"

#include "resultlist.h"
#include "tredoc.h"
#include "tresapp.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

using EList = CAssessListModel::EList;

// Fields 0..3 are the criteria's limits, then the spike and the gap.
constexpr int kSpikeField = kCriterionCount;
constexpr int kGapField = kCriterionCount + 1;

QString Key(const char* id, const char* what)
{
    return QStringLiteral("Bewertung/") + QLatin1String(id) + QLatin1String(what);
}

bool IsTenths(ECriterion c) { return c == ECriterion::GradDiff; }

// What each criterion's limit field means, for its tool tip.
const char* LimitTip(ECriterion c)
{
    switch (c) {
    case ECriterion::Off:
        return "Eine Zeile fällt auf, wenn ihr Aus-Potential positiver ist als dieser Grenzwert (mV).\n"
               "Leer: das Schutzkriterium der Messung (Skrit).";
    case ECriterion::IRFree:
        return "Eine Zeile fällt auf, wenn ihr IR-freies Potential positiver ist als dieser Grenzwert (mV).\n"
               "Leer: das Schutzkriterium der Messung (Skrit).";
    case ECriterion::Over:
        return "Eine Zeile fällt auf, wenn ihr Aus-Potential negativer ist als dieser Grenzwert (mV).\n"
               "Leer: -1200 mV.";
    case ECriterion::GradDiff:
        return "Eine Zeile fällt auf, wenn ihre Gradientendifferenz diesen Grenzwert (mV, eine Nachkommastelle, "
               "Komma oder Punkt) erreicht.\nLeer: 5,0 mV.";
    }
    return "";
}

QString LimitText(ECriterion c, int32_t v)
{
    return IsTenths(c) ? CAssessListModel::TenthsText(v) : CAssessListModel::MilliVoltText(v);
}

// A share of the survey length in per cent with one decimal.
QString Percent(int64_t part, int64_t whole)
{
    if (whole <= 0) return QStringLiteral("–");
    return QString::number(static_cast<double>(part) * 100.0 / static_cast<double>(whole), 'f', 1)
        .replace(QLatin1Char('.'), QLatin1Char(','));
}

// A double click on a list row shows the stretch it stands for. A
// comparison's pairs run in metre order, which in a survey walked
// downstream is the rows' reverse order.
template <typename Model> void ConnectStretch(CAssessWnd* w, QTableView* view, const Model* model)
{
    QObject::connect(view, &QAbstractItemView::doubleClicked, w, [w, model](const QModelIndex& index) {
        const auto [first, last] = model->SurveyRows(index.row());
        if (first < 1) return;
        const auto [from, to] = model->SurveyMetres(index.row());
        emit w->StretchChosen(std::min(first, last), std::max(first, last), from, to);
    });
}

} // namespace

CAssessWnd::CAssessWnd(CTreDoc& doc, QWidget* parent)
    : QDockWidget(QStringLiteral("Bewertung"), parent)
    , m_doc(doc)
{
    setObjectName(QStringLiteral("assessment"));
    LoadSettings();

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(BuildLimits(body));

    m_pMessage = new QLabel(body);
    m_pMessage->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_pMessage->setWordWrap(true);
    m_pMessage->hide();
    layout->addWidget(m_pMessage);

    m_pSummary = new QLabel(body);
    m_pSummary->setTextFormat(Qt::RichText);
    layout->addWidget(m_pSummary);

    auto* note = new QLabel(QStringLiteral("Potentiale und Gradienten in mV"), body);
    layout->addWidget(note);

    auto* tabs = new QTabWidget(body);
    tabs->setObjectName(QStringLiteral("lists"));
    for (EList list : {EList::Indications, EList::Defects, EList::Warnings}) {
        const int i = static_cast<int>(list);
        m_pModels[i] = new CAssessListModel(list, this);
        QTableView* view = NewListView(tabs, m_pModels[i]);
        view->setToolTip(QString::fromUtf8("Doppelklick: die Zeilen in der Tabelle markieren und die Kurven auf die "
                                           "Strecke stellen"));
        ConnectStretch(this, view, m_pModels[i]);
        m_pViews[i] = view;
        tabs->addTab(view, QString());
    }
    // The page scrolls rather than raise the dock's least height: the main
    // window would grow with it on a small screen.
    auto* scroller = new QScrollArea(tabs);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(BuildComparePage(scroller));
    tabs->addTab(scroller, QString());
    layout->addWidget(tabs, 1);
    setWidget(body);
    ShowLimitsInFields();
    ShowSummary();
    ShowComparison();
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

QTableView* CAssessWnd::NewListView(QWidget* parent, QAbstractItemModel* model)
{
    auto* view = new QTableView(parent);
    view->setModel(model);
    SetUpResultList(view);
    return view;
}

QWidget* CAssessWnd::BuildComparePage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("comparison"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);

    m_pCompareSource = new QLabel(page);
    m_pCompareSource->setWordWrap(true);
    layout->addWidget(m_pCompareSource);

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
    m_pCompareView->setToolTip(QString::fromUtf8("Doppelklick: die Zeilen in der Tabelle markieren und die Kurven auf "
                                                 "die Strecke stellen"));
    ConnectStretch(this, m_pCompareView, m_pCompareModel);
    layout->addWidget(m_pCompareView, 1);
    return page;
}

QWidget* CAssessWnd::BuildLimits(QWidget* parent)
{
    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("limits"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    auto addField = [&](int row, QWidget* label, QLineEdit*& edit, const QString& unit) {
        edit = new QLineEdit(box);
        edit->setMaximumWidth(80);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(new QLabel(unit, box), row, 2);
        connect(edit, &QLineEdit::textEdited, this, [this, row] { OnLimitEdited(row); });
    };
    for (int k = 0; k < kCriterionCount; ++k) {
        const auto c = static_cast<ECriterion>(k);
        m_pEnabled[k] = new QCheckBox(QString::fromUtf8(CriterionName(c)), box);
        m_pEnabled[k]->setChecked(m_settings[c].enabled);
        connect(m_pEnabled[k], &QCheckBox::toggled, this, [this, c](bool on) {
            m_settings[c].enabled = on;
            SaveSettings();
            Recompute();
        });
        addField(k, m_pEnabled[k], m_pLimit[k], QStringLiteral("mV"));
        m_pEnabled[k]->setToolTip(
            QString::fromUtf8("Kriterium „%1“ prüfen oder auslassen").arg(QString::fromUtf8(CriterionName(c))));
        m_pLimit[k]->setToolTip(QString::fromUtf8(LimitTip(c)));
    }
    addField(kSpikeField, new QLabel(QString::fromUtf8("Ausreißer ab"), box), m_pSpike, QStringLiteral("mV"));
    addField(kGapField, new QLabel(QString::fromUtf8("Messlücke ab"), box), m_pGap, QStringLiteral("m"));
    m_pSpike->setToolTip(QString::fromUtf8("Warnung „Ausreißer“: eine Zeile, die sich von beiden Nachbarn um mehr als "
                                           "diesen Wert (mV) in dieselbe Richtung abhebt"));
    m_pGap->setToolTip(QString::fromUtf8("Warnung „Messlücke“: eine Zeile, die mehr als diese Meter hinter der vorigen "
                                         "liegt"));
    grid->setColumnStretch(3, 1);
    return box;
}

bool CAssessWnd::ParseLimit(const QString& text, bool tenths, int32_t& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        value = NO_VALUE;
        return true;
    }
    int i = 0;
    const bool negative = t[0] == QLatin1Char('-');
    if (negative || t[0] == QLatin1Char('+')) ++i;
    int64_t whole = 0;
    int digits = 0;
    for (; i < t.size() && t[i].isDigit(); ++i, ++digits) {
        whole = whole * 10 + t[i].digitValue();
        if (whole > std::numeric_limits<int32_t>::max()) return false;
    }
    int fraction = 0;
    if (i < t.size() && (t[i] == QLatin1Char(',') || t[i] == QLatin1Char('.'))) {
        ++i;
        // Digits past the unit's precision are cut off: truncation toward zero.
        for (int place = 0; i < t.size() && t[i].isDigit(); ++i, ++digits, ++place)
            if (place == 0) fraction = t[i].digitValue();
    }
    if (i != t.size() || digits == 0) return false;
    int64_t v = tenths ? whole * 10 + fraction : whole;
    if (negative) v = -v;
    // NO_VALUE itself would read as "the default".
    if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min() || v == NO_VALUE)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

void CAssessWnd::OnLimitEdited(int field)
{
    QLineEdit* edit = field < kCriterionCount ? m_pLimit[field] : field == kSpikeField ? m_pSpike : m_pGap;
    const bool tenths = field < kCriterionCount && IsTenths(static_cast<ECriterion>(field));
    int32_t v = 0;
    bool ok = ParseLimit(edit->text(), tenths, v);
    QString error;
    if (!ok) {
        error = QString::fromUtf8("Ungültige Zahl: \"%1\". Erlaubt sind Zahlen wie -850 oder 5,0.").arg(edit->text());
    } else if (field >= kCriterionCount && IsPresent(v) && v < 0) {
        ok = false;
        error = QString::fromUtf8("Der Wert darf nicht negativ sein: %1").arg(edit->text());
    }
    edit->setStyleSheet(ok ? QString() : QStringLiteral("background: #ffd0d0;"));
    m_pMessage->setText(error);
    m_pMessage->setVisible(!ok);
    // A wrong entry keeps the last good value in use.
    if (!ok) return;
    if (field < kCriterionCount) m_settings.criteria[static_cast<size_t>(field)].limit = v;
    else if (field == kSpikeField) m_settings.spike = IsPresent(v) ? v : SAssessSettings().spike;
    else m_settings.gap = IsPresent(v) ? v : SAssessSettings().gap;
    SaveSettings();
    Recompute();
}

void CAssessWnd::LoadSettings()
{
    auto s = CTresApp::Settings();
    const SAssessSettings defaults;
    for (int k = 0; k < kCriterionCount; ++k) {
        const char* id = CriterionId(static_cast<ECriterion>(k));
        SCriterionSetting& c = m_settings.criteria[static_cast<size_t>(k)];
        c.enabled = s->value(Key(id, "Enabled"), true).toBool();
        bool ok = false;
        const int v = s->value(Key(id, "Limit")).toInt(&ok);
        c.limit = ok ? v : NO_VALUE;
    }
    bool ok = false;
    const int spike = s->value(QStringLiteral("Bewertung/spike")).toInt(&ok);
    m_settings.spike = ok && spike >= 0 ? spike : defaults.spike;
    const int gap = s->value(QStringLiteral("Bewertung/gap")).toInt(&ok);
    m_settings.gap = ok && gap >= 0 ? gap : defaults.gap;
    const int worse = s->value(QStringLiteral("Bewertung/worseLimit")).toInt(&ok);
    m_compareSettings.worseLimit = ok ? worse : kDefaultWorseLimit;
    const int shift = s->value(QStringLiteral("Bewertung/shiftLimit")).toInt(&ok);
    m_compareSettings.shiftLimit = ok ? shift : kDefaultShiftLimit;
}

void CAssessWnd::SaveSettings() const
{
    auto s = CTresApp::Settings();
    for (int k = 0; k < kCriterionCount; ++k) {
        const char* id = CriterionId(static_cast<ECriterion>(k));
        const SCriterionSetting& c = m_settings.criteria[static_cast<size_t>(k)];
        s->setValue(Key(id, "Enabled"), c.enabled);
        // No stored limit: the default, which for Off and IRFree follows the survey.
        if (IsPresent(c.limit)) s->setValue(Key(id, "Limit"), c.limit);
        else s->remove(Key(id, "Limit"));
    }
    s->setValue(QStringLiteral("Bewertung/spike"), m_settings.spike);
    s->setValue(QStringLiteral("Bewertung/gap"), m_settings.gap);
    // A default limit is not stored, so a later default applies to it.
    const auto keep = [&](const QString& key, int32_t v, int32_t byDefault) {
        if (v != byDefault) s->setValue(key, v);
        else s->remove(key);
    };
    keep(QStringLiteral("Bewertung/worseLimit"), m_compareSettings.worseLimit, kDefaultWorseLimit);
    keep(QStringLiteral("Bewertung/shiftLimit"), m_compareSettings.shiftLimit, kDefaultShiftLimit);
}

void CAssessWnd::ShowLimitsInFields()
{
    for (int k = 0; k < kCriterionCount; ++k) {
        const auto c = static_cast<ECriterion>(k);
        const int32_t v = m_settings[c].limit;
        m_pLimit[k]->setText(IsPresent(v) ? LimitText(c, v) : QString());
    }
    m_pSpike->setText(QString::number(m_settings.spike));
    m_pGap->setText(QString::number(m_settings.gap));
}

void CAssessWnd::SetAlwaysCurrent(bool on)
{
    m_bAlwaysCurrent = on;
    if (on && m_bStale) Recompute();
}

void CAssessWnd::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    if (m_bStale) Recompute();
}

void CAssessWnd::Recompute()
{
    if (!isVisible() && !m_bAlwaysCurrent) {
        m_bStale = true;
        return;
    }
    m_bStale = false;
    m_result = std::make_shared<const SAssessment>(Assess(m_doc, m_settings));
    for (CAssessListModel* m : m_pModels) m->SetAssessment(m_result);
    ShowSummary();
    RecomputeComparison();
    emit Recomputed();
}

void CAssessWnd::SetComparison(const CTreDoc* earlier, bool native, const QString& name)
{
    m_pCompareDoc = earlier;
    m_strCompareName = name;
    m_compareSettings.mode = native ? ECompareMode::Native : ECompareMode::Earlier;
    // Never show a result of a survey that is gone.
    m_comparison.reset();
    m_pCompareModel->SetComparison(nullptr);
    if (isVisible() || m_bAlwaysCurrent) RecomputeComparison();
    else m_bStale = true;
    ShowComparison();
}

void CAssessWnd::RecomputeComparison()
{
    m_comparison = m_pCompareDoc
                       ? std::make_shared<const SComparison>(Compare(m_doc, *m_pCompareDoc, m_compareSettings))
                       : nullptr;
    m_pCompareModel->SetComparison(m_comparison);
    ShowComparison();
}

void CAssessWnd::OnCompareLimitEdited()
{
    int32_t v = 0;
    bool ok = ParseLimit(m_pCompareLimit->text(), false, v);
    m_pCompareLimit->setStyleSheet(ok ? QString() : QStringLiteral("background: #ffd0d0;"));
    m_pMessage->setText(ok ? QString()
                           : QString::fromUtf8("Ungültige Zahl: \"%1\". Erlaubt sind ganze mV wie 50 oder 100.")
                                 .arg(m_pCompareLimit->text()));
    m_pMessage->setVisible(!ok);
    if (!ok) return;
    const bool native = m_compareSettings.mode == ECompareMode::Native;
    int32_t& limit = native ? m_compareSettings.shiftLimit : m_compareSettings.worseLimit;
    limit = IsPresent(v) ? v : native ? kDefaultShiftLimit : kDefaultWorseLimit;
    SaveSettings();
    if (!isVisible() && !m_bAlwaysCurrent) {
        m_bStale = true;
        return;
    }
    RecomputeComparison();
}

void CAssessWnd::ShowComparison()
{
    auto* tabs = findChild<QTabWidget*>(QStringLiteral("lists"));
    const SComparison* c = m_comparison.get();
    tabs->setTabText(3, c ? QStringLiteral("Vergleich (%1)").arg(c->indications.size()) : QStringLiteral("Vergleich"));

    const bool native = m_compareSettings.mode == ECompareMode::Native;
    const ECompareCriterion criterion = native ? ECompareCriterion::Shift : ECompareCriterion::Worse;
    const int32_t limit = native ? m_compareSettings.shiftLimit : m_compareSettings.worseLimit;
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

    const bool loaded = m_pCompareDoc != nullptr;
    m_pCompareLimit->setEnabled(loaded);
    m_pCompareView->setEnabled(loaded);
    if (!loaded) {
        m_pCompareSource->setText(
            QString::fromUtf8("Keine Vergleichsmessung geladen (Datei > Vergleichsmessung laden...)."));
        m_pCompareSummary->clear();
        return;
    }
    m_pCompareSource->setText(
        QString::fromUtf8(native ? "Nativmessung: %1" : "Frühere Messung: %1").arg(m_strCompareName.toHtmlEscaped()));
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

void CAssessWnd::ShowSummary()
{
    auto* tabs = findChild<QTabWidget*>(QStringLiteral("lists"));
    const SAssessment* a = m_result.get();
    const SAssessSummary s = a ? a->summary : SAssessSummary();
    tabs->setTabText(0, QStringLiteral("Anzeigen (%1)").arg(a ? a->indications.size() : 0));
    tabs->setTabText(1, QStringLiteral("Fehlstellenverdacht (%1)").arg(s.defectCount));
    tabs->setTabText(2, QStringLiteral("Warnungen (%1)").arg(a ? a->warnings.size() : 0));

    // The limit a field stands for when it is left empty.
    for (int k = 0; k < kCriterionCount; ++k) {
        const auto c = static_cast<ECriterion>(k);
        const int32_t v = a ? a->criteria[static_cast<size_t>(k)].limit : NO_VALUE;
        m_pLimit[k]->setPlaceholderText(IsPresent(v) ? LimitText(c, v) : QString());
    }

    QString html = QStringLiteral("Messlänge: %1 m<table cellspacing=0 cellpadding=1>"
                                  "<tr><th align=left>Kriterium</th><th align=right>&nbsp;Anzahl</th>"
                                  "<th align=right>&nbsp;Länge m</th><th align=right>&nbsp;Anteil %</th></tr>")
                       .arg(s.surveyLength);
    for (int k = 0; k < kCriterionCount; ++k) {
        const auto c = static_cast<ECriterion>(k);
        const bool on = a && a->criteria[static_cast<size_t>(k)].enabled;
        const auto i = static_cast<size_t>(k);
        html += QStringLiteral("<tr><td>%1</td><td align=right>%2</td><td align=right>%3</td>"
                               "<td align=right>%4</td></tr>")
                    .arg(QString::fromUtf8(CriterionName(c)).toHtmlEscaped(),
                         on ? QString::number(s.indicationCount[i]) : QStringLiteral("aus"),
                         on ? QString::number(s.indicationLength[i]) : QString(),
                         on ? Percent(s.indicationLength[i], s.surveyLength) : QString());
    }
    html += QStringLiteral("</table>");
    m_pSummary->setText(html);
}
