// SPDX-License-Identifier: GPL-3.0-or-later
// Re-stationing a survey to the fixed points: the worked example, the
// refusals and warnings with their texts, the direction beyond the outer
// ties and the rounding of chainages and of whole metres.
#include "numbers.h"
#include "restation.h"
#include "surveyrows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace {

using namespace trespipeline;

constexpr int32_t X = NO_VALUE;

// Rows of metre and comment only.
void Fill(CTreDoc& doc, const std::vector<std::pair<int32_t, std::string>>& rows)
{
    std::vector<CSurveyRow> r;
    for (const auto& [m, c] : rows) r.emplace_back(m, X, X, X, X, X, X, c);
    FillSurvey(doc, r);
}

std::vector<SFixpoint> Fixpoints(const std::vector<std::pair<std::string, double>>& named)
{
    std::vector<SFixpoint> out;
    for (const auto& [name, chainage] : named) {
        SFixpoint fp;
        fp.feature = static_cast<int>(out.size()) + 2; // feature 1 is the route
        fp.name = fp.match = name;
        fp.chainage = chainage;
        out.push_back(fp);
    }
    return out;
}

// Chainages as text, "-" for none: the failure shows the whole survey.
std::vector<std::string> Texts(const std::vector<double>& chainage)
{
    std::vector<std::string> out;
    for (double s : chainage) out.push_back(HasChainage(s) ? GermanNumber(s, 2) : "-");
    return out;
}

TEST(Restation, WorkedExample)
{
    CTreDoc doc;
    Fill(doc, {{0, ""}, {100, "Prüfstelle 1"}, {200, ""}, {300, "SCHIEBER "}});
    const SRestation r = Restation(doc, Fixpoints({{"Schieber", 310}, {"Prüfstelle 1", 105}, {"Entlüftung", 400}}));
    ASSERT_TRUE(r.ok) << r.errors.front();
    EXPECT_EQ(Texts(r.chainage), (std::vector<std::string>{"5", "105", "207,5", "310"}));
    ASSERT_EQ(r.factors.size(), 1u);
    EXPECT_DOUBLE_EQ(r.factors[0], 1.025);
    ASSERT_EQ(r.ties.size(), 2u);
    EXPECT_EQ(r.ties[0].row, 2);
    EXPECT_EQ(r.ties[0].fixpoint, 1u);
    EXPECT_EQ(r.ties[1].row, 4);
    EXPECT_EQ(r.unmatched, std::vector<size_t>{2});
    EXPECT_EQ(r.warnings, std::vector<std::string>{
                              "Festpunkt „Entlüftung“ (Merkmal 4) kommt in den Kommentaren der Messung nicht vor"});
}

TEST(Restation, Refusals)
{
    struct Case {
        std::vector<std::pair<int32_t, std::string>> rows;
        std::vector<std::pair<std::string, double>> fixpoints;
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        {{{0, "A"}, {10, "B"}, {20, "A"}, {30, "a"}},
         {{"A", 0}, {"B", 10}},
         {"Festpunkt „A“ (Merkmal 2) passt zu mehreren Zeilen: 1, 3, 4"}},
        {{{0, "A"}, {10, ""}},
         {{"C", 0}},
         {"Kein Festpunkt der Leitungsdaten passt zu einem Kommentar der Messung; die Stationierung lässt sich "
          "nicht anpassen."}},
        {{{0, "A"}, {10, "B"}, {10, "C"}},
         {{"A", 0}, {"B", 10}, {"C", 11}},
         {"Die Festpunkte „B“ (Zeile 2) und „C“ (Zeile 3) haben denselben Meter 10; die Stationierung lässt sich "
          "nicht anpassen."}},
        {{{0, "A"}, {200, "B"}, {300, "C"}},
         {{"A", 105}, {"B", 310}, {"C", 200}},
         {"Die Stationen der Festpunkte sind in Zeilenfolge nicht streng monoton: „B“ (Zeile 2) bei 310 m, danach "
          "„C“ (Zeile 3) bei 200 m."}},
        {{{0, "A"}, {100, "B"}, {200, "C"}},
         {{"A", 5}, {"B", 105.5}, {"C", 105.5}},
         {"Die Stationen der Festpunkte sind in Zeilenfolge nicht streng monoton: „B“ (Zeile 2) bei 105,5 m, danach "
          "„C“ (Zeile 3) bei 105,5 m."}},
    };
    for (const Case& c : cases) {
        CTreDoc doc;
        Fill(doc, c.rows);
        const SRestation r = Restation(doc, Fixpoints(c.fixpoints));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.errors, c.errors);
        EXPECT_TRUE(r.chainage.empty());
    }
}

