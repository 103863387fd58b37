// SPDX-License-Identifier: GPL-3.0-or-later
// The fields of the verdict's settings as the "Bewertung" window shows
// them and the settings store keeps them: key, label, unit, the places a
// value is read to, what it may hold, and the checks of a single value and
// of the whole set. Values are held as integers in the field's units
// (mV, tenths of a mV, hundredths of a metre, millionths of a factor).
#pragma once

#include "doc/verdict.h"
#include "doc/verdictsettings.h"

#include <QString>

#include <cstdint>

namespace assessfield {

// The fields, in the order they are shown.
enum EField {
    FieldProtection,    // E_p, mV; empty: header entry 2
    FieldLimit,         // E_l, mV
    FieldIRFreeMinDiff, // mV with a tenth
    FieldIRFreeMaxRatio,
    FieldGap,   // m
    FieldSpike, // mV
    FieldDefectWindow,
    FieldBackground,
    FieldDefectFactor,
    FieldDefectMin,
    FieldCategory1, // per cent
    FieldCategory2,
    FieldCategory3,
    kFieldCount
};

struct SFieldSpec {
    const char* key; // in section "Bewertung"
    const char* label;
    const char* unit;
    int places; // 0 mV, 1 tenths of a mV, 2 hundredths of a metre, 6 a decimal
    ESettingRange range;
    const char* tip;
};
const SFieldSpec& Spec(int field);

int64_t Scale(int places);
// A field's setting in the field's units (NO_VALUE: the protection
// potential is the header's).
int64_t Scaled(const SVerdictSettings& s, int field);
void SetScaled(SVerdictSettings& s, int field, int64_t v);
// Stored as whole numbers in the settings: mV and tenths of a mV.
bool StoredWhole(int field);
// A field's value as typed: decimal comma, no trailing zeros beyond what
// the unit has (tenths of a mV keep theirs: "5,0").
QString FieldText(int field, int64_t v);
// Why the value `v` of `field` (in its units) may not stand, empty when it
// may: the rule is the verdict settings', the words are the window's.
QString RangeError(int field, int64_t v, const QString& typed);
// What a whole set of settings may not be, empty when it may be. `survey`:
// the survey's criterion, which stands in for an empty field.
QString SettingsError(const SVerdictSettings& s, int32_t survey);
// Whether two sets of settings judge alike: every field and the 100 mV switch.
bool SameSettings(const SVerdictSettings& a, const SVerdictSettings& b);
// Reads a decimal number typed with a point or a comma as an integer in
// units of 10^-`places`, as every settings field of the program reads it.
bool ParseNumber(const QString& text, int places, int64_t& value);
// Reads what was typed into `field` in its units, NO_VALUE for an empty
// field; the potentials as the header's criterion is read ("-0,9" is
// -900 mV, "-850 mV", "-0,85 V"), the others by ParseNumber. False with
// the window's message in `error` when the text is no value.
bool ReadField(int field, const QString& text, int64_t& value, QString& error);

} // namespace assessfield
