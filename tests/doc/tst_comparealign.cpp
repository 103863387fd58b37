// SPDX-License-Identifier: GPL-3.0-or-later
// Aligning an earlier survey to the current one before pairing: the demo's
// earlier year shifted by 3 m or walked from the other end must give the
// result of the unshifted one, by landmarks and by offset; the mapping
// between landmarks, its rounding and which landmarks count, on hand-made
// surveys.
#include "comparison.h"
#include "docfixture.h"
#include "surveyopen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

// metre, current row, earlier row, deltaOff
using Pair = std::tuple<int32_t, int, int, int64_t>;
// fromMetre, toMetre, rows, worst, worstMetre
using Indication = std::tuple<int32_t, int32_t, int, int64_t, int32_t>;

struct SResult {
    std::vector<Pair> pairs;
    std::vector<Indication> indications;
    int matched, currentUnmatched, earlierUnmatched;
    bool operator==(const SResult&) const = default;
};

SResult Of(const SComparison& c)
{
    SResult r{{}, {}, c.summary.matched, c.summary.currentUnmatched, c.summary.earlierUnmatched};
    for (const SComparePair& p : c.pairs) r.pairs.emplace_back(p.metre, p.current.row, p.earlier.row, p.deltaOff);
    for (const SCompareIndication& i : c.indications)
        r.indications.emplace_back(i.fromMetre, i.toMetre, i.rows, i.worst, i.worstMetre);
    return r;
}

SCompareSettings With(const SAlignment& a)
{
    SCompareSettings s;
    s.alignment = std::make_shared<const SAlignment>(a);
    return s;
}

SAlignment Aligned(const CTreDoc& current, const CTreDoc& earlier, bool reverse = false)
{
    SAlignment a;
    tresdoc::SOutcome error;
    EXPECT_TRUE(AlignSurveys(current, earlier, SAlignOptions{reverse}, a, error)) << error.text;
    return a;
}

class CompareAlignDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tresimport::OpenSurvey(demo, TRES_SAMPLES_DIR "/demo.tsd"));
        ASSERT_TRUE(tresimport::OpenSurvey(earlier, TRES_SAMPLES_DIR "/earlier-year.tsd"));
        ASSERT_TRUE(tresimport::OpenSurvey(moved, TRES_SAMPLES_DIR "/earlier-year.tsd"));
        unshifted = Of(Compare(demo, earlier));
        ASSERT_EQ(unshifted.matched, demo.GetRowCount());
    }

    CTreDoc demo, earlier, moved;
    SResult unshifted;
};

} // namespace

TEST_F(CompareAlignDemo, ShiftedEarlierSurveyGivesTheUnshiftedResultByLandmarksAndByOffset)
{
    for (int r = 1; r <= moved.GetRowCount(); ++r) moved.SetMeter(r, moved.GetMeter(r) + 3);
    // Paired as recorded, the shift makes up an indication at 728 m.
    const SResult asRecorded = Of(Compare(demo, moved));
    EXPECT_NE(asRecorded.indications, unshifted.indications);
    EXPECT_NE(std::find_if(asRecorded.indications.begin(), asRecorded.indications.end(),
                           [](const Indication& i) { return std::get<0>(i) == 728; }),
              asRecorded.indications.end());

    SAlignment a = Aligned(demo, moved);
    EXPECT_EQ(a.method, EAlignMethod::Landmarks);
    // Drawn over the current survey, each earlier row stands where it was paired.
    EXPECT_EQ(EarlierOnCurrentMetres(demo, moved, a), a.earlierMetres);
    EXPECT_EQ(EarlierOnCurrentMetres(demo, moved, a)[5], moved.GetMeter(6) - 3);
    EXPECT_GE(a.ties.size(), 10u);
    EXPECT_EQ(a.maxResidual, 0);
    EXPECT_EQ(Of(Compare(demo, moved, With(a))), unshifted);

    // Without landmarks but one ("Schieber"): the offset, which the one tie
    // confirms.
    for (int r = 1; r <= moved.GetRowCount(); ++r)
        if (moved.GetComment(r) != "Schieber") moved.SetComment(r, "");
    a = Aligned(demo, moved);
    EXPECT_EQ(a.method, EAlignMethod::Offset);
    EXPECT_EQ(a.offset, -3);
    EXPECT_EQ(AlignmentText(a), "Versatz -3 m");
    EXPECT_GT(a.offsetPairs, 2000);
    ASSERT_EQ(a.ties.size(), 1u);
    EXPECT_EQ(a.ties[0].comment, "Schieber");
    EXPECT_EQ(a.maxResidual, 0);
    EXPECT_EQ(Of(Compare(demo, moved, With(a))), unshifted);
}

