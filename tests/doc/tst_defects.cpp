// SPDX-License-Identifier: GPL-3.0-or-later
// Suspected coating defects as local peaks of the lateral signal, their
// grading by %IR, side and landmark, and the dig list.
#include "surveyopen.h"
#include "verdict.h"
#include "verdictsurveys.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace verdictsurveys;

// row, D, background
using Peak = std::tuple<int, int64_t, double>;
std::vector<Peak> Peaks(const SVerdict& v)
{
    std::vector<Peak> out;
    for (const SCoatingDefect& d : v.defects) out.emplace_back(d.row, d.gradDiff, d.background);
    return out;
}

std::vector<std::string> Landmarks(const SVerdict& v)
{
    std::vector<std::string> out;
    for (const SCoatingDefect& d : v.defects) out.push_back(d.landmark.text);
    return out;
}

// Peaks 15 m apart (20 and 35), a tie within the window (60 and 66) and a
// smaller peak 5 m from a larger one (80, 85), over D 2.0 mV.
const std::vector<SPeak> kPeaks = {{20, 20, 20}, {35, 15, 15}, {60, 16, 16}, {66, 16, 16}, {80, 11, 11}, {85, 13, 13}};

// 1 m apart with D 1.0 mV, and four graded peaks.
// metre 10: left only, D 4.0, |on - off| 60 mV: %IR 6.25 → 6.3, I
// metre 30: right only, D 45.0, 50 mV: 47.37 → 47.4, III; IR-free -890 usable
// metre 50: both sides alike, on = off: no %IR
// metre 70: left larger, D 20.0, 10 mV: 66.67 → 66.7, IV; IR-free usable
std::vector<std::string> GradedLines()
{
    std::vector<std::string> out;
    for (int m = 0; m <= 90; ++m) {
        std::string line = std::to_string(m);
        switch (m) {
        case 10: line += ";-0.96;-0.90;4;0;;;"; break;
        case 30: line += ";-0.95;-0.90;;;50;5;"; break;
        case 50: line += ";-0.90;-0.90;20;2;20;2;"; break;
        case 70: line += ";-0.91;-0.90;30;0;10;0;"; break;
        default: line += ";-1.10;-0.90;1;0;1;0;";
        }
        out.push_back(line);
    }
    return out;
}

} // namespace

TEST(Defects, DemoGivesItsSixPlantedDefects)
{
    CTreDoc demo;
    ASSERT_TRUE(tresimport::OpenSurvey(demo, TRES_SAMPLES_DIR "/demo.tsd"));
    const SVerdict v = AssessProtection(demo);
    EXPECT_EQ(Peaks(v), (std::vector<Peak>{{230, 540, 60},
                                           {742, 225, 40},
                                           {1182, 610, 72.5},
                                           {1396, 195, 70},
                                           {1889, 185, 40},
                                           {2307, 375, 65}}));
}

TEST(Defects, LocalPeaksAboveTheirBackground)
{
    const auto doc = Read(PeakLines(kPeaks));
    SVerdict v = AssessProtection(*doc);
    EXPECT_EQ(Peaks(v), (std::vector<Peak>{{21, 190, 20}, {36, 140, 20}, {61, 150, 20}, {86, 120, 20}}));

    // 5.0 mV everywhere: a high signal, but no peak.
    const auto level = Read(PeakLines({}, "-0.90"));
    for (int r = 1; r <= level->GetRowCount(); ++r) {
        level->SetGradOnL(r, 60);
        level->SetGradOnR(r, 60);
    }
    v = AssessProtection(*level);
    EXPECT_EQ(v.rows[50].gradDiff, 50);
    EXPECT_TRUE(v.defects.empty());

    // Alone, with nothing around for a background, only D_min counts.
    const auto lone = Read({"0;-1.10;-0.90;4;1;;;", "60;-1.10;-0.90;3;1;;;"});
    EXPECT_EQ(Peaks(AssessProtection(*lone)), (std::vector<Peak>{{1, 30, 0}}));
}

TEST(Defects, SwappedElectrodesGiveTheSameDefects)
{
    auto doc = Read(PeakLines(kPeaks));
    const std::vector<Peak> before = Peaks(AssessProtection(*doc));
    for (int r = 1; r <= doc->GetRowCount(); ++r) {
        doc->SetGradOnL(r, -doc->GetGradOnL(r));
        doc->SetGradOffL(r, -doc->GetGradOffL(r));
        doc->SetGradOnR(r, -doc->GetGradOnR(r));
        doc->SetGradOffR(r, -doc->GetGradOffR(r));
    }
    const SVerdict after = AssessProtection(*doc);
    EXPECT_EQ(Peaks(after), before);
    EXPECT_EQ(after.warnings.back().kind, EPlausibility::GradientNegative);
}

