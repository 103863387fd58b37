// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesswnd.h"

#include "pipelinesource.h"
#include "resultlist.h"
#include "sections.h"
#include "tiedassessment.h"
#include "tredoc.h"
#include "tresapp.h"
#include "verdictbar.h"
#include "verdictpaint.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using EList = CAssessListModel::EList;
using EField = CAssessWnd::EField;

enum class ERange { Negative, NotNegative, Positive, Percent };

// A field: its settings key (section "Bewertung"), label, unit, the places
// its value is read to (0 mV, 1 tenths of a mV, 2 hundredths of a metre,
// 6 a decimal), what it may hold, and what it means.
struct SFieldSpec {
    const char* key;
    const char* label;
    const char* unit;
    int places;
    ERange range;
    const char* tip;
};

const SFieldSpec kFields[CAssessWnd::kFieldCount] = {
    {"protectionPotential", "Schutzkriterium", "mV", 0, ERange::Negative,
     "Schutzpotential E_p (mV): ein Punkt ist geschützt, wenn sein Potential (IR-frei, wo es verwendbar ist, sonst\n"
     "das Aus-Potential) nicht positiver ist.\nLeer: aus den Kopfdaten (Skrit); ist es dort nicht lesbar, −850 mV "
     "mit Warnung."},
    {"limitPotential", "Grenzpotential", "mV", 0, ERange::Negative,
     "Grenzpotential E_l (mV): ein negativeres Potential gilt als „Grenzpotential unterschritten“.\nLeer: −1200 mV."},
    {"irfreeMinDiff", "IR-frei ab", "mV", 1, ERange::NotNegative,
     "Das IR-freie Potential gilt nur, wo die Gradientendifferenz mindestens diesen Wert erreicht\n"
     "(mV, eine Nachkommastelle); sonst zählt das Aus-Potential.\nLeer: 5,0 mV."},
    {"irfreeMaxRatio", "Aus/Ein höchstens", "×", 6, ERange::NotNegative,
     "Das IR-freie Potential gilt nur, wo der Aus-Gradient in dieselbe Richtung zeigt wie der Ein-Gradient\n"
     "und höchstens dieses Vielfache von ihm ist.\nLeer: 0,8."},
    {"gap", "Messlücke ab", "m", 2, ERange::Positive,
     "Ein Punkt steht für die halbe Strecke zu jedem Nachbarn, je Seite höchstens die Hälfte dieses Abstands (m);\n"
     "weiter voneinander entfernte Punkte sind eine Messlücke.\nLeer: 10 m."},
    {"spike", "Ausreißer ab", "mV", 0, ERange::NotNegative,
     "Warnung „Ausreißer“: 1 bis 3 Punkte, die sich von beiden Nachbarn um mehr als diesen Wert (mV)\n"
     "in dieselbe Richtung abheben.\nLeer: 100 mV."},
    {"defectWindow", "Fehlstelle: Fenster", "m", 2, ERange::NotNegative,
     "Eine Fehlstelle ist die größte Gradientendifferenz innerhalb dieses Abstands (m).\nLeer: 10 m."},
    {"background", "Umfeld bis", "m", 2, ERange::NotNegative,
     "Das Umfeld einer Fehlstelle: die Punkte jenseits des Fensters bis zu diesem Abstand (m);\n"
     "ihr Median der Gradientendifferenz ist der Hintergrund.\nLeer: 50 m."},
    {"defectFactor", "Faktor", "×", 6, ERange::NotNegative,
     "Eine Fehlstelle erreicht mindestens dieses Vielfache des Hintergrunds.\nLeer: 2,5."},
    {"defectMin", "mindestens", "mV", 1, ERange::NotNegative,
     "Eine Fehlstelle erreicht mindestens diese Gradientendifferenz (mV, eine Nachkommastelle).\nLeer: 3,0 mV."},
    {"category1", "Kategorie I bis", "%", 6, ERange::Percent,
     "Obere Grenze des IR-Anteils (%) für Kategorie I „gering“.\nLeer: 15 %."},
    {"category2", "II bis", "%", 6, ERange::Percent,
     "Obere Grenze des IR-Anteils (%) für Kategorie II „mittel“.\nLeer: 35 %."},
    {"category3", "III bis", "%", 6, ERange::Percent,
     "Obere Grenze des IR-Anteils (%) für Kategorie III „erheblich“; darüber Kategorie IV „schwer“.\nLeer: 60 %."},
};

