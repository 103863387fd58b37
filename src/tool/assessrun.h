// SPDX-License-Identifier: GPL-3.0-or-later
// One assessment as the tool makes it: the survey opened, tied to its
// pipeline data, paired with its native survey and assessed. `assess`
// prints it and the archive stores the very same text, so a stored
// assessment is byte for byte what `assess --json --rows` printed.
#pragma once

#include "assessoptions.h"
#include "toolhost.h"

#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "pipeline/nativepairing.h"
#include "pipeline/surveybinding.h"

#include <optional>
#include <string>
#include <string_view>

struct SToolAssessment {
    CToolHost host, nativeHost;
    CTreDoc doc, native;
    std::optional<trespipeline::SSurveyBinding> binding;
    trespipeline::SNativePairing pairing;
    SVerdict verdict;

    const trespipeline::SSurveyBinding* Binding() const { return binding ? &*binding : nullptr; }
};

// False after the German reasons on standard error (the command ends with
// kExitFile). `bytes`: the survey's bytes already read, named o.path; else
// the file o.path is read.
bool AssessForTool(const SAssessOptions& o, SToolAssessment& out, const std::string_view* bytes = nullptr,
                   const std::string& reading = {});

// The JSON text `assess --json` prints, every row's verdict with `rows`.
std::string AssessmentJsonText(const SToolAssessment& a, const SAssessOptions& o, bool rows);
