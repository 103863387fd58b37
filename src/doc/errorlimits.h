// SPDX-License-Identifier: GPL-3.0-or-later
// The twelve error-list quantities and the rules that move their limit pairs
// between the text boxes of the dialog "Fehlerlisten-Parameter" and the
// document. Pair k keeps its bounds in entries k and k+12 of m_limits.
#pragma once

#include <array>
#include <cstdint>
#include <string>

enum ELimit { POTE = 0, POTA, POTIR, UEIN, UAUS, UDIFF, UEINL, UAUSL, UDIFFL, UEINR, UAUSR, UDIFFR, LIMIT_COUNT };

// "POTE", "POTA", ... in the order the file writes them.
const char* LimitName(int k);
// Case-insensitive lookup of a quantity name; -1 when unknown.
int LimitFromName(const std::string& name);

using LimitArray = std::array<int32_t, 24>;
// The dialog's 24 boxes: entry k is the "Maximum" box of pair k, entry
// k+12 its "Minimum" box.
using LimitBoxTexts = std::array<std::string, 24>;

// The boxes' texts when the dialog opens: volts with two decimals for the
// potentials, whole millivolts for the gradients, empty for unset pairs.
LimitBoxTexts LimitsToBoxTexts(const LimitArray& limits);

// The pairs the dialog stores on "OK". A pair is set only when both of its
// boxes hold text; potentials are ordered ascending, mean gradients
// descending, left/right gradients kept as typed.
LimitArray BoxTextsToLimits(const LimitBoxTexts& texts);
