// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison of two surveys: which rows pair up, the differences, the
// indications over the pairs and the summary, on the worked surveys.
#include "assesssurveys.h"
#include "comparesurveys.h"
#include "comparison.h"
#include "docfixture.h"
#include "surveyopen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using namespace comparesurveys;

class CSurvey {
public:
    explicit CSurvey(const std::vector<std::string>& lines)
    {
        EXPECT_TRUE(ReadText(doc, assesssurveys::Text("-850 mV", lines)));
    }
    CTreDoc doc;
};

// fromMetre, toMetre, rows, length, worst, worstMetre
using Stretch = std::tuple<int32_t, int32_t, int, int64_t, int64_t, int32_t>;
std::vector<Stretch> Stretches(const SComparison& c)
{
    std::vector<Stretch> out;
    for (const SCompareIndication& i : c.indications)
        out.emplace_back(i.fromMetre, i.toMetre, i.rows, i.length, i.worst, i.worstMetre);
    return out;
}

std::vector<int32_t> Metres(const SComparison& c)
{
    std::vector<int32_t> out;
    for (const SComparePair& p : c.pairs) out.push_back(p.metre);
    return out;
}

std::vector<int64_t> Column(const SComparison& c, int64_t SComparePair::*member)
{
    std::vector<int64_t> out;
    for (const SComparePair& p : c.pairs) out.push_back(p.*member);
    return out;
}

// count, min, max, mean
using Stats = std::tuple<int, int64_t, int64_t, int64_t>;
Stats Of(const SDeltaStats& s) { return {s.count, s.min, s.max, s.mean}; }

constexpr int64_t N = kNoDelta;

SCompareSettings Native()
{
    SCompareSettings s;
    s.mode = ECompareMode::Native;
    return s;
}

} // namespace

TEST(Comparison, PairsTheFirstRowOfEachMetreInAscendingOrder)
{
    const CSurvey current(kCurrent), earlier(kEarlier);
    const SComparison c = Compare(current.doc, earlier.doc);
    EXPECT_EQ(Metres(c), (std::vector<int32_t>{0, 10, 20, 30, 40, 50, 70}));
    const SComparePair& at20 = c.pairs[2];
    EXPECT_EQ(at20.current.row, 3);
    EXPECT_EQ(at20.earlier.row, 4);
    EXPECT_EQ(at20.current.potOff, -830);
    EXPECT_EQ(at20.earlier.potOff, -900);
    EXPECT_EQ(at20.earlier.potOn, -1250);
    EXPECT_EQ(Column(c, &SComparePair::deltaOff), (std::vector<int64_t>{20, 60, 70, N, 50, 50, -60}));
    EXPECT_EQ(Column(c, &SComparePair::polarisation), std::vector<int64_t>(7, N));

    EXPECT_EQ(c.summary.matched, 7);
    EXPECT_EQ(c.summary.currentUnmatched, 2); // the second 20 and 60
    EXPECT_EQ(c.summary.earlierUnmatched, 3); // 5, the second 20 and 80
}

TEST(Comparison, FirstRowMeansRowOrderNotTheLowestMetreFirst)
{
    std::vector<std::string> reversed = kCurrent;
    std::reverse(reversed.begin(), reversed.end());
    const CSurvey current(reversed), earlier(kEarlier);
    const SComparison c = Compare(current.doc, earlier.doc);
    EXPECT_EQ(Metres(c), (std::vector<int32_t>{0, 10, 20, 30, 40, 50, 70}));
    EXPECT_EQ(c.pairs[2].current.row, 3); // "20;-1.20;-0.50" now comes first
    EXPECT_EQ(c.pairs[2].deltaOff, 400);
    EXPECT_EQ(c.pairs[0].current.row, 9);
}

