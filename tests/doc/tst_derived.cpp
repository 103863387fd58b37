// SPDX-License-Identifier: GPL-3.0-or-later
// Derived values: mean gradients, their difference, the IR-free potential.
#include "docfixture.h"

#include <gtest/gtest.h>

namespace {

struct RowValues {
    int32_t potOn = NO_VALUE, potOff = NO_VALUE;
    int32_t onL = NO_VALUE, onR = NO_VALUE, offL = NO_VALUE, offR = NO_VALUE;
};

void Fill(CTreDoc& doc, const RowValues& v)
{
    doc.OnNewDocument();
    doc.SetPotOn(1, v.potOn);
    doc.SetPotOff(1, v.potOff);
    doc.SetGradOnL(1, v.onL);
    doc.SetGradOnR(1, v.onR);
    doc.SetGradOffL(1, v.offL);
    doc.SetGradOffR(1, v.offR);
}

} // namespace

TEST(Derived, MeanGradientTruncatesTowardZero)
{
    CTreDoc doc;
    Fill(doc, {.onL = 15, .onR = -16});
    EXPECT_EQ(doc.GetGradOn(1), 0); // -1 / 2 is 0, not -1
    Fill(doc, {.onL = 15, .onR = 20, .offL = -7, .offR = -8});
    EXPECT_EQ(doc.GetGradOn(1), 17);
    EXPECT_EQ(doc.GetGradOff(1), -7);
}

TEST(Derived, MeanGradientFromOneSideOrNone)
{
    CTreDoc doc;
    Fill(doc, {.onL = 40});
    EXPECT_EQ(doc.GetGradOn(1), 40);
    Fill(doc, {.offR = -30});
    EXPECT_EQ(doc.GetGradOff(1), -30);
    EXPECT_EQ(doc.GetGradOn(1), NO_VALUE);
}

TEST(Derived, MeanGradientOfExtremeValuesDoesNotOverflow)
{
    CTreDoc doc;
    Fill(doc, {.onL = 2147483647, .onR = 2147483645});
    EXPECT_EQ(doc.GetGradOn(1), 2147483646);
}

TEST(Derived, GradientDifferenceInWholeMillivolts)
{
    CTreDoc doc;
    Fill(doc, {.onL = 125, .offL = 37});
    EXPECT_EQ(doc.GetGradDiff(1), 90); // (12 - 3) * 10
    Fill(doc, {.onL = -125, .offL = 37});
    EXPECT_EQ(doc.GetGradDiff(1), -150);
    Fill(doc, {.onL = 125});
    EXPECT_EQ(doc.GetGradDiff(1), NO_VALUE);
}

TEST(Derived, IRFreeWorkedExample)
{
    CTreDoc doc;
    Fill(doc, {.potOn = -1500, .potOff = -1000, .onL = 600, .offL = 100});
    ASSERT_EQ(doc.GetGradDiff(1), 500);
    EXPECT_EQ(doc.GetPotIRFree(1), -900);
    EXPECT_EQ(doc.FormatPotIRFree(1), "-0.90");
}

TEST(Derived, IRFreeCutsTowardZeroToTensOfMillivolts)
{
    CTreDoc doc;
    // p = 100 * 651, difference (165 - 65) * 10, q = 65.1, x = -1234.9
    Fill(doc, {.potOn = -1400, .potOff = -1300, .onL = 1651, .offL = 651});
    EXPECT_EQ(doc.GetPotIRFree(1), -1230);
    // p = 30 * 349, difference 1000, q = 10.47, x = -1259.53
    Fill(doc, {.potOn = -1300, .potOff = -1270, .onL = 1349, .offL = 349});
    EXPECT_EQ(doc.GetPotIRFree(1), -1250);
}

TEST(Derived, IRFreeSinglePrecisionConstantReachesTheMultiple)
{
    CTreDoc doc;
    // p = 1, difference 100000, x = -1239.99999: the single-precision 0.1
    // lies above 0.1, so this already counts as -1240 (an exact 0.1 gives -1230)
    Fill(doc, {.potOn = -1241, .potOff = -1240, .onL = 1000000, .offL = 1});
    ASSERT_EQ(doc.GetGradDiff(1), 1000000);
    EXPECT_EQ(doc.GetPotIRFree(1), -1240);
    // p = 1, difference 10, q = 0.1, x = -1238.9
    Fill(doc, {.potOn = -1240, .potOff = -1239, .onL = 10, .offL = 1});
    EXPECT_EQ(doc.GetPotIRFree(1), -1230);
}

