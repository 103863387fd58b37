// SPDX-License-Identifier: GPL-3.0-or-later
// What the sections set for each row: inside [from, to] only, and where
// sections overlap, the first in file order for each value on its own.
#include "sections.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace trespipeline;

SSection Section(double from, double to, int32_t ep, int32_t el, std::optional<bool> allow)
{
    SSection s;
    s.from = from;
    s.to = to;
    s.protectionPotential = ep;
    s.limitPotential = el;
    s.allow100mV = allow;
    return s;
}

TEST(Sections, OverridePerRowFirstInFileOrderWins)
{
    constexpr int32_t X = NO_VALUE;
    const CSectionIndex index({
        Section(100, 200, -950, X, std::nullopt),
        Section(150, 400, -850, -1100, false),
        Section(0, 1000, X, X, true),
        Section(300, 300, X, -1050, std::nullopt),
    });
    const double none = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> chainage{-0.01, 0, 99.99, 100, 150, 200, 200.01, 300, 400, 400.5, 1000, 1000.01, none};
    const SRowOverrides o = index.ForRows(chainage);
    EXPECT_EQ(o.protectionPotential, (std::vector<int32_t>{X, X, X, -950, -950, -950, -850, -850, -850, X, X, X, X}));
    EXPECT_EQ(o.limitPotential, (std::vector<int32_t>{X, X, X, X, -1100, -1100, -1100, -1100, -1100, X, X, X, X}));
    using B = std::optional<bool>;
    const B n;
    // The anaerobic first section (-950 mV, saying nothing of the 100 mV
    // criterion) excludes it over 100 ... 200 m although the long third
    // section admits it there.
    EXPECT_EQ(o.allow100mV,
              (std::vector<B>{n, true, true, false, false, false, false, false, false, true, true, n, n}));
    EXPECT_EQ(CSectionIndex({}).At(100).protectionPotential, X);
}

// DIN EN ISO 15589-1 admits no 100 mV criterion where sulphate-reducing
// bacteria are expected, which is why a section asks for -950 mV.
TEST(Sections, AnaerobicSoilExcludesTheHundredMillivoltCriterionUnlessTheSectionAdmitsIt)
{
    constexpr int32_t X = NO_VALUE;
    using B = std::optional<bool>;
    const B n;
    const auto allow = [](std::vector<SSection> sections) { return CSectionIndex(sections).At(150).allow100mV; };
    EXPECT_EQ(allow({Section(100, 200, -950, X, n)}), B(false));
    EXPECT_EQ(allow({Section(100, 200, -1000, X, n)}), B(false));
    EXPECT_EQ(allow({Section(100, 200, -949, X, n)}), n);
    EXPECT_EQ(allow({Section(100, 200, -950, X, true)}), B(true));
    EXPECT_EQ(allow({Section(0, 1000, X, X, true), Section(100, 200, -950, X, n)}), B(false));

    const SSectionAdmission anaerobic = SectionAdmission(Section(100, 200, -950, X, n));
    EXPECT_EQ(anaerobic.allow, B(false));
    EXPECT_STREQ(Admission100Id(anaerobic.reason), "anaerob");
    EXPECT_STREQ(Admission100Id(SectionAdmission(Section(100, 200, -950, X, true)).reason), "Leitungsdaten");
    EXPECT_EQ(SectionAdmission(Section(100, 200, -850, X, n)).reason, EAdmission100::None);

    SSection s = Section(407, 517, -950, X, true);
    s.feature = 14;
    EXPECT_EQ(SectionText(s), "Merkmal 14, 407 bis 517 m: Schutzpotential -950 mV; 100-mV-Kriterium zulässig");
}

TEST(Sections, TextNamesWhatTheSectionSetsAndRowsCountInsideOnly)
{
    constexpr int32_t X = NO_VALUE;
    SSection s = Section(407, 517.5, -950, X, std::nullopt);
    s.feature = 14;
    s.name = "Bachaue";
    EXPECT_EQ(SectionText(s),
              "Merkmal 14 „Bachaue“, 407 bis 517,5 m: Schutzpotential -950 mV; 100-mV-Kriterium nicht zulässig "
              "(anaerob)");
    SSection t = Section(0, 100, X, -1100, false);
    t.feature = 3;
    EXPECT_EQ(SectionText(t), "Merkmal 3, 0 bis 100 m: Grenzpotential -1100 mV; 100-mV-Kriterium nicht zulässig");
    t.limitPotential = X;
    t.allow100mV.reset();
    EXPECT_EQ(SectionText(t), "Merkmal 3, 0 bis 100 m: keine Vorgabe");

    const double none = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(SectionRows(s, {406.99, 407, 450, none, 517.5, 517.51}), 3u);
}

} // namespace