// The keys of the settings before the verdict: they would mislead anyone
// who reads the settings file, so a save removes them.
const char* const kFormerKeys[] = {"offEnabled",  "offLimit",  "irfreeEnabled",   "irfreeLimit",
                                   "overEnabled", "overLimit", "graddiffEnabled", "graddiffLimit"};

QString Key(const char* name) { return QStringLiteral("Bewertung/") + QLatin1String(name); }

int64_t Scale(int places)
{
    int64_t s = 1;
    for (int i = 0; i < places; ++i) s *= 10;
    return s;
}

// A field's setting in the field's units (NO_VALUE: the protection
// potential is the header's).
int64_t Scaled(const SVerdictSettings& s, int field)
{
    const auto real = [&](double v) { return static_cast<int64_t>(std::llround(v * Scale(kFields[field].places))); };
    switch (field) {
    case EField::FieldProtection: return s.protectionPotential;
    case EField::FieldLimit: return s.limitPotential;
    case EField::FieldIRFreeMinDiff: return s.irfreeMinDiff;
    case EField::FieldIRFreeMaxRatio: return real(s.irfreeMaxRatio);
    case EField::FieldGap: return real(s.gap);
    case EField::FieldSpike: return s.spike;
    case EField::FieldDefectWindow: return real(s.defectWindow);
    case EField::FieldBackground: return real(s.background);
    case EField::FieldDefectFactor: return real(s.defectFactor);
    case EField::FieldDefectMin: return s.defectMin;
    default: return real(s.categories[static_cast<size_t>(field - EField::FieldCategory1)]);
    }
}

void SetScaled(SVerdictSettings& s, int field, int64_t v)
{
    // The quotient of two integers is the double nearest to the decimal, as
    // the tool reads it: 0,8 typed here is the 0.8 of --irfree-max-ratio.
    const double real = static_cast<double>(v) / static_cast<double>(Scale(kFields[field].places));
    const auto whole = static_cast<int32_t>(v);
    switch (field) {
    case EField::FieldProtection: s.protectionPotential = whole; break;
    case EField::FieldLimit: s.limitPotential = whole; break;
    case EField::FieldIRFreeMinDiff: s.irfreeMinDiff = whole; break;
    case EField::FieldIRFreeMaxRatio: s.irfreeMaxRatio = real; break;
    case EField::FieldGap: s.gap = real; break;
    case EField::FieldSpike: s.spike = whole; break;
    case EField::FieldDefectWindow: s.defectWindow = real; break;
    case EField::FieldBackground: s.background = real; break;
    case EField::FieldDefectFactor: s.defectFactor = real; break;
    case EField::FieldDefectMin: s.defectMin = whole; break;
    default: s.categories[static_cast<size_t>(field - EField::FieldCategory1)] = real;
    }
}

// A field's value as typed: decimal comma, no trailing zeros beyond what
// the unit has (tenths of a mV keep theirs: "5,0").
QString FieldText(int field, int64_t v)
{
    if (!IsPresent(static_cast<int32_t>(v)) && field == EField::FieldProtection) return {};
    const int places = kFields[field].places;
    if (places == 0) return QString::number(v);
    const int64_t scale = Scale(places), a = std::llabs(v);
    QString frac = QStringLiteral("%1").arg(a % scale, places, 10, QLatin1Char('0'));
    if (places != 1)
        while (frac.endsWith(QLatin1Char('0'))) frac.chop(1);
    return (v < 0 ? QStringLiteral("-") : QString()) + QString::number(a / scale)
           + (frac.isEmpty() ? QString() : QLatin1Char(',') + frac);
}

// Why a value may not stand, empty when it may.
QString RangeError(ERange range, int64_t v, const QString& typed)
{
    switch (range) {
    case ERange::Negative:
        if (v >= 0) return QString::fromUtf8("Das Potential muss negativ sein: %1").arg(typed);
        break;
    case ERange::NotNegative:
        if (v < 0) return QString::fromUtf8("Der Wert darf nicht negativ sein: %1").arg(typed);
        break;
    case ERange::Positive:
        if (v <= 0) return QString::fromUtf8("Der Wert muss größer als 0 sein: %1").arg(typed);
        break;
    case ERange::Percent:
        if (v < 0 || v > 100 * Scale(6))
            return QString::fromUtf8("Die Grenze muss zwischen 0 und 100 % liegen: %1").arg(typed);
        break;
    }
    return {};
}

