// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment: criteria runs, suspected defects with their landmarks,
// plausibility warnings and the summary, on the worked surveys.
#include "assessment.h"
#include "assesssurveys.h"
#include "docfixture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace assesssurveys;

// A survey read from its file text, as the program and the tool get it.
class CSurvey {
public:
    explicit CSurvey(const std::vector<std::string>& lines, const std::string& criterion = "-850 mV")
    {
        EXPECT_TRUE(ReadText(doc, Text(criterion, lines)));
    }
    CTreDoc doc;
};

using Span = std::tuple<int, int>; // first and last row

std::vector<Span> Indications(const SAssessment& a, ECriterion c)
{
    std::vector<Span> out;
    for (const SIndication& i : a.indications)
        if (i.criterion == c) out.emplace_back(i.firstRow, i.lastRow);
    return out;
}

// fromMetre, toMetre, rows, length, worst, worstMetre
using Stretch = std::tuple<int32_t, int32_t, int, int64_t, int32_t, int32_t>;
Stretch RunOf(const SIndication& i) { return {i.fromMetre, i.toMetre, i.rows, i.length, i.worst, i.worstMetre}; }

// row, metre, gradDiff, gradOn, gradOff, potOn, potOff, potIRFree
using Values = std::tuple<int, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>;
Values ValuesOf(const SDefect& d)
{
    return {d.row, d.metre, d.gradDiff, d.gradOn, d.gradOff, d.potOn, d.potOff, d.potIRFree};
}

std::vector<Span> Warnings(const SAssessment& a, EWarning kind)
{
    std::vector<Span> out;
    for (const SWarning& w : a.warnings)
        if (w.kind == kind) out.emplace_back(w.firstRow, w.lastRow);
    return out;
}

} // namespace

TEST(AssessCriterion, ReadFromHeaderEntryTwoTruncatedTowardZero)
{
    EXPECT_EQ(CriterionFromHeaderText("-850 mV"), -850);
    EXPECT_EQ(CriterionFromHeaderText("-900 mV"), -900);
    EXPECT_EQ(CriterionFromHeaderText("  -850.9 mV"), -850);
    EXPECT_EQ(CriterionFromHeaderText("-0.9"), 0);
    EXPECT_EQ(CriterionFromHeaderText(".5"), 0);
    EXPECT_EQ(CriterionFromHeaderText("-750"), -750);
}

TEST(AssessCriterion, TextWithoutNumberGivesMinus850)
{
    for (const char* text : {"", "kein Kriterium", "-", ".", "- 850", "mV -850", "1e99"})
        EXPECT_EQ(CriterionFromHeaderText(text), -850) << '"' << text << '"';
}

TEST(AssessCriterion, SurveyCriterionIsTheDefaultLimitOfOffAndIRFree)
{
    // Row 6 has potential off -790: above -850 and above -800, not above -780.
    CSurvey s800(kCriteria, "-800 mV");
    SAssessment a = Assess(s800.doc);
    EXPECT_EQ(a.criteria[0].limit, -800);
    EXPECT_EQ(a.criteria[1].limit, -800);
    EXPECT_EQ(a.criteria[2].limit, -1200);
    EXPECT_EQ(a.criteria[3].limit, 50);
    EXPECT_EQ(Indications(a, ECriterion::Off), (std::vector<Span>{{6, 7}}));

    CSurvey none(kCriteria, "ohne");
    a = Assess(none.doc);
    EXPECT_EQ(a.criteria[0].limit, -850);
    EXPECT_EQ(Indications(a, ECriterion::Off).size(), 3u);

    SAssessSettings settings;
    settings[ECriterion::Off].limit = -780;
    a = Assess(s800.doc, settings);
    EXPECT_EQ(a.criteria[0].limit, -780);
    EXPECT_EQ(a.criteria[1].limit, -800); // IR-free still follows the survey
    EXPECT_TRUE(Indications(a, ECriterion::Off).empty());
}

TEST(AssessIndications, RunsOfOffPotentialAboveTheCriterion)
{
    CSurvey s(kCriteria);
    const SAssessment a = Assess(s.doc);
    ASSERT_EQ(Indications(a, ECriterion::Off), (std::vector<Span>{{1, 2}, {4, 4}, {6, 7}}));
    EXPECT_EQ(RunOf(a.indications[0]), (Stretch{0, 2, 2, 2, -800, 0})); // ended by the absent value of row 3
    EXPECT_EQ(RunOf(a.indications[1]), (Stretch{6, 6, 1, 0, -810, 6}));
    EXPECT_EQ(RunOf(a.indications[2]), (Stretch{10, 13, 2, 3, -790, 10})); // -790 in rows 6 and 7: the first counts
    EXPECT_EQ(a.indications[2].worstRow, 6);
}

