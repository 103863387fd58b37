// SPDX-License-Identifier: GPL-3.0-or-later
// Small hand-made surveys for the assessment, shared by the engine's tests
// and the tool's, so both sides are held to the same worked numbers.
// Data lines: metre; potential on [V]; potential off [V]; gradient on left,
// gradient off left, gradient on right, gradient off right [mV]; comment.
#pragma once

#include <string>
#include <vector>

namespace assesssurveys {

// A survey file text with `criterion` as header entry 2.
inline std::string Text(const std::string& criterion, const std::vector<std::string>& lines)
{
    std::string text = "[Version]\r\nV1.1\r\n\r\n[Kopfdaten]\r\n01.02.26\r\n" + criterion
                       + "\r\nNord\r\n7\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (const std::string& l : lines) text += l + "\r\n";
    return text + "\r\n";
}

// Potential off against the criterion -850 and against -1200 for over-
// protection: a run ended by an absent value (rows 1-2), a one-row
// indication (4), a tie for the worst value (6-7), values equal to the
// limits that do not fail (8, 11), an over-protection run (9-10). No
// warnings at all.
inline const std::vector<std::string> kCriteria = {
    "0;-1.00;-0.80;;;;;",  "2;-1.00;-0.82;;;;;",  "4;-1.00;;;;;;",       "6;-1.00;-0.81;;;;;",
    "8;-1.00;-0.90;;;;;",  "10;-1.00;-0.79;;;;;", "13;-1.00;-0.79;;;;;", "15;-1.00;-0.85;;;;;",
    "17;-1.30;-1.25;;;;;", "19;-1.30;-1.26;;;;;", "21;-1.30;-1.20;;;;;",
};

// Gradient differences against 5.0 mV: a run 2-3 (worst in row 3) ended by
// absent gradients, a one-row run at exactly the limit without potential on
// (row 5), a run 7-9 whose worst value is held by rows 7 and 8, whose
// landmarks at rows 6 and 10 lie equally far away.
inline const std::vector<std::string> kDefects = {
    "0;-1.20;-0.95;1;0;;;Schieber",  // diff 10
    "10;-1.20;-0.95;8;2;;;",         // 60
    "20;-1.20;-0.95;9;2;;;",         // 70
    "30;-1.20;-0.95;;;;;",           // absent
    "40;;-0.95;9;4;;;",              // 50, no potential on
    "50;-1.20;-0.95;6;5;;;Kreuzung", // 10
    "60;-1.20;-0.95;9;1;;;",         // 80
    "65;-1.20;-0.95;10;2;;;",        // 80
    "68;-1.20;-0.95;8;2;;;",         // 60
    "70;-1.20;-0.95;2;2;;;Mast",     // 0
};

// Spikes of 100 mV: off at rows 2 and 11, on at row 5, both at row 8 (one
// warning); not at row 14 (exactly 100), 16 (a step), 19 (an absent
// neighbour). Two level rows between spikes, so none makes its neighbour
// a valley.
inline const std::vector<std::string> kSpikes = {
    "0;-1.00;-0.90;;;;;",  "1;-1.00;-0.70;;;;;",  "2;-1.00;-0.90;;;;;",  "3;-1.00;-0.90;;;;;",  "4;-1.30;-0.90;;;;;",
    "5;-1.00;-0.90;;;;;",  "6;-1.00;-0.90;;;;;",  "7;-1.40;-0.60;;;;;",  "8;-1.00;-0.90;;;;;",  "9;-1.00;-0.90;;;;;",
    "10;-1.00;-0.79;;;;;", "11;-1.00;-0.90;;;;;", "12;-1.00;-0.90;;;;;", "13;-1.00;-0.80;;;;;", "14;-1.00;-0.90;;;;;",
    "15;-1.00;-0.70;;;;;", "16;-1.00;-0.50;;;;;", "17;-1.00;;;;;;",      "18;-1.00;-0.20;;;;;", "19;-1.00;-0.50;;;;;",
};

// Off below on at rows 1-2 and 7, on equal to off at rows 3-4 and 6; row 5
// lacks its potential on.
inline const std::vector<std::string> kOnOff = {
    "0;-1.00;-1.10;;;;;", "1;-1.00;-1.05;;;;;", "2;-1.00;-1.00;;;;;", "3;-1.00;-1.00;;;;;",
    "4;;-1.00;;;;;",      "5;-0.95;-0.95;;;;;", "6;-1.00;-1.20;;;;;",
};

// Measured backwards from 100 m to 25 m: rows 3 (standing still) and 4
// (a step back) break the order, rows 5, 6 and 7 follow gaps of 15, 25 and
// 30 m; the 10 m before row 2 is no gap. The defect at row 2 (metre 90)
// lies 10 m from both landmarks, rows 1 (100 m) and 5 (80 m).
inline const std::vector<std::string> kReversed = {
    "100;-1.00;-0.95;;;;;A", "90;-1.00;-0.95;9;1;;;", "90;-1.00;-0.95;;;;;", "95;-1.00;-0.95;;;;;",
    "80;-1.00;-0.95;;;;;B",  "55;-1.00;-0.95;;;;;",   "25;-1.00;-0.95;;;;;",
};

// IR-free potentials -800, absent (no gradient difference), -800, -820
// against the criterion -850, while every potential off stays below it.
inline const std::vector<std::string> kIRFree = {
    "0;-1.20;-0.90;12;3;;;",
    "1;-1.20;-0.90;12;12;;;",
    "2;-1.20;-0.90;12;3;;;",
    "3;-1.20;-0.90;15;3;;;",
};

} // namespace assesssurveys