TEST_F(CompareAlignDemo, ReversedEarlierSurveyIsRefusedUnlessAccepted)
{
    moved.ReverseMeasurement(); // walked from the other end: metres mirrored, rows turned round
    // Without the landmarks at both ends, rows lie beyond the outer ties.
    for (int r = 1; r <= moved.GetRowCount(); ++r)
        if (moved.GetComment(r) == "Prüfstelle 10" || moved.GetComment(r) == "Isolierstück") moved.SetComment(r, "");
    SAlignment a;
    tresdoc::SOutcome error;
    EXPECT_FALSE(AlignSurveys(demo, moved, SAlignOptions{}, a, error));
    EXPECT_EQ(error.text, "Die Vergleichsmessung ist in umgekehrter Richtung gemessen.");
    EXPECT_EQ(error.code, tresdoc::ERefusal::Reversed);
    EXPECT_EQ(a.method, EAlignMethod::None);

    a = Aligned(demo, moved, true);
    EXPECT_EQ(a.method, EAlignMethod::Landmarks);
    EXPECT_TRUE(a.reversed);
    EXPECT_EQ(AlignmentText(a),
              "Orientierungspunkte (" + std::to_string(a.ties.size()) + "), in umgekehrter Richtung gemessen");
    EXPECT_EQ(a.maxResidual, 0);
    SResult turned = Of(Compare(demo, moved, With(a)));
    for (Pair& p : turned.pairs) std::get<2>(p) = moved.GetRowCount() + 1 - std::get<2>(p);
    EXPECT_EQ(turned, unshifted);
    // The recorded metres are wrong here: the 36 false indications.
    EXPECT_GT(Compare(demo, moved).indications.size(), 30u);
}

TEST(CompareAlign, BetweenLandmarksLinearRoundedHalfAwayFirstRowWinsAndRepeatedCommentsIgnored)
{
    // Current -100 .. 0 m, earlier 0 .. 200 m (first a row at -4 m, before
    // the first landmark), landmarks "A" and "B" at both ends, written
    // differently: earlier metre e lies at -100 + e / 2. Each earlier row's
    // potential off tells which one was paired.
    CTreDoc current, earlier;
    std::vector<int32_t> cm, em{-4};
    for (int32_t m = -100; m <= 0; ++m) cm.push_back(m);
    for (int32_t m = 0; m <= 200; ++m) em.push_back(m);
    MakeRows(current, cm);
    MakeRows(earlier, em);
    for (int r = 1; r <= earlier.GetRowCount(); ++r) earlier.SetPotOff(r, -1000 - earlier.GetMeter(r));
    for (int r = 1; r <= current.GetRowCount(); ++r) current.SetPotOff(r, -900);
    current.SetComment(1, "a ");        // -100 m
    current.SetComment(101, "  B");     // 0 m
    current.SetComment(41, "Schieber"); // -60 m, and again at -40 m: no landmark
    current.SetComment(61, "SCHIEBER");
    earlier.SetComment(2, "A");          // 0 m
    earlier.SetComment(202, "b");        // 200 m
    earlier.SetComment(102, "Schieber"); // 100 m

    const SAlignment a = Aligned(current, earlier);
    EXPECT_EQ(a.method, EAlignMethod::Landmarks);
    ASSERT_EQ(a.ties.size(), 2u);
    EXPECT_EQ(a.ties[0].comment, "a ");
    EXPECT_EQ(std::make_tuple(a.ties[1].currentRow, a.ties[1].earlierRow, a.ties[1].earlierMetre),
              std::make_tuple(101, 202, 200));
    EXPECT_EQ(a.maxResidual, 0);
    // -4 m: shifted (-104); 1 m: -99.5 rounds away from zero to -100; 3 m:
    // -98.5 to -99; 100 m: -50 (the repeated "Schieber" would have made it
    // -60).
    EXPECT_EQ(std::vector<int32_t>(a.earlierMetres.begin(), a.earlierMetres.begin() + 6),
              (std::vector<int32_t>{-104, -100, -100, -99, -99, -98}));
    EXPECT_EQ(a.earlierMetres[101], -50);

    const SComparison c = Compare(current, earlier, With(a));
    EXPECT_EQ(c.summary.matched, 101);
    auto earlierOffAt = [&](int32_t metre) {
        for (const SComparePair& p : c.pairs)
            if (p.metre == metre) return p.earlier.potOff;
        return NO_VALUE;
    };
    EXPECT_EQ(earlierOffAt(-100), -1000); // 0 m, not 1 m: the first row of the metre
    EXPECT_EQ(earlierOffAt(-99), -1002);
    EXPECT_EQ(earlierOffAt(-50), -1100);
    EXPECT_EQ(earlierOffAt(0), -1200);
    EXPECT_EQ(c.pairs[1].earlier.metre, 2); // as recorded
}

