// SPDX-License-Identifier: GPL-3.0-or-later
// The trend's rules on surveys made for them: how indications are followed
// from survey to survey, where protection changed, and the potential at a
// fixed point.
#include "assessmentinput.h"
#include "defecttracks.h"
#include "fixpointtrend.h"
#include "protectionchanges.h"
#include "trendcsv.h"
#include "trenddates.h"
#include "trendjson.h"

#include <gtest/gtest.h>

using namespace trestrend;

namespace {

using S = EVerdictStatus;

// A survey assessed along 0..length m, every metre one row of `status`
// with E* `value`, and its defects at the given positions and categories.
STrendSurvey Survey(long long id, const std::string& date, std::vector<std::pair<double, int>> defects,
                    int length = 300, S status = S::Protected, int32_t value = -900)
{
    STrendSurvey s;
    s.id = id;
    s.date = date;
    s.chainage = true;
    for (int m = 0; m <= length; ++m) s.rows.push_back({m + 1, m, static_cast<double>(m), status, value});
    for (const auto& [at, category] : defects)
        s.defects.push_back(
            {static_cast<int>(at) + 1, static_cast<int32_t>(at), at, category, 10.0, S::Unprotected, "aufgraben"});
    return s;
}

std::vector<std::string> States(const STrack& t)
{
    std::vector<std::string> out;
    for (const STrackState& s : t.states) out.push_back(TrackStateText(s.state));
    return out;
}

} // namespace

TEST(DefectTracks, IndicationsAreFollowedFromSurveyToSurvey)
{
    // 50 m persists and grows, 120 m weakens, 200 m disappears where the
    // later survey assessed, 280 m where it did not; 240 m is new.
    std::vector<STrendSurvey> s{Survey(1, "2019-05-01", {{50, 2}, {120, 3}, {200, 1}, {280, 1}}),
                                Survey(2, "2022-05-01", {{53, 3}, {118, 2}, {240, 0}})};
    for (STrendRow& r : s[1].rows)
        if (r.position >= 270) r.status = S::NotAssessed;
    const std::vector<STrack> t = DefectTracks(s, {}, 5);
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(States(t[0]), (std::vector<std::string>{"erfasst", "verschärft"}));
    EXPECT_EQ(States(t[1]), (std::vector<std::string>{"erfasst", "abgeschwächt"}));
    EXPECT_EQ(States(t[2]), (std::vector<std::string>{"erfasst", "nicht mehr angezeigt"}));
    EXPECT_EQ(States(t[3]), (std::vector<std::string>{"erfasst", "nicht bewertet"}));
    EXPECT_EQ(t[2].states[1].defect, nullptr);
    // Numbered by the survey it starts in, then chainage.
    EXPECT_EQ(t[4].id, 5);
    EXPECT_EQ(States(t[4]), (std::vector<std::string>{"neu"}));
    EXPECT_EQ(t[4].states[0].defect->position, 240);
}

TEST(DefectTracks, NearestPairFirstAndEachDefectOnce)
{
    // Two indications near one earlier defect: the nearer continues it, the
    // other starts a track; a defect without a category equals any.
    std::vector<STrendSurvey> s{Survey(1, "2019-05-01", {{100, 0}}), Survey(2, "2022-05-01", {{96, 4}, {103, 1}})};
    const std::vector<STrack> t = DefectTracks(s, {}, 5);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(States(t[0]), (std::vector<std::string>{"erfasst", "bestätigt"}));
    EXPECT_EQ(t[0].states[1].defect->position, 103);
    EXPECT_EQ(States(t[1]), (std::vector<std::string>{"neu"}));
    // Equal distances: the lower chainage in the later survey wins.
    s[1] = Survey(2, "2022-05-01", {{103, 1}, {97, 1}});
    EXPECT_EQ(DefectTracks(s, {}, 5)[0].states[1].defect->position, 97);
    // An ended track does not come back: a defect there later is new.
    s = {Survey(1, "2019-05-01", {{100, 1}}), Survey(2, "2022-05-01", {}), Survey(3, "2025-05-01", {{100, 1}})};
    const std::vector<STrack> ended = DefectTracks(s, {}, 5);
    ASSERT_EQ(ended.size(), 2u);
    EXPECT_EQ(States(ended[0]), (std::vector<std::string>{"erfasst", "nicht mehr angezeigt"}));
    EXPECT_EQ(States(ended[1]), (std::vector<std::string>{"neu"}));
}

