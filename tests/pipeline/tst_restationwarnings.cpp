// SPDX-License-Identifier: GPL-3.0-or-later
// The warnings re-stationing would add: a counter that ran 5 % fast gives
// whole metres that fall together, each a new "Meter nicht fortlaufend";
// a warning the survey raises already is not counted again.
#include "restation.h"
#include "restationwarnings.h"
#include "surveybinding.h"
#include "surveyrows.h"

#include <gtest/gtest.h>

namespace {

using namespace trespipeline;

SFixpoint Fixpoint(const std::string& name, double chainage)
{
    SFixpoint fp;
    fp.name = fp.match = name;
    fp.chainage = chainage;
    return fp;
}

// Rows every metre from 0 to 100 m, "A" at 0 m and "B" at 100 m standing
// at chainage 0 and 95; then a row at 99 m, one step back, a warning already.
// The chainages 0,95 · m round together at m = 11, 31, 51, 71 and 91
// (10,45 after 9,5 both to 10 m, and so on).
TEST(RestationWarnings, MetresFallingTogetherAreCountedOnceEach)
{
    CTreDoc doc;
    std::vector<CSurveyRow> rows;
    for (int m = 0; m <= 100; ++m)
        rows.emplace_back(m, -1100, -950, 30, NO_VALUE, 20, NO_VALUE, m == 0 ? "A" : m == 100 ? "B" : "");
    rows.emplace_back(99, -1100, -950, 30, NO_VALUE, 20, NO_VALUE, "");
    FillSurvey(doc, rows);
    SPipelineData data;
    data.route.vertices = {{9.0, 48.0}, {9.0, 48.01}};
    data.fixpoints = {Fixpoint("A", 0), Fixpoint("B", 95)};
    const SSurveyBinding b = BindSurvey(doc, data);
    ASSERT_TRUE(b.ok) << b.errors.front();
    const SWholeMetres whole = RestationedMetres(b.chainage);
    ASSERT_EQ(whole.badRow, 0);
    EXPECT_EQ(whole.metres[11], 10);
    EXPECT_EQ(whole.metres[10], 10);

    const SRestationWarnings w = RestationWarnings(doc, b, SVerdictSettings(), whole.metres);
    EXPECT_TRUE(w.bindErrors.empty());
    ASSERT_EQ(w.added.size(), 1u);
    EXPECT_EQ(w.added[0].kind, EPlausibility::MetreOrder);
    EXPECT_EQ(w.added[0].count, 5);
    EXPECT_EQ(NewWarningsText(w.added[0]), "5 neue Warnungen „Meter nicht fortlaufend“");
    EXPECT_EQ(NewWarningsText({EPlausibility::Gap, 1}), "1 neue Warnung „Messlücke“");

    // Metres as they are add nothing.
    std::vector<int32_t> same;
    for (int r = 1; r <= doc.GetRowCount(); ++r) same.push_back(doc.GetMeter(r));
    EXPECT_TRUE(RestationWarnings(doc, b, SVerdictSettings(), same).added.empty());

    // The caller's verdict is taken as the survey's, not assessed again:
    // one without warnings makes the step back new as well.
    const SVerdict none;
    const SRestationWarnings given = RestationWarnings(doc, b, SVerdictSettings(), whole.metres, &none);
    ASSERT_EQ(given.added.size(), 1u);
    EXPECT_EQ(given.added[0].count, 6);
}

} // namespace
