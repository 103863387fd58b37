// SPDX-License-Identifier: GPL-3.0-or-later
// The protection assessment point by point: validity, the IR-free potential
// it may use, the statuses, the length each point stands for, the stretches
// and shares, and the plausibility warnings, on the worked surveys.
#include "verdict.h"
#include "verdictsurveys.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

using namespace verdictsurveys;

std::vector<std::string> Statuses(const SVerdict& v)
{
    std::vector<std::string> out;
    for (const SVerdictRow& r : v.rows) out.emplace_back(VerdictStatusId(r.status));
    return out;
}

// firstRow, lastRow, rows, length, worst, worstMetre, comments
using Stretch = std::tuple<std::string, int, int, int, double, int32_t, int32_t, std::string>;
std::vector<Stretch> Stretches(const SVerdict& v)
{
    std::vector<Stretch> out;
    for (const SVerdictStretch& s : v.stretches)
        out.emplace_back(VerdictStatusId(s.status), s.firstRow, s.lastRow, s.rows, s.length, s.worst, s.worstMetre,
                         s.comments);
    return out;
}

using Span = std::tuple<int, int>;
std::vector<Span> Warnings(const SVerdict& v, EPlausibility kind)
{
    std::vector<Span> out;
    for (const SPlausibilityWarning& w : v.warnings)
        if (w.kind == kind) out.emplace_back(w.firstRow, w.lastRow);
    return out;
}

constexpr int32_t N = NO_VALUE;

} // namespace

TEST(Verdict, ValidityDecidesWhatIsAssessed)
{
    const auto doc = Read(kValidity);
    const SVerdict v = AssessProtection(*doc);
    const std::vector<EValidity> validity = {
        EValidity::Valid,      EValidity::OffMissing, EValidity::Positive, EValidity::Positive, EValidity::OnEqualsOff,
        EValidity::OffBelowOn, EValidity::Valid,      EValidity::Valid,    EValidity::Valid,    EValidity::Valid,
    };
    for (size_t i = 0; i < validity.size(); ++i) EXPECT_EQ(v.rows[i].validity, validity[i]) << "row " << i + 1;
    EXPECT_EQ(Statuses(v),
              (std::vector<std::string>{"unprotected", "notAssessed", "notAssessed", "notAssessed", "notAssessed",
                                        "notAssessed", "protected", "over", "protected", "protected"}));
    // E* and its basis; none for rows not assessed.
    EXPECT_EQ(std::tie(v.rows[0].basis, v.rows[0].value), std::make_tuple(EVerdictBasis::Off, -800));
    EXPECT_EQ(std::tie(v.rows[4].basis, v.rows[4].value), std::make_tuple(EVerdictBasis::None, N));
    EXPECT_EQ(v.rows[7].value, -1250);

    // The limits move the boundaries: E_l -1250 is not undercut by -1250.
    SVerdictSettings s;
    s.protectionPotential = -950;
    s.limitPotential = -1250;
    const SVerdict moved = AssessProtection(*doc, s);
    EXPECT_EQ(Statuses(moved)[6], "protected");   // -950
    EXPECT_EQ(Statuses(moved)[7], "protected");   // -1250
    EXPECT_EQ(Statuses(moved)[9], "unprotected"); // -850
    EXPECT_EQ(moved.criterion.source, ECriterionSource::Option);
}

TEST(Verdict, IRFreePotentialOnlyWhereTheLateralSignalCarriesIt)
{
    const auto doc = Read(kIRFree);
    SVerdict v = AssessProtection(*doc);
    std::vector<bool> usable;
    std::vector<int32_t> value;
    for (const SVerdictRow& r : v.rows) {
        usable.push_back(r.irfreeUsable);
        value.push_back(r.value);
        EXPECT_EQ(r.basis == EVerdictBasis::IRFree, r.irfreeUsable);
    }
    EXPECT_EQ(usable, (std::vector<bool>{true, false, false, true, true, false, false, false}));
    EXPECT_EQ(value, (std::vector<int32_t>{-800, -900, -900, -700, -700, -900, -900, N}));
    EXPECT_EQ(v.rows[0].gradDiff, 90);
    EXPECT_EQ(v.rows[4].gradDiff, 50); // negated gradients, the same signal
    EXPECT_EQ(Statuses(v)[0], "unprotected");
    EXPECT_EQ(Statuses(v)[1], "protected");

    SVerdictSettings s;
    s.irfreeMinDiff = 20;   // row 2 (3.0 mV) passes now
    s.irfreeMaxRatio = 0.9; // row 3 (25/30) too
    v = AssessProtection(*doc, s);
    EXPECT_TRUE(v.rows[1].irfreeUsable);
    EXPECT_TRUE(v.rows[2].irfreeUsable);
}