// A counter set back to 0 (two days appended) or a fixed point named at the
// wrong row gives a factor no wire counter can: the survey is not moved by
// it. The first such pair is named.
TEST(Restation, ImpossibleFactorsRefuse)
{
    const auto errors = [](const std::vector<std::pair<int32_t, std::string>>& rows,
                           const std::vector<std::pair<std::string, double>>& fixpoints) {
        CTreDoc doc;
        Fill(doc, rows);
        return Restation(doc, Fixpoints(fixpoints)).errors;
    };
    const std::string tail = ": Zählerstand zurückgesetzt oder falscher Festpunkt?";
    // 100 m of chainage while the counter fell by 297 m: -0.3367.
    EXPECT_EQ(errors({{0, "A"}, {600, "B"}, {900, ""}, {303, "C"}}, {{"A", 0}, {"B", 600}, {"C", 700}}),
              std::vector<std::string>{"Zwischen „B“ (Zeile 2) und „C“ (Zeile 4) ist der Stationierungsfaktor "
                                       "\u22120,337"
                                       + tail});
    // Walked against the chainage, then the counter turned: the pair whose
    // sign differs from the first factor's.
    EXPECT_TRUE(errors({{0, "A"}, {100, "B"}, {200, "C"}}, {{"A", 1000}, {"B", 900}, {"C", 800}}).empty());
    EXPECT_EQ(
        errors({{0, "A"}, {100, "B"}, {50, "C"}}, {{"A", 1000}, {"B", 900}, {"C", 850}}),
        std::vector<std::string>{"Zwischen „B“ (Zeile 2) und „C“ (Zeile 3) ist der Stationierungsfaktor 1,000" + tail});
    // Beyond 0.5 ... 2 the first pair only; 2 and 0.5 themselves pass.
    EXPECT_EQ(
        errors({{0, "A"}, {100, "B"}, {200, "C"}, {300, "D"}}, {{"A", 0}, {"B", 300}, {"C", 600}, {"D", 601}}),
        std::vector<std::string>{"Zwischen „A“ (Zeile 1) und „B“ (Zeile 2) ist der Stationierungsfaktor 3,000" + tail});
    EXPECT_EQ(
        errors({{0, "A"}, {100, "B"}}, {{"A", 0}, {"B", 40}}),
        std::vector<std::string>{"Zwischen „A“ (Zeile 1) und „B“ (Zeile 2) ist der Stationierungsfaktor 0,400" + tail});
    EXPECT_TRUE(errors({{0, "A"}, {100, "B"}, {200, "C"}}, {{"A", 0}, {"B", 200}, {"C", 250}}).empty());
}

