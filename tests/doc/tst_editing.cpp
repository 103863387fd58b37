// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-survey edits: sort, reverse, add a constant, insert and delete.
#include "docfixture.h"

#include <gtest/gtest.h>

namespace {

std::vector<int32_t> Metres(const CTreDoc& doc)
{
    std::vector<int32_t> m;
    for (int r = 1; r <= doc.GetRowCount(); ++r) m.push_back(doc.GetMeter(r));
    return m;
}

} // namespace

TEST(Sorting, AscendingAndHeaderRange)
{
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    MakeRows(doc, {30, 10, 20});
    doc.SortByMeter();
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{10, 20, 30}));
    EXPECT_EQ(doc.m_header[5], "10");
    EXPECT_EQ(doc.m_header[6], "30");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_GE(host.updates, 1);
}

TEST(Sorting, SortedSurveyStaysUnmodified)
{
    CTreDoc doc;
    MakeRows(doc, {1, 2, 2, 3});
    doc.SortByMeter();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.m_header[5], "1");
}

TEST(Sorting, ValuesTravelWithTheirMetre)
{
    CTreDoc doc;
    MakeRows(doc, {30, 10});
    doc.SetPotOn(1, -1300);
    doc.SetComment(2, "zehn");
    doc.SortByMeter();
    EXPECT_EQ(doc.GetPotOn(2), -1300);
    EXPECT_EQ(doc.GetComment(1), "zehn");
}

TEST(Sorting, EqualMetresFollowTheExchangeOrder)
{
    // For the metres 5, 5, 3 the first 5 ends last.
    CTreDoc doc;
    MakeRows(doc, {5, 5, 3});
    doc.SetComment(1, "erste");
    doc.SetComment(2, "zweite");
    doc.SortByMeter();
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{3, 5, 5}));
    EXPECT_EQ(doc.GetComment(2), "zweite");
    EXPECT_EQ(doc.GetComment(3), "erste");
}

TEST(Sorting, TiesMatchAPlainExchangeSort)
{
    // A reference run of the exchange sort on labelled rows, many ties.
    std::vector<int32_t> metres;
    uint32_t x = 12345;
    for (int i = 0; i < 300; ++i) {
        x = x * 1103515245u + 12345u;
        metres.push_back(static_cast<int32_t>((x >> 16) % 40));
    }
    std::vector<std::pair<int32_t, int>> ref;
    for (size_t i = 0; i < metres.size(); ++i) ref.emplace_back(metres[i], static_cast<int>(i));
    for (size_t i = 0; i + 1 < ref.size(); ++i)
        for (size_t j = i + 1; j < ref.size(); ++j)
            if (ref[j].first < ref[i].first) std::swap(ref[i], ref[j]);

    CTreDoc doc;
    MakeRows(doc, metres);
    for (int r = 1; r <= doc.GetRowCount(); ++r) doc.SetComment(r, std::to_string(r - 1));
    doc.SortByMeter();
    for (int r = 1; r <= doc.GetRowCount(); ++r)
        ASSERT_EQ(doc.GetComment(r), std::to_string(ref[static_cast<size_t>(r - 1)].second)) << r;
}

TEST(Reversing, PointsMoveToTheMirroredMetre)
{
    CTreDoc doc;
    MakeRows(doc, {0, 10, 50});
    doc.SetComment(1, "null");
    doc.SetComment(3, "fünfzig");
    doc.ReverseMeasurement();
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{0, 40, 50}));
    EXPECT_EQ(doc.GetComment(1), "fünfzig");
    EXPECT_EQ(doc.GetComment(3), "null");
    EXPECT_TRUE(doc.IsModified());
}

TEST(Reversing, EmptySurveyIsLeftAlone)
{
    CTreDoc doc;
    MakeRows(doc, {});
    doc.ReverseMeasurement();
    EXPECT_EQ(doc.GetRowCount(), 0);
}

TEST(AddingConstants, MetreRangeInclusiveWithoutResort)
{
    CTreDoc doc;
    MakeRows(doc, {0, 25, 50, 75});
    EXPECT_EQ(doc.AddConstantStart(), 0);
    EXPECT_EQ(doc.AddConstantEnd(), 75);
    doc.AddConstant(EAddQuantity::Meter, 0, 50, 100);
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{100, 125, 150, 75}));
    EXPECT_TRUE(doc.m_bRefitPot);
    EXPECT_TRUE(doc.m_bRefitGrad);
}