TEST(Comparison, FirstRowOfAMetreAlsoInASurveyWalkedAgainstTheMetres)
{
    // Metres falling in row order, 20 twice: the earlier of its rows counts.
    const CSurvey current({"30;-1.20;-0.90;;;;;", "20;-1.20;-0.80;;;;;", "20;-1.20;-0.50;;;;;", "10;-1.20;-0.90;;;;;"});
    const CSurvey earlier({"10;-1.20;-0.90;;;;;", "20;-1.20;-0.90;;;;;", "30;-1.20;-0.90;;;;;"});
    const SComparison c = Compare(current.doc, earlier.doc);
    EXPECT_EQ(Metres(c), (std::vector<int32_t>{10, 20, 30}));
    EXPECT_EQ(c.pairs[1].current.row, 2);
    EXPECT_EQ(Column(c, &SComparePair::deltaOff), (std::vector<int64_t>{0, 100, 0}));
}

TEST(Comparison, WorseRunsEndAtAbsentAndPassingPairsAndKeepTheFirstWorst)
{
    const CSurvey current(kCurrent), earlier(kEarlier);
    SComparison c = Compare(current.doc, earlier.doc);
    EXPECT_EQ(Stretches(c), (std::vector<Stretch>{{10, 20, 2, 10, 70, 20}, {40, 50, 2, 10, 50, 40}}));
    ASSERT_EQ(c.indications.size(), 2u);
    EXPECT_EQ(c.indications[1].criterion, ECompareCriterion::Worse);
    EXPECT_EQ(c.indications[1].firstRow, 5);
    EXPECT_EQ(c.indications[1].lastRow, 6);
    EXPECT_EQ(c.indications[1].firstPair, 4);
    EXPECT_TRUE(c.criteria[0].enabled);
    EXPECT_FALSE(c.criteria[1].enabled);

    SCompareSettings s;
    s.worseLimit = 51; // 50 is no longer enough
    c = Compare(current.doc, earlier.doc, s);
    EXPECT_EQ(Stretches(c), (std::vector<Stretch>{{10, 20, 2, 10, 70, 20}}));
    s.worseLimit = -100; // every present delta fails: only the absent one at 30 splits
    c = Compare(current.doc, earlier.doc, s);
    EXPECT_EQ(Stretches(c), (std::vector<Stretch>{{0, 20, 3, 20, 70, 20}, {40, 70, 3, 30, 50, 40}}));
}

TEST(Comparison, SummaryMeanIsTruncatedTowardZero)
{
    const CSurvey current(kCurrent), earlier(kEarlier), native(kNative);
    // 20 + 60 + 70 + 50 + 50 - 60 = 190 over 6
    EXPECT_EQ(Of(Compare(current.doc, earlier.doc).summary.deltaOff), (Stats{6, -60, 70, 31}));
    // -280 - 60 - 90 = -430 over 3: -143, where rounding down would give -144
    const SComparison c = Compare(current.doc, native.doc, Native());
    EXPECT_EQ(Of(c.summary.deltaOff), (Stats{3, -280, -60, -143}));
}

TEST(Comparison, NativeTakesPotentialOnWhereOffIsMissingAndFindsLowPolarisation)
{
    const CSurvey current(kCurrent), native(kNative);
    SComparison c = Compare(current.doc, native.doc, Native());
    EXPECT_EQ(c.mode, ECompareMode::Native);
    EXPECT_EQ(Metres(c), (std::vector<int32_t>{0, 10, 20, 30, 40, 50, 70}));
    EXPECT_EQ(Column(c, &SComparePair::polarisation), (std::vector<int64_t>{280, 100, 80, N, 60, 90, N}));
    EXPECT_EQ(Of(c.summary.polarisation), (Stats{5, 60, 280, 122}));
    EXPECT_EQ(Stretches(c), (std::vector<Stretch>{{20, 20, 1, 0, 80, 20}, {40, 50, 2, 10, 60, 40}}));
    for (const SCompareIndication& i : c.indications) EXPECT_EQ(i.criterion, ECompareCriterion::Shift);
    EXPECT_FALSE(c.criteria[0].enabled);
    EXPECT_TRUE(c.criteria[1].enabled);

    // The worse criterion stays out of native mode whatever its limit.
    SCompareSettings s = Native();
    s.worseLimit = -1000;
    s.shiftLimit = 80; // 80 itself is not below
    c = Compare(current.doc, native.doc, s);
    EXPECT_EQ(Stretches(c), (std::vector<Stretch>{{40, 40, 1, 0, 60, 40}}));
}