TEST(Restation, WarningsLeaveItUsable)
{
    CTreDoc doc;
    Fill(doc, {{0, "A"}, {100, "B"}, {X, "C"}, {200, "D"}, {300, ""}});
    const SRestation r = Restation(doc, Fixpoints({{"A", 0}, {"B", 94}, {"C", 150}, {"D", 200}}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.warnings,
              (std::vector<std::string>{
                  "Festpunkt „C“ (Zeile 3): die Zeile hat keinen Meter; der Festpunkt wird nicht verwendet",
                  "Zwischen „A“ (Zeile 1) und „B“ (Zeile 2) ist der Maßstab 0,94 (mehr als 5 % von 1 entfernt)",
                  "Zwischen „B“ (Zeile 2) und „D“ (Zeile 4) ist der Maßstab 1,06 (mehr als 5 % von 1 entfernt)",
              }));
    EXPECT_EQ(Texts(r.chainage), (std::vector<std::string>{"0", "94", "-", "200", "300"}));
    // A wider tolerance lets both stretches pass.
    EXPECT_TRUE(Restation(doc, Fixpoints({{"A", 0}, {"B", 94}, {"D", 200}}), 0.06).warnings.empty());
}

TEST(Restation, DirectionBeyondTheOuterTies)
{
    CTreDoc doc;
    Fill(doc, {{0, ""}, {100, "A"}, {200, "B"}, {300, ""}});
    // Walked against the chainage direction: beyond the ties it goes on
    // falling, as between them.
    SRestation r = Restation(doc, Fixpoints({{"A", 1000}, {"B", 895}}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Texts(r.chainage), (std::vector<std::string>{"1100", "1000", "895", "795"}));
    EXPECT_DOUBLE_EQ(r.factors[0], -1.05);
    // One tie shifts the whole survey; a row without metre gets nothing.
    Fill(doc, {{0, ""}, {X, ""}, {200, "B"}, {300, ""}});
    r = Restation(doc, Fixpoints({{"B", 250.25}}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Texts(r.chainage), (std::vector<std::string>{"50,25", "-", "250,25", "350,25"}));
}

TEST(Restation, RoundsHalfAwayFromZero)
{
    // 1023.01 + 1 * 2.01 / 2 is 1024.0149999999999 in binary; the decimal
    // tie 1024.015 rounds up, and -1024.015 down.
    CTreDoc doc;
    Fill(doc, {{0, "A"}, {1, ""}, {2, "B"}});
    const SRestation r = Restation(doc, Fixpoints({{"A", 1023.01}, {"B", 1025.02}}));
    EXPECT_EQ(Texts(r.chainage), (std::vector<std::string>{"1023,01", "1024,02", "1025,02"}));
    EXPECT_EQ(r.chainage[1], 1024.02); // kept rounded, not only shown so
    EXPECT_EQ(Texts(Restation(doc, Fixpoints({{"A", -1023.01}, {"B", -1025.02}})).chainage),
              (std::vector<std::string>{"-1023,01", "-1024,02", "-1025,02"}));

    EXPECT_EQ(WholeMetre(207.5), 208);
    EXPECT_EQ(WholeMetre(207.49), 207);
    EXPECT_EQ(WholeMetre(-0.5), -1);
    EXPECT_EQ(WholeMetre(-2.49), -2);
    EXPECT_EQ(WholeMetre(3e9), std::nullopt);
    EXPECT_EQ(WholeMetre(std::numeric_limits<double>::quiet_NaN()), std::nullopt);

    // The metre column: a row without a chainage keeps no metre; a chainage
    // that would land on the file's "absent" value is refused with its row,
    // it must not silently turn the row's metre into none.
    const double none = std::numeric_limits<double>::quiet_NaN();
    const SWholeMetres whole = RestationedMetres({207.5, none, -0.5});
    EXPECT_EQ(whole.badRow, 0);
    EXPECT_EQ(whole.metres, (std::vector<int32_t>{208, X, -1}));
    EXPECT_EQ(RestationedMetres({1.0, 9999999.2, 3e9}).badRow, 2);
    EXPECT_EQ(RestationedMetres({1.0, 3e9}).badRow, 2);
}

// The menu command's question: rows 2 and 4 move (by 3 and 12 m), row 3
// keeps its metre, row 5 has no chainage and is not counted as moved.
TEST(Restation, PreviewCountsMovedRowsAndTheLargestMove)
{
    CTreDoc doc;
    Fill(doc, {{0, ""}, {10, ""}, {20, ""}, {30, ""}, {40, ""}});
    const double none = std::numeric_limits<double>::quiet_NaN();
    const SRestationPreview p = PreviewRestation(doc, {0.2, 12.6, 20.4, 41.5, none});
    EXPECT_EQ(p.whole.badRow, 0);
    EXPECT_EQ(p.whole.metres, (std::vector<int32_t>{0, 13, 20, 42, X}));
    EXPECT_EQ(p.changed, 2);
    EXPECT_EQ(p.largestRow, 4);
    EXPECT_EQ(p.largest, 12);
    // Nothing moves: no row named.
    const SRestationPreview same = PreviewRestation(doc, {0, 10, 20, 30, 40});
    EXPECT_EQ(std::tie(same.changed, same.largestRow), std::make_tuple(0, 0));
}

} // namespace
