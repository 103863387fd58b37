// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment of a survey ("Bewertung"): where the protection criterion
// is not met and over what length, where the lateral gradients point to
// coating defects (with the nearest landmark for the dig crew), and which
// readings are implausible. It reads the document through its accessors and
// derived values only and never changes it; the error list is a different
// test and stays as it is.
//
// Units are the document's: potentials in mV, gradients in tenths of a mV,
// metres in m. A value that is absent stays NO_VALUE in every struct below.
// Rows are numbered 1..N as in the document. A row without a metre is no
// position and is set aside: it fails no criterion (it ends a run), is no
// landmark, has no warning and counts for no length; "the row before" and
// "metre 1 / metre N" below mean the rows that have a metre.
//
// The window, the tool and the report all call Assess() and show its result;
// none of them computes a value of its own.
#pragma once

#include "measrow.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CTreDoc;

// ---- criteria ----------------------------------------------------------------
// A row fails a criterion when its value is present and
//   Off      potential off      >  limit   "Aus-Potential zu positiv"
//   IRFree   IR-free potential  >  limit   "IR-freies Potential zu positiv"
//   Over     potential off      <  limit   "Überschutz"
//   GradDiff gradient difference >= limit  "Fehlstellenverdacht"
// The enum's order is the order of every list of criteria.
enum class ECriterion { Off = 0, IRFree, Over, GradDiff };
inline constexpr int kCriterionCount = 4;

const char* CriterionId(ECriterion c);   // "off", "irfree", "over", "graddiff"
const char* CriterionName(ECriterion c); // the German name above
// Lookup by id (exact, lower case); false when unknown.
bool CriterionFromId(const std::string& id, ECriterion& c);

// ---- plausibility warnings ------------------------------------------------------
//   OffBelowOn  "Aus negativer als Ein"    runs of rows, both present, off < on
//   OnEqualsOff "Ein gleich Aus"           runs of rows, both present, equal
//   Spike       "Ausreißer"                a single row standing out from both
//                                          neighbours by more than the spike
//                                          threshold in the same direction:
//                                          tested on the potential off, then on
//                                          the potential on for rows the first
//                                          test did not flag
//   MetreOrder  "Meter nicht fortlaufend"  a row r >= 2 whose metre does not go
//                                          on in the survey's direction (that
//                                          of metre N - metre 1, forward when
//                                          equal)
//   Gap         "Messlücke"                a row r >= 2 more than the gap away
//                                          from row r - 1
enum class EWarning { OffBelowOn = 0, OnEqualsOff, Spike, MetreOrder, Gap };
inline constexpr int kWarningCount = 5;

const char* WarningId(EWarning w);   // "offBelowOn", "onEqualsOff", "spike", "metreOrder", "gap"
const char* WarningName(EWarning w); // the German name above

// ---- settings ------------------------------------------------------------------
struct SCriterionSetting {
    bool enabled = true;
    // mV for the potentials, tenths of a mV for GradDiff. NO_VALUE takes the
    // default: the survey's protection criterion for Off and IRFree, -1200 mV
    // for Over, 50 (5.0 mV) for GradDiff.
    int32_t limit = NO_VALUE;
};

struct SAssessSettings {
    SCriterionSetting& operator[](ECriterion c) { return criteria[static_cast<size_t>(c)]; }
    const SCriterionSetting& operator[](ECriterion c) const { return criteria[static_cast<size_t>(c)]; }

    std::array<SCriterionSetting, kCriterionCount> criteria; // all on, all limits NO_VALUE
    int32_t spike = 100;                                     // mV
    int32_t gap = 10;                                        // m
};

inline constexpr int32_t kDefaultCriterion = -850;   // mV, when header entry 2 has no number
inline constexpr int32_t kDefaultOverLimit = -1200;  // mV
inline constexpr int32_t kDefaultGradDiffLimit = 50; // 0.1 mV

// The protection criterion of a header entry 2 text: its leading decimal
// number (blanks before it allowed) truncated toward zero, so "-850 mV"
// gives -850 and "-850.9" gives -850; kDefaultCriterion when the text does
// not begin with a number or the number does not fit into 32 bits.
int32_t CriterionFromHeaderText(const std::string& text);
// The same for the document's header entry 2.
int32_t SurveyCriterion(const CTreDoc& doc);

// ---- result ----------------------------------------------------------------------
struct SCriterionResult {
    ECriterion criterion = ECriterion::Off;
    bool enabled = false;
    int32_t limit = NO_VALUE; // resolved: never NO_VALUE in a result
};

// A maximal run of consecutive rows that all fail one criterion.
struct SIndication {
    ECriterion criterion = ECriterion::Off;
    int firstRow = 0, lastRow = 0;
    int32_t fromMetre = 0, toMetre = 0; // metres of the first and last row
    int rows = 0;                       // lastRow - firstRow + 1
    int64_t length = 0;                 // |toMetre - fromMetre|
    int32_t worst = NO_VALUE;           // largest value, the smallest for Over
    int32_t worstMetre = 0;             // metre of the first row holding `worst`
    int worstRow = 0;                   // that row
};

// The row with a non-empty comment whose metre is nearest to a defect (the
// lower row number on a tie).
struct SLandmark {
    bool found = false; // false when no row has a comment
    int row = 0;
    int32_t metre = 0;
    std::string comment;
    int64_t distance = 0; // landmark metre - defect metre
};

// The worst row of a GradDiff indication.
struct SDefect {
    int row = 0;
    int32_t metre = 0;
    int32_t gradDiff = NO_VALUE, gradOn = NO_VALUE, gradOff = NO_VALUE; // 0.1 mV
    int32_t potOn = NO_VALUE, potOff = NO_VALUE, potIRFree = NO_VALUE;  // mV, NO_VALUE when absent
    SLandmark landmark;
};

struct SWarning {
    EWarning kind = EWarning::OffBelowOn;
    int firstRow = 0, lastRow = 0;
    int32_t fromMetre = 0, toMetre = 0;
};

struct SAssessSummary {
    int64_t surveyLength = 0;                                // |metre N - metre 1|
    std::array<int64_t, kCriterionCount> indicationLength{}; // sum of the lengths
    std::array<int, kCriterionCount> indicationCount{};
    int defectCount = 0;
    std::array<int, kWarningCount> warningCount{};
};

struct SAssessment {
    std::array<SCriterionResult, kCriterionCount> criteria; // in enum order
    std::vector<SIndication> indications;                   // by criterion in enum order, then first row
    std::vector<SDefect> defects;                           // in the order of their indications
    std::vector<SWarning> warnings;                         // by kind in enum order, then first row
    SAssessSummary summary;
};

// The whole assessment of `doc` under `settings`. A disabled criterion has
// no indications (and GradDiff disabled, no defects); the warnings do not
// depend on the criteria. Linear in the rows, apart from sorting the
// commented rows once for the landmarks.
SAssessment Assess(const CTreDoc& doc, const SAssessSettings& settings = SAssessSettings());
