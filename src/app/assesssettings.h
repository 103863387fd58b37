// SPDX-License-Identifier: GPL-3.0-or-later
// The verdict's and the comparison's settings in the program settings
// (section "Bewertung"), never in the survey file. A default is not
// stored, so a later default applies to it; a value the window would
// refuse is not taken from the store either.
#pragma once

#include "doc/verdict.h"

#include <cstdint>

struct SAssessSettings {
    SVerdictSettings verdict;
    int32_t worseLimit; // comparison with an earlier survey, mV
    int32_t shiftLimit; // polarisation against a native survey, mV
};

SAssessSettings LoadAssessSettings();
void SaveAssessSettings(const SAssessSettings& settings);