TEST(Verdict, HundredMillivoltCriterionAgainstTheNativeSurvey)
{
    const auto doc = Read(kPolarised), native = Read(kPolarisedNative);
    EXPECT_EQ(Statuses(AssessProtection(*doc, {}, native.get())),
              (std::vector<std::string>{"protected100", "protected100", "unprotected", "unprotected", "unprotected",
                                        "protected", "over"}));
    EXPECT_EQ(Statuses(AssessProtection(*doc))[0], "unprotected");
    SVerdictSettings off;
    off.use100mV = false;
    EXPECT_EQ(Statuses(AssessProtection(*doc, off, native.get()))[0], "unprotected");

    // A section may admit it where the settings do not, and refuse it.
    SRowOverrides sections;
    sections.allow100mV = {1, 0, -1, -1, -1, -1, -1};
    EXPECT_EQ(Statuses(AssessProtection(*doc, off, native.get(), &sections))[0], "protected100");
    EXPECT_EQ(Statuses(AssessProtection(*doc, {}, native.get(), &sections))[1], "unprotected");
}

TEST(Verdict, EachPointCountsForItsZoneOfInfluence)
{
    const auto doc = Read(kLengths);
    const SVerdict v = AssessProtection(*doc);
    std::vector<double> weights;
    for (const SVerdictRow& r : v.rows) weights.push_back(r.weight);
    EXPECT_EQ(weights, (std::vector<double>{0.5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 5.5, 5.5, 0.5}));

    EXPECT_EQ(Stretches(v), (std::vector<Stretch>{
                                {"protected", 1, 5, 5, 4.5, N, N, ""},
                                {"unprotected", 6, 6, 1, 1.0, -800, 5, ""}, // a single point: 1 m, not 0
                                {"protected", 7, 12, 6, 15.0, N, N, ""},
                                {"notAssessed", 13, 13, 1, 0.5, N, N, "Kreuzung"},
                            }));
    EXPECT_EQ(v.coverage.totalLength, 21);
    EXPECT_EQ(v.coverage.assessedLength, 20.5);
    EXPECT_EQ(v.coverage.notAssessedLength, 0.5);
    EXPECT_EQ(v.coverage.gapLength, 20);
    EXPECT_EQ(v.surveyLength, 41);
    // The surveyed stretch includes the gap: 20.5 m of 41 m assessed.
    EXPECT_EQ(v.coverage.surveyedLength, 41);
    EXPECT_EQ(v.coverage.assessedShareOfSurveyedTenths, 500);
    EXPECT_EQ(AssessedShareTenths(v.coverage, 82), 250); // e.g. a route between its outermost ties
    EXPECT_EQ(AssessedShareTenths(v.coverage, 0), N);

    // Shares of the assessed length, "not assessed" of the total.
    const auto share = [&](EVerdictStatus s) { return v.statuses[static_cast<size_t>(s)].shareTenths; };
    EXPECT_EQ(share(EVerdictStatus::Protected), 951);  // 19.5 / 20.5 = 95.12 %
    EXPECT_EQ(share(EVerdictStatus::Unprotected), 49); // 4.88 %
    EXPECT_EQ(share(EVerdictStatus::Over), 0);
    EXPECT_EQ(share(EVerdictStatus::NotAssessed), 24); // 0.5 / 21 = 2.38 %
    EXPECT_EQ(v.statuses[static_cast<size_t>(EVerdictStatus::Protected)].stretches, 2);
    EXPECT_EQ(v.statuses[static_cast<size_t>(EVerdictStatus::Protected)].length, 19.5);

    SVerdictSettings wide;
    wide.gap = 30;
    const SVerdict w = AssessProtection(*doc, wide);
    EXPECT_EQ(w.coverage.totalLength, 41);
    EXPECT_EQ(w.coverage.gapLength, 0);
}