// What a whole set of settings may not be, empty when it may be. `survey`:
// the survey's criterion, which stands in for an empty field.
QString SettingsError(const SVerdictSettings& s, int32_t survey)
{
    if (s.limitPotential >= (IsPresent(s.protectionPotential) ? s.protectionPotential : survey))
        return QString::fromUtf8("Das Grenzpotential muss negativer sein als das Schutzkriterium.");
    if (!(s.categories[0] < s.categories[1] && s.categories[1] < s.categories[2]))
        return QString::fromUtf8("Die Grenzen der Kategorien müssen aufsteigen (I < II < III).");
    return {};
}

QString SourceText(ECriterionSource s)
{
    switch (s) {
    case ECriterionSource::Option: return QStringLiteral("vorgegeben");
    case ECriterionSource::Header: return QStringLiteral("aus Kopfdaten");
    case ECriterionSource::Default: return QStringLiteral("angenommen");
    }
    return {};
}

// The statuses in the order an engineer reads them: what is proven first.
constexpr EVerdictStatus kStatusOrder[]
    = {EVerdictStatus::Protected, EVerdictStatus::Protected100, EVerdictStatus::Unprotected, EVerdictStatus::Over,
       EVerdictStatus::NotAssessed};

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

const char kDoubleClickTip[] = "Doppelklick: die Zeilen in der Tabelle markieren und die Kurven auf die Stelle stellen";

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

    m_pCriterion = new QLabel(body);
    m_pCriterion->setObjectName(QStringLiteral("criterion"));
    m_pCriterion->setWordWrap(true);
    layout->addWidget(m_pCriterion);
    m_pWarning = new QLabel(body);
    m_pWarning->setObjectName(QStringLiteral("criterionWarning"));
    m_pWarning->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    m_pWarning->setWordWrap(true);
    m_pWarning->hide();
    layout->addWidget(m_pWarning);
    m_pPipelineLabel = new QLabel(body);
    m_pPipelineLabel->setObjectName(QStringLiteral("pipeline"));
    m_pPipelineLabel->setTextFormat(Qt::RichText);
    m_pPipelineLabel->setWordWrap(true);
    m_pPipelineLabel->hide();
    layout->addWidget(m_pPipelineLabel);

    m_pBar = new CVerdictBar(body);
    m_pBar->setToolTip(QString::fromUtf8("Die Messung vom ersten bis zum letzten Meter: jeder Abschnitt in der Farbe "
                                         "seines Status, nicht bewertbare grau schraffiert, Messlücken weiß"));
    layout->addWidget(m_pBar);
    m_pSummary = new QLabel(body);
    m_pSummary->setObjectName(QStringLiteral("summary"));
    m_pSummary->setTextFormat(Qt::RichText);
    // Wrapped, the notes never make the dock wider than its lists.
    m_pSummary->setWordWrap(true);
    layout->addWidget(m_pSummary);

    // Above the pages, so a refusal is read whichever page is open.
    m_pMessage = new QLabel(body);
    m_pMessage->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_pMessage->setWordWrap(true);
    m_pMessage->hide();
    layout->addWidget(m_pMessage);

    auto* tabs = new QTabWidget(body);
    tabs->setObjectName(QStringLiteral("lists"));
    for (EList list : {EList::Stretches, EList::DigList, EList::Warnings}) {
        const int i = static_cast<int>(list);
        m_pModels[i] = new CAssessListModel(list, this);
        QTableView* view = NewListView(tabs, m_pModels[i]);
        view->setToolTip(QString::fromUtf8(kDoubleClickTip));
        ConnectStretch(this, view, m_pModels[i]);
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
    layout->addWidget(tabs, 1);
    setWidget(body);
    ShowSettingsInFields();
    ShowResult();
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
    const auto place = [&](int field, int row, int column) {
        const SFieldSpec& spec = kFields[field];
        auto* label = new QLabel(QString::fromUtf8(spec.label), box);
        auto* edit = new QLineEdit(box);
        edit->setObjectName(QLatin1String(spec.key));
        edit->setFixedWidth(64);
        edit->setToolTip(QString::fromUtf8(spec.tip));
        label->setToolTip(edit->toolTip());
        label->setBuddy(edit);
        grid->addWidget(label, row, column * 4);
        grid->addWidget(edit, row, column * 4 + 1);
        grid->addWidget(new QLabel(QString::fromUtf8(spec.unit), box), row, column * 4 + 2);
        connect(edit, &QLineEdit::textEdited, this, [this, field] { OnFieldEdited(field); });
        m_pFields[field] = edit;
    };
    const int pairs[][2] = {{EField::FieldProtection, EField::FieldLimit},
                            {EField::FieldIRFreeMinDiff, EField::FieldIRFreeMaxRatio},
                            {EField::FieldGap, EField::FieldSpike},
                            {EField::FieldDefectWindow, EField::FieldBackground},
                            {EField::FieldDefectFactor, EField::FieldDefectMin}};
    int row = 0;
    for (const auto& [a, b] : pairs) {
        place(a, row, 0);
        place(b, row, 1);
        ++row;
    }
    place(EField::FieldCategory1, row, 0);
    auto* upper = new QHBoxLayout;
    for (int f : {EField::FieldCategory2, EField::FieldCategory3}) {
        const SFieldSpec& spec = kFields[f];
        auto* label = new QLabel(QString::fromUtf8(spec.label), box);
        auto* edit = new QLineEdit(box);
        edit->setObjectName(QLatin1String(spec.key));
        edit->setFixedWidth(48);
        edit->setToolTip(QString::fromUtf8(spec.tip));
        label->setToolTip(edit->toolTip());
        upper->addWidget(label);
        upper->addWidget(edit);
        upper->addWidget(new QLabel(QString::fromUtf8(spec.unit), box));
        upper->addSpacing(6);
        connect(edit, &QLineEdit::textEdited, this, [this, f] { OnFieldEdited(f); });
        m_pFields[f] = edit;
    }
    upper->addStretch(1);
    grid->addLayout(upper, row, 4, 1, 4);
    ++row;
    m_pUse100 = new QCheckBox(QString::fromUtf8("100-mV-Kriterium gegen eine Nativmessung"), box);
    m_pUse100->setChecked(m_settings.use100mV);
    m_pUse100->setToolTip(QString::fromUtf8(
        "Ein sonst nicht geschützter Punkt gilt als „geschützt (100-mV-Kriterium)“, wenn sein Aus-Potential\n"
        "mindestens 100 mV negativer ist als das Potential der Nativmessung an derselben Stelle\n"
        "(zugeordnet über die Festpunkte der Leitungsdaten oder gemeinsame Orientierungspunkte).\n"
        "Nicht bei einem Schutzpotential von -950 mV oder negativer (anaerober Boden), außer ein\n"
        "Abschnitt der Leitungsdaten lässt es zu.\n"
        "Die Nativmessung wird über Datei > Vergleichsmessung laden... mit „Nativmessung“ geladen."));
    connect(m_pUse100, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.use100mV = on;
        SaveSettings();
        Recompute();
    });
    grid->addWidget(m_pUse100, row, 0, 1, 8);
    grid->setColumnMinimumWidth(3, 12);
    grid->setColumnStretch(7, 1);
    grid->setRowStretch(row + 1, 1);
    return box;
}

