// SPDX-License-Identifier: GPL-3.0-or-later
// The verdict on each measuring point: whether its readings can be assessed
// at all, the lateral signal D, whether its IR-free potential may be used,
// the potential E* it is judged by, its status, and the length of pipeline
// it stands for.
//
// Units as stored: potentials in mV, gradients and D in tenths of a mV,
// metres in m. Rows without a metre take no part: "the previous/next point"
// is the previous/next row with a metre.
#pragma once

#include "criterion.h"
#include "measrow.h"
#include "verdictsettings.h"

#include <cstdint>
#include <vector>

class CTreDoc;

// ---- validity ------------------------------------------------------------------
// First match: the potential off is absent; off >= 0 or on present and >= 0;
// on present and equal to off (the interrupter did not switch); on present
// and off more negative than on. Only valid rows are assessed.
//
// IRDropSmall is no property of one row but of a run: an interrupter that
// switches out of step with the logger gives "off" readings taken while the
// current flows, a few mV from the on reading. A run of at least
// kIRDropRun consecutive points (rows with a metre), each otherwise valid
// with |on - off| <= max(10 mV, 0.2 M), is not assessed; M is the median
// |on - off| over every point with both potentials, and the rule holds only
// when there are at least kIRDropBase of them (fewer say nothing about what
// the survey's swing is). JudgeRows() sets it; RowValidity() cannot.
enum class EValidity { Valid = 0, OffMissing, Positive, OnEqualsOff, OffBelowOn, IRDropSmall };
EValidity RowValidity(int32_t on, int32_t off);
inline constexpr int kIRDropRun = 5;
inline constexpr int kIRDropBase = 50;
inline constexpr int32_t kIRDropFloor = 10; // mV

// ---- status --------------------------------------------------------------------
// First match: not valid; E* < E_l; E* <= E_p; the 100 mV criterion against a
// native survey; otherwise not protected.
enum class EVerdictStatus { NotAssessed = 0, Over, Protected, Protected100, Unprotected };
inline constexpr int kVerdictStatusCount = 5;

// "notAssessed", "over", "protected", "protected100", "unprotected"
const char* VerdictStatusId(EVerdictStatus s);
// "nicht bewertbar", "Grenzpotential unterschritten", "geschützt",
// "geschützt (100-mV-Kriterium)", "nicht geschützt"
const char* VerdictStatusName(EVerdictStatus s);

// Which potential E* is: the usable IR-free potential or the potential off;
// None for a row that is not assessed.
enum class EVerdictBasis { None = 0, IRFree, Off };
const char* VerdictBasisId(EVerdictBasis b); // "", "irfree", "off"

struct SVerdictRow {
    int row = 0;          // 1..N
    int32_t metre = 0;    // as recorded
    int64_t position = 0; // along the pipeline in hundredths of a metre: the metre unless given
    // The counter run the point belongs to, from 0: a position that falls
    // back against the survey's direction by more than the gap starts a new
    // one (the wire counter was reset, e.g. for a second day). Positions of
    // different runs may overlap, so nothing is measured across runs.
    int run = 0;
    EValidity validity = EValidity::Valid;
    EVerdictStatus status = EVerdictStatus::NotAssessed;
    EVerdictBasis basis = EVerdictBasis::None;
    int32_t value = NO_VALUE; // E*, mV; NO_VALUE when not assessed
    double weight = 0;        // m: half the distance to each neighbour, each half at most half the gap
    // How far the zone the weight stands for reaches below and above the
    // position, m (0 towards a counter reset or the survey's ends): where
    // the curves, the report's sheets and the map draw a point's stretch.
    double zoneLow = 0, zoneHigh = 0;
    int64_t gradDiff = NO_VALUE; // D = |mean on gradient - mean off gradient|, tenths of a mV
    bool irfreeUsable = false;
    // Protected, but only just: E* within the margin of E_p (protected), or
    // the polarisation within the margin of 100 mV (protected100). Readings
    // are recorded to 10 mV, so such a point may as well be unprotected; it
    // changes no status or share, only what is done about a defect there.
    bool marginal = false;
    // E_p the row was judged against (its section's or the survey's), mV;
    // NO_VALUE when not assessed.
    int32_t protection = NO_VALUE;
    // Native potential (its off, else its on) of the paired native row minus
    // the potential off, mV, where the 100 mV criterion is asked (E* above
    // E_p, not below E_l; admitted or not); NO_VALUE elsewhere and without
    // a native partner.
    int32_t polarisation = NO_VALUE;
};

// How a marginal point is marked beside its status ("geschützt, grenzwertig").
inline constexpr char kMarginalMark[] = "grenzwertig";

// Every row with a metre, in row order, with its verdict. `native` is the
// native survey for the 100 mV criterion (nullptr: none), paired by
// `overrides->nativeRow` when given; `overrides` may be nullptr. The
// criterion is not applied to a row whose E_p is kAnaerobicProtection or
// more negative unless its section admits it. O(N log N) in the rows of
// both surveys.
std::vector<SVerdictRow> JudgeRows(const CTreDoc& doc, const SVerdictSettings& settings,
                                   const SProtectionCriterion& criterion, const CTreDoc* native,
                                   const SRowOverrides* overrides);

// +1 when the survey runs forward, -1 when backwards: the sign of the sum of
// the steps between neighbours of at most `gap` (hundredths of a metre), so
// that neither gaps nor counter resets decide it; when those steps add up to
// nothing, the last point against the first (forward when standing still).
int SurveyDirection(const std::vector<SVerdictRow>& rows, int64_t gap);

// Whether point k starts a new counter run: its position lies more than `gap`
// (hundredths of a metre) behind point k - 1's in the survey's `direction`.
bool StartsRun(const std::vector<SVerdictRow>& rows, size_t k, int direction, int64_t gap);

// A length setting in m as hundredths, never below 0.
int64_t LengthSetting(double metres);

// Whether x >= factor * y (x <= factor * y), for a factor read from a
// decimal text: its binary form may lie a hair off the decimal, which must
// not turn 110 >= 2.2 * 50 false.
bool AtLeastTimes(int64_t x, double factor, int64_t y);
bool AtMostTimes(int64_t x, double factor, int64_t y);
