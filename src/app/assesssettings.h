// SPDX-License-Identifier: GPL-3.0-or-later
// The verdict's and the comparison's settings in the program settings
// (section "Bewertung"), never in the survey file. A default is not
// stored, so a later default applies to it; a value the window would
// refuse is not taken from the store either.
//
// The verdict's settings stored are what every survey starts from; they
// change only when the user saves the ones in use as the defaults ("Als
// Standard speichern"). A criterion typed for one survey must not judge
// the next one unasked.
#pragma once

#include "doc/verdict.h"

#include <cstdint>

struct SAssessSettings {
    SVerdictSettings verdict;
    int32_t worseLimit; // comparison with an earlier survey, mV
    int32_t shiftLimit; // polarisation against a native survey, mV
};

SAssessSettings LoadAssessSettings();
// The verdict's settings as every survey's defaults.
void SaveVerdictDefaults(const SVerdictSettings& settings);
// The comparison's limits, kept from one survey to the next.
void SaveCompareLimits(int32_t worseLimit, int32_t shiftLimit);
