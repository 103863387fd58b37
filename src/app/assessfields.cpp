// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessfields.h"

#include "doc/criterion.h"
#include "doc/measrow.h"
#include "doc/numtext.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>

namespace assessfield {

namespace {

const SFieldSpec kFields[kFieldCount] = {
    {"protectionPotential", "Schutzkriterium", "mV", 0, ESettingRange::Negative,
     "Schutzpotential E_p (mV): ein Punkt ist geschützt, wenn sein Potential (IR-frei, wo es verwendbar ist, sonst\n"
     "das Aus-Potential) nicht positiver ist.\nLeer: aus den Kopfdaten (Skrit); ist es dort nicht lesbar, −850 mV "
     "mit Warnung."},
    {"limitPotential", "Grenzpotential", "mV", 0, ESettingRange::Negative,
     "Grenzpotential E_l (mV): ein negativeres Potential gilt als „Grenzpotential unterschritten“.\nLeer: −1200 mV."},
    {"irfreeMinDiff", "IR-frei ab", "mV", 1, ESettingRange::NotNegative,
     "Das IR-freie Potential gilt nur, wo die Gradientendifferenz mindestens diesen Wert erreicht\n"
     "(mV, eine Nachkommastelle); sonst zählt das Aus-Potential.\nLeer: 5,0 mV."},
    {"irfreeMaxRatio", "Aus/Ein höchstens", "×", 6, ESettingRange::NotNegative,
     "Das IR-freie Potential gilt nur, wo der Aus-Gradient in dieselbe Richtung zeigt wie der Ein-Gradient\n"
     "und höchstens dieses Vielfache von ihm ist.\nLeer: 0,8."},
    {"gap", "Messlücke ab", "m", 2, ESettingRange::Positive,
     "Ein Punkt steht für die halbe Strecke zu jedem Nachbarn, je Seite höchstens die Hälfte dieses Abstands (m);\n"
     "weiter voneinander entfernte Punkte sind eine Messlücke.\nLeer: 10 m."},
    {"spike", "Ausreißer ab", "mV", 0, ESettingRange::NotNegative,
     "Warnung „Ausreißer“: 1 bis 3 Punkte, die sich von beiden Nachbarn um mehr als diesen Wert (mV)\n"
     "in dieselbe Richtung abheben.\nLeer: 100 mV."},
    {"defectWindow", "Fehlstelle: Fenster", "m", 2, ESettingRange::NotNegative,
     "Eine Fehlstelle ist die größte Gradientendifferenz innerhalb dieses Abstands (m).\nLeer: 10 m."},
    {"background", "Umfeld bis", "m", 2, ESettingRange::NotNegative,
     "Das Umfeld einer Fehlstelle: die Punkte jenseits des Fensters bis zu diesem Abstand (m);\n"
     "ihr Median der Gradientendifferenz ist der Hintergrund.\nLeer: 50 m."},
    {"defectFactor", "Faktor", "×", 6, ESettingRange::NotNegative,
     "Eine Fehlstelle erreicht mindestens dieses Vielfache des Hintergrunds.\nLeer: 2,5."},
    {"defectMin", "mindestens", "mV", 1, ESettingRange::NotNegative,
     "Eine Fehlstelle erreicht mindestens diese Gradientendifferenz (mV, eine Nachkommastelle).\nLeer: 3,0 mV."},
    {"category1", "Kategorie I bis", "%", 6, ESettingRange::Percent,
     "Obere Grenze des IR-Anteils (%) für Kategorie I „gering“.\nLeer: 15 %."},
    {"category2", "II bis", "%", 6, ESettingRange::Percent,
     "Obere Grenze des IR-Anteils (%) für Kategorie II „mittel“.\nLeer: 35 %."},
    {"category3", "III bis", "%", 6, ESettingRange::Percent,
     "Obere Grenze des IR-Anteils (%) für Kategorie III „erheblich“; darüber Kategorie IV „schwer“.\nLeer: 60 %."},
};

} // namespace

const SFieldSpec& Spec(int field) { return kFields[field]; }

bool StoredWhole(int field)
{
    return kFields[field].places == 0 || field == FieldIRFreeMinDiff || field == FieldDefectMin;
}

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
    case FieldProtection: return s.protectionPotential;
    case FieldLimit: return s.limitPotential;
    case FieldIRFreeMinDiff: return s.irfreeMinDiff;
    case FieldIRFreeMaxRatio: return real(s.irfreeMaxRatio);
    case FieldGap: return real(s.gap);
    case FieldSpike: return s.spike;
    case FieldDefectWindow: return real(s.defectWindow);
    case FieldBackground: return real(s.background);
    case FieldDefectFactor: return real(s.defectFactor);
    case FieldDefectMin: return s.defectMin;
    default: return real(s.categories[static_cast<size_t>(field - FieldCategory1)]);
    }
}