bool CAssessWnd::ParseNumber(const QString& text, int places, int64_t& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        value = NO_VALUE;
        return true;
    }
    int i = 0;
    const bool negative = t[0] == QLatin1Char('-') || t[0] == QChar(0x2212);
    if (negative || t[0] == QLatin1Char('+')) ++i;
    int64_t v = 0;
    int digits = 0, fraction = -1; // digits after the point; -1 before it
    for (; i < t.size(); ++i) {
        if ((t[i] == QLatin1Char(',') || t[i] == QLatin1Char('.')) && fraction < 0) {
            fraction = 0;
            continue;
        }
        if (!t[i].isDigit() || t[i].digitValue() < 0) return false;
        ++digits;
        // Digits past the unit's precision are cut off: truncation toward zero.
        if (fraction >= 0 && fraction++ >= places) continue;
        v = v * 10 + t[i].digitValue();
        if (v > std::numeric_limits<int32_t>::max()) return false;
    }
    if (digits == 0) return false;
    for (int k = std::max(fraction, 0); k < places; ++k) {
        v *= 10;
        if (v > std::numeric_limits<int32_t>::max()) return false;
    }
    // NO_VALUE itself would read as "the default".
    if (v == NO_VALUE) return false;
    value = negative ? -v : v;
    return true;
}

