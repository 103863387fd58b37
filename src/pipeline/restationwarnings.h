// SPDX-License-Identifier: GPL-3.0-or-later
// What re-stationing would do to the plausibility warnings: whole metres can
// fall together where the counter ran fast, or open gaps where it ran slow,
// and the engineer should know before the metres are replaced. The survey
// with the new metres is tied to the same pipeline data and assessed as the
// program assesses it; each warning it raises that the survey as it is does
// not raise (the same kind over the same rows) counts as new.
#pragma once

#include "doc/plausibility.h"
#include "doc/verdict.h"
#include "doc/verdictsettings.h"

#include <cstdint>
#include <string>
#include <vector>

class CTreDoc;

namespace trespipeline {

struct SSurveyBinding;

struct SNewWarnings {
    EPlausibility kind = EPlausibility::MetreMissing;
    int count = 0;
};

struct SRestationWarnings {
    std::vector<SNewWarnings> added; // per kind in enum order, kinds without new ones left out
    // Why the survey with the new metres cannot be tied to the data again
    // (then nothing was counted); empty when it can.
    std::vector<std::string> bindErrors;
};

// `binding`: the survey's, ok; `metres` as RestationedMetres gives them.
// `current`: the verdict the caller holds of the survey as it is, with
// `settings` and `binding` (its warnings are all that is read); null to
// have it assessed here.
SRestationWarnings RestationWarnings(const CTreDoc& doc, const SSurveyBinding& binding,
                                     const SVerdictSettings& settings, const std::vector<int32_t>& metres,
                                     const SVerdict* current = nullptr);

// "31 neue Warnungen „Meter nicht fortlaufend“", "1 neue Warnung „Messlücke“".
std::string NewWarningsText(const SNewWarnings& w);

} // namespace trespipeline
