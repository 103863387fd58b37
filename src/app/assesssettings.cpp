// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesssettings.h"

#include "appsettings.h"
#include "assessfields.h"
#include "doc/comparison.h"
#include "doc/criterion.h"

#include <cmath>

using namespace assessfield;

namespace {

// The keys of the settings before the verdict: they would mislead anyone
// who reads the settings file, so a save removes them.
const char* const kFormerKeys[] = {"offEnabled",  "offLimit",  "irfreeEnabled",   "irfreeLimit",
                                   "overEnabled", "overLimit", "graddiffEnabled", "graddiffLimit"};

QString Key(const char* name) { return QStringLiteral("Bewertung/") + QLatin1String(name); }

} // namespace

SAssessSettings LoadAssessSettings()
{
    SAssessSettings out{SVerdictSettings(), kDefaultWorseLimit, kDefaultShiftLimit};
    SVerdictSettings& settings = out.verdict;
    auto s = AppSettings();
    for (int f = 0; f < kFieldCount; ++f) {
        const QVariant stored = s->value(Key(Spec(f).key));
        if (!stored.isValid()) continue;
        bool ok = false;
        const double v = stored.toDouble(&ok);
        if (!ok || !std::isfinite(v)) continue;
        SVerdictSettings next = settings;
        // Stored in the settings' own units: mV, tenths of a mV, m, factors, per cent.
        const int64_t scaled
            = StoredWhole(f) ? static_cast<int64_t>(v) : std::llround(v * static_cast<double>(Scale(Spec(f).places)));
        SetScaled(next, f, scaled);
        if (RangeError(f, scaled, QString()).isEmpty()) settings = next;
    }
    settings.use100mV = s->value(Key("use100mV"), true).toBool();
    // A pair the window would refuse as typed is not taken from the settings
    // either (the survey's criterion is not known yet: only a typed one counts).
    if (!SettingsError(settings, kProtectionPotentialHighest).isEmpty()) settings = SVerdictSettings();
    bool ok = false;
    const int worse = s->value(QStringLiteral("Bewertung/worseLimit")).toInt(&ok);
    out.worseLimit = ok ? worse : kDefaultWorseLimit;
    const int shift = s->value(QStringLiteral("Bewertung/shiftLimit")).toInt(&ok);
    out.shiftLimit = ok ? shift : kDefaultShiftLimit;
    return out;
}

void SaveVerdictDefaults(const SVerdictSettings& settings)
{
    auto s = AppSettings();
    const SVerdictSettings defaults;
    for (int f = 0; f < kFieldCount; ++f) {
        const int64_t v = Scaled(settings, f);
        if (v == Scaled(defaults, f)) {
            s->remove(Key(Spec(f).key));
            continue;
        }
        if (StoredWhole(f)) s->setValue(Key(Spec(f).key), static_cast<int>(v));
        else s->setValue(Key(Spec(f).key), static_cast<double>(v) / static_cast<double>(Scale(Spec(f).places)));
    }
    if (settings.use100mV) s->remove(Key("use100mV"));
    else s->setValue(Key("use100mV"), false);
    for (const char* former : kFormerKeys) s->remove(Key(former));
}

void SaveCompareLimits(int32_t worseLimit, int32_t shiftLimit)
{
    auto s = AppSettings();
    const auto keep = [&](const QString& key, int32_t v, int32_t byDefault) {
        if (v != byDefault) s->setValue(key, v);
        else s->remove(key);
    };
    keep(QStringLiteral("Bewertung/worseLimit"), worseLimit, kDefaultWorseLimit);
    keep(QStringLiteral("Bewertung/shiftLimit"), shiftLimit, kDefaultShiftLimit);
}