TEST(Defects, MedianOfTwoAndTheFactorExactly)
{
    // Around metre 0: D 2.0 and 3.7 mV, a median of 2.85 mV; 2.5 times that
    // is 7.125 mV, so 7.2 mV is a defect and 7.1 mV is not.
    auto doc
        = Read({"0;-1.10;-0.90;7.2;0;;;", "20;-1.10;-0.90;2;0;;;", "40;-1.10;-0.90;3.7;0;;;", "60;-1.10;-0.90;2;0;;;"});
    EXPECT_EQ(Peaks(AssessProtection(*doc)), (std::vector<Peak>{{1, 72, 28.5}}));
    // The same with a far larger D elsewhere, which spreads the values wide.
    const auto wide = Read({"0;-1.10;-0.90;7.2;0;;;", "20;-1.10;-0.90;2;0;;;", "40;-1.10;-0.90;3.7;0;;;",
                            "60;-1.10;-0.90;2;0;;;", "200;-1.10;-0.90;9000;0;;;"});
    EXPECT_EQ(Peaks(AssessProtection(*wide)), (std::vector<Peak>{{1, 72, 28.5}, {5, 90000, 0}}));
    doc->SetGradOnL(1, 71);
    EXPECT_TRUE(AssessProtection(*doc).defects.empty());

    // 11.0 mV over 5.0 is exactly 2.2 times, though 2.2 * 50 is a hair
    // above 110 in binary.
    const auto twice = Read({"0;-1.10;-0.90;11;0;;;", "20;-1.10;-0.90;5;0;;;", "40;-1.10;-0.90;5;0;;;"});
    SVerdictSettings s;
    s.defectFactor = 2.2;
    EXPECT_EQ(Peaks(AssessProtection(*twice, s)), (std::vector<Peak>{{1, 110, 50}}));
}

TEST(Defects, GradedByIRShareWithSideAndPotentials)
{
    const auto doc = Read(GradedLines());
    SVerdict v = AssessProtection(*doc);
    ASSERT_EQ(v.defects.size(), 4u);
    // row, %IR, category, side, potential IR-free, status
    using Grade = std::tuple<int, int32_t, int, std::string, int32_t, std::string>;
    std::vector<Grade> grades;
    for (const SCoatingDefect& d : v.defects)
        grades.emplace_back(d.row, d.irPercentTenths, d.category, DefectSideId(d.side), d.potIRFree,
                            VerdictStatusId(d.status));
    EXPECT_EQ(grades, (std::vector<Grade>{
                          {11, 63, 1, "L", NO_VALUE, "protected"},
                          {31, 474, 3, "R", -890, "protected"},
                          {51, NO_VALUE, 0, "LR", NO_VALUE, "notAssessed"}, // the interrupter did not switch
                          {71, 667, 4, "L", -900, "protected"},
                      }));
    EXPECT_EQ(std::tie(v.defects[0].potOn, v.defects[0].potOff), std::make_tuple(-960, -900));
    EXPECT_STREQ(DefectCategoryName(v.defects[3].category), "IV schwer");

    // The bounds compare with %IR as shown, one decimal.
    SVerdictSettings s;
    s.categories = {6.3, 35, 60};
    EXPECT_EQ(AssessProtection(*doc, s).defects[0].category, 1);
    s.categories = {6.2, 35, 60};
    EXPECT_EQ(AssessProtection(*doc, s).defects[0].category, 2);
}

TEST(Defects, LandmarkInTheSurveysDirection)
{
    auto doc = Read(PeakLines(kPeaks));
    doc->SetComment(16, "Schieber"); // metre 15
    doc->SetComment(41, "Kreuzung"); // metre 40
    doc->SetComment(61, "Mast");     // metre 60, at the defect
    doc->SetComment(81, "Graben");   // metre 80 and 90 around the defect at 85:
    doc->SetComment(91, "Hydrant");  // the lower row
    const std::vector<std::string> forward
        = {"5 m nach „Schieber“", "5 m vor „Kreuzung“", "bei „Mast“", "5 m nach „Graben“"};
    EXPECT_EQ(Landmarks(AssessProtection(*doc)), forward);

    // Measured the other way: the metres fall, "nach" still means further on.
    for (int r = 1; r <= doc->GetRowCount(); ++r) doc->SetMeter(r, 1000 - r);
    EXPECT_EQ(Landmarks(AssessProtection(*doc)), forward);

    // A comment of blanks alone names nothing: the defect at 85 keeps "Graben".
    doc->SetComment(86, "  \t");
    EXPECT_EQ(Landmarks(AssessProtection(*doc)), forward);

    // A comment at two places carries its own; the same comment twice at
    // one place is one place.
    doc->SetComment(3, "MAST "); // metre 2 (985 as measured backwards)
    doc->SetComment(92, "Hydrant");
    EXPECT_EQ(Landmarks(AssessProtection(*doc)), (std::vector<std::string>{"5 m nach „Schieber“", "5 m vor „Kreuzung“",
                                                                           "bei „Mast“ (939 m)", "5 m nach „Graben“"}));
    doc->SetComment(3, "");
    doc->SetMeter(62, 939); // the defect's place, twice
    doc->SetComment(62, "Mast");
    EXPECT_EQ(Landmarks(AssessProtection(*doc)), forward);
    doc->SetComment(62, "");
    doc->SetComment(100, "Schieber");
    EXPECT_EQ(Landmarks(AssessProtection(*doc))[0], "5 m nach „Schieber“ bei 984 m");

    for (int r = 1; r <= doc->GetRowCount(); ++r) doc->SetComment(r, "");
    const SVerdict none = AssessProtection(*doc);
    ASSERT_EQ(none.defects.size(), 4u);
    EXPECT_FALSE(none.defects[0].landmark.found);
    EXPECT_EQ(none.defects[0].landmark.text, "");
}

