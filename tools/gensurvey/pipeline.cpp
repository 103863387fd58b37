// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline.h"

#include "random.h"
#include "survey.h"

#include "commentkey.h"
#include "numbers.h"
#include "route.h"
#include "tredoc.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <vector>

namespace gensurvey {

namespace {

using ojson = nlohmann::ordered_json;
using trespipeline::RoundHalfAway;
using trespipeline::SLonLat;

struct Landmark {
    std::string comment;
    int32_t metre = 0;
    double chainage = 0;
};

std::vector<Landmark> UniqueLandmarks(const CTreDoc& doc)
{
    std::map<std::string, int> count;
    for (int r = 1; r <= doc.GetRowCount(); ++r)
        if (doc.HasComment(r)) ++count[CommentKey(doc.GetComment(r))];
    std::vector<Landmark> out;
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        const std::string c = doc.GetComment(r);
        if (c.empty() || IsGapRemark(c) || !IsPresent(doc.GetMeter(r))) continue;
        if (count[CommentKey(c)] == 1) out.push_back({c, doc.GetMeter(r), 0});
    }
    return out;
}

std::string TypeOf(const std::string& name)
{
    static const std::pair<const char*, const char*> kTypes[] = {
        {"Prüfstelle", "Prüfstelle"}, {"Schieber", "Schieber"},     {"Isolierstück", "Isolierstück"},
        {"Bachdüker", "Düker"},       {"Entlüftung", "Entlüftung"},
    };
    for (const auto& [prefix, type] : kTypes)
        if (name.starts_with(prefix)) return type;
    return "Geländepunkt";
}

SLonLat Rounded(const SLonLat& p)
{
    return {RoundHalfAway(p.lon, trespipeline::kLatLonDecimals), RoundHalfAway(p.lat, trespipeline::kLatLonDecimals)};
}

ojson Position(const SLonLat& p) { return ojson::array({p.lon, p.lat}); }

// A route of `length` m from the Dreisam valley eastwards, bending a little
// every 150-400 m.
std::vector<SLonLat> Route(CRandom& rnd, double length)
{
    std::vector<SLonLat> out{Rounded({rnd.Uniform(7.88, 7.90), rnd.Uniform(47.935, 47.945)})};
    double heading = rnd.Uniform(95, 115), done = 0;
    while (done < length) {
        const double step = std::min(rnd.Uniform(150, 400), length - done);
        out.push_back(Rounded(trespipeline::GeodesicDestination(out.back(), heading, step)));
        done += step;
        heading = std::clamp(heading + rnd.Uniform(-25, 25), 60.0, 150.0);
    }
    return out;
}

// One position per line instead of one number per line: the route stays
// readable in a diff.
std::string CompactPositions(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] != '[') continue;
        const size_t first = text.find_first_not_of(" \n", i + 1);
        if (first == std::string::npos || !(text[first] == '-' || (text[first] >= '0' && text[first] <= '9'))) continue;
        const size_t close = text.find(']', first);
        for (size_t k = first; k <= close; ++k) {
            if (text[k] == '\n') continue;
            if (text[k] == ' ' && (out.back() == ' ' || out.back() == '[')) continue;
            if (text[k] == ']' && out.back() == ' ') out.pop_back();
            out += text[k];
        }
        i = close;
    }
    return out;
}

} // namespace

std::string PipelineGeoJson(const CTreDoc& doc, uint32_t seed)
{
    CRandom rnd(seed);
    std::vector<Landmark> marks = UniqueLandmarks(doc);
    if (marks.size() < 2) marks.clear();
    for (size_t k = 0; k < marks.size(); ++k) {
        if (k == 0) {
            marks[k].chainage = RoundHalfAway(rnd.Uniform(5, 15), trespipeline::kChainageDecimals);
            continue;
        }
        const double drift = rnd.Uniform(0.01, 0.03) * (rnd.Uniform() < 0.5 ? -1 : 1);
        const double metres = static_cast<double>(marks[k].metre) - marks[k - 1].metre;
        marks[k].chainage
            = RoundHalfAway(marks[k - 1].chainage + metres * (1 + drift), trespipeline::kChainageDecimals);
    }
    const double surveyLength = std::abs(static_cast<double>(doc.GetMeter(doc.GetRowCount())) - doc.GetMeter(1));
    const double length
        = RoundHalfAway((marks.empty() ? std::max(surveyLength, 1.0) : marks.back().chainage) + rnd.Uniform(10, 30), 0);
    const std::vector<SLonLat> vertices = Route(rnd, length);
    const trespipeline::CRoutePath path(vertices, 0);

    ojson features = ojson::array();
    ojson line = ojson::array();
    for (const SLonLat& v : vertices) line.push_back(Position(v));
    features.push_back(
        {{"type", "Feature"},
         {"properties",
          {{"kind", "route"}, {"name", doc.m_header[3]}, {"number", doc.m_header[4]}, {"startChainage", 0}}},
         {"geometry", {{"type", "LineString"}, {"coordinates", line}}}});
    for (const Landmark& m : marks) {
        const SLonLat p = Rounded(path.PointAt(m.chainage).value_or(vertices.back()));
        features.push_back(
            {{"type", "Feature"},
             {"properties",
              {{"kind", "fixpoint"}, {"name", m.comment}, {"type", TypeOf(m.comment)}, {"chainage", m.chainage}}},
             {"geometry", {{"type", "Point"}, {"coordinates", Position(p)}}}});
    }
    if (!marks.empty()) {
        const auto creek = std::find_if(marks.begin(), marks.end(),
                                        [](const Landmark& m) { return m.comment.starts_with("Bachdüker"); });
        const double at = creek != marks.end() ? creek->chainage : marks[marks.size() / 2].chainage;
        const auto from = static_cast<int64_t>(std::max(0.0, RoundHalfAway(at - rnd.Uniform(30, 50), 0)));
        const auto to = static_cast<int64_t>(RoundHalfAway(at + rnd.Uniform(40, 80), 0));
        features.push_back({{"type", "Feature"},
                            {"properties",
                             {{"kind", "section"},
                              {"name", "Bachaue, anaerober Boden"},
                              {"from", from},
                              {"to", to},
                              {"protectionPotential", -950}}},
                            {"geometry", nullptr}});
    }
    const ojson collection = {{"type", "FeatureCollection"}, {"features", features}};
    return CompactPositions(collection.dump(1)) + "\n";
}

} // namespace gensurvey
