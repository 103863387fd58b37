// SPDX-License-Identifier: GPL-3.0-or-later
// Text forms: the fixed-width texts every view and printout shows.
#include "docfixture.h"
#include "missingtool.h"
#include "numtext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace {

CTreDoc& OneRow(CTreDoc& doc)
{
    doc.OnNewDocument();
    return doc;
}

} // namespace

TEST(TextForms, MeterIsRightAlignedToSixWithSpaceFlag)
{
    CTreDoc doc;
    OneRow(doc);
    doc.SetMeter(1, 5);
    EXPECT_EQ(doc.FormatMeter(1), "     5");
    doc.SetMeter(1, -5);
    EXPECT_EQ(doc.FormatMeter(1), "    -5");
    doc.SetMeter(1, 1234567);
    EXPECT_EQ(doc.FormatMeter(1), " 1234567"); // wider than six, never cut
    doc.SetMeter(1, NO_VALUE);
    EXPECT_EQ(doc.FormatMeter(1), "      ");
}

TEST(TextForms, PotentialsGoThroughSinglePrecisionVolts)
{
    CTreDoc doc;
    OneRow(doc);
    doc.SetPotOn(1, -850);
    EXPECT_EQ(doc.FormatPotOn(1), "-0.85");
    // -855 * 0.001f lies just below -0.855, so it rounds away from zero.
    doc.SetPotOn(1, -855);
    EXPECT_EQ(doc.FormatPotOn(1), "-0.86");
    doc.SetPotOff(1, 500);
    EXPECT_EQ(doc.FormatPotOff(1), " 0.50");
    doc.SetPotOff(1, -12345);
    EXPECT_EQ(doc.FormatPotOff(1), "-12.35");
    doc.SetPotOn(1, NO_VALUE);
    EXPECT_EQ(doc.FormatPotOn(1), "     ");
}

// Volts are "%.2f" of the single-precision value, ties included (1125 mV
// is exactly 1.125f, which printf rounds to even: 1.12).
TEST(TextForms, VoltsAreTheSinglePrecisionValueAsPrintfRoundsIt)
{
    EXPECT_EQ(tresnum::VoltsText(1125, 5), " 1.12");
    EXPECT_EQ(tresnum::VoltsText(-4, 5), "-0.00");
    std::vector<int32_t> values{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), (1 << 24) - 1,
                                -(1 << 24) + 1};
    for (int32_t mv = -300'000; mv <= 300'000; ++mv) values.push_back(mv);
    std::mt19937 rng(5);
    for (int i = 0; i < 200'000; ++i) values.push_back(static_cast<int32_t>(rng()));
    for (int32_t mv : values) {
        char expected[40];
        std::snprintf(expected, sizeof expected, "%6.2f", static_cast<double>(static_cast<float>(mv) * 0.001f));
        std::string appended = "x";
        tresnum::AppendVolts(appended, mv, 6);
        ASSERT_EQ(tresnum::VoltsText(mv, 6), expected) << mv;
        ASSERT_EQ(appended, std::string("x") + expected) << mv;
    }
}

TEST(TextForms, GradientsShowWholeMillivoltsTruncated)
{
    CTreDoc doc;
    OneRow(doc);
    doc.SetGradOnL(1, 125);
    doc.SetGradOffL(1, -39);
    doc.SetGradOnR(1, 7);
    EXPECT_EQ(doc.FormatGradOnL(1), "   12");
    EXPECT_EQ(doc.FormatGradOffL(1), "   -3");
    EXPECT_EQ(doc.FormatGradOnR(1), "    0");
    EXPECT_EQ(doc.FormatGradOffR(1), "     ");
    // left difference (125 - -39) / 10 = 16; right has no "off" value
    EXPECT_EQ(doc.FormatGradDiffL(1), "   16");
    EXPECT_EQ(doc.FormatGradDiffR(1), "     ");
}