TEST(DigList, OrderAndActions)
{
    auto defect = [](int row, int category, EVerdictStatus status, int32_t ir, bool marginal = false) {
        SCoatingDefect d;
        d.row = row;
        d.category = category;
        d.status = status;
        d.irPercentTenths = ir;
        d.marginal = marginal;
        return d;
    };
    using S = EVerdictStatus;
    const std::vector<SCoatingDefect> defects = {
        defect(1, 0, S::NotAssessed, NO_VALUE),
        defect(2, 1, S::Unprotected, 100),
        defect(3, 2, S::Protected, 300),
        defect(4, 2, S::Unprotected, 200),
        defect(5, 3, S::Protected, 400),
        defect(6, 4, S::Protected, 700),
        defect(7, 4, S::Over, 610),
        defect(8, 4, S::Unprotected, 650),
        defect(9, 3, S::Protected, 500),
        defect(10, 3, S::Protected, 500),
        defect(11, 2, S::Protected100, 300),
        defect(12, 2, S::NotAssessed, 300),
        defect(13, 2, S::Protected, 200, true),
        defect(14, 1, S::Protected100, 120, true),
        defect(15, 1, S::Over, 130),
        defect(16, 0, S::Unprotected, NO_VALUE),
    };
    // row, action
    std::vector<std::pair<int, std::string>> list;
    const std::vector<SDigItem> dig = DigList(defects);
    for (size_t i = 0; i < dig.size(); ++i) {
        EXPECT_EQ(dig[i].priority, static_cast<int>(i) + 1);
        list.emplace_back(defects[static_cast<size_t>(dig[i].defect)].row, DigActionName(dig[i].action));
    }
    EXPECT_EQ(list, (std::vector<std::pair<int, std::string>>{
                        {8, "umgehend aufgraben"}, // IV: not protected, over, then protected
                        {7, "umgehend aufgraben"},
                        {6, "umgehend aufgraben"},
                        {9, "Aufgrabung planen"}, // III: %IR descending, then row
                        {10, "Aufgrabung planen"},
                        {5, "Aufgrabung planen"},
                        {4, "umgehend aufgraben"},  // II at a point not protected
                        {13, "umgehend aufgraben"}, // and at one only just protected, listed with them
                        {12, "nachmessen"},
                        {11, "bei nächster Messung beobachten"},
                        {3, "bei nächster Messung beobachten"},
                        {2, "Schutz nachstellen und nachmessen"}, // I where the protection does not reach
                        {14, "Schutz nachstellen und nachmessen"},
                        {15, "keine Maßnahme"},
                        {16, "nicht einstufbar"},
                        {1, "nachmessen"},
                    }));
}

TEST(DigList, ActionForEveryCategoryAndStatus)
{
    // Category 0..IV across; the statuses in the order the report lists them,
    // then the two protected ones when only just.
    using S = EVerdictStatus;
    const std::vector<std::tuple<S, bool, std::vector<std::string>>> table = {
        {S::Unprotected, false, {"notGraded", "adjustProtection", "digNow", "digNow", "digNow"}},
        {S::Over, false, {"notGraded", "noAction", "observe", "planDig", "digNow"}},
        {S::NotAssessed, false, {"remeasure", "remeasure", "remeasure", "remeasure", "remeasure"}},
        {S::Protected100, false, {"notGraded", "noAction", "observe", "planDig", "digNow"}},
        {S::Protected, false, {"notGraded", "noAction", "observe", "planDig", "digNow"}},
        {S::Protected100, true, {"notGraded", "adjustProtection", "digNow", "digNow", "digNow"}},
        {S::Protected, true, {"notGraded", "adjustProtection", "digNow", "digNow", "digNow"}},
        {S::Unprotected, true, {"notGraded", "adjustProtection", "digNow", "digNow", "digNow"}},
    };
    for (const auto& [status, marginal, actions] : table) {
        std::vector<std::string> got;
        for (int category = 0; category <= 4; ++category)
            got.emplace_back(DigActionId(DigActionFor(category, status, marginal)));
        EXPECT_EQ(got, actions) << VerdictStatusId(status) << (marginal ? " marginal" : "");
    }
    EXPECT_STREQ(DigActionName(EDigAction::AdjustProtection), "Schutz nachstellen und nachmessen");
    EXPECT_STREQ(DigActionName(EDigAction::Remeasure), "nachmessen");
}

