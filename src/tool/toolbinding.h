// SPDX-License-Identifier: GPL-3.0-or-later
// The survey tied to the pipeline data named by --pipeline, for every
// command that takes the assessment's options: the refusals and warnings go
// to standard error the same way for each.
#pragma once

#include "pipeline/nativepairing.h"
#include "pipeline/surveybinding.h"

#include <optional>

class CTreDoc;
struct SAssessOptions;

// Nothing to do (true, `binding` empty) without --pipeline. False after a
// German message when the data cannot be read or the survey not tied to it
// (the command ends with kExitFile); its warnings are printed as they come.
bool BindForTool(const CTreDoc& doc, const SAssessOptions& o, std::optional<trespipeline::SSurveyBinding>& binding);

// The native survey paired with the survey (nativepairing.h), with its
// binding's pipeline data and --reverse. False after the German reasons on
// standard error when they cannot be aligned as asked (the command ends
// with kExitFile); a criterion that cannot be applied is a warning there.
bool PairNativeForTool(const CTreDoc& doc, const CTreDoc& native, const SAssessOptions& o,
                       const trespipeline::SSurveyBinding* binding, trespipeline::SNativePairing& out);