TEST(Verdict, SharesRoundHalfAwayFromZeroAndAreNullWithoutBase)
{
    // 1 m of 80 m is 1.25 %: 1.3, not 1.2.
    std::vector<std::string> lines;
    for (int m = 0; m <= 80; ++m)
        lines.push_back(std::to_string(m) + (m == 40 ? ";-1.10;-0.80;;;;;" : ";-1.10;-0.90;;;;;"));
    const auto doc = Read(lines);
    SVerdict v = AssessProtection(*doc);
    EXPECT_EQ(v.statuses[static_cast<size_t>(EVerdictStatus::Unprotected)].shareTenths, 13);
    EXPECT_EQ(v.statuses[static_cast<size_t>(EVerdictStatus::Protected)].shareTenths, 988);

    // Nothing assessed: the four shares of the assessed length are null.
    const auto none = Read({"0;-1.10;;;;;;", "1;-1.10;;;;;;"});
    v = AssessProtection(*none);
    EXPECT_EQ(v.statuses[static_cast<size_t>(EVerdictStatus::Protected)].shareTenths, N);
    EXPECT_EQ(v.statuses[static_cast<size_t>(EVerdictStatus::NotAssessed)].shareTenths, 1000);
    EXPECT_EQ(ShareTenths(1, 0), N);
}

TEST(Verdict, WorstValueOfAStretchAndItsFirstMetre)
{
    const auto doc = Read({"0;-1.30;-0.80;;;;;", "1;-1.30;-0.70;;;;;", "2;-1.30;-0.70;;;;;", "3;-1.40;-1.25;;;;;",
                           "4;-1.40;-1.30;;;;;", "5;-1.40;-1.30;;;;;", "6;-1.40;-1.21;;;;;"});
    const SVerdict v = AssessProtection(*doc);
    ASSERT_EQ(v.stretches.size(), 2u);
    EXPECT_EQ(std::tie(v.stretches[0].worst, v.stretches[0].worstMetre), std::make_tuple(-700, 1));
    EXPECT_EQ(std::tie(v.stretches[1].worst, v.stretches[1].worstMetre), std::make_tuple(-1300, 4));
}

TEST(Verdict, RowsWithoutMetreAreSetAside)
{
    auto doc = Read(kLengths);
    doc->SetMeter(2, NO_VALUE);
    doc->SetMeter(6, NO_VALUE); // the failing point
    const SVerdict v = AssessProtection(*doc);
    ASSERT_EQ(v.rows.size(), 11u);
    EXPECT_EQ(v.rows[1].row, 3);
    EXPECT_EQ(v.rows[0].weight, 1);   // half of the 2 m to metre 2
    EXPECT_EQ(v.rows[1].weight, 1.5); // metre 2: 1 back, 0.5 ahead
    EXPECT_EQ(v.statuses[static_cast<size_t>(EVerdictStatus::Unprotected)].stretches, 0);
    EXPECT_EQ(v.coverage.totalLength, 21);
    EXPECT_EQ(Warnings(v, EPlausibility::MetreMissing), (std::vector<Span>{{2, 2}, {6, 6}}));
    // No gap around the rows set aside; the gap from metre 10 to 40.
    EXPECT_EQ(Warnings(v, EPlausibility::Gap), (std::vector<Span>{{11, 12}}));
    ASSERT_FALSE(v.warnings.empty());
    EXPECT_EQ(v.warnings.front().fromMetre, N);

    // Rows one after the other without a metre are one warning.
    doc->SetMeter(3, NO_VALUE);
    const SVerdict run = AssessProtection(*doc);
    EXPECT_EQ(Warnings(run, EPlausibility::MetreMissing), (std::vector<Span>{{2, 3}, {6, 6}}));
    EXPECT_EQ(run.warnings.front().rows, 2);
    EXPECT_EQ(PlausibilityText(run.warnings.front()), "Meter fehlt (Zeilen 2 bis 3)");
}

TEST(Verdict, PositionsAndSectionCriteriaGivenPerRow)
{
    const auto doc = Read(kLengths);
    SRowOverrides given;
    // Chainage 100 m ahead and stretched: 2 m between the points, 31 m in the gap.
    for (int r = 1; r <= 13; ++r) given.position.push_back(100 + 2.0 * (r <= 11 ? r - 1 : r + 13.5));
    given.protectionPotential.assign(13, NO_VALUE);
    given.protectionPotential[5] = -800; // a section with its own criterion: metre 5 is protected
    const SVerdict v = AssessProtection(*doc, {}, nullptr, &given);
    EXPECT_EQ(v.rows[0].position, 10000);
    EXPECT_EQ(v.rows[0].metre, 0); // the metre as recorded stays
    EXPECT_EQ(v.rows[1].weight, 2);
    EXPECT_EQ(v.coverage.gapLength, 21);
    EXPECT_EQ(v.surveyLength, 53);
    EXPECT_EQ(v.statuses[static_cast<size_t>(EVerdictStatus::Unprotected)].stretches, 0);
}

