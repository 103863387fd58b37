// SPDX-License-Identifier: GPL-3.0-or-later
// Small hand-made surveys for the comparison, shared by the engine's tests
// and the tool's. Data lines as in the assessment's surveys: metre;
// potential on [V]; potential off [V]; four gradients [mV]; comment.
#pragma once

#include <string>
#include <vector>

namespace comparesurveys {

// This year's survey: metre 20 twice (the second row, off -0.50, must not be
// used), 30 without its potential off, 60 only here.
inline const std::vector<std::string> kCurrent = {
    "0;-1.20;-0.90;;;;;",  "10;-1.20;-0.80;;;;;", "20;-1.20;-0.83;;;;;", "30;-1.20;;;;;;",      "40;-1.20;-0.84;;;;;",
    "50;-1.20;-0.85;;;;;", "20;-1.20;-0.50;;;;;", "60;-1.20;-0.90;;;;;", "70;-1.20;-0.86;;;;;",
};

// Last year's, not in metre order: 5 and 80 only here, metre 20 twice (the
// second, off -0.10, must not be used). deltaOff against kCurrent:
// 0: 20, 10: 60, 20: 70, 30: absent, 40: 50, 50: 50, 70: -60.
// Against 50 mV: 10-20 fail (worst 70 at 20), 30 ends the run, 40-50 fail
// with a tie (worst 50 at 40), 70 passes.
inline const std::vector<std::string> kEarlier = {
    "5;-1.25;-0.95;;;;;",  "0;-1.25;-0.92;;;;;",  "10;-1.25;-0.86;;;;;", "20;-1.25;-0.90;;;;;", "20;-1.25;-0.10;;;;;",
    "30;-1.25;-0.90;;;;;", "40;-1.25;-0.89;;;;;", "50;-1.25;-0.90;;;;;", "70;-1.25;-0.80;;;;;", "80;-1.25;-0.95;;;;;",
};

// A native survey of the same line. native (off, else on) and polarisation
// against kCurrent: 0: -620 → 280, 10: -700 (on) → 100 (passes, not below),
// 20: -750 (on) → 80, 30: current off absent, 40: -780 → 60, 50: -760 → 90,
// 70: nothing measured. deltaOff: 0: -280, 40: -60, 50: -90.
inline const std::vector<std::string> kNative = {
    "0;-0.60;-0.62;;;;;",  "10;-0.70;;;;;;",      "20;-0.75;;;;;;", "30;-0.60;-0.60;;;;;",
    "40;-0.80;-0.78;;;;;", "50;-0.76;-0.76;;;;;", "70;;;;;;;",
};

// No metre in common with kCurrent.
inline const std::vector<std::string> kElsewhere = {"1000;-1.20;-0.90;;;;;", "1010;-1.20;-0.90;;;;;"};

} // namespace comparesurveys
