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
    EXPECT_EQ(Warnings(v, EPlausibility::Gap), (std::vector<Span>{{12, 12}})); // no gap around the rows set aside
    ASSERT_FALSE(v.warnings.empty());
    EXPECT_EQ(v.warnings.front().fromMetre, N);
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
    EXPECT_EQ(Warnings(v, EPlausibility::MetreOrder), (std::vector<Span>{{4, 4}, {5, 5}}));
    EXPECT_EQ(Warnings(v, EPlausibility::Gap), (std::vector<Span>{{7, 7}}));
    EXPECT_EQ(v.warnings.back().kind, EPlausibility::Gap);
    EXPECT_EQ(v.surveyLength, 40);
}