void CAssessWnd::OnFieldEdited(int field)
{
    QLineEdit* edit = m_pFields[field];
    const SFieldSpec& spec = kFields[field];
    int64_t v = 0;
    QString error;
    SVerdictSettings next = m_settings;
    if (!ParseNumber(edit->text(), spec.places, v)) {
        error = QString::fromUtf8("Ungültige Zahl: \"%1\". Erlaubt sind Zahlen wie -850 oder 5,0.").arg(edit->text());
    } else {
        // An empty field stands for the default (for E_p: the header's).
        if (v == NO_VALUE) v = Scaled(SVerdictSettings(), field);
        if (v != NO_VALUE) error = RangeError(spec.range, v, edit->text());
        SetScaled(next, field, v);
        if (error.isEmpty()) error = SettingsError(next, SurveyProtectionCriterion(m_doc).protection);
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
    m_settings = next;
    SaveSettings();
    Recompute();
}

void CAssessWnd::LoadSettings()
{
    auto s = CTresApp::Settings();
    for (int f = 0; f < kFieldCount; ++f) {
        const QVariant stored = s->value(Key(kFields[f].key));
        if (!stored.isValid()) continue;
        bool ok = false;
        const double v = stored.toDouble(&ok);
        if (!ok || !std::isfinite(v)) continue;
        SVerdictSettings next = m_settings;
        // Stored in the settings' own units: mV, tenths of a mV, m, factors, per cent.
        const int64_t scaled = f == EField::FieldIRFreeMinDiff || f == EField::FieldDefectMin || kFields[f].places == 0
                                   ? static_cast<int64_t>(v)
                                   : std::llround(v * static_cast<double>(Scale(kFields[f].places)));
        SetScaled(next, f, scaled);
        if (RangeError(kFields[f].range, scaled, QString()).isEmpty()) m_settings = next;
    }
    m_settings.use100mV = s->value(Key("use100mV"), true).toBool();
    // A pair the window would refuse as typed is not taken from the settings
    // either (the survey's criterion is not known yet: only a typed one counts).
    if (!SettingsError(m_settings, kProtectionPotentialHighest).isEmpty()) m_settings = SVerdictSettings();
    bool ok = false;
    const int worse = s->value(QStringLiteral("Bewertung/worseLimit")).toInt(&ok);
    m_compareSettings.worseLimit = ok ? worse : kDefaultWorseLimit;
    const int shift = s->value(QStringLiteral("Bewertung/shiftLimit")).toInt(&ok);
    m_compareSettings.shiftLimit = ok ? shift : kDefaultShiftLimit;
}

void CAssessWnd::SaveSettings() const
{
    auto s = CTresApp::Settings();
    const SVerdictSettings defaults;
    for (int f = 0; f < kFieldCount; ++f) {
        const int64_t v = Scaled(m_settings, f);
        // A default is not stored, so a later default applies to it.
        if (v == Scaled(defaults, f)) {
            s->remove(Key(kFields[f].key));
            continue;
        }
        const bool whole = kFields[f].places == 0 || f == EField::FieldIRFreeMinDiff || f == EField::FieldDefectMin;
        if (whole) s->setValue(Key(kFields[f].key), static_cast<int>(v));
        else s->setValue(Key(kFields[f].key), static_cast<double>(v) / static_cast<double>(Scale(kFields[f].places)));
    }
    if (m_settings.use100mV) s->remove(Key("use100mV"));
    else s->setValue(Key("use100mV"), false);
    for (const char* former : kFormerKeys) s->remove(Key(former));
    const auto keep = [&](const QString& key, int32_t v, int32_t byDefault) {
        if (v != byDefault) s->setValue(key, v);
        else s->remove(key);
    };
    keep(QStringLiteral("Bewertung/worseLimit"), m_compareSettings.worseLimit, kDefaultWorseLimit);
    keep(QStringLiteral("Bewertung/shiftLimit"), m_compareSettings.shiftLimit, kDefaultShiftLimit);
}

void CAssessWnd::ShowSettingsInFields()
{
    const SVerdictSettings defaults;
    for (int f = 0; f < kFieldCount; ++f) {
        const int64_t v = Scaled(m_settings, f);
        m_pFields[f]->setText(v == Scaled(defaults, f) ? QString() : FieldText(f, v));
        m_pFields[f]->setPlaceholderText(FieldText(f, Scaled(defaults, f)));
    }
    m_pUse100->setChecked(m_settings.use100mV);
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
    const bool native = m_pCompareDoc && m_compareSettings.mode == ECompareMode::Native;
    m_binding = m_pPipeline ? m_pPipeline->Binding() : nullptr;
    // A binding of other rows (never expected: the source ties first) is no binding.
    if (m_binding && m_binding->chainage.size() != static_cast<size_t>(m_doc.GetRowCount())) m_binding.reset();
    // The native survey paired as the comparison pairs it; a pairing made
    // for other rows (never expected: the main window aligns first) is
    // made again here.
    const trespipeline::SNativePairing* pairing = native ? m_nativePairing.get() : nullptr;
    if (pairing && pairing->applied && pairing->rows.size() != static_cast<size_t>(m_doc.GetRowCount()))
        pairing = nullptr;
    m_result = std::make_shared<SVerdict>(
        trespipeline::AssessTied(m_doc, m_settings, native ? m_pCompareDoc : nullptr, m_binding.get(), pairing));
    for (CAssessListModel* m : m_pModels) m->SetVerdict(m_result, m_binding);
    ShowPipeline();
    m_pBar->SetVerdict(m_result);
    ShowResult();
    RecomputeComparison();
    emit Recomputed();
}

void CAssessWnd::SetComparison(const CTreDoc* earlier, bool native, const QString& name)
{
    m_pCompareDoc = earlier;
    m_strCompareName = name;
    m_compareSettings.mode = native ? ECompareMode::Native : ECompareMode::Earlier;
    // Never show a result of a survey that is gone; a native survey changes
    // the verdict itself.
    m_comparison.reset();
    m_pCompareModel->SetComparison(nullptr);
    Recompute();
    ShowComparison();
}

void CAssessWnd::ShowResult()
{
    auto* tabs = findChild<QTabWidget*>(QStringLiteral("lists"));
    const SVerdict* v = m_result.get();
    for (EList list : {EList::Stretches, EList::DigList, EList::Warnings}) {
        static const char* const names[] = {"Abschnitte", "Aufgrabungsliste", "Warnungen"};
        const int i = static_cast<int>(list);
        tabs->setTabText(i, QStringLiteral("%1 (%2)").arg(QString::fromUtf8(names[i])).arg(m_pModels[i]->rowCount()));
    }
    if (!v) {
        m_pCriterion->clear();
        m_pWarning->hide();
        m_pSummary->clear();
        return;
    }

    // What the verdict was judged against.
    const SProtectionCriterion& c = v->criterion;
    QString criterion = QString::fromUtf8("Schutzkriterium <b>%1&nbsp;mV</b> (%2), Grenzpotential %3&nbsp;mV")
                            .arg(c.protection)
                            .arg(SourceText(c.source))
                            .arg(c.limitPotential);
    if (!v->settings.use100mV) criterion += QString::fromUtf8("<br>100-mV-Kriterium abgeschaltet");
    else if (v->nativeGiven) {
        criterion += QString::fromUtf8("<br>100-mV-Kriterium gegen die Nativmessung %1")
                         .arg(m_strCompareName.toHtmlEscaped());
        // How its rows were paired, or in red why the criterion is not applied.
        const QString pairing = QString::fromStdString(trespipeline::NativePairingText(*v)).toHtmlEscaped();
        criterion += v->nativeWarning.empty()
                         ? QStringLiteral("<br>") + pairing
                         : QStringLiteral("<br><span style=\"color:#c00000\">") + pairing + QStringLiteral("</span>");
    } else criterion += QString::fromUtf8("<br>100-mV-Kriterium: keine Nativmessung geladen");
    m_pCriterion->setText(criterion);
    m_pWarning->setText(QString::fromStdString(c.warning));
    m_pWarning->setVisible(!c.warning.empty());
    m_pFields[EField::FieldProtection]->setPlaceholderText(
        c.source == ECriterionSource::Option ? QString() : QString::number(c.protection));

    // Coverage, then the statuses with their colours, lengths and shares.
    const SVerdictCoverage& cov = v->coverage;
    QString html
        = QString::fromUtf8("Messlänge %1 m: bewertet %2 m, nicht bewertet %3 m, Messlücken %4 m")
              .arg(CAssessListModel::MetresText(v->surveyLength), CAssessListModel::MetresText(cov.assessedLength),
                   CAssessListModel::MetresText(cov.notAssessedLength), CAssessListModel::MetresText(cov.gapLength));
    html += QStringLiteral("<table cellspacing=0 cellpadding=1><tr><th></th><th align=left>Status</th>"
                           "<th align=right>&nbsp;Länge&nbsp;m</th><th align=right>&nbsp;Anteil&nbsp;%</th>"
                           "<th align=right>&nbsp;Abschnitte</th></tr>");
    for (EVerdictStatus s : kStatusOrder) {
        const SStatusSummary& sum = v->statuses[static_cast<size_t>(s)];
        html
            += QStringLiteral("<tr><td bgcolor=%1>&nbsp;&nbsp;&nbsp;</td><td style=\"white-space:nowrap\">&nbsp;%2</td>"
                              "<td align=right>%3</td>"
                              "<td align=right>%4</td><td align=right>%5</td></tr>")
                   .arg(PaletteColour(VerdictStatusColour(s)).name(),
                        // kept on one line: the table is narrower than the dock anyway
                        QString::fromUtf8(VerdictStatusName(s)).toHtmlEscaped(),
                        CAssessListModel::MetresText(sum.length), CAssessListModel::ShareText(sum.shareTenths))
                   .arg(sum.stretches);
    }
    html += QStringLiteral("</table>");
    html += QString::fromUtf8("Anteile bewerteter Status an der bewerteten Länge, „nicht bewertbar“ an der "
                              "gemessenen.");
    int perCategory[5] = {};
    for (const SCoatingDefect& d : v->defects) ++perCategory[std::clamp(d.category, 0, 4)];
    html += QString::fromUtf8("<br>Fehlstellenverdacht: %1 (I: %2, II: %3, III: %4, IV: %5, ohne Kategorie: %6)")
                .arg(v->defects.size())
                .arg(perCategory[1])
                .arg(perCategory[2])
                .arg(perCategory[3])
                .arg(perCategory[4])
                .arg(perCategory[0]);
    m_pSummary->setText(html);
}

void CAssessWnd::ShowPipeline()
{
    if (!m_pPipeline || !m_pPipeline->IsLoaded()) {
        m_pPipelineLabel->clear();
        m_pPipelineLabel->hide();
        return;
    }
    const auto esc = [](const std::string& s) { return QString::fromStdString(s).toHtmlEscaped(); };
    const trespipeline::SPipelineData& data = m_pPipeline->Data();
    QString html
        = QString::fromUtf8("Leitungsdaten <b>%1</b>").arg(QFileInfo(m_pPipeline->Path()).fileName().toHtmlEscaped());
    if (!data.route.name.empty() || !data.route.number.empty())
        html += QString::fromUtf8(" (Trasse %1 %2)").arg(esc(data.route.name), esc(data.route.number));
    if (m_binding) {
        html += QString::fromUtf8(": %1 von %2 Festpunkten gefunden; Längen nach Stationierung")
                    .arg(m_binding->fixpoints.size())
                    .arg(data.fixpoints.size());
        for (const trespipeline::SSection& s : data.sections)
            html += QStringLiteral("<br>") + esc(trespipeline::SectionText(s))
                    + QString::fromUtf8(" (%1 Messpunkte)").arg(trespipeline::SectionRows(s, m_binding->chainage));
        for (const std::string& w : m_pPipeline->Warnings())
            html += QStringLiteral("<br><span style=\"color:#a05000\">") + esc(w) + QStringLiteral("</span>");
    } else if (!m_pPipeline->BindErrors().empty()) {
        html += QString::fromUtf8("<br><span style=\"color:#c00000\">Die Messung passt nicht zu den Leitungsdaten; "
                                  "bewertet nach Messmetern:");
        for (const std::string& e : m_pPipeline->BindErrors()) html += QStringLiteral("<br>") + esc(e);
        html += QStringLiteral("</span>");
    }
    m_pPipelineLabel->setText(html);
    m_pPipelineLabel->show();
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
    m_pCompareAlign = new QLabel(page);
    m_pCompareAlign->setObjectName(QStringLiteral("alignment"));
    m_pCompareAlign->setTextFormat(Qt::RichText);
    m_pCompareAlign->setWordWrap(true);
    layout->addWidget(m_pCompareAlign);
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
    ConnectStretch(this, m_pCompareView, m_pCompareModel);
    layout->addWidget(m_pCompareView, 1);
    return page;
}

void CAssessWnd::SetCompareAlignment(std::shared_ptr<const SAlignment> alignment, const QStringList& errors,
                                     const QStringList& notes, bool reversible,
                                     std::shared_ptr<const trespipeline::SNativePairing> nativePairing)
{
    m_nativePairing = std::move(nativePairing);
    m_compareSettings.alignment = std::move(alignment);
    m_alignErrors = errors;
    m_alignNotes = notes;
    m_bAlignReversible = reversible;
}

void CAssessWnd::RecomputeComparison()
{
    // A refused alignment pairs nothing: pairs by the recorded metres would
    // be exactly the false indications it exists to prevent.
    const bool refused = !m_alignErrors.isEmpty();
    m_comparison = m_pCompareDoc && !refused
                       ? std::make_shared<const SComparison>(Compare(m_doc, *m_pCompareDoc, m_compareSettings))
                       : nullptr;
    m_pCompareModel->SetComparison(m_comparison);
    ShowComparison();
}

void CAssessWnd::OnCompareLimitEdited()
{
    int64_t v = 0;
    bool ok = ParseNumber(m_pCompareLimit->text(), 0, v);
    m_pCompareLimit->setStyleSheet(ok ? QString() : QStringLiteral("background: #ffd0d0;"));
    m_pMessage->setText(ok ? QString()
                           : QString::fromUtf8("Ungültige Zahl: \"%1\". Erlaubt sind ganze mV wie 50 oder 100.")
                                 .arg(m_pCompareLimit->text()));
    m_pMessage->setVisible(!ok);
    if (!ok) return;
    const bool native = m_compareSettings.mode == ECompareMode::Native;
    int32_t& limit = native ? m_compareSettings.shiftLimit : m_compareSettings.worseLimit;
    limit = v != NO_VALUE ? static_cast<int32_t>(v) : native ? kDefaultShiftLimit : kDefaultWorseLimit;
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
    tabs->setTabText(tabs->count() - 1,
                     c ? QStringLiteral("Vergleich (%1)").arg(c->indications.size()) : QStringLiteral("Vergleich"));

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
        m_pCompareAlign->clear();
        m_pCompareReverse->hide();
        m_pCompareSummary->clear();
        return;
    }
    m_pCompareSource->setText(
        QString::fromUtf8(native ? "Nativmessung: %1" : "Frühere Messung: %1").arg(m_strCompareName.toHtmlEscaped()));
    QString align;
    if (!m_alignErrors.isEmpty()) {
        align = QStringLiteral("<span style=\"color:#c00000\">")
                + m_alignErrors.join(QStringLiteral("<br>")).toHtmlEscaped() + QStringLiteral("</span>");
    } else if (const SAlignment* a = m_compareSettings.alignment.get()) {
        // Named as the report names it.
        align = QStringLiteral("Zuordnung: ") + QString::fromStdString(AlignmentText(*a)).toHtmlEscaped();
        if (IsPresent(a->maxResidual))
            align += QString::fromUtf8(", größte Abweichung an einem gemeinsamen Punkt %1 m").arg(a->maxResidual);
    }
    for (const QString& n : m_alignNotes) align += QStringLiteral("<br>") + n.toHtmlEscaped();
    m_pCompareAlign->setText(align);
    m_pCompareReverse->setVisible(m_bAlignReversible);
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