TEST(Comparison, IRFreeDifferenceFromTheDocumentsOwnValues)
{
    const CSurvey current({"0;-1.20;-0.95;9;2;;;", "10;-1.20;-0.95;;;;;"});
    const CSurvey earlier({"0;-1.20;-0.97;12;3;;;", "10;-1.20;-0.97;12;3;;;"});
    const SComparison c = Compare(current.doc, earlier.doc);
    ASSERT_EQ(c.pairs.size(), 2u);
    ASSERT_TRUE(IsPresent(current.doc.GetPotIRFree(1)));
    EXPECT_EQ(c.pairs[0].current.potIRFree, current.doc.GetPotIRFree(1));
    EXPECT_EQ(c.pairs[0].deltaIRFree, int64_t{current.doc.GetPotIRFree(1)} - earlier.doc.GetPotIRFree(1));
    EXPECT_EQ(c.pairs[1].deltaIRFree, N); // absent on one side
}

TEST(Comparison, NoCommonMetreGivesEmptyResultsAndNullStatistics)
{
    const CSurvey current(kCurrent), elsewhere(kElsewhere);
    for (const SCompareSettings& s : {SCompareSettings(), Native()}) {
        const SComparison c = Compare(current.doc, elsewhere.doc, s);
        EXPECT_TRUE(c.pairs.empty());
        EXPECT_TRUE(c.indications.empty());
        EXPECT_EQ(c.summary.matched, 0);
        EXPECT_EQ(c.summary.currentUnmatched, 9);
        EXPECT_EQ(c.summary.earlierUnmatched, 2);
        EXPECT_EQ(Of(c.summary.deltaOff), (Stats{0, N, N, N}));
        EXPECT_EQ(Of(c.summary.polarisation), (Stats{0, N, N, N}));
    }
}

TEST(Comparison, RowsWithoutAMetreArePairedWithNothing)
{
    // 9999999 in both files is the absent marker, not a metre they share.
    const CSurvey current({"9999999;-1.00;-0.70;;;;;", "10;-1.00;-0.90;;;;;"});
    const CSurvey earlier({"10;-1.00;-0.95;;;;;", "9999999;-1.00;-0.95;;;;;"});
    const SComparison c = Compare(current.doc, earlier.doc, SCompareSettings());
    EXPECT_EQ(Metres(c), (std::vector<int32_t>{10}));
    EXPECT_EQ(c.summary.currentUnmatched, 1);
    EXPECT_EQ(c.summary.earlierUnmatched, 1);
}

TEST(Comparison, SampleSurveysOfTheSamePipelineMatchEveryMetre)
{
    CTreDoc demo, earlier, native;
    ASSERT_TRUE(tresimport::OpenSurvey(demo, TRES_SAMPLES_DIR "/demo.tsd"));
    ASSERT_TRUE(tresimport::OpenSurvey(earlier, TRES_SAMPLES_DIR "/earlier-year.tsd"));
    ASSERT_TRUE(tresimport::OpenSurvey(native, TRES_SAMPLES_DIR "/native.tsd"));
    const SComparison e = Compare(demo, earlier);
    EXPECT_EQ(e.summary.matched, demo.GetRowCount());
    EXPECT_FALSE(e.indications.empty());
    const SComparison n = Compare(demo, native, Native());
    EXPECT_EQ(n.summary.matched, demo.GetRowCount());
    EXPECT_FALSE(n.indications.empty());
    EXPECT_GT(n.summary.polarisation.min, 0);
}
