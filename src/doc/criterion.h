// SPDX-License-Identifier: GPL-3.0-or-later
// The protection potential a survey is judged against, and where it comes
// from: an option of the caller, the survey's header entry 2, or the default.
// This is the one reading of header entry 2 for the whole program: a text
// the engineer meant as a criterion must never turn the check off quietly,
// so a text that cannot be read gives the default and a warning naming it.
//
// Engineers often write the reference electrode after the value ("-950 mV
// CSE", "-0,95 V (Cu/CuSO4)", "-950 mV gegen Cu/CuSO4"). Against the
// electrode the survey was measured with, the value is the criterion.
// Against another one it is a different number for the same protection:
// Ag/AgCl lies some 50 to 100 mV from Cu/CuSO4 depending on the chloride
// around it, zinc about a volt, so no conversion can be trusted and the
// value is not used as if it had been measured against the survey's
// electrode; the default stands in with a warning naming both electrodes.
#pragma once

#include "measrow.h"

#include <cstdint>
#include <string>

class CTreDoc;

enum class ECriterionSource { Option = 0, Header, Default };
const char* CriterionSourceId(ECriterionSource s); // "option", "header", "default"
// As the window, the report and the exports name it: "vorgegeben", "aus
// Kopfdaten", "angenommen".
const char* CriterionSourceName(ECriterionSource s);

inline constexpr int32_t kDefaultProtectionPotential = -850; // mV
inline constexpr int32_t kDefaultLimitPotential = -1200;     // mV
// The range a header text must fall into to be taken as a criterion.
inline constexpr int32_t kProtectionPotentialLowest = -1200; // mV
inline constexpr int32_t kProtectionPotentialHighest = -500; // mV

struct SProtectionCriterion {
    int32_t protection = kDefaultProtectionPotential; // E_p, mV
    ECriterionSource source = ECriterionSource::Default;
    std::string headerText; // header entry 2 as stored
    // The electrode header entry 2 names after its value, normalised
    // ("Cu/CuSO4", "Ag/AgCl", "Zn"); empty when it names none.
    std::string electrode;
    std::string warning;                             // empty unless the default stands in for the header
    int32_t limitPotential = kDefaultLimitPotential; // E_l, mV
};

// The electrode a survey is taken to be measured against when nothing else
// is known: the one of close-interval surveys on land, and the default of
// the report's setting.
inline constexpr char kAssumedMeasuringElectrode[] = "Cu/CuSO4";

struct SCriterionText {
    int32_t mv = NO_VALUE; // NO_VALUE: no criterion
    std::string electrode; // normalised, empty when none is named
};

// A header entry 2 text. After leading blanks: an optional sign, a number
// with a decimal point or comma, optional blanks, an optional unit "mV" or
// "V" (any case), then optionally a reference electrode - after blanks, an
// optional "gegen", "vs." or "vs", its name in parentheses or not - and
// trailing blanks. "V", or no unit with |x| < 10, means volts. Rounded to
// whole mV half away from zero; only -1200 ... -500 mV is accepted. Any
// other text after the number makes it no criterion.
SCriterionText ReadCriterionText(const std::string& text);
// The same reading without the range, for a potential typed into a field:
// its caller says what is wrong with the value it got ("0,9" is +900 mV).
SCriterionText ReadPotentialText(const std::string& text);
// Its value alone.
int32_t ProtectionPotentialFromText(const std::string& text);

// The electrode a text names at its start, normalised: "CSE", "Cu/CuSO4" and
// "CuCuSO4" are "Cu/CuSO4"; "Ag/AgCl"; "Zn"; any case. Empty when it names
// none of them ("Cu/CuSO4 E-27" names Cu/CuSO4, "Kalomel" none).
std::string ElectrodeNamed(const std::string& text);

// Whether the electrode the criterion names differs from the one the
// measurement was taken against (`measuringElectrode` as the report shows
// it, "Cu/CuSO4 E-27"). False when either names no known electrode: then
// nothing says they differ.
bool CriterionElectrodeDiffers(const SProtectionCriterion& c, const std::string& measuringElectrode);
// "Schutzkriterium gegen Ag/AgCl angegeben, Bezugselektrode der Messung
// Cu/CuSO4 E-27"; empty when they do not differ.
std::string CriterionElectrodeWarning(const SProtectionCriterion& c, const std::string& measuringElectrode);

// E_p from `option` (mV, NO_VALUE when not given), else from the header text
// when it names no electrode or `measuringElectrode`'s, else the default
// with the warning shown wherever the result is shown. E_l is carried along
// unchanged, so that one struct tells what was used.
SProtectionCriterion ResolveProtectionCriterion(const std::string& headerText, int32_t option = NO_VALUE,
                                                int32_t limitPotential = kDefaultLimitPotential,
                                                const std::string& measuringElectrode = kAssumedMeasuringElectrode);
// The same for the document's header entry 2.
SProtectionCriterion SurveyProtectionCriterion(const CTreDoc& doc, int32_t option = NO_VALUE,
                                               int32_t limitPotential = kDefaultLimitPotential,
                                               const std::string& measuringElectrode = kAssumedMeasuringElectrode);