TEST(Derived, IRFreeAbsentCases)
{
    CTreDoc doc;
    Fill(doc, {.potOn = -1500, .potOff = -1000, .onL = 100, .offL = 100});
    EXPECT_EQ(doc.GetPotIRFree(1), NO_VALUE); // difference 0
    Fill(doc, {.potOn = -1500, .onL = 600, .offL = 100});
    EXPECT_EQ(doc.GetPotIRFree(1), NO_VALUE); // potential off absent
    // positive result: off 100, on -100, gradOff 100, diff 500: p = 20000, q = 40, x = 140
    Fill(doc, {.potOn = -100, .potOff = 100, .onL = 600, .offL = 100});
    EXPECT_EQ(doc.GetPotIRFree(1), NO_VALUE);
}

TEST(Derived, IRFreeOfExactlyZeroIsZero)
{
    CTreDoc doc;
    // p = 100 * 1000, difference 1000, q = 100, x = 0
    Fill(doc, {.potOn = -200, .potOff = -100, .onL = 2000, .offL = 1000});
    ASSERT_EQ(doc.GetGradDiff(1), 1000);
    EXPECT_EQ(doc.GetPotIRFree(1), 0);
}

TEST(Derived, IRFreeUsesA32BitProduct)
{
    CTreDoc doc;
    // (off - on) * gradOff = 100000 * 30000 overflows 32 bits and wraps,
    // as the stored arithmetic always has; it must not be undefined.
    Fill(doc, {.potOn = -101000, .potOff = -1000, .onL = 40000, .offL = 30000});
    // p = -1294967296, difference 10000, q = -129496.73, x = -130496.73
    EXPECT_EQ(doc.GetPotIRFree(1), -130490);
}

TEST(Derived, RightSideLooksAtTheOnValueOnly)
{
    CTreDoc doc;
    MakeRows(doc, {0, 1, 2});
    doc.SetGradOffR(2, 10);
    EXPECT_FALSE(doc.HasRightSide());
    EXPECT_FALSE(doc.m_bHasRight);
    doc.SetGradOnR(3, 10);
    EXPECT_TRUE(doc.HasRightSide());
    EXPECT_TRUE(doc.m_bHasRight);
}

TEST(Lifecycle, NewDocumentHasOneRowAtMetreZero)
{
    CTreDoc doc;
    EXPECT_TRUE(doc.m_bEmpty);
    doc.m_qm[3] = "Gerät 12";
    doc.m_header[3] = "alt";
    doc.m_limits[0] = -1200;
    doc.m_limits[12] = -850;
    doc.m_bPlotLR = true;
    doc.NextViewNumber();
    doc.OnNewDocument();
    EXPECT_FALSE(doc.m_bEmpty);
    ASSERT_EQ(doc.GetRowCount(), 1);
    EXPECT_EQ(doc.GetMeter(1), 0);
    EXPECT_EQ(doc.GetPotOn(1), NO_VALUE);
    EXPECT_EQ(doc.GetGradOffR(1), NO_VALUE);
    EXPECT_EQ(doc.GetComment(1), "");
    EXPECT_EQ(doc.m_header[3], "");
    EXPECT_EQ(doc.m_qm[3], "Gerät 12"); // the handheld's QM data carry over
    EXPECT_EQ(doc.m_limits[0], NO_VALUE);
    EXPECT_TRUE(doc.m_bPlotLR); // not part of the defaults
    EXPECT_EQ(doc.NextViewNumber(), 1);
    EXPECT_FALSE(doc.IsModified());
}

TEST(Lifecycle, DefaultsAfterReset)
{
    CTreDoc doc;
    doc.m_bTabLR = true;
    doc.m_bTabErrList = true;
    doc.m_nPlotScale = 500;
    doc.m_nPlotStart = 3;
    doc.m_bTableIRFree = false;
    doc.m_bTableLR = true;
    doc.ResetToDefaults();
    EXPECT_FALSE(doc.m_bTabLR);
    EXPECT_FALSE(doc.m_bTabErrList);
    EXPECT_TRUE(doc.m_bTabHeadNumber);
    EXPECT_EQ(doc.m_nPlotScale, 1000);
    EXPECT_EQ(doc.m_nPlotStart, NO_VALUE);
    EXPECT_EQ(doc.m_nPlotEnd, NO_VALUE);
    EXPECT_EQ(doc.m_nPotAxisMax, -2000);
    EXPECT_EQ(doc.m_nPotAxisMin, -400);
    EXPECT_EQ(doc.m_nGradAxisMax, 200);
    EXPECT_EQ(doc.m_nGradAxisMin, -50);
    EXPECT_TRUE(doc.m_bTableIRFree);
    EXPECT_FALSE(doc.m_bTableLR);
}

TEST(Lifecycle, HostSeesModifiedChangesOnce)
{
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    doc.OnNewDocument();
    doc.SetModifiedFlag();
    doc.SetModifiedFlag();
    doc.SetModifiedFlag(false);
    EXPECT_EQ(host.modifiedEvents, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.curveInvalidations, 1);
}
