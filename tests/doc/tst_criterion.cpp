// SPDX-License-Identifier: GPL-3.0-or-later
// The protection criterion read from header entry 2: the texts engineers
// write, the ones that must not pass for a criterion, and the warning that
// names them.
#include "criterion.h"
#include "surveyopen.h"
#include "tredoc.h"
#include "verdict.h"

#include <gtest/gtest.h>

#include <tuple>

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
    for (const char* text : {"850 mV", "0,85 V", "-1201 mV", "-499 mV", "-9,5", "-850 mV CSE-Sonde", "-0.85 mA",
                             "- 850", "ohne", "", "-", ",", "-1e3 mV", "-99999999999999999999 mV"})
        EXPECT_FALSE(IsPresent(ProtectionPotentialFromText(text))) << '"' << text << '"';
}

// The electrode written after the value: the texts of the review, and what
// still is no criterion.
TEST(ProtectionCriterion, ElectrodeAfterTheValue)
{
    const std::tuple<const char*, int32_t, const char*> cases[] = {
        {"-950 mV CSE", -950, "Cu/CuSO4"},
        {"-0,95 V (Cu/CuSO4)", -950, "Cu/CuSO4"},
        {"-950 mV gegen Cu/CuSO4", -950, "Cu/CuSO4"},
        {"-0.9 v vs. cucuso4", -900, "Cu/CuSO4"},
        {"-900mV vs CSE ", -900, "Cu/CuSO4"},
        {"-850 mV(CSE)", -850, "Cu/CuSO4"},
        {"-800 mV gegen Ag/AgCl", -800, "Ag/AgCl"},
        {"-0,95 ( zn )", -950, "Zn"},
        {"-850 mV", -850, ""},
    };
    for (const auto& [text, mv, electrode] : cases) {
        const SCriterionText c = ReadCriterionText(text);
        EXPECT_EQ(c.mv, mv) << '"' << text << '"';
        EXPECT_EQ(c.electrode, electrode) << '"' << text << '"';
    }
    for (const char* text : {"-950 mV Kalomel", "-950 mV gegen", "-950 mV (CSE", "-950 mV CSE neu", "-950 mV gegenCSE",
                             "-950 mV Zinn", "-950 vsCSE", "CSE -950 mV"})
        EXPECT_FALSE(IsPresent(ReadCriterionText(text).mv)) << '"' << text << '"';
}

TEST(ProtectionCriterion, AnotherElectrodeThanTheMeasurementsIsNotTakenAsItsValue)
{
    // Against the survey's electrode (assumed Cu/CuSO4) the value counts.
    SProtectionCriterion c = ResolveProtectionCriterion("-950 mV CSE");
    EXPECT_EQ(c.protection, -950);
    EXPECT_EQ(c.source, ECriterionSource::Header);
    EXPECT_EQ(c.electrode, "Cu/CuSO4");
    EXPECT_EQ(c.warning, "");
    EXPECT_FALSE(CriterionElectrodeDiffers(c, "Cu/CuSO4 E-27"));
    EXPECT_EQ(CriterionElectrodeWarning(c, "Cu/CuSO4 E-27"), "");
    EXPECT_TRUE(CriterionElectrodeDiffers(c, "Ag/AgCl (gesättigt)"));

    // Against Ag/AgCl the same protection is another number: not converted.
    c = ResolveProtectionCriterion("-800 mV Ag/AgCl");
    EXPECT_EQ(c.protection, -850);
    EXPECT_EQ(c.source, ECriterionSource::Default);
    EXPECT_EQ(c.electrode, "Ag/AgCl");
    EXPECT_EQ(c.warning, "Schutzkriterium „-800 mV Ag/AgCl“ gegen Ag/AgCl angegeben, Bezugselektrode der Messung "
                         "Cu/CuSO4: nicht umrechenbar; −850 mV angenommen.");
    EXPECT_TRUE(CriterionElectrodeDiffers(c, "Cu/CuSO4 E-27"));
    EXPECT_EQ(CriterionElectrodeWarning(c, "Cu/CuSO4 E-27"),
              "Schutzkriterium gegen Ag/AgCl angegeben, Bezugselektrode der Messung Cu/CuSO4 E-27");
    // An electrode text that names none of them cannot be said to differ.
    EXPECT_FALSE(CriterionElectrodeDiffers(c, "Bezugselektrode 3"));

    // A survey measured against Ag/AgCl takes it.
    c = ResolveProtectionCriterion("-800 mV Ag/AgCl", NO_VALUE, -1200, "Ag/AgCl Nr. 4");
    EXPECT_EQ(c.protection, -800);
    EXPECT_EQ(c.source, ECriterionSource::Header);
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

// The demo judged against its creek's -950 mV written with the electrode:
// 1487 m not protected, as with "-950 mV" alone, not the 65 m of the
// −850 mV the unreadable text used to fall back on.
TEST(ProtectionCriterion, DemoWithTheElectrodeAfterTheCriterion)
{
    CTreDoc doc;
    ASSERT_TRUE(tresimport::OpenSurvey(doc, std::string(TRES_SAMPLES_DIR) + "/demo.tsd"));
    doc.m_header[2] = "-950 mV CSE";
    const SVerdict v = AssessProtection(doc);
    EXPECT_EQ(v.criterion.protection, -950);
    EXPECT_EQ(v.criterion.warning, "");
    EXPECT_EQ(v.statuses[static_cast<size_t>(EVerdictStatus::Unprotected)].length, 1487);
}
