// SPDX-License-Identifier: GPL-3.0-or-later
// Where the rows of two surveys of the same pipeline lie against each other.
// A survey's metre comes from a wire counter that drifts, and two surveys
// seldom start at the same post: paired by their recorded metres, last
// year's survey started 3 m further on reads as a false "Schutz
// verschlechtert", and one walked from the other end as dozens of them. An
// alignment gives every row of both surveys the whole metre it is paired by;
// Compare() takes it in its settings, so the tool, the program and the
// report pair alike once they hold the same alignment.
//
// Methods:
//   none       the recorded metres (`--no-align`, and settings without an
//              alignment).
//   pipeline   each survey re-stationed by its own fixed points (the
//              pipeline layer's re-stationing) and its rows paired by their
//              chainage rounded to whole m, half away from zero
//              (AlignByStations).
//   landmarks  a comment that occurs exactly once in each survey (compared
//              by CommentKey, on a row with a metre) is a tie between them.
//              With two or more ties the earlier survey's metres are mapped
//              onto the current survey's as the re-stationing maps metres
//              onto chainages: ties (earlier row r_k, metre e_k, current
//              metre c_k) in the earlier survey's row order; a row between
//              ties k and k+1 gets c_k + (m - e_k) * (c_k+1 - c_k) /
//              (e_k+1 - e_k), a row before the first or after the last a
//              shift (direction kept, turned for a reversed survey). The
//              current survey keeps its metres. A mapped metre that is not
//              whole is rounded half away from zero, computed exactly in
//              integers; where several rows fall on one whole metre the
//              first of them in row order is paired, as with recorded
//              metres.
//   offset     fewer than two ties: the whole-metre offset o in -25..25 m
//              (added to the earlier survey's metres) with the smallest mean
//              |off_current(m) - off_earlier(m - o)| over the metres where
//              the first row of each has its potential off, among the
//              offsets with at least 50 such pairs; on equal means the
//              smaller |o|, then the negative one. No offset with 50 pairs:
//              0, and `offsetPairs` is 0. Not for a native survey: its
//              potential off does not follow the current survey's (on the
//              demo it picked -25 m), so with fewer than two ties it is
//              paired by the recorded metres (method none, the ties still
//              listed with their residuals).
//
// Refused (AlignSurveys false, a German message in `error`): the ties'
// metres fall in one survey where they rise in the other ("Die
// Vergleichsmessung ist in umgekehrter Richtung gemessen."; accepted with
// `reverse`, then mapped accordingly), and ties that do not lie in the same
// order in both surveys, or share a metre in one survey but not in the other
// (the message names both ties). Two ties at the same metre in both surveys
// are one point: the second is listed but not used for the mapping.
//
// The residual of a tie is |aligned metre of its earlier row - aligned
// metre of its current row| in m. The landmarks and pipeline methods pass
// through every tie, so theirs is 0 by construction (a non-zero value would
// be a fault); with the offset method, or none, it says how far the pairing
// misses the one landmark both surveys share.
#pragma once

#include "measrow.h"
#include "outcome.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CTreDoc;

enum class EAlignMethod { None = 0, Pipeline, Landmarks, Offset };
const char* AlignMethodId(EAlignMethod m); // "none", "pipeline", "landmarks", "offset"

inline constexpr int32_t kMaxAlignOffset = 25; // m
inline constexpr char kReversedSurveyMessage[] = "Die Vergleichsmessung ist in umgekehrter Richtung gemessen.";
inline constexpr int kMinOffsetPairs = 50;

struct SAlignTie {
    std::string comment; // as the current survey has it
    int currentRow = 0, earlierRow = 0;
    int32_t currentMetre = 0, earlierMetre = 0; // recorded
    int32_t residual = NO_VALUE;                // m; NO_VALUE when a row has no aligned metre
};

struct SAlignment {
    EAlignMethod method = EAlignMethod::None;
    bool reversed = false;          // landmarks: the earlier survey walked from the other end
    std::vector<SAlignTie> ties;    // in the current survey's row order
    int32_t offset = 0;             // offset: m added to the earlier survey's metres
    int offsetPairs = 0;            // offset: pairs the chosen offset was judged over; 0: none had 50
    int32_t maxResidual = NO_VALUE; // largest tie residual, m; NO_VALUE without one
    // The whole metre each row is paired by, row r at [r - 1] (NO_VALUE:
    // none). Empty: the survey's recorded metres.
    std::vector<int32_t> currentMetres, earlierMetres;
};

struct SAlignOptions {
    bool reverse = false;  // accept an earlier survey walked from the other end
    bool fitOffset = true; // false for a native survey
};

// How the rows were paired, as the report and the program's "Vergleich" name
// it after "Zuordnung: ": "Festpunkte der Leitungsdaten",
// "Orientierungspunkte (3)" (", in umgekehrter Richtung gemessen" for a
// reversed survey), "Versatz -3 m", "nach Metern" ("nach Metern (kein
// Versatz bestimmbar)" when no offset had enough pairs).
std::string AlignmentText(const SAlignment& a);

// The current survey's recorded metre of a metre the alignment pairs by, for
// drawing the comparison over the current survey as it was recorded. The
// identity where the current survey keeps its metres (none, landmarks,
// offset); for the pipeline method (chainage) piecewise linear between the
// current survey's rows, rounded half away from zero, and beyond its first
// and last row shifted with the direction kept. NO_VALUE stays NO_VALUE.
class CAlignedToRecorded {
public:
    CAlignedToRecorded(const CTreDoc& current, const SAlignment& a);
    int32_t operator()(int32_t aligned) const;

private:
    std::vector<std::pair<int32_t, int32_t>> m_knots; // (aligned, recorded), by aligned; empty: identity
    int m_slope = 1;                                  // +1 or -1 beyond the outer knots
};

// Where each row of the earlier survey lies on the current survey's
// recorded metres (row r at [r - 1], NO_VALUE without a metre): its aligned
// metre, carried over by CAlignedToRecorded. So a curve of the earlier
// survey drawn over the current one stands where it was paired.
std::vector<int32_t> EarlierOnCurrentMetres(const CTreDoc& current, const CTreDoc& earlier, const SAlignment& a);

// By landmarks, else by offset. False when refused (see above), with the
// reason in `refusal` (ERefusal::Reversed for a survey walked from the
// other end); `out` is then left as it was.
bool AlignSurveys(const CTreDoc& current, const CTreDoc& earlier, const SAlignOptions& options, SAlignment& out,
                  tresdoc::SOutcome& refusal);

// No alignment asked for: the recorded metres are paired as they are (method
// none), and the landmarks both surveys share are still listed with their
// residuals, so the reader sees how far that pairing misses them.
SAlignment AlignByRecordedMetres(const CTreDoc& current, const CTreDoc& earlier);

// By stations the caller computed per row (whole m, NO_VALUE for none; row r
// at [r - 1]): the pipeline method. `ties` are the rows of both surveys that
// name the same fixed point; their residuals are filled in here.
SAlignment AlignByStations(std::vector<int32_t> currentStations, std::vector<int32_t> earlierStations,
                           std::vector<SAlignTie> ties);