TEST(Defects, DemoActionsWhereTheProtectionDoesNotReach)
{
    // Entry 3 (2306 m, IR-free -850 mV at E_p) and 6 (1395 m, -860 mV) are
    // only just protected; entries 4 and 5 stand where it is not.
    CTreDoc demo;
    ASSERT_TRUE(tresimport::OpenSurvey(demo, TRES_SAMPLES_DIR "/demo.tsd"));
    const SVerdict v = AssessProtection(demo);
    std::vector<std::tuple<int32_t, bool, std::string>> list;
    for (const SDigItem& item : v.digList) {
        const SCoatingDefect& d = v.defects[static_cast<size_t>(item.defect)];
        list.emplace_back(d.metre, d.marginal, DigActionName(item.action));
    }
    EXPECT_EQ(list, (std::vector<std::tuple<int32_t, bool, std::string>>{
                        {1181, false, "umgehend aufgraben"},
                        {229, false, "umgehend aufgraben"},
                        {2306, true, "umgehend aufgraben"},
                        {741, false, "Schutz nachstellen und nachmessen"},
                        {1888, false, "Schutz nachstellen und nachmessen"},
                        {1395, true, "Schutz nachstellen und nachmessen"},
                    }));
    SVerdictSettings tight;
    tight.margin = 0;
    EXPECT_EQ(DigActionName(AssessProtection(demo, tight).digList[5].action), std::string("keine Maßnahme"));
}

// 151 points 1 m apart, D 2.0 mV, |on - off| 200 mV; metres 10-60 read with
// an interrupter out of step (|on - off| 20 mV, off gradients equal to the
// on gradients: D 0) but for metre 35, whose D is 20.0 mV; metre 62 just
// after them has D 4.0 mV.
std::unique_ptr<CTreDoc> OutOfStepPeaks()
{
    std::vector<std::string> out;
    for (int m = 0; m <= 150; ++m) {
        std::string line = std::to_string(m);
        if (m >= 10 && m <= 60) line += m == 35 ? ";-0.92;-0.90;21;1;21;1;" : ";-0.92;-0.90;3;3;3;3;";
        else line += m == 62 ? ";-1.10;-0.90;5;1;5;1;" : ";-1.10;-0.90;3;1;3;1;";
        out.push_back(line);
    }
    return Read(out);
}

TEST(Defects, NoneWhereTheInterrupterIsOutOfStep)
{
    // Neither the peak in the stretch nor one that its D of 0 would make
    // of metre 62 by pulling its background down to 1.0 mV.
    const auto doc = OutOfStepPeaks();
    const SVerdict v = AssessProtection(*doc);
    EXPECT_EQ(v.rows[35].validity, EValidity::IRDropSmall);
    EXPECT_TRUE(v.defects.empty());
}

// Two days: metres 0-100, then the counter reset to 0 for 0-100 again. The
// first day's D is 5.0 mV with "Schieber" at 50 m; the second's 1.0 mV with
// "Mast" at 10 m and a peak of 4.0 mV at 48 m.
std::unique_ptr<CTreDoc> TwoDays()
{
    std::vector<std::string> out;
    for (int m = 0; m <= 100; ++m)
        out.push_back(std::to_string(m) + ";-1.10;-0.90;6;1;6;1;" + (m == 50 ? "Schieber" : ""));
    for (int m = 0; m <= 100; ++m)
        out.push_back(std::to_string(m) + ";-1.10;-0.90;" + (m == 48 ? "5;1;5;1;" : "2;1;2;1;")
                      + (m == 10 ? "Mast" : ""));
    return Read(out);
}

TEST(Defects, SoughtAndPlacedWithinOneCounterRun)
{
    const auto doc = TwoDays();
    const SVerdict v = AssessProtection(*doc);
    EXPECT_EQ(Peaks(v), (std::vector<Peak>{{150, 40, 10}}));
    EXPECT_EQ(Landmarks(v), std::vector<std::string>{"38 m nach „Mast“"});
}