TEST(AddingConstants, PotentialsSkipAbsentValues)
{
    CTreDoc doc;
    MakeRows(doc, {0, 10});
    doc.SetPotOn(1, -850);
    doc.AddConstant(EAddQuantity::PotOn, 0, 10, -20);
    EXPECT_EQ(doc.GetPotOn(1), -870);
    EXPECT_EQ(doc.GetPotOn(2), NO_VALUE);
    doc.SetPotOff(2, -900);
    doc.AddConstant(EAddQuantity::PotOff, 5, 10, 15);
    EXPECT_EQ(doc.GetPotOff(2), -885);
}

TEST(AddingConstants, GradientsInMillivoltsLeftSideOnly)
{
    CTreDoc doc;
    MakeRows(doc, {0});
    doc.SetGradOnL(1, 120);
    doc.SetGradOnR(1, 80);
    doc.SetGradOffL(1, 10);
    doc.AddConstant(EAddQuantity::GradOn, 0, 0, 5);
    EXPECT_EQ(doc.GetGradOnL(1), 170);
    EXPECT_EQ(doc.GetGradOnR(1), 80);
    doc.AddConstant(EAddQuantity::GradOff, 0, 0, -2);
    EXPECT_EQ(doc.GetGradOffL(1), -10);
}

TEST(AddingConstants, EmptyRangeStillMarksTheDocument)
{
    CTreDoc doc;
    MakeRows(doc, {0, 10});
    doc.m_bRefitPot = doc.m_bRefitGrad = false;
    doc.AddConstant(EAddQuantity::Meter, 10, 0, 7);
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{0, 10}));
    EXPECT_TRUE(doc.m_bRefitPot);
    EXPECT_TRUE(doc.IsModified());
}

TEST(AddingConstants, QuantityNamesAsTheDialogShowsThem)
{
    EAddQuantity q;
    ASSERT_TRUE(AddQuantityFromName("Gradient Aus", q));
    EXPECT_EQ(q, EAddQuantity::GradOff);
    EXPECT_STREQ(AddQuantityName(EAddQuantity::PotOn), "Potential Ein");
    EXPECT_FALSE(AddQuantityFromName("potential ein", q));
}

// A row without a metre is no position: sort, reverse and add-constant
// neither take a range from it nor give it a metre, and undo brings back
// exactly what was there.
TEST(RowsWithoutAMetre, StayWithoutOneAndGiveNoRange)
{
    CTreDoc doc;
    MakeRows(doc, {NO_VALUE, 30, 10, NO_VALUE});
    doc.SetPotOn(1, -900);
    EXPECT_EQ(doc.AddConstantStart(), 30);
    EXPECT_EQ(doc.AddConstantEnd(), 10);
    doc.AddConstant(EAddQuantity::Meter, 0, NO_VALUE, 5);
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{NO_VALUE, 35, 15, NO_VALUE}));
    doc.AddConstant(EAddQuantity::PotOn, 0, NO_VALUE, -20);
    EXPECT_EQ(doc.GetPotOn(1), -900);
    doc.SortByMeter();
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{15, 35, NO_VALUE, NO_VALUE}));
    EXPECT_EQ(doc.m_header[5], "15");
    EXPECT_EQ(doc.m_header[6], "35");
    doc.ReverseMeasurement();
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{15, 35, NO_VALUE, NO_VALUE}));
    EXPECT_EQ(doc.GetPotOn(3), -900);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{15, 35, NO_VALUE, NO_VALUE}));
    EXPECT_EQ(doc.GetPotOn(3), -900);
    for (int step = 0; step < 3; ++step) ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{NO_VALUE, 30, 10, NO_VALUE}));
}

TEST(InsertingRows, NewRowHasMetreZeroAndNothingElse)
{
    CTreDoc doc;
    MakeRows(doc, {10, 20});
    doc.InsertRowAfter(2);
    ASSERT_EQ(doc.GetRowCount(), 3);
    EXPECT_EQ(doc.GetMeter(3), 0);
    EXPECT_EQ(doc.GetPotOn(3), NO_VALUE);
    doc.InsertRowAfter(0);
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{0, 10, 20, 0}));
    EXPECT_TRUE(doc.IsModified());
}

TEST(DeletingRows, RangeInsideTheSurvey)
{
    CTreDoc doc;
    MakeRows(doc, {1, 2, 3, 4, 5});
    doc.DeleteRows(2, 2);
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{1, 4, 5}));
    EXPECT_TRUE(doc.IsModified());
    doc.DeleteRows(3, 10); // clipped to the last row
    EXPECT_EQ(Metres(doc), (std::vector<int32_t>{1, 4}));
    doc.SetModifiedFlag(false);
    doc.DeleteRows(7, 1); // nothing there: nothing changes
    doc.DeleteRows(1, 0);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetRowCount(), 2);
}
