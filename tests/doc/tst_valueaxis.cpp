// SPDX-License-Identifier: GPL-3.0-or-later
// The value axes fitted to a survey, from worked examples: the potential
// axis on whole tenths of a volt outward and at least 0.4 V tall, the
// gradient axis from zero to the largest gradient on whole ticks.
#include "valueaxis.h"

#include <gtest/gtest.h>

using valueaxis::FitGradientAxis;
using valueaxis::FitPotentialAxis;
using valueaxis::SAxis;

TEST(ValueAxis, PotentialOnWholeTenthsOfAVoltAtLeastFourTenthsTall)
{
    // -1.23 ... -0.91 V: floored and ceiled, already 0.4 V.
    EXPECT_EQ(FitPotentialAxis(-1230, -910), (SAxis{-1300, -900, 100}));
    // -1.02 ... -0.98 V: -1.1 ... -0.9 V is 0.2 V short, shared out one
    // tenth below and one above.
    EXPECT_EQ(FitPotentialAxis(-1020, -980), (SAxis{-1200, -800, 100}));
    // -1.05 ... -0.80 V: 0.1 V short, the odd tenth goes below.
    EXPECT_EQ(FitPotentialAxis(-1050, -800), (SAxis{-1200, -800, 100}));
    // Whole tenths stay where they are; the order of the ends does not matter.
    EXPECT_EQ(FitPotentialAxis(-800, -1300), (SAxis{-1300, -800, 100}));
}

TEST(ValueAxis, GradientFromZeroToTheLargestOnWholeTicks)
{
    // 41.3 mV at most: 0 ... 50 mV in 10 mV ticks.
    EXPECT_EQ(FitGradientAxis(12, 413), (SAxis{0, 500, 100}));
    // A gradient below zero takes the axis down with it.
    EXPECT_EQ(FitGradientAxis(-35, 40), (SAxis{-40, 80, 20}));
}