TEST(DefectTracks, ARepairedDefectThatReturnsIsSaidSo)
{
    std::vector<STrendSurvey> s{Survey(1, "2019-05-01", {{100, 2}}), Survey(2, "2022-05-01", {{101, 2}}),
                                Survey(3, "2025-05-01", {{100, 3}})};
    // Dug at the 2019 defect after 2022's survey: only 2025 is affected.
    const std::vector<SDigFinding> f{{1, 101, "2023-03-01", "Umhüllungsfehler", true, 1.5, "mk"},
                                     {2, 102, "2022-06-01", "nichts gefunden", false, std::nullopt, "mk"}};
    const std::vector<STrack> t = DefectTracks(s, f, 5);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(States(t[0]), (std::vector<std::string>{"erfasst", "bestätigt", "nach Instandsetzung wieder angezeigt"}));
    ASSERT_EQ(t[0].findings.size(), 2u);
    EXPECT_EQ(t[0].findings[0]->date, "2022-06-01");
    // A later survey continues it as usual.
    s.push_back(Survey(4, "2028-05-01", {{100, 3}}));
    EXPECT_EQ(TrackStateText(DefectTracks(s, f, 5)[0].states[3].state), std::string("bestätigt"));
}

TEST(ProtectionChange, MetresOfTheCommonStretchNearestRowWithinFiveMetres)
{
    STrendSurvey before = Survey(1, "2019-05-01", {}, 100), after = Survey(2, "2022-05-01", {}, 100);
    before.rows.erase(before.rows.begin(), before.rows.begin() + 10); // from 10 m
    for (STrendRow& r : after.rows) {
        if (r.position >= 40 && r.position < 52) r.status = S::Unprotected;
        if (r.position >= 60 && r.position <= 61) r.status = S::Over;
        if (r.position == 70) r.status = S::NotAssessed;
    }
    // A gap of 20 m in the later survey: 81..89 m are nearer than 5 m to
    // no row, 80 and 90 m are.
    std::erase_if(after.rows, [](const STrendRow& r) { return r.position > 75 && r.position < 95; });
    const SProtectionChange c = ProtectionChange(before, after);
    EXPECT_EQ(c.newlyUnprotected.length, 14);
    EXPECT_EQ(c.newlyUnprotected.intervals, (std::vector<std::pair<long long, long long>>{{40, 52}, {60, 62}}));
    EXPECT_EQ(c.reprotected.length, 0);
    // 10..100 m, less 70 m and 81..89 m.
    EXPECT_EQ(c.compared, 91 - 1 - 9);
    EXPECT_EQ(ProtectionChange(after, before).reprotected.length, 14);
}

TEST(FixpointTrend, MedianNearThePointAndDriftWarning)
{
    STrendSurvey a = Survey(1, "2022-05-01", {}, 100, S::Protected, -950);
    STrendSurvey b = Survey(2, "2025-05-01", {}, 100, S::Protected, -888);
    // Two values within 1 m of 50.5 m: -901 and -900 give -900.5, -901.
    STrendSurvey c = Survey(3, "2026-05-01", {}, 100);
    c.rows[50].value = -901;
    c.rows[51].value = -900;
    EXPECT_EQ(MedianNear(c, 50.5, 1), -901);
    EXPECT_EQ(MedianNear(c, 500, 5), std::nullopt);
    std::vector<std::string> warnings;
    const auto t = FixpointTrends({a, b}, {{"Prüfstelle 14", 50}}, 5, 50, warnings);
    ASSERT_EQ(t[0].values.size(), 2u);
    EXPECT_EQ(t[0].values[1].change, 62);
    EXPECT_EQ(warnings, (std::vector<std::string>{"„Prüfstelle 14“: 2025 um 62 mV positiver als 2022"}));
}