TEST(TextForms, MeanGradientTexts)
{
    CTreDoc doc;
    OneRow(doc);
    doc.SetGradOnL(1, 150);
    EXPECT_EQ(doc.FormatGradOn(1), "   15");
    EXPECT_EQ(doc.FormatGradOff(1), "     ");
    EXPECT_EQ(doc.FormatGradDiff(1), "     ");
    EXPECT_EQ(doc.FormatPotIRFree(1), "     ");
}

TEST(TextForms, OutOfRangeRowsReadAsAbsent)
{
    CTreDoc doc;
    OneRow(doc);
    EXPECT_EQ(doc.GetMeter(0), NO_VALUE);
    EXPECT_EQ(doc.GetPotOn(2), NO_VALUE);
    EXPECT_EQ(doc.FormatMeter(-3), "      ");
    EXPECT_EQ(doc.GetComment(9), "");
}

TEST(TextForms, ProcessLocaleDoesNotChangeTheDecimalPoint)
{
    // A German desktop locale must not turn file numbers into "0,85".
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) TRES_GTEST_SKIP_MISSING("no German locale de_DE.UTF-8 installed");
    EXPECT_EQ(tresnum::FormatFixed(-0.85, 2, 5), "-0.85");
    EXPECT_DOUBLE_EQ(tresnum::ParseDoublePrefix("-1.25"), -1.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberText, DoublePrefixReadsLikeAtof)
{
    using tresnum::ParseDoublePrefix;
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("  -1.25xyz"), -1.25);
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("12."), 12.0);
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("1e2"), 100.0);
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("1e"), 1.0);
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("abc"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("-"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("0,85"), 0.0);
    // no hex, no words: the files never held them
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("0x10"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("inf"), 0.0);
    EXPECT_TRUE(std::isinf(ParseDoublePrefix("1e999")));
    EXPECT_DOUBLE_EQ(ParseDoublePrefix("1e-999"), 0.0);
}

// The shortcut for plain decimals must give the very double from_chars
// gives, or a saved survey would change on the next open.
TEST(NumberText, PlainDecimalsReadBitForBitAsFromChars)
{
    std::mt19937 rng(2024);
    std::vector<std::string> texts = {
        "0",     "-0",           "-0.00",           "0.1", "9.999999999999999", "123456789012345", "0.000000000000001",
        "1.005", "-2147483.648", "4503599627370497"};
    for (int i = 0; i < 200'000; ++i) {
        char buf[40];
        const int places = static_cast<int>(rng() % 9);
        const double v = (static_cast<double>(rng()) - 2147483648.0) / std::pow(10.0, rng() % 12);
        texts.emplace_back(buf, static_cast<size_t>(std::snprintf(buf, sizeof buf, "%.*f", places, v)));
    }
    for (const std::string& t : texts) {
        const size_t start = t[0] == '-' ? 1 : 0;
        double expected = 0;
        std::from_chars(t.data() + start, t.data() + t.size(), expected);
        if (start) expected = -expected;
        const double got = tresnum::ParseDoublePrefix(t);
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << t << ": " << got << " vs " << expected;
    }
}

