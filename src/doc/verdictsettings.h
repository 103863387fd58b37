// SPDX-License-Identifier: GPL-3.0-or-later
// What the assessment of a survey ("Schutznachweis") may be told: every
// option with its default, and what a caller may give per row (positions
// along the pipeline instead of the recorded metres, and a section's own
// criterion). Plain data; AssessProtection() in verdict.h reads it.
#pragma once

#include "criterion.h"
#include "measrow.h"

#include <array>
#include <cstdint>
#include <vector>

struct SVerdictSettings {
    // E_p in mV; NO_VALUE: header entry 2, else -850 mV with a warning.
    int32_t protectionPotential = NO_VALUE;
    int32_t limitPotential = kDefaultLimitPotential; // E_l, mV

    // The IR-free potential counts only where the lateral signal is strong
    // enough and its on/off gradients look like one current leaving a defect.
    int32_t irfreeMinDiff = 50;  // G_min, tenths of a mV
    double irfreeMaxRatio = 0.8; // R_max: off gradient at most this share of the on gradient

    double gap = 10; // m: a point stands for at most half of this on either side

    // Suspected coating defects: local peaks of the lateral signal D.
    double background = 50;                          // m: the background is the median of D up to this far away ...
    double defectWindow = 10;                        // m: ... but beyond this; and no larger D within it
    double defectFactor = 2.5;                       // k: D at least k times the background ...
    int32_t defectMin = 30;                          // D_min, tenths of a mV: ... and at least this
    std::array<double, 3> categories = {15, 35, 60}; // upper %IR bounds of categories I, II, III

    int32_t spike = 100; // mV: a "Ausreißer" stands out by more than this

    // mV: a protected point whose E* lies at most this far below E_p (or
    // whose polarisation at most this far above 100 mV) is only just
    // protected ("grenzwertig"): the potentials are recorded to 10 mV.
    int32_t margin = 10;

    // The 100 mV polarisation criterion, where a native survey is given.
    bool use100mV = true;
};

// Where sulphate-reducing bacteria are expected (anaerobic soil) DIN EN ISO
// 15589-1 asks for -950 mV and does not admit the 100 mV criterion: a row
// judged against this E_p or a more negative one is not protected by
// polarisation alone unless its pipeline section admits it in so many words.
inline constexpr int32_t kAnaerobicProtection = -950; // mV

// ---- what the settings may hold -----------------------------------------------------
// The window's fields, the tool's options and the pipeline data's sections
// are checked by these rules; each says in its own words what was wrong.

// The potentials a section of the pipeline data may set: its E_p within the
// range a header criterion is taken from (criterion.h), its E_l down to
// this.
inline constexpr int32_t kLimitPotentialLowest = -2000; // mV

// What a single setting may hold.
enum class ESettingRange {
    Any,
    Negative,    // a potential against the reference electrode
    NotNegative, // lengths, differences, factors
    Positive,    // the gap: 0 would leave every point a gap of its own
    Percent,     // 0 ... 100
};
bool InSettingRange(ESettingRange range, double v);

// A limiting potential at or above the criterion leaves no reading that
// could count as protected: E_l must lie below E_p. True when either is
// NO_VALUE (nothing to compare yet).
bool LimitBelowProtection(int32_t limit, int32_t protection);

// The upper %IR bounds of categories I < II < III.
bool CategoriesAscend(const std::array<double, 3>& bounds);

// What a caller may give per row, each vector either empty (not given) or
// holding one entry per row of the survey (row r at index r - 1). A row
// without a metre takes no part whatever is given here.
struct SRowOverrides {
    // Position along the pipeline in m (two decimals count); NaN: the metre.
    std::vector<double> position;
    // A section's own E_p and E_l in mV; NO_VALUE: the survey's.
    std::vector<int32_t> protectionPotential;
    std::vector<int32_t> limitPotential;
    // A section's own admission of the 100 mV criterion: 0 no, 1 yes, -1 the settings'.
    std::vector<int8_t> allow100mV;
    // The native survey's row paired with row r for the 100 mV criterion
    // (0: none), as the alignment of both surveys pairs them. Empty: the
    // native survey's first row with the same recorded metre.
    std::vector<int> nativeRow;
};