TEST(Plausibility, ValidityRunsInTheirKindsOrder)
{
    const auto doc = Read(kValidity);
    const SVerdict v = AssessProtection(*doc);
    ASSERT_EQ(v.warnings.size(), 6u);
    EXPECT_EQ(Warnings(v, EPlausibility::OffMissing), (std::vector<Span>{{2, 2}}));
    EXPECT_EQ(Warnings(v, EPlausibility::Positive), (std::vector<Span>{{3, 4}}));
    EXPECT_EQ(Warnings(v, EPlausibility::OnEqualsOff), (std::vector<Span>{{5, 5}}));
    EXPECT_EQ(Warnings(v, EPlausibility::OffBelowOn), (std::vector<Span>{{6, 6}}));
    // A positive potential and an over stretch stand out as spikes too.
    EXPECT_EQ(Warnings(v, EPlausibility::Spike), (std::vector<Span>{{4, 4}, {8, 9}}));
    EXPECT_EQ(v.warnings[1].kind, EPlausibility::Positive);
    EXPECT_EQ(std::tie(v.warnings[1].fromMetre, v.warnings[1].toMetre, v.warnings[1].rows), std::make_tuple(2, 3, 2));
    EXPECT_STREQ(PlausibilityName(EPlausibility::OnEqualsOff), "Ein gleich Aus (Unterbrecher prüfen)");
}

TEST(Plausibility, SpikesOfOneToThreePoints)
{
    const auto doc = Read(SpikeLines());
    SVerdict v = AssessProtection(*doc);
    EXPECT_EQ(Warnings(v, EPlausibility::Spike), (std::vector<Span>{{3, 3}, {9, 10}, {16, 18}, {39, 39}}));
    EXPECT_EQ(v.warnings.size(), 4u);
    // Spikes stay assessed.
    EXPECT_EQ(Statuses(v)[2], "unprotected");

    SVerdictSettings s;
    s.spike = 90; // now row 33 (100 mV) too
    v = AssessProtection(*doc, s);
    EXPECT_EQ(Warnings(v, EPlausibility::Spike).size(), 5u);
}

TEST(Plausibility, SwappedElectrodesOrderAndGaps)
{
    const auto doc = Read(kBackwards);
    const SVerdict v = AssessProtection(*doc);
    EXPECT_EQ(Warnings(v, EPlausibility::GradientNegative), (std::vector<Span>{{2, 3}, {5, 5}}));
    // Standing still, then a step back: one run of points out of order.
    EXPECT_EQ(Warnings(v, EPlausibility::MetreOrder), (std::vector<Span>{{4, 5}}));
    // The gap named by the point before it (90 m) and the one after (60 m).
    EXPECT_EQ(Warnings(v, EPlausibility::Gap), (std::vector<Span>{{6, 7}}));
    const SPlausibilityWarning& gap = v.warnings.back();
    EXPECT_EQ(gap.kind, EPlausibility::Gap);
    EXPECT_EQ(std::tie(gap.fromMetre, gap.toMetre, gap.rows), std::make_tuple(90, 60, 2));
    EXPECT_EQ(PlausibilityText(gap), "Messlücke (Zeilen 6 bis 7, 90 bis 60 m)");
    EXPECT_EQ(v.surveyLength, 40);

    // Gaps one after the other are one, from the point before the first to
    // the point after the last.
    const auto gaps = Read({"0;-1.10;-0.90;;;;;", "20;-1.10;-0.90;;;;;", "45;-1.10;-0.90;;;;;", "46;-1.10;-0.90;;;;;",
                            "60;-1.10;-0.90;;;;;"});
    const SVerdict g = AssessProtection(*gaps);
    EXPECT_EQ(Warnings(g, EPlausibility::Gap), (std::vector<Span>{{1, 3}, {4, 5}}));
    EXPECT_EQ(g.warnings.front().rows, 3);
}

