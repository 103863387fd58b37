// SPDX-License-Identifier: GPL-3.0-or-later
// The protection criterion read from header entry 2: the texts engineers
// write, the ones that must not pass for a criterion, and the warning that
// names them.
#include "criterion.h"

#include <gtest/gtest.h>

TEST(ProtectionCriterion, HeaderTextsInMillivoltsOrVolts)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"-850 mV", -850},   {"-0,85 V", -850},   {"-0.85", -850},     {"  -900mV  ", -900},
        {"-1.2 v", -1200},   {"-950", -950},      {"-0,8505 V", -851}, {"-0.8504 V", -850},
        {"-850,5 MV", -851}, {"-1200 mV", -1200}, {"-500 mV", -500},   {"\u2212850 mV", -850},
    };
    for (const auto& [text, mv] : cases) EXPECT_EQ(ProtectionPotentialFromText(text), mv) << '"' << text << '"';
}

TEST(ProtectionCriterion, TextsThatAreNoCriterion)
{
    // Without its sign, out of range, with more after the unit, or no number.
    for (const char* text : {"850 mV", "0,85 V", "-1201 mV", "-499 mV", "-9,5", "-850 mV CSE", "-0.85 mA", "- 850",
                             "ohne", "", "-", ",", "-1e3 mV", "-99999999999999999999 mV"})
        EXPECT_FALSE(IsPresent(ProtectionPotentialFromText(text))) << '"' << text << '"';
}

TEST(ProtectionCriterion, SourceAndWarning)
{
    SProtectionCriterion c = ResolveProtectionCriterion("-0,9 V", -800, -1100);
    EXPECT_EQ(c.protection, -800);
    EXPECT_EQ(c.source, ECriterionSource::Option);
    EXPECT_EQ(c.limitPotential, -1100);
    EXPECT_EQ(c.headerText, "-0,9 V");
    EXPECT_EQ(c.warning, "");

    c = ResolveProtectionCriterion("-0,9 V");
    EXPECT_EQ(c.protection, -900);
    EXPECT_STREQ(CriterionSourceId(c.source), "header");
    EXPECT_EQ(c.warning, "");

    c = ResolveProtectionCriterion(" 850 mV ");
    EXPECT_EQ(c.protection, -850);
    EXPECT_STREQ(CriterionSourceId(c.source), "default");
    EXPECT_EQ(c.warning, "Schutzkriterium „850 mV“ aus den Kopfdaten nicht verwendbar; −850 mV angenommen.");

    for (const char* blank : {"", "   "}) {
        c = ResolveProtectionCriterion(blank);
        EXPECT_EQ(c.protection, -850);
        EXPECT_EQ(c.warning, "Kein Schutzkriterium in den Kopfdaten; −850 mV angenommen.");
    }
}