TEST(AssessIndications, OverProtectionTakesTheSmallestValue)
{
    CSurvey s(kCriteria);
    const SAssessment a = Assess(s.doc);
    ASSERT_EQ(Indications(a, ECriterion::Over), (std::vector<Span>{{9, 10}})); // -1200 in row 11 is no failure
    EXPECT_EQ(RunOf(a.indications.back()), (Stretch{17, 19, 2, 2, -1260, 19}));
}

TEST(AssessIndications, IRFreeUsesTheDocumentsValueAndStopsWhereItIsAbsent)
{
    CSurvey s(kIRFree);
    ASSERT_EQ(s.doc.GetPotIRFree(1), -800);
    ASSERT_EQ(s.doc.GetPotIRFree(4), -820);
    const SAssessment a = Assess(s.doc);
    EXPECT_TRUE(Indications(a, ECriterion::Off).empty());
    ASSERT_EQ(Indications(a, ECriterion::IRFree), (std::vector<Span>{{1, 1}, {3, 4}}));
    EXPECT_EQ(a.indications[1].worst, -800);
    EXPECT_EQ(a.indications[1].worstMetre, 2);
}

TEST(AssessIndications, ListedByCriterionThenRowAndOnlyWhenEnabled)
{
    CSurvey s(kCriteria);
    SAssessment a = Assess(s.doc);
    ASSERT_EQ(a.indications.size(), 4u);
    EXPECT_EQ(a.indications[2].criterion, ECriterion::Off);
    EXPECT_EQ(a.indications[3].criterion, ECriterion::Over);

    SAssessSettings settings;
    settings[ECriterion::Off].enabled = false;
    a = Assess(s.doc, settings);
    EXPECT_FALSE(a.criteria[0].enabled);
    EXPECT_EQ(a.criteria[0].limit, -850); // still shown with its limit
    ASSERT_EQ(a.indications.size(), 1u);
    EXPECT_EQ(a.indications[0].criterion, ECriterion::Over);
    EXPECT_EQ(a.summary.indicationCount[0], 0);
    EXPECT_EQ(a.summary.indicationLength[0], 0);
}

TEST(AssessDefects, WorstRowOfEachGradientRunWithItsValues)
{
    CSurvey s(kDefects);
    const SAssessment a = Assess(s.doc);
    ASSERT_EQ(Indications(a, ECriterion::GradDiff), (std::vector<Span>{{2, 3}, {5, 5}, {7, 9}}));
    ASSERT_EQ(a.defects.size(), 3u);
    EXPECT_EQ(ValuesOf(a.defects[0]), (Values{3, 20, 70, 90, 20, -1200, -950, -870}));
    // Exactly at the limit fails; without a potential on the IR-free value stays absent.
    EXPECT_EQ(ValuesOf(a.defects[1]), (Values{5, 40, 50, 90, 40, NO_VALUE, -950, NO_VALUE}));
    // Rows 7 and 8 share the worst value 8.0 mV: the first one is the defect.
    EXPECT_EQ(a.defects[2].row, 7);
    EXPECT_EQ(a.defects[2].metre, 60);
    EXPECT_EQ(a.indications.back().worstMetre, 60);
}

TEST(AssessDefects, NearestLandmarkWithSignedDistance)
{
    CSurvey s(kDefects);
    const SAssessment a = Assess(s.doc);
    ASSERT_EQ(a.defects.size(), 3u);
    const SLandmark& before = a.defects[0].landmark; // metre 20: 0 is nearer than 50
    EXPECT_TRUE(before.found);
    EXPECT_EQ(std::tie(before.comment, before.row, before.metre, before.distance),
              std::make_tuple("Schieber", 1, 0, -20));
    const SLandmark& after = a.defects[1].landmark; // metre 40
    EXPECT_EQ(std::tie(after.comment, after.distance), std::make_tuple("Kreuzung", 10));
}

