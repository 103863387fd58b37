// SPDX-License-Identifier: GPL-3.0-or-later
// The sample pipeline data: what the generator makes of the demo survey,
// and that it re-stations the demo survey and places every row.
#include "locator.h"
#include "pipeline.h"
#include "pipelinereader.h"
#include "restation.h"
#include "routecheck.h"
#include "sections.h"
#include "survey.h"

#include "surveyopen.h"
#include "tredoc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

using namespace trespipeline;

const std::string kSample = std::string(TRES_SAMPLES_DIR) + "/demo-leitung.geojson";

TEST(DemoSample, IsWhatTheGeneratorMakes)
{
    // tres-gensurvey --length 2400 --seed 1 --pipeline, as samples/README.md says
    CTreDoc doc;
    gensurvey::SurveyOptions options;
    gensurvey::BuildSurvey(doc, options);
    std::ifstream in(kSample, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), gensurvey::PipelineGeoJson(doc, 2));
}

TEST(DemoSample, RestationsAndPlacesTheDemoSurvey)
{
    const SPipelineRead read = ReadPipelineFile(kSample);
    ASSERT_TRUE(read.ok) << read.errors.front();
    EXPECT_TRUE(read.warnings.empty());
    CTreDoc doc;
    ASSERT_TRUE(tresimport::OpenSurvey(doc, std::string(TRES_SAMPLES_DIR) + "/demo.tsd"));

    const SRestation r = Restation(doc, read.data.fixpoints);
    ASSERT_TRUE(r.ok) << r.errors.front();
    EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
    EXPECT_EQ(r.ties.size(), read.data.fixpoints.size());
    // The counter drifts 1-3 % between the posts.
    for (double f : r.factors) EXPECT_TRUE(std::fabs(f - 1) >= 0.0099 && std::fabs(f - 1) <= 0.0301) << f;
    const double last = r.chainage.back();
    EXPECT_NE(last, doc.GetMeter(doc.GetRowCount()));

    std::string error;
    auto locator = CRouteLocator::Create(read.data.route, 0, error);
    ASSERT_TRUE(locator) << error;
    EXPECT_EQ(locator->GridEpsg(), 25832);
    EXPECT_NEAR(locator->Path().Length(), 2400, 60);
    const auto places = locator->ForRows(r.chainage);
    for (size_t i = 0; i < places.size(); ++i) EXPECT_TRUE(places[i]) << "row " << i + 1;

    const SRouteLengthCheck check = CheckRouteLength(locator->Path(), read.data.fixpoints, r);
    EXPECT_TRUE(check.checked);
    EXPECT_EQ(check.warning, "");

    const SRowOverrides o = CSectionIndex(read.data.sections).ForRows(r.chainage);
    const long anaerobic = std::count(o.protectionPotential.begin(), o.protectionPotential.end(), -950);
    EXPECT_GT(anaerobic, 80);
    EXPECT_LT(anaerobic, 140);
}

} // namespace