// 0..20 m, then the counter reset to 0 for 0..15 m; every row protected
// but metre 3 of the second run (row 25). Offset by 500 m in its first run,
// the survey ends far before where it began, and runs forward all the same.
std::unique_ptr<CTreDoc> ResetSurvey(int32_t firstRunFrom)
{
    std::vector<std::string> lines;
    for (int m = 0; m <= 20; ++m) lines.push_back(std::to_string(firstRunFrom + m) + ";-1.10;-0.90;;;;;");
    for (int m = 0; m <= 15; ++m)
        lines.push_back(std::to_string(m) + (m == 3 ? ";-1.10;-0.80;;;;;" : ";-1.10;-0.90;;;;;"));
    return Read(lines);
}

TEST(Verdict, CounterResetSplitsTheSurveyIntoRuns)
{
    for (const int32_t from : {0, 500}) {
        const auto doc = ResetSurvey(from);
        const SVerdict v = AssessProtection(*doc);
        ASSERT_EQ(v.rows.size(), 37u);
        EXPECT_EQ(std::tie(v.rows[20].run, v.rows[21].run, v.rows[36].run), std::make_tuple(0, 1, 1)) << from;
        // The weights end at the reset: 20 m and 15 m, no gap between them.
        EXPECT_EQ(std::tie(v.rows[20].weight, v.rows[21].weight), std::make_tuple(0.5, 0.5));
        // ... and so do the zones every drawing of a stretch takes.
        EXPECT_EQ(std::tie(v.rows[19].zoneLow, v.rows[19].zoneHigh, v.rows[20].zoneHigh, v.rows[21].zoneLow),
                  std::make_tuple(0.5, 0.5, 0.0, 0.0));
        EXPECT_EQ(v.coverage.totalLength, 35);
        EXPECT_EQ(v.coverage.gapLength, 0);
        EXPECT_EQ(v.coverage.surveyedLength, 35);
        EXPECT_EQ(v.surveyLength, 35);
        // A stretch does not run across the reset.
        EXPECT_EQ(Stretches(v), (std::vector<Stretch>{
                                    {"protected", 1, 21, 21, 20, N, N, ""},
                                    {"protected", 22, 24, 3, 2.5, N, N, ""},
                                    {"unprotected", 25, 25, 1, 1, -800, 3, ""},
                                    {"protected", 26, 37, 12, 11.5, N, N, ""},
                                }));
        // The reset is named, and is neither out of order nor a gap.
        EXPECT_EQ(Warnings(v, EPlausibility::CounterReset), (std::vector<Span>{{22, 22}})) << from;
        EXPECT_EQ(v.warnings.size(), 1u) << from;
        EXPECT_EQ(PlausibilityText(v.warnings.front()), "Zählerstand zurückgesetzt (Zeile 22)");
    }

    // Walked backwards, the counter is reset when the metre rises.
    auto back = ResetSurvey(0);
    for (int r = 1; r <= back->GetRowCount(); ++r) back->SetMeter(r, 1000 - back->GetMeter(r));
    EXPECT_EQ(Warnings(AssessProtection(*back), EPlausibility::CounterReset), (std::vector<Span>{{22, 22}}));

    // Positions given per row (chainages) go on where the metres were reset:
    // no reset then.
    const auto doc = ResetSurvey(0);
    SRowOverrides chainage;
    for (int r = 1; r <= 37; ++r) chainage.position.push_back(r * 1.5);
    const SVerdict tied = AssessProtection(*doc, {}, nullptr, &chainage);
    EXPECT_EQ(tied.rows[36].run, 0);
    EXPECT_TRUE(Warnings(tied, EPlausibility::CounterReset).empty());
    EXPECT_EQ(tied.coverage.surveyedLength, 54);
}

