// SPDX-License-Identifier: GPL-3.0-or-later
// The error list: the limit boxes of its dialog and the test of a row.
#include "docfixture.h"
#include "errorlimits.h"

#include <gtest/gtest.h>

TEST(LimitBoxes, PotentialsAreStoredAscendingWhateverTheBox)
{
    LimitBoxTexts t;
    t[POTE] = "-0,85";
    t[POTE + 12] = "-1,20";
    LimitArray l = BoxTextsToLimits(t);
    EXPECT_EQ(l[POTE], -1200);
    EXPECT_EQ(l[POTE + 12], -850);
    t[POTE] = "-1.20";
    t[POTE + 12] = "-0.85";
    l = BoxTextsToLimits(t);
    EXPECT_EQ(l[POTE], -1200);
    EXPECT_EQ(l[POTE + 12], -850);
}

TEST(LimitBoxes, MeanGradientsDescendingLeftRightAsTyped)
{
    LimitBoxTexts t;
    t[UEIN] = "5";
    t[UEIN + 12] = "50";
    t[UEINL] = "5";
    t[UEINL + 12] = "50";
    t[UDIFFR] = "-3.7";
    t[UDIFFR + 12] = "2";
    const LimitArray l = BoxTextsToLimits(t);
    EXPECT_EQ(l[UEIN], 500);
    EXPECT_EQ(l[UEIN + 12], 50);
    EXPECT_EQ(l[UEINL], 50);
    EXPECT_EQ(l[UEINL + 12], 500);
    EXPECT_EQ(l[UDIFFR], -37);
    EXPECT_EQ(l[UDIFFR + 12], 20);
}

TEST(LimitBoxes, OneEmptyBoxClearsThePair)
{
    LimitBoxTexts t;
    t[POTA] = "-1";
    t[UAUS + 12] = "4";
    t[UDIFF] = "abc"; // not a number: 0, but still both boxes needed
    t[UDIFF + 12] = "x";
    const LimitArray l = BoxTextsToLimits(t);
    EXPECT_EQ(l[POTA], NO_VALUE);
    EXPECT_EQ(l[POTA + 12], NO_VALUE);
    EXPECT_EQ(l[UAUS], NO_VALUE);
    EXPECT_EQ(l[UDIFF], 0);
    EXPECT_EQ(l[UDIFF + 12], 0);
}

TEST(LimitBoxes, HugeNumbersClearThePairInsteadOfOverflowing)
{
    LimitBoxTexts t;
    t[POTIR] = "1e12";
    t[POTIR + 12] = "-1";
    EXPECT_EQ(BoxTextsToLimits(t)[POTIR], NO_VALUE);
}

TEST(LimitBoxes, FillingShowsVoltsAndWholeMillivolts)
{
    LimitArray l;
    l.fill(NO_VALUE);
    l[UEIN] = 500;
    l[UEIN + 12] = 50;
    l[POTA] = -1200;
    l[POTA + 12] = -855;
    l[UAUSR] = -37;
    l[UAUSR + 12] = 20;
    l[POTE] = -1000; // half a pair shows nothing
    const LimitBoxTexts t = LimitsToBoxTexts(l);
    EXPECT_EQ(t[UEIN], "50");
    EXPECT_EQ(t[UEIN + 12], "5");
    EXPECT_EQ(t[POTA], "-1.20");
    EXPECT_EQ(t[POTA + 12], "-0.85"); // -0.855 in double rounds down
    EXPECT_EQ(t[UAUSR], "-3");
    EXPECT_EQ(t[UAUSR + 12], "2");
    EXPECT_EQ(t[POTE], "");
    EXPECT_EQ(t[POTE + 12], "");
}

TEST(LimitBoxes, FillThenOkKeepsWholeValues)
{
    LimitArray l;
    l.fill(NO_VALUE);
    l[POTA] = -1200;
    l[POTA + 12] = -850;
    l[UDIFF] = 300;
    l[UDIFF + 12] = -100;
    EXPECT_EQ(BoxTextsToLimits(LimitsToBoxTexts(l)), l);
}

TEST(LimitNames, CaseInsensitiveLookup)
{
    EXPECT_EQ(LimitFromName("udiffl"), UDIFFL);
    EXPECT_EQ(LimitFromName("POTIR"), POTIR);
    EXPECT_EQ(LimitFromName("POT"), -1);
    EXPECT_STREQ(LimitName(UAUSR), "UAUSR");
}

class ErrorWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeRows(doc, {0, 1, 2, 3});
        doc.SetPotOn(1, -900);
        doc.SetPotOn(2, -850);
        doc.SetPotOn(3, -849);
    }
    void SetPair(int k, int32_t a, int32_t b)
    {
        doc.m_limits[static_cast<size_t>(k)] = a;
        doc.m_limits[static_cast<size_t>(k + 12)] = b;
    }
    CTreDoc doc;
};

TEST_F(ErrorWindow, BoundsAreInclusive)
{
    SetPair(POTE, -1200, -850);
    EXPECT_TRUE(doc.IsInErrorWindow(1));
    EXPECT_TRUE(doc.IsInErrorWindow(2));
    EXPECT_FALSE(doc.IsInErrorWindow(3));
    EXPECT_FALSE(doc.IsInErrorWindow(4)); // nothing could be tested
}

TEST_F(ErrorWindow, EveryTestedPairMustContainTheValue)
{
    SetPair(POTE, -1200, -850);
    SetPair(UEIN, 500, 50);
    doc.SetGradOnL(1, 40);  // outside the gradient window
    doc.SetGradOnL(2, 100); // inside
    EXPECT_FALSE(doc.IsInErrorWindow(1));
    EXPECT_TRUE(doc.IsInErrorWindow(2));
    EXPECT_FALSE(doc.IsInErrorWindow(3));
}

TEST_F(ErrorWindow, MissingValuesAreJudgedByTheOtherPairs)
{
    SetPair(POTE, -1200, -850);
    SetPair(POTIR, -2000, 0); // row 1 has no IR-free potential
    SetPair(UAUS, 100, -100); // nor gradients
    EXPECT_TRUE(doc.IsInErrorWindow(1));
}

TEST_F(ErrorWindow, LeftRightPairsTakeNoPart)
{
    SetPair(UEINL, 500, 0);
    SetPair(UAUSR, 500, 0);
    doc.SetGradOnL(1, 100);
    doc.SetGradOffR(1, 100);
    for (int r = 1; r <= doc.GetRowCount(); ++r) EXPECT_FALSE(doc.IsInErrorWindow(r));
}

TEST_F(ErrorWindow, DerivedQuantities)
{
    // mean off 30, difference 90: IR-free of -1250/-950 is -850
    doc.SetPotOff(1, -950);
    doc.SetPotOn(1, -1250);
    doc.SetGradOnL(1, 120);
    doc.SetGradOffL(1, 30);
    SetPair(UDIFF, 90, 90);
    EXPECT_TRUE(doc.IsInErrorWindow(1));
    SetPair(POTIR, -860, -850);
    EXPECT_TRUE(doc.IsInErrorWindow(1));
    SetPair(POTIR, -849, 0);
    EXPECT_FALSE(doc.IsInErrorWindow(1));
}

TEST_F(ErrorWindow, InvalidRowNeverPasses)
{
    SetPair(POTE, -1200, -850);
    EXPECT_FALSE(doc.IsInErrorWindow(0));
    EXPECT_FALSE(doc.IsInErrorWindow(99));
}
