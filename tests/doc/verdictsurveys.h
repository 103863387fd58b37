// SPDX-License-Identifier: GPL-3.0-or-later
// Small hand-made surveys for the protection assessment, one per rule, with
// the numbers worked out by hand beside them. Data lines: metre; potential
// on [V]; potential off [V]; gradient on left, off left, on right, off
// right [mV]; comment. Criterion -850 mV, limit -1200 mV unless said.
#pragma once

#include "assesssurveys.h"
#include "docfixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace verdictsurveys {

// A survey read from its file text, as the program and the tool get it.
inline std::unique_ptr<CTreDoc> Read(const std::vector<std::string>& lines, const std::string& criterion = "-850 mV")
{
    auto doc = std::make_unique<CTreDoc>();
    EXPECT_TRUE(ReadText(*doc, assesssurveys::Text(criterion, lines)));
    return doc;
}

// One row of each validity and each status, 1 m apart:
// 1 valid, off -800 above -850: unprotected    6 off below on: not assessed
// 2 off absent: not assessed                   7 valid without on: protected
// 3 off 0: positive                            8 off -1250 < -1200: over
// 4 on +0.05: positive                         9 off -1200 = E_l: protected
// 5 on = off (no switching): not assessed     10 off -850 = E_p: protected
inline const std::vector<std::string> kValidity = {
    "0;-1.10;-0.80;;;;;", "1;-1.10;;;;;;Schieber", "2;-1.10;0.00;;;;;",  "3;0.05;-0.90;;;;;Mast", "4;-0.95;-0.95;;;;;",
    "5;-0.90;-1.00;;;;;", "6;;-0.95;;;;;",         "7;-1.30;-1.25;;;;;", "8;-1.30;-1.20;;;;;",    "9;-1.10;-0.85;;;;;",
};

// Weights: 1 m apart from 0 to 10, then a 30 m gap to 40 and 41. Metre 5
// alone fails (1 m), metre 41 has no potential off (0.5 m). Ends 0.5 m,
// metres 10 and 40 each 0.5 + 5 m; total 21 m, 20 m in the gap.
inline const std::vector<std::string> kLengths = {
    "0;-1.10;-0.90;;;;;",  "1;-1.10;-0.90;;;;;",  "2;-1.10;-0.90;;;;;",     "3;-1.10;-0.90;;;;;", "4;-1.10;-0.90;;;;;",
    "5;-1.10;-0.80;;;;;",  "6;-1.10;-0.90;;;;;",  "7;-1.10;-0.90;;;;;",     "8;-1.10;-0.90;;;;;", "9;-1.10;-0.90;;;;;",
    "10;-1.10;-0.90;;;;;", "40;-1.10;-0.90;;;;;", "41;-1.10;;;;;;Kreuzung",
};

// The IR-free potential, every row with gradients on the left only.
// 1 D 9.0 mV, off gradient 1/4 of on: usable, IR-free -800 (unprotected)
// 2 D 3.0 mV < 5.0: not usable, off -900 (protected)
// 3 D 5.0 mV, off gradient 25/30 of on > 0.8: not usable
// 4 D 5.0 mV, exactly 0.8: usable, IR-free -700
// 5 the same negated (electrodes swapped): usable, -700
// 6 off gradient against the on gradient: not usable
// 7 no on gradient: not usable
// 8 as row 1, but on = off: not assessed, so not usable
inline const std::vector<std::string> kIRFree = {
    "0;-1.20;-0.90;12;3;;;",    "1;-1.20;-0.90;4;1;;;",   "2;-0.95;-0.90;30;25;;;", "3;-0.95;-0.90;25;20;;;",
    "4;-0.95;-0.90;-25;-20;;;", "5;-0.95;-0.90;25;-5;;;", "6;-0.95;-0.90;0;-6;;;",  "7;-0.90;-0.90;12;3;;;",
};

// Off -800 everywhere but metre 5 (-900, protected) and 6 (-1250, over).
inline const std::vector<std::string> kPolarised = {
    "0;-1.10;-0.80;;;;;", "1;-1.10;-0.80;;;;;", "2;-1.10;-0.80;;;;;", "3;-1.10;-0.80;;;;;",
    "4;-1.10;-0.80;;;;;", "5;-1.10;-0.90;;;;;", "6;-1.30;-1.25;;;;;",
};
// Its native survey. E_n - off: 0: -700 → 100 (passes); 1: no off, on -700
// → 100; 2: -710 → 90; 3: not measured; 4: the first of two rows, -800 → 0;
// 5, 6: passes, but protected and over come first.
inline const std::vector<std::string> kPolarisedNative = {
    "0;-0.70;-0.70;;;;;", "1;-0.70;;;;;;",      "2;-0.71;-0.71;;;;;", "4;-0.80;-0.80;;;;;",
    "4;-0.60;-0.60;;;;;", "5;-0.60;-0.60;;;;;", "6;-0.60;-0.60;;;;;",
};

// Spikes 1 m apart, off at -900 and on at -1100 but for: one row (3, off
// and on: one warning), two rows (9-10), three rows below (16-18), four rows
// (24-27: a stretch, no spike), exactly 100 mV (33: none), an on spike (39),
// an on spike after an absent on (43: none). Five level rows between them,
// so that none makes a valley of its neighbours.
inline std::vector<std::string> SpikeLines()
{
    std::vector<std::string> out;
    for (int r = 1; r <= 45; ++r) {
        std::string on = "-1.10", off = "-0.90";
        if (r == 3) on = "-0.95", off = "-0.70";
        if (r == 9) off = "-0.75";
        if (r == 10) off = "-0.76";
        if (r == 16) off = "-1.05";
        if (r == 17) off = "-1.08";
        if (r == 18) off = "-1.02";
        if (r >= 24 && r <= 27) off = "-0.70";
        if (r == 33) off = "-0.80";
        if (r == 39 || r == 43) on = "-1.40";
        if (r == 42) on = "";
        out.push_back(std::to_string(r - 1) + ";" + on + ";" + off + ";;;;;");
    }
    return out;
}

// Measured backwards: metre 97 stands still (order), 99 steps back
// (order), 60 follows a 30 m gap; rows 2-3 have both on gradients below
// zero, row 4 only its left one (no warning), row 5 has only a right one, below.
inline const std::vector<std::string> kBackwards = {
    "100;-1.10;-0.90;1;0;1;0;", "98;-1.10;-0.90;-1;0;-2;0;", "97;-1.10;-0.90;-1;0;-1;0;", "97;-1.10;-0.90;-1;0;1;0;",
    "99;-1.10;-0.90;;;-1;0;",   "90;-1.10;-0.90;1;0;1;0;",   "60;-1.10;-0.90;1;0;1;0;",
};

// 101 points 1 m apart, D 2.0 mV (on 3, off 1 on both sides) but for the
// peaks given as {metre, on gradient left, on gradient right} in mV.
struct SPeak {
    int metre;
    double left, right;
};
inline std::vector<std::string> PeakLines(const std::vector<SPeak>& peaks, const std::string& off = "-0.90")
{
    std::vector<std::string> out;
    for (int m = 0; m <= 100; ++m) {
        std::string left = "3", right = "3";
        for (const SPeak& p : peaks) {
            if (p.metre == m) {
                left = std::to_string(p.left);
                right = std::to_string(p.right);
            }
        }
        out.push_back(std::to_string(m) + ";-1.10;" + off + ";" + left + ";1;" + right + ";1;");
    }
    return out;
}

} // namespace verdictsurveys