TEST(TrendDates, DueDateAndAge)
{
    EXPECT_EQ(DatePlusYears("2025-05-12", 3), "2028-05-12");
    EXPECT_EQ(DatePlusYears("2024-02-29", 1), "2025-02-28");
    EXPECT_EQ(DatePlusYears("2024-02-30", 1), "");
    EXPECT_EQ(DaysBetween("2024-12-31", "2025-03-01"), 60);
    EXPECT_EQ(DaysBetween("12.05.25", "2025-03-01"), std::nullopt);
}

// The demo's stored assessment read back: its six defects at their
// chainages, with the dig list's actions.
TEST(AssessmentInput, TheDemosAssessmentInChainage)
{
    const std::string json = R"({"version":1,"pipeline":{"file":"l.geojson"},"rows":[
        {"row":6,"metre":5,"status":"protected","basis":"irfree","value":-950,"chainage":19.17},
        {"row":7,"metre":6,"status":"notAssessed","value":null,"chainage":20.2}],
        "defects":[{"row":230,"metre":229,"irPercent":25.2,"category":2,"status":"unprotected","chainage":244.06}],
        "digList":[{"priority":1,"row":230,"action":"umgehend aufgraben"}]})";
    STrendSurvey s;
    std::string error;
    ASSERT_TRUE(ReadAssessment(json, s, error));
    EXPECT_TRUE(s.chainage);
    ASSERT_EQ(s.rows.size(), 2u);
    EXPECT_DOUBLE_EQ(s.rows[0].position, 19.17);
    EXPECT_EQ(s.rows[0].value, -950);
    EXPECT_EQ(s.rows[1].value, std::nullopt);
    EXPECT_EQ(s.rows[1].status, EVerdictStatus::NotAssessed);
    ASSERT_EQ(s.defects.size(), 1u);
    EXPECT_EQ(s.defects[0].category, 2);
    EXPECT_EQ(s.defects[0].action, "umgehend aufgraben");
    EXPECT_FALSE(ReadAssessment(R"({"version":1})", s, error));
    EXPECT_FALSE(error.empty());
}

// One survey only: its history, no changes; a survey in metres is said.
TEST(Trend, OneSurveyIsItsHistory)
{
    STrendSurvey s = Survey(7, "2025-05-12", {{100, 2}});
    s.chainage = false;
    s.defects[0].action = kDigNow;
    const std::vector<STrendSurvey> surveys{s};
    const STrend t = ComputeTrend(surveys, {}, {}, {.interval = 3, .today = "2025-06-11"});
    EXPECT_TRUE(t.changes.empty());
    EXPECT_EQ(t.nextSurveyDue, "2028-05-12");
    const ojson j = TrendJson({1, "L", "1"}, surveys, t);
    EXPECT_EQ(j["surveys"][0]["positions"], "metre");
    EXPECT_EQ(j["tracks"][0]["states"][0]["state"], "erfasst");
    EXPECT_TRUE(j["tracks"][0]["states"][0]["chainage"].is_null());
    EXPECT_EQ(j["openDigs"][0]["ageDays"], 30);
    EXPECT_EQ(j["warnings"][0], "Messung 7 ohne Stationierung verglichen");
}

TEST(Trend, SpreadsheetHasTracksThenChanges)
{
    std::vector<STrendSurvey> s{Survey(1, "2019-05-01", {{100.25, 2}}), Survey(2, "2022-05-01", {{101, 3}})};
    for (STrendRow& r : s[1].rows)
        if (r.position >= 40 && r.position < 52) r.status = S::Unprotected;
    const std::string csv = TrendCsv(s, ComputeTrend(s, {}, {}, {}));
    EXPECT_NE(csv.find("1;1;2019-05-01;erfasst;2;10;100,25;100;101;nicht geschützt;aufgraben\r\n"), std::string::npos);
    EXPECT_NE(csv.find("1;2;2022-05-01;verschärft;3;"), std::string::npos);
    EXPECT_NE(csv.find("\r\n\r\nVon Messung;"), std::string::npos);
    EXPECT_NE(csv.find("1;2;301;12;40–52;0;\r\n"), std::string::npos);
}
