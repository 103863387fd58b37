// SPDX-License-Identifier: GPL-3.0-or-later
// The protection assessment ("Schutznachweis") as JSON for scripts (`assess`),
// AssessProtection()'s result as it is: the criterion, every setting it was
// computed with, the coverage, the statuses, stretches, defects, dig list and
// plausibility warnings, and on request every row. With pipeline data each
// finding is placed on the route (verdictplaces.h); without, none of those
// keys appears.
#pragma once

#include "exportinputs.h"
#include "jsontext.h"

#include <string>

namespace tresexport {

// What the JSON names beside the verdict.
struct SVerdictJsonInputs {
    std::string native;   // the native survey's file for the 100 mV criterion; empty: none
    std::string pipeline; // the pipeline data's file, named when there is a binding
    bool rows = false;    // every row's verdict as well
};

// `binding` nullptr: no pipeline data; otherwise ok, and `verdict` assessed
// with its overrides.
ojson VerdictJson(const SVerdict& verdict, const SVerdictJsonInputs& inputs,
                  const trespipeline::SSurveyBinding* binding);

} // namespace tresexport