void SetScaled(SVerdictSettings& s, int field, int64_t v)
{
    // The quotient of two integers is the double nearest to the decimal, as
    // the tool reads it: 0,8 typed here is the 0.8 of --irfree-max-ratio.
    const double real = static_cast<double>(v) / static_cast<double>(Scale(kFields[field].places));
    const auto whole = static_cast<int32_t>(v);
    switch (field) {
    case FieldProtection: s.protectionPotential = whole; break;
    case FieldLimit: s.limitPotential = whole; break;
    case FieldIRFreeMinDiff: s.irfreeMinDiff = whole; break;
    case FieldIRFreeMaxRatio: s.irfreeMaxRatio = real; break;
    case FieldGap: s.gap = real; break;
    case FieldSpike: s.spike = whole; break;
    case FieldDefectWindow: s.defectWindow = real; break;
    case FieldBackground: s.background = real; break;
    case FieldDefectFactor: s.defectFactor = real; break;
    case FieldDefectMin: s.defectMin = whole; break;
    default: s.categories[static_cast<size_t>(field - FieldCategory1)] = real;
    }
}

// A field's value as typed: decimal comma, no trailing zeros beyond what
// the unit has (tenths of a mV keep theirs: "5,0").
QString FieldText(int field, int64_t v)
{
    if (!IsPresent(static_cast<int32_t>(v)) && field == FieldProtection) return {};
    const int places = kFields[field].places;
    if (places == 0) return QString::number(v);
    const int64_t scale = Scale(places), a = std::llabs(v);
    QString frac = QStringLiteral("%1").arg(a % scale, places, 10, QLatin1Char('0'));
    if (places != 1)
        while (frac.endsWith(QLatin1Char('0'))) frac.chop(1);
    return (v < 0 ? QStringLiteral("-") : QString()) + QString::number(a / scale)
           + (frac.isEmpty() ? QString() : QLatin1Char(',') + frac);
}

// Why the value may not stand, empty when it may.
QString RangeError(int field, int64_t v, const QString& typed)
{
    const SFieldSpec& spec = Spec(field);
    if (InSettingRange(spec.range, static_cast<double>(v) / static_cast<double>(Scale(spec.places)))) return {};
    switch (spec.range) {
    case ESettingRange::Negative:
        // The value as it was read: "0,9" reads as volts, and the user sees so.
        return QString::fromUtf8("Das %1 muss negativ sein: „%2“ gelesen als %3 mV.")
            .arg(QString::fromUtf8(spec.label), typed.trimmed(),
                 (v > 0 ? QStringLiteral("+") : QString()) + QString::number(v));
    case ESettingRange::NotNegative: return QString::fromUtf8("Der Wert darf nicht negativ sein: %1").arg(typed);
    case ESettingRange::Positive: return QString::fromUtf8("Der Wert muss größer als 0 sein: %1").arg(typed);
    case ESettingRange::Percent: return QString::fromUtf8("Die Grenze muss zwischen 0 und 100 % liegen: %1").arg(typed);
    case ESettingRange::Any: break;
    }
    return {};
}

// What a whole set of settings may not be, empty when it may be. `survey`:
// the survey's criterion, which stands in for an empty field.
QString SettingsError(const SVerdictSettings& s, int32_t survey)
{
    if (!LimitBelowProtection(s.limitPotential, IsPresent(s.protectionPotential) ? s.protectionPotential : survey))
        return QString::fromUtf8("Das Grenzpotential muss negativer sein als das Schutzkriterium.");
    if (!CategoriesAscend(s.categories))
        return QString::fromUtf8("Die Grenzen der Kategorien müssen aufsteigen (I < II < III).");
    return {};
}

bool SameSettings(const SVerdictSettings& a, const SVerdictSettings& b)
{
    for (int f = 0; f < kFieldCount; ++f)
        if (Scaled(a, f) != Scaled(b, f)) return false;
    return a.use100mV == b.use100mV && a.margin == b.margin;
}

bool ParseNumber(const QString& text, int places, int64_t& value)
{
    return tresnum::ParseFieldNumber(text.toStdString(), places, value);
}

bool ReadField(int field, const QString& text, int64_t& value, QString& error)
{
    if (Spec(field).range != ESettingRange::Negative) {
        if (ParseNumber(text, Spec(field).places, value)) return true;
        error = QString::fromUtf8("Ungültige Zahl: „%1“. Erlaubt sind Zahlen wie -850 oder 5,0.").arg(text);
        return false;
    }
    if (text.trimmed().isEmpty()) {
        value = NO_VALUE;
        return true;
    }
    // No electrode here: the field's value is against the survey's own.
    const SCriterionText read = ReadPotentialText(text.toStdString());
    if (IsPresent(read.mv) && read.electrode.empty()) {
        value = read.mv;
        return true;
    }
    error = QString::fromUtf8("Ungültige Zahl: „%1“. Erlaubt sind Potentiale wie -850, -850 mV oder -0,85 V.")
                .arg(text.trimmed());
    return false;
}

} // namespace assessfield
