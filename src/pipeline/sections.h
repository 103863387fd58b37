// SPDX-License-Identifier: GPL-3.0-or-later
// What the sections of the pipeline data set for each row: the protection
// potential E_p, the limiting potential E_l and whether the 100 mV criterion
// is admissible, overriding the survey-wide values for rows whose chainage
// lies in [from, to].
//
// Sections may overlap. For each of the three values on its own, the first
// section in file order that covers the chainage and sets that value gives
// it. (The reader warns where two sections set the same value over the same
// metres.)
//
// A section whose protectionPotential is kAnaerobicProtection (-950 mV) or
// more negative stands for anaerobic soil, where DIN EN ISO 15589-1 does not
// admit the 100 mV criterion: it excludes the criterion for its rows unless
// it says "allow100mV": true itself, whatever an overlapping section admits
// (a long section allowing the criterion does not reach into a short
// anaerobic one inside it).
#pragma once

#include "pipelinedata.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace trespipeline {

struct SOverride {
    int32_t protectionPotential = NO_VALUE; // mV; NO_VALUE: the survey's E_p
    int32_t limitPotential = NO_VALUE;      // mV; NO_VALUE: the survey's E_l
    std::optional<bool> allow100mV;         // none: as the survey's settings say
};

// Per row, index r - 1, for the assessment to take as they are.
struct SRowOverrides {
    std::vector<int32_t> protectionPotential;
    std::vector<int32_t> limitPotential;
    std::vector<std::optional<bool>> allow100mV;
};

// Why a section admits the 100 mV criterion or not.
enum class EAdmission100 {
    None = 0, // it says nothing: the survey's settings
    Data,     // its allow100mV ("Leitungsdaten")
    Anaerobic // its protection potential ("anaerob")
};
const char* Admission100Id(EAdmission100 a); // "", "Leitungsdaten", "anaerob"

struct SSectionAdmission {
    std::optional<bool> allow; // the value its rows take; none with EAdmission100::None
    EAdmission100 reason = EAdmission100::None;
};
SSectionAdmission SectionAdmission(const SSection& s);

// A section as one German line, for every place that names the criteria a
// row was judged by (the report's "Messung" block, the Bewertung window, the
// tool): "Merkmal 14 „Bachaue“, 407 bis 517 m: Schutzpotential -950 mV".
// A reader who sees a stretch at -900 mV called "nicht geschützt" under a
// survey-wide -850 mV must find the reason on the same page. An anaerobic
// section says so: "...: Schutzpotential -950 mV; 100-mV-Kriterium nicht
// zulässig (anaerob)".
std::string SectionText(const SSection& s);
// Its name and range alone: "Merkmal 14 „Bachaue“, 407 bis 517 m".
std::string SectionName(const SSection& s);
// The rows whose chainage lies in [from, to].
size_t SectionRows(const SSection& s, const std::vector<double>& chainage);

class CSectionIndex {
public:
    explicit CSectionIndex(const std::vector<SSection>& sections);

    // NaN (no chainage) gives no override. log(sections) per call.
    SOverride At(double chainage) const;
    // One per chainage (restation.h's per-row chainages).
    SRowOverrides ForRows(const std::vector<double>& chainage) const;

private:
    // Breakpoints b_0 < ... < b_k; m_atPoint[i] holds for b_i itself,
    // m_between[i] for the open interval (b_i, b_{i+1}).
    std::vector<double> m_points;
    std::vector<SOverride> m_atPoint, m_between;
};

} // namespace trespipeline
