// SPDX-License-Identifier: GPL-3.0-or-later
// The survey tied to the pipeline data named by --pipeline, for every
// command that takes the assessment's options: the refusals and warnings go
// to standard error the same way for each.
#pragma once

#include "surveybinding.h"

#include <optional>

class CTreDoc;
struct SAssessOptions;

// Nothing to do (true, `binding` empty) without --pipeline. False after a
// German message when the data cannot be read or the survey not tied to it
// (the command ends with kExitFile); its warnings are printed as they come.
bool BindForTool(const CTreDoc& doc, const SAssessOptions& o, std::optional<trespipeline::SSurveyBinding>& binding);

// The overrides for AssessProtection: nullptr without pipeline data.
inline const SRowOverrides* OverridesOf(const std::optional<trespipeline::SSurveyBinding>& binding)
{
    return binding ? &binding->overrides : nullptr;
}