TEST(CompareAlign, LandmarksInAnotherOrderAreRefused)
{
    CTreDoc current, earlier;
    MakeRows(current, {-100, 0, 5});
    MakeRows(earlier, {0, 150, 200});
    current.SetComment(1, "A");
    current.SetComment(2, "B");
    current.SetComment(3, "C");
    earlier.SetComment(1, "A");
    earlier.SetComment(2, "C");
    earlier.SetComment(3, "B");
    SAlignment a;
    tresdoc::SOutcome error;
    EXPECT_FALSE(AlignSurveys(current, earlier, SAlignOptions{true}, a, error));
    EXPECT_EQ(error.code, tresdoc::ERefusal::Refused);
    EXPECT_EQ(error.text,
              "Die Landmarken „C“ und „B“ liegen in den beiden Messungen nicht gleich (aktuell bei 5 m und 0 "
              "m, in der Vergleichsmessung bei 150 m und 200 m); die Messungen lassen sich an ihnen nicht "
              "ausrichten.");
}

TEST(CompareAlign, OffsetNeedsFiftyPairsAndPrefersTheSmallerThenTheNegativeOne)
{
    // Off potentials repeating every 4 m, the earlier survey's two metres
    // on: -2, +2, -6, +6 ... all fit exactly; -2 is taken.
    const int32_t pattern[] = {-900, -900, -800, -800};
    CTreDoc current, earlier;
    std::vector<int32_t> metres;
    for (int32_t m = 0; m < 102; ++m) metres.push_back(m);
    MakeRows(current, metres);
    MakeRows(earlier, metres);
    for (int r = 1; r <= 102; ++r) {
        current.SetPotOff(r, pattern[(r - 1) % 4]);
        earlier.SetPotOff(r, pattern[(r + 1) % 4]);
    }
    SAlignment a = Aligned(current, earlier);
    EXPECT_EQ(a.method, EAlignMethod::Offset);
    EXPECT_EQ(a.offset, -2);
    EXPECT_EQ(a.offsetPairs, 100);
    EXPECT_TRUE(a.ties.empty());
    EXPECT_EQ(a.maxResidual, NO_VALUE);
    // Not for a native survey: its potential off does not follow ours.
    SAlignment n;
    tresdoc::SOutcome error;
    ASSERT_TRUE(AlignSurveys(current, earlier, SAlignOptions{false, false}, n, error));
    EXPECT_EQ(n.method, EAlignMethod::None);
    EXPECT_EQ(AlignmentText(n), "nach Metern");
    EXPECT_TRUE(n.earlierMetres.empty());

    // 49 rows: no offset has 50 pairs.
    MakeRows(current, std::vector<int32_t>(metres.begin(), metres.begin() + 49));
    for (int r = 1; r <= 49; ++r) current.SetPotOff(r, pattern[(r - 1) % 4]);
    a = Aligned(current, earlier);
    EXPECT_EQ(a.method, EAlignMethod::Offset);
    EXPECT_EQ(a.offset, 0);
    EXPECT_EQ(a.offsetPairs, 0);
    EXPECT_EQ(AlignmentText(a), "nach Metern (kein Versatz bestimmbar)");
    EXPECT_TRUE(a.earlierMetres.empty());
}

TEST(CompareAlign, ChainagesCarriedBackToTheCurrentSurveysRecordedMetres)
{
    // The worked example re-stationed: metres 0, 100, 200, 300 at chainages
    // 5, 105, 208, 310; an earlier survey paired by chainage.
    CTreDoc current, earlier;
    MakeRows(current, {0, 100, 200, 300});
    MakeRows(earlier, {0, 1, 2, 3, 4, 5});
    SAlignment a = AlignByStations({5, 105, 208, 310}, {0, 105, 156, 310, 320, NO_VALUE}, {});
    ASSERT_EQ(a.method, EAlignMethod::Pipeline);
    // Between rows linear, half away from zero (51 of 103 m: 49.5 m, 50);
    // beyond the ends shifted.
    EXPECT_EQ(EarlierOnCurrentMetres(current, earlier, a), (std::vector<int32_t>{-5, 100, 150, 300, 310, NO_VALUE}));
    // A survey walked against the chainage keeps its direction beyond the ends.
    MakeRows(current, {300, 200, 100, 0});
    EXPECT_EQ(EarlierOnCurrentMetres(current, earlier, a), (std::vector<int32_t>{305, 200, 150, 0, -10, NO_VALUE}));
    // Without re-stationed current metres the pairing metre is the recorded one.
    EXPECT_EQ(CAlignedToRecorded(current, SAlignment())(1234), 1234);
}
