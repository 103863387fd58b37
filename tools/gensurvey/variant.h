// SPDX-License-Identifier: GPL-3.0-or-later
// Other surveys of the same pipeline, made from a generated one so that they
// have its metres and can be set against it: last year's survey and a
// native survey taken with the protection current switched off.
#pragma once

#include <cstdint>

class CTreDoc;

namespace gensurvey {

// The survey a year before: potentials off and on some 5-20 mV more negative
// all along, and far more negative (60-150 mV) over a few stretches of
// 20-70 m, where the coating has aged since. Gaps and comments stay.
void MakeEarlierYear(CTreDoc& doc, uint32_t seed);

// The native survey: the pipe's own potential against the soil, about -550
// to -650 mV, on and off alike (the interrupter gaps keep only the potential
// on), except two stretches near foreign structures that pull it down by
// 220-280 mV. No gradients to speak of: 0 to 0.4 mV.
void MakeNative(CTreDoc& doc, uint32_t seed);

} // namespace gensurvey
