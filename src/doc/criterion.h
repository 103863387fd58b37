// SPDX-License-Identifier: GPL-3.0-or-later
// The protection potential a survey is judged against, and where it comes
// from: an option of the caller, the survey's header entry 2, or the default.
// This is the one reading of header entry 2 for the whole program: a text
// the engineer meant as a criterion must never turn the check off quietly,
// so a text that cannot be read gives the default and a warning naming it.
#pragma once

#include "measrow.h"

#include <cstdint>
#include <string>

class CTreDoc;

enum class ECriterionSource { Option = 0, Header, Default };
const char* CriterionSourceId(ECriterionSource s); // "option", "header", "default"

inline constexpr int32_t kDefaultProtectionPotential = -850; // mV
inline constexpr int32_t kDefaultLimitPotential = -1200;     // mV
// The range a header text must fall into to be taken as a criterion.
inline constexpr int32_t kProtectionPotentialLowest = -1200; // mV
inline constexpr int32_t kProtectionPotentialHighest = -500; // mV

struct SProtectionCriterion {
    int32_t protection = kDefaultProtectionPotential; // E_p, mV
    ECriterionSource source = ECriterionSource::Default;
    std::string headerText;                          // header entry 2 as stored
    std::string warning;                             // empty unless the default stands in for the header
    int32_t limitPotential = kDefaultLimitPotential; // E_l, mV
};

// A header entry 2 text in mV, or NO_VALUE when it is no criterion. After
// leading blanks: an optional sign, a number with a decimal point or comma,
// optional blanks, an optional unit "mV" or "V" (any case), trailing blanks.
// "V", or no unit with |x| < 10, means volts. Rounded to whole mV half away
// from zero; only -1200 ... -500 mV is accepted.
int32_t ProtectionPotentialFromText(const std::string& text);

// E_p from `option` (mV, NO_VALUE when not given), else from the header text,
// else the default with the warning shown wherever the result is shown.
// E_l is carried along unchanged, so that one struct tells what was used.
SProtectionCriterion ResolveProtectionCriterion(const std::string& headerText, int32_t option = NO_VALUE,
                                                int32_t limitPotential = kDefaultLimitPotential);
// The same for the document's header entry 2.
SProtectionCriterion SurveyProtectionCriterion(const CTreDoc& doc, int32_t option = NO_VALUE,
                                               int32_t limitPotential = kDefaultLimitPotential);