TEST(NumberText, IntPrefixRefusesWhatDoesNotFit)
{
    EXPECT_EQ(tresnum::ParseIntPrefix(" 42abc"), 42);
    EXPECT_EQ(tresnum::ParseIntPrefix(""), 0);
    EXPECT_EQ(tresnum::ParseIntPrefix("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(tresnum::ParseIntPrefix("2147483648"), std::nullopt);
    EXPECT_EQ(tresnum::ParseIntPrefix("99999999999999999999999"), std::nullopt);
}

TEST(NumberText, DecimalCommaOnlyFromPositionTwo)
{
    EXPECT_EQ(tresnum::AcceptDecimalComma("-0,85"), "-0.85");
    EXPECT_EQ(tresnum::AcceptDecimalComma("0,85"), "0,85");
    EXPECT_EQ(tresnum::AcceptDecimalComma("-1,2,3"), "-1.2,3");
    EXPECT_EQ(tresnum::AcceptDecimalComma(",5"), ",5");
    // The reader's shortcut reads the same numbers, long fields included.
    const std::string longField = "-1," + std::string(70, '5') + "e-1";
    for (std::string_view s : {"-0,85", "0,85", "-1,2,3", ",5", "12", "", " -3,5e2;x", longField.c_str()})
        EXPECT_EQ(tresnum::ParseDecimalCommaPrefix(s), tresnum::ParseDoublePrefix(tresnum::AcceptDecimalComma(s))) << s;
    EXPECT_EQ(tresnum::ParseDecimalCommaPrefix("-0,85"), -0.85);
    EXPECT_EQ(tresnum::ParseDecimalCommaPrefix("0,85"), 0.0);
}

// A settings field as a person types it: blanks around it, a typographic
// minus, a decimal comma, digits beyond the unit cut off; empty stands for
// the default, and neither the absent marker nor a doubled sign is a number.
TEST(NumberText, SettingsFieldReadsWhatAPersonTypes)
{
    int64_t v = 0;
    ASSERT_TRUE(tresnum::ParseFieldNumber(" \u2212850 ", 0, v));
    EXPECT_EQ(v, -850);
    ASSERT_TRUE(tresnum::ParseFieldNumber("4,99", 1, v));
    EXPECT_EQ(v, 49);
    ASSERT_TRUE(tresnum::ParseFieldNumber("  ", 1, v));
    EXPECT_EQ(v, NO_VALUE);
    for (const char* bad : {"9999999", "-9999999", "\u2212-5", "--5", "5 mV", ","})
        EXPECT_FALSE(tresnum::ParseFieldNumber(bad, 0, v)) << bad;
}

// Lengths and chainages: the window, the report and the dig list drop or
// keep the trailing zero as they always have, and a chainage just before
// the start keeps its sign (the window's chainage column once showed -0,5
// as "0,5").
TEST(NumberText, LengthsKeepTheirSignAndDigits)
{
    EXPECT_EQ(tresnum::LengthText(2306), "2306");
    EXPECT_EQ(tresnum::LengthText(2399.5), "2399,5");
    EXPECT_EQ(tresnum::LengthText(12.05), "12,05");
    EXPECT_EQ(tresnum::LengthText(-0.5), "-0,5");
    EXPECT_EQ(tresnum::HundredthsText(2540), "25,40");
    EXPECT_EQ(tresnum::HundredthsText(-305), "-3,05");
    EXPECT_EQ(tresnum::HundredthsText(-2500), "-25");
    EXPECT_EQ(tresnum::TenthsText(NO_VALUE, ""), "");
}

// A row's comment: copies are deep, moves leave the source empty, and a
// comment assigned a piece of itself keeps that piece.
TEST(RowText, CopiesMovesAndAssignmentFromItself)
{
    CRowText a(std::string_view("Schieber Süd"));
    CRowText b = a;
    EXPECT_EQ(b.View(), "Schieber Süd");
    EXPECT_NE(a.View().data(), b.View().data());
    CRowText c = std::move(a);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(c.View(), "Schieber Süd");
    c = c.View().substr(9);
    EXPECT_EQ(c.Str(), "Süd");
    const CRowText& same = c;
    c = same;
    EXPECT_EQ(c.Str(), "Süd");
    c = std::string_view();
    EXPECT_TRUE(c.empty());
    EXPECT_EQ(c.Str(), "");
    EXPECT_EQ(CRowText(), CRowText(std::string_view("")));
    EXPECT_FALSE(b == c);

    // Rows carry it through the edits that move them around.
    CTreDoc doc;
    MakeRows(doc, {30, 10, 20});
    doc.SetComment(1, "dreißig");
    doc.SetComment(2, std::string(5000, 'x'));
    doc.SortByMeter();
    doc.InsertRowAfter(1);
    EXPECT_EQ(doc.GetComment(1), std::string(5000, 'x'));
    EXPECT_EQ(doc.GetComment(2), "");
    EXPECT_EQ(doc.GetComment(4), "dreißig");
}