TEST(AssessDefects, LandmarkTieGoesToTheLowerRowNumber)
{
    // Forward: the lower row is the one behind the defect.
    CSurvey forward(kDefects);
    SAssessment a = Assess(forward.doc);
    EXPECT_EQ(a.defects[2].landmark.comment, "Kreuzung"); // 50 m and 70 m around 60 m
    EXPECT_EQ(a.defects[2].landmark.distance, -10);
    // Backwards: the lower row is the one ahead of it.
    CSurvey reversed(kReversed);
    a = Assess(reversed.doc);
    ASSERT_EQ(a.defects.size(), 1u);
    EXPECT_EQ(a.defects[0].landmark.comment, "A");
    EXPECT_EQ(a.defects[0].landmark.row, 1);
    EXPECT_EQ(a.defects[0].landmark.distance, 10);
    // Two comments at the same metre: the lower row again.
    reversed.doc.SetComment(3, "C");
    reversed.doc.SetComment(7, "D");
    reversed.doc.SetMeter(7, 90);
    a = Assess(reversed.doc);
    EXPECT_EQ(a.defects[0].landmark.comment, "C");
    EXPECT_EQ(a.defects[0].landmark.distance, 0);
}

TEST(AssessDefects, NoLandmarkWithoutCommentsAndNoDefectsWhenSwitchedOff)
{
    CSurvey s(kDefects);
    for (int r = 1; r <= s.doc.GetRowCount(); ++r) s.doc.SetComment(r, "");
    SAssessment a = Assess(s.doc);
    ASSERT_EQ(a.defects.size(), 3u);
    for (const SDefect& d : a.defects) EXPECT_FALSE(d.landmark.found);

    SAssessSettings settings;
    settings[ECriterion::GradDiff].enabled = false;
    a = Assess(s.doc, settings);
    EXPECT_TRUE(a.defects.empty());
    EXPECT_EQ(a.summary.defectCount, 0);
}

TEST(AssessDefects, GradientLimitInTenths)
{
    CSurvey s(kDefects);
    SAssessSettings settings;
    settings[ECriterion::GradDiff].limit = 71; // 7.1 mV: only the 8.0 mV rows
    const SAssessment a = Assess(s.doc, settings);
    EXPECT_EQ(Indications(a, ECriterion::GradDiff), (std::vector<Span>{{7, 8}}));
}

TEST(AssessWarnings, NoneOnACleanSurvey)
{
    CSurvey s(kCriteria);
    EXPECT_TRUE(Assess(s.doc).warnings.empty());
}

TEST(AssessWarnings, OffBelowOnAndOnEqualsOffAsRuns)
{
    CSurvey s(kOnOff);
    const SAssessment a = Assess(s.doc);
    EXPECT_EQ(Warnings(a, EWarning::OffBelowOn), (std::vector<Span>{{1, 2}, {7, 7}}));
    EXPECT_EQ(Warnings(a, EWarning::OnEqualsOff), (std::vector<Span>{{3, 4}, {6, 6}}));
    ASSERT_EQ(a.warnings.size(), 4u);
    EXPECT_EQ(a.warnings[0].kind, EWarning::OffBelowOn); // by kind first, then row
    EXPECT_EQ(a.warnings[1].firstRow, 7);
    EXPECT_EQ(a.warnings[2].fromMetre, 2);
    EXPECT_EQ(a.warnings[2].toMetre, 3);
}

TEST(AssessWarnings, SpikesOnOffThenOnOncePerRow)
{
    CSurvey s(kSpikes);
    SAssessment a = Assess(s.doc);
    EXPECT_EQ(Warnings(a, EWarning::Spike), (std::vector<Span>{{2, 2}, {5, 5}, {8, 8}, {11, 11}}));
    EXPECT_EQ(a.warnings.size(), 4u);

    SAssessSettings settings;
    settings.spike = 150; // row 11 stands out by 110 only
    a = Assess(s.doc, settings);
    EXPECT_EQ(Warnings(a, EWarning::Spike), (std::vector<Span>{{2, 2}, {5, 5}, {8, 8}}));
}

TEST(AssessWarnings, SpikeNeedsBothNeighboursPresent)
{
    CSurvey s(kSpikes);
    // Row 19 (-0.20 between an absent value and -0.50): one more spike once
    // row 18 gets its value.
    s.doc.SetPotOff(18, -500);
    const SAssessment a = Assess(s.doc);
    EXPECT_EQ(Warnings(a, EWarning::Spike).back(), (Span{19, 19}));
}

TEST(AssessWarnings, MetreOrderFollowsTheSurveysDirection)
{
    CSurvey reversed(kReversed);
    SAssessment a = Assess(reversed.doc);
    EXPECT_EQ(Warnings(a, EWarning::MetreOrder), (std::vector<Span>{{3, 3}, {4, 4}}));

    // First and last metre equal: counted as forward.
    CTreDoc doc;
    MakeRows(doc, {5, 6, 5});
    a = Assess(doc);
    EXPECT_EQ(Warnings(a, EWarning::MetreOrder), (std::vector<Span>{{3, 3}}));
    MakeRows(doc, {5, 4, 5});
    a = Assess(doc);
    EXPECT_EQ(Warnings(a, EWarning::MetreOrder), (std::vector<Span>{{2, 2}}));
}

