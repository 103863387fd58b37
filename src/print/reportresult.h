// SPDX-License-Identifier: GPL-3.0-or-later
// What the assessment report concludes, without Qt, so it can be checked
// without a painter: the "Ergebnis" in sentences, whether the report is a
// draft and why, the standards its criteria come from, and the criterion
// each point and stretch was judged against. Texts are UTF-8; lengths and
// shares come from the verdict as they are (the report computes nothing of
// its own beyond sums and ratios of them).
#pragma once

#include "doc/criterion.h"
#include "doc/verdict.h"

#include <string>
#include <vector>

namespace trespipeline {
struct SSurveyBinding;
}

namespace reportresult {

// The standards the report's criteria and method rest on, as "Messung"
// names them under "Regelwerk".
inline constexpr char kStandards[]
    = "DIN EN ISO 15589-1 (Schutzpotential nach Boden, 100-mV-Kriterium), DIN EN 13509 (Messverfahren)";

// What makes a report a draft, each as page 1 and the tool name it: "kein
// Herausgeber angegeben", "Schutzkriterium angenommen", "Leitungsdaten mit
// Warnungen". Empty: the report may be signed as final.
std::vector<std::string> DraftReasons(bool issuerGiven, const SProtectionCriterion& criterion,
                                      const trespipeline::SSurveyBinding* binding);

// The length the shares of the result are taken of: from the first to the
// last point, gaps included, m.
double SurveyedLength(const SVerdict& v);

// The E_p row r (1..N) was judged against, mV: its section's own with
// pipeline data where one sets it, else the survey's.
int32_t RowProtectionPotential(const SVerdict& v, const trespipeline::SSurveyBinding* binding, int row);
// The E_p values that applied to a stretch's points, each once, in the
// order they first occur.
std::vector<int32_t> StretchProtectionPotentials(const SVerdict& v, const trespipeline::SSurveyBinding* binding,
                                                 const SVerdictStretch& stretch);

// The "Ergebnis" in sentences: the share of the surveyed length protection
// was proven for; the lengths not protected, beyond the limiting potential,
// not assessed and not measured with their causes; the suspected defects
// counted per dig list action, "umgehend aufgraben" first; and where the
// 100 mV criterion was admitted (trespipeline::Admission100mVText).
std::vector<std::string> ResultSentences(const SVerdict& v, const trespipeline::SSurveyBinding* binding);

} // namespace reportresult
