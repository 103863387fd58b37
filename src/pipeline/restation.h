// SPDX-License-Identifier: GPL-3.0-or-later
// Re-stationing: a survey's metres come from a wire counter that drifts a
// few per cent between marker posts; the fixed points of the pipeline data
// say where those posts really are. Each row gets the chainage s its metre
// stands for.
//
// A tie is a row whose comment names a fixed point (commentkey.h: the row's
// whole comment equals the fixed point's match). With the ties (row r_k,
// metre m_k, chainage S_k) in row order, k = 0..n-1:
//   between ties k and k+1   s = S_k + (m - m_k) * f_k,
//                            f_k = (S_{k+1} - S_k) / (m_{k+1} - m_k)
//   before the first tie     s = S_0 + (m - m_0) * e, after the last
//                            s = S_{n-1} + (m - m_{n-1}) * e, where e is
//                            +1 or -1 as the nearest f_k is positive or
//                            negative (+1 with one tie: the survey shifted)
// so a survey walked against the chainage direction keeps its direction
// beyond the outer ties. s is kept to two decimals, half away from zero;
// rows without a metre get none (NaN).
//
// Refused (ok false, errors say why): a fixed point named by more than one
// row ("Festpunkt „X“ (Merkmal 5) passt zu mehreren Zeilen: 12, 140"); no
// tie at all; two ties with the same metre; tie chainages not strictly
// increasing or strictly decreasing in row order; a factor whose sign
// differs from the first factor's, or |f_k| outside [0.5, 2] (the first
// such pair: "Zwischen „A“ (Zeile 3) und „B“ (Zeile 9) ist der
// Stationierungsfaktor −0,337: Zählerstand zurückgesetzt oder falscher
// Festpunkt?"; a survey walked against the chainage has every factor near
// -1 and is fine). Warnings: a factor |f_k| outside [1 - tolerance,
// 1 + tolerance]; a fixed point whose row has no metre (it is not used);
// every fixed point no row names (also listed in `unmatched`).
#pragma once

#include "pipelinedata.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CTreDoc;

namespace trespipeline {

inline constexpr double kDefaultStretchTolerance = 0.05;
// The factors a wire counter can give between two fixed points at all.
inline constexpr double kMinStationingFactor = 0.5;
inline constexpr double kMaxStationingFactor = 2.0;

struct STie {
    int row = 0; // 1..N
    int32_t metre = 0;
    size_t fixpoint = 0; // index into the fixed points
    double chainage = 0; // S_k, m
};

struct SRestation {
    bool ok = false;
    std::vector<std::string> errors;   // why it was refused
    std::vector<std::string> warnings; // in the order: rows without metre, factors, unmatched
    std::vector<STie> ties;            // in row order
    std::vector<double> factors;       // f_k between ties k and k+1
    std::vector<double> chainage;      // s of row r at [r - 1], m; NaN: none
    std::vector<size_t> unmatched;     // fixed points no row names, in file order
};

inline bool HasChainage(double s) { return !std::isnan(s); }

SRestation Restation(const CTreDoc& doc, const std::vector<SFixpoint>& fixpoints,
                     double stretchTolerance = kDefaultStretchTolerance);

// The chainages as the metre column takes them: whole metres, half away from
// zero; a row without a chainage keeps no metre. One rule for the tool's
// edit --restation and the program's menu command, so both write the same
// file. `badRow` (1..N) names the first row whose chainage the column cannot
// hold (beyond 32 bits, or the value that marks an absent metre in the
// file); then `metres` is not to be written. 0 when every row fits.
struct SWholeMetres {
    std::vector<int32_t> metres;
    int badRow = 0;
};
SWholeMetres RestationedMetres(const std::vector<double>& chainage);

// What re-stationing would make of the survey's metre column, shown before
// it is done: the whole metres, how many rows get another metre, and the
// row that moves most (the first of equals; 0 when none moves).
struct SRestationPreview {
    SWholeMetres whole;
    int changed = 0;
    int largestRow = 0;
    int64_t largest = 0; // m
};
SRestationPreview PreviewRestation(const CTreDoc& doc, const std::vector<double>& chainage);

} // namespace trespipeline