TEST(AssessWarnings, GapLongerThanTheSetting)
{
    CSurvey reversed(kReversed);
    SAssessment a = Assess(reversed.doc);
    EXPECT_EQ(Warnings(a, EWarning::Gap), (std::vector<Span>{{5, 5}, {6, 6}, {7, 7}}));
    EXPECT_EQ(a.warnings.back().fromMetre, 25);

    SAssessSettings settings;
    settings.gap = 25;
    a = Assess(reversed.doc, settings);
    EXPECT_EQ(Warnings(a, EWarning::Gap), (std::vector<Span>{{7, 7}}));
    // Kinds in their order: the metre order before the gaps.
    EXPECT_EQ(a.warnings.front().kind, EWarning::MetreOrder);
}

TEST(AssessSummary, LengthsCountsAndTotals)
{
    CSurvey criteria(kCriteria);
    SAssessment a = Assess(criteria.doc);
    EXPECT_EQ(a.summary.surveyLength, 21);
    EXPECT_EQ(a.summary.indicationCount, (std::array<int, 4>{3, 0, 1, 0}));
    EXPECT_EQ(a.summary.indicationLength, (std::array<int64_t, 4>{5, 0, 2, 0}));
    EXPECT_EQ(a.summary.defectCount, 0);

    CSurvey defects(kDefects);
    a = Assess(defects.doc);
    EXPECT_EQ(a.summary.indicationCount[3], 3);
    EXPECT_EQ(a.summary.indicationLength[3], 10 + 0 + 8);
    EXPECT_EQ(a.summary.defectCount, 3);

    CSurvey reversed(kReversed);
    a = Assess(reversed.doc);
    EXPECT_EQ(a.summary.surveyLength, 75);
    EXPECT_EQ(a.summary.warningCount, (std::array<int, 5>{0, 0, 0, 2, 3}));
}

TEST(AssessSummary, TinySurveysAssessWithoutWarnings)
{
    CTreDoc doc;
    MakeRows(doc, {});
    SAssessment a = Assess(doc);
    EXPECT_EQ(a.summary.surveyLength, 0);
    EXPECT_TRUE(a.warnings.empty());
    MakeRows(doc, {7});
    doc.SetPotOff(1, -500);
    a = Assess(doc);
    EXPECT_EQ(Indications(a, ECriterion::Off), (std::vector<Span>{{1, 1}}));
    EXPECT_TRUE(a.warnings.empty());
}

TEST(AssessSummary, ExtremeMetresDoNotOverflow)
{
    CTreDoc doc;
    MakeRows(doc, {-2'000'000'000, 2'000'000'000});
    doc.SetPotOff(1, -500);
    doc.SetPotOff(2, -500);
    const SAssessment a = Assess(doc);
    EXPECT_EQ(a.summary.surveyLength, 4'000'000'000LL);
    ASSERT_EQ(a.indications.size(), 1u);
    EXPECT_EQ(a.indications[0].length, 4'000'000'000LL);
    EXPECT_EQ(Warnings(a, EWarning::Gap), (std::vector<Span>{{2, 2}}));
}

// Rows without a metre (9999999 in the file) are no position: they fail
// nothing, mark no landmark, raise no warning and count for no length, so a
// survey from 0 to 20 m is 20 m long whatever rows without a metre it has.
TEST(AssessSummary, RowsWithoutAMetreAreSetAside)
{
    CSurvey survey({
        "9999999;-1.00;-0.70;9;1;;;vorn",
        "0;-1.00;-0.80;9;1;;;",
        "9999999;-1.00;-0.70;9;1;;;",
        "10;-1.00;-0.80;;;;;",
        "20;-1.00;-0.90;;;;;Schieber",
        "9999999;-1.00;-0.60;;;;;hinten",
    });
    const SAssessment a = Assess(survey.doc);
    EXPECT_EQ(a.summary.surveyLength, 20);
    EXPECT_EQ(Indications(a, ECriterion::Off), (std::vector<Span>{{2, 2}, {4, 4}}));
    EXPECT_EQ(a.summary.indicationLength[0], 0);
    ASSERT_EQ(a.defects.size(), 1u);
    EXPECT_EQ(a.defects[0].row, 2);
    EXPECT_EQ(a.defects[0].landmark.row, 5);
    EXPECT_EQ(a.defects[0].landmark.distance, 20);
    EXPECT_TRUE(a.warnings.empty());
}