// 61 points 1 m apart, off -900 mV: |on - off| is 200 mV at rows 1-11 and
// 61 (12 points) and 210 mV at 30 others, so with the 18 small ones below
// them the median M of the 60 points with both potentials is (200 + 210) / 2
// = 205 mV, and 0.2 M = 41 mV. Rows 12-16: 41 mV (5 points, out of step);
// 22-26: 42 mV (above the bound); 32-35: 20 mV (only 4); 42-46: 20 mV, but
// row 44 has no potential on and breaks the run.
std::unique_ptr<CTreDoc> OutOfStepSurvey()
{
    std::vector<std::string> lines;
    for (int m = 0; m <= 60; ++m) lines.push_back(std::to_string(m) + ";-1.10;-0.90;;;;;");
    auto doc = Read(lines);
    for (int r = 1; r <= 61; ++r) {
        int32_t swing = r <= 11 || r == 61 ? 200 : 210;
        if (r >= 12 && r <= 16) swing = 41;
        if (r >= 22 && r <= 26) swing = 42;
        if ((r >= 32 && r <= 35) || (r >= 42 && r <= 46)) swing = 20;
        doc->SetPotOn(r, -900 - swing);
    }
    doc->SetPotOn(44, NO_VALUE);
    return doc;
}

TEST(Verdict, InterrupterOutOfStepIsNotAssessed)
{
    auto doc = OutOfStepSurvey();
    SVerdict v = AssessProtection(*doc);
    std::vector<int> outOfStep;
    for (const SVerdictRow& r : v.rows)
        if (r.validity == EValidity::IRDropSmall) outOfStep.push_back(r.row);
    EXPECT_EQ(outOfStep, (std::vector<int>{12, 13, 14, 15, 16}));
    EXPECT_EQ(std::tie(v.rows[11].status, v.rows[11].basis, v.rows[11].value),
              std::make_tuple(EVerdictStatus::NotAssessed, EVerdictBasis::None, N));
    EXPECT_EQ(Statuses(v)[21], "protected"); // 42 mV
    EXPECT_EQ(v.coverage.notAssessedLength, 5);
    EXPECT_EQ(Warnings(v, EPlausibility::IRDropSmall), (std::vector<Span>{{12, 16}}));
    EXPECT_EQ(PlausibilityText(v.warnings.front()),
              "Ein-Aus-Differenz zu klein (Unterbrecher prüfen) (Zeilen 12 bis 16, 11 bis 15 m)");

    // The floor of 10 mV where the survey's own swing is small: M = 30 mV
    // over exactly 50 points; 10 mV is out of step, 11 mV not.
    std::vector<std::string> lines;
    for (int m = 0; m < 50; ++m) lines.push_back(std::to_string(m) + ";-0.93;-0.90;;;;;");
    doc = Read(lines);
    for (int r = 11; r <= 15; ++r) doc->SetPotOn(r, -910);
    for (int r = 21; r <= 25; ++r) doc->SetPotOn(r, -911);
    v = AssessProtection(*doc);
    EXPECT_EQ(Warnings(v, EPlausibility::IRDropSmall), (std::vector<Span>{{11, 15}}));
    // 49 points with both potentials say nothing about the survey's swing.
    doc->SetPotOn(50, NO_VALUE);
    EXPECT_TRUE(Warnings(AssessProtection(*doc), EPlausibility::IRDropSmall).empty());
}

TEST(Verdict, MarginalProtectionWithinTheMarginOfTheCriterion)
{
    // kValidity: -850 (row 10) is E_p itself; -950 (row 7) 100 mV below it.
    const auto doc = Read(kValidity);
    const auto marginal = [](const SVerdict& v) {
        std::vector<int> out;
        for (const SVerdictRow& r : v.rows)
            if (r.marginal) out.push_back(r.row);
        return out;
    };
    EXPECT_EQ(marginal(AssessProtection(*doc)), std::vector<int>{10});
    SVerdictSettings s;
    s.margin = 100;
    EXPECT_EQ(marginal(AssessProtection(*doc, s)), (std::vector<int>{7, 10}));
    s.margin = 99;
    EXPECT_EQ(marginal(AssessProtection(*doc, s)), std::vector<int>{10});
    // A section's own E_p is the one the margin is taken from.
    SRowOverrides section;
    section.protectionPotential.assign(10, NO_VALUE);
    section.protectionPotential[6] = -940;
    EXPECT_EQ(marginal(AssessProtection(*doc, {}, nullptr, &section)), (std::vector<int>{7, 10}));

    // The 100 mV criterion: a polarisation of 100 mV is marginal, 111 mV not.
    const auto polarised = Read(kPolarised);
    auto native = Read(kPolarisedNative);
    native->SetPotOff(1, -689);
    const SVerdict p = AssessProtection(*polarised, {}, native.get());
    EXPECT_EQ(Statuses(p)[0], "protected100");
    EXPECT_EQ(marginal(p), std::vector<int>{2});
}
