// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison of a survey with an earlier one of the same pipeline, or
// with a native survey (made with the protection current switched off), for
// the 100 mV polarisation criterion. Like the assessment it reads both
// documents through their accessors only and changes neither.
//
// Units are the document's: potentials in mV, metres in m. Differences of
// two potentials are 64-bit so that no stored value can overflow them; an
// absent value or difference is NO_VALUE.
//
// The tool, the program's "Vergleich" page and the report all call Compare()
// and show its result; none of them computes a value of its own.
//
// Rows are paired by the metres an alignment gives them (metrealign.h);
// without one, by their recorded metres. The pairs' and indications' metres
// are then the aligned ones: the current survey's metres for the landmarks
// and offset methods, whole-metre chainages for the pipeline method.
#pragma once

#include "measrow.h"
#include "metrealign.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class CTreDoc;

// ---- criteria ----------------------------------------------------------------
// A matched pair fails a criterion when its value is present and
//   Worse  deltaOff      >= limit  "Schutz verschlechtert"         (earlier survey)
//   Shift  polarisation  <  limit  "Polarisation unter Grenzwert"  (native survey)
// Only the criterion of the mode is evaluated.
enum class ECompareCriterion { Worse = 0, Shift };
inline constexpr int kCompareCriterionCount = 2;

const char* CompareCriterionId(ECompareCriterion c);   // "worse", "shift"
const char* CompareCriterionName(ECompareCriterion c); // the German name above

enum class ECompareMode { Earlier = 0, Native };
const char* CompareModeId(ECompareMode m); // "earlier", "native"

inline constexpr int32_t kDefaultWorseLimit = 50;  // mV
inline constexpr int32_t kDefaultShiftLimit = 100; // mV

struct SCompareSettings {
    ECompareMode mode = ECompareMode::Earlier;
    int32_t worseLimit = kDefaultWorseLimit;
    int32_t shiftLimit = kDefaultShiftLimit;
    // Made for these two surveys as they are (AlignSurveys, AlignByStations);
    // null: the recorded metres.
    std::shared_ptr<const SAlignment> alignment;
};

// ---- result ----------------------------------------------------------------------
inline constexpr int64_t kNoDelta = NO_VALUE;

// One survey's side of a pair: the first row with the pair's metre.
struct SCompareSide {
    int row = 0;
    int32_t potOn = NO_VALUE, potOff = NO_VALUE, potIRFree = NO_VALUE;
    int32_t metre = NO_VALUE; // as recorded in the row
};

struct SComparePair {
    int32_t metre = 0; // aligned
    SCompareSide current, earlier;
    int64_t deltaOff = kNoDelta;     // current potOff - earlier potOff
    int64_t deltaIRFree = kNoDelta;  // current potIRFree - earlier potIRFree
    int64_t polarisation = kNoDelta; // native mode only: native - current potOff,
                                     // native = earlier potOff, else earlier potOn
};

struct SCompareCriterionResult {
    ECompareCriterion criterion = ECompareCriterion::Worse;
    bool enabled = false; // the mode's criterion
    int32_t limit = 0;
};

// A maximal run of consecutive matched pairs that all fail the criterion.
struct SCompareIndication {
    ECompareCriterion criterion = ECompareCriterion::Worse;
    int firstPair = 0, lastPair = 0;    // indices into SComparison::pairs
    int firstRow = 0, lastRow = 0;      // rows of those pairs in the current survey
    int32_t fromMetre = 0, toMetre = 0; // metres of the first and last pair
    int rows = 0;                       // number of pairs in the run
    int64_t length = 0;                 // |toMetre - fromMetre|
    int64_t worst = kNoDelta;           // largest deltaOff, smallest polarisation
    int32_t worstMetre = 0;             // metre of the first pair holding `worst`
};

// Present values of one difference over all pairs; min, max and mean are
// kNoDelta when count is 0. mean = sum / count truncated toward zero.
struct SDeltaStats {
    int count = 0;
    int64_t min = kNoDelta, max = kNoDelta, mean = kNoDelta;
};

struct SCompareSummary {
    int matched = 0;
    // Rows not used in any pair: rows whose metre the other survey lacks,
    // rows without a metre, and every row after the first with a metre.
    int currentUnmatched = 0, earlierUnmatched = 0;
    SDeltaStats deltaOff;
    SDeltaStats polarisation; // count 0 outside native mode
};

struct SComparison {
    ECompareMode mode = ECompareMode::Earlier;
    std::array<SCompareCriterionResult, kCompareCriterionCount> criteria; // in enum order
    std::vector<SComparePair> pairs;                                      // ascending metre
    std::vector<SCompareIndication> indications;                          // in pair order
    SCompareSummary summary;
    std::shared_ptr<const SAlignment> alignment; // the one used; never null (method none without one)
};

// A metre present in both surveys is matched, each survey giving the first
// row (in row order) with that metre. O(N) in the rows of both when their
// metres run one way, else O(N log N).
SComparison Compare(const CTreDoc& current, const CTreDoc& earlier,
                    const SCompareSettings& settings = SCompareSettings());
