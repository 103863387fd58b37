// SPDX-License-Identifier: GPL-3.0-or-later
// What page 1 of the assessment report states, without Qt: the key figures
// taken from the assessment (the numbers `tresmon-tool assess` gives, and
// sums and ratios of them), the reference electrode the potentials were
// measured against, and the texts of the survey's facts.
#pragma once

#include "doc/criterion.h"
#include "doc/verdict.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CTreDoc;

namespace reportfigures {

struct SKeyFigures {
    double totalLength = 0;                                   // m, the zone of influence of every point
    double assessedLength = 0;                                // m
    int32_t assessedShareTenths = NO_VALUE;                   // of totalLength; NO_VALUE when that is 0
    std::array<SStatusSummary, kVerdictStatusCount> statuses; // as the assessment gives them
    int defects = 0;
    std::array<int, 5> defectsByCategory{}; // [0] without a category, [1..4] I..IV
    // Defects per km of assessed length in tenths, half away from zero;
    // NO_VALUE when nothing was assessed.
    int32_t defectsPerKmTenths = NO_VALUE;
    int digNow = 0; // dig list entries with "umgehend aufgraben"
};
SKeyFigures KeyFigures(const SVerdict& v);

// "aus Kopfdaten", "vorgegeben", "angenommen".
const char* CriterionSourceText(ECriterionSource s);

// The non-empty QM entries the handheld recorded (entries 2 on; entry 1
// is the line's filler), as UTF-8 in their order.
std::vector<std::string> DeviceEntries(const CTreDoc& doc);

// The QM entries under what they mean: entries 2 to 4 as one "Gerät" (the
// handheld that recorded the survey, as the prints' QM line joins them),
// 7 "zuletzt gespeichert", 8 "gespeichert mit" (written by the program
// when it saves), every other non-empty one as "QM-Angabe n". In the
// entries' order; empty entries are left out.
struct SQmField {
    std::string label;
    std::string text; // UTF-8
};
std::vector<SQmField> QmFields(const CTreDoc& doc);

// The reference electrode: from the first QM entry containing
// "Bezugselektrode" (any case) the text after that word, a ":" and blanks
// removed ("Bezugselektrode: Cu/CuSO4 E-27" gives "Cu/CuSO4 E-27"); when
// there is none or nothing follows the word, `setting`.
std::string ReferenceElectrode(const std::vector<std::string>& deviceEntries, const std::string& setting);

// A share in tenths of a per cent as text, "97,3"; an en dash for NO_VALUE.
std::string ShareText(int32_t shareTenths);

} // namespace reportfigures
