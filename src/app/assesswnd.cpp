// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesswnd.h"

#include "tredoc.h"
#include "tresapp.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

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
        auto* view = new QTableView(tabs);
        view->setModel(m_pModels[i]);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setWordWrap(false);
        view->verticalHeader()->hide();
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        connect(view, &QAbstractItemView::doubleClicked, this, [this, list](const QModelIndex& index) {
            const CAssessListModel* model = m_pModels[static_cast<int>(list)];
            const auto [first, last] = model->SurveyRows(index.row());
            if (first < 1) return;
            const auto [from, to] = model->SurveyMetres(index.row());
            emit StretchChosen(first, last, from, to);
        });
        m_pViews[i] = view;
        tabs->addTab(view, QString());
    }
    layout->addWidget(tabs, 1);
    setWidget(body);
    ShowLimitsInFields();
    ShowSummary();
}

CAssessWnd::~CAssessWnd() = default;

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
    }
    addField(kSpikeField, new QLabel(QString::fromUtf8("Ausreißer ab"), box), m_pSpike, QStringLiteral("mV"));
    addField(kGapField, new QLabel(QString::fromUtf8("Messlücke ab"), box), m_pGap, QStringLiteral("m"));
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
    emit Recomputed();
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
