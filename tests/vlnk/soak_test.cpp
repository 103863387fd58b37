// SPDX-License-Identifier: GPL-3.0-or-later
// Receives over a line with injected faults: every receive ends either with a
// byte-identical file and 0, or with a non-zero result and no file. Long; run
// with the CTest label "manual".
#include <cstdio>
#include <gtest/gtest.h>

#include "library.h"
#include "link_env.h"
#include "vlnkw32.h"

using namespace vlnktest;

namespace {

class SoakTest : public LinkTest, public ::testing::WithParamInterface<bool> { };

TEST_P(SoakTest, FiftyReceivesWithOnePercentFaults)
{
    const bool infrared = GetParam();
    const std::string content = PatternBytes(100 * 1024, 11);
    WriteFile(DataDir() + "/SOAK.TSD", content);
    vlnksim::ServerOptions options;
    options.handheld.infrared = infrared;
    options.handheld.faultRate = 0.01;
    options.handheld.seed = infrared ? 2 : 1;
    StartHandheld(options);
    ASSERT_EQ(VLNKCheckConnect(1, 0), 213);
    ASSERT_EQ(Await(1), 0);
    ASSERT_EQ(VLNKSetDirectory(1, "\\TRE\\DATEN"), 213);
    ASSERT_EQ(Await(1), 0);
    int good = 0, failed = 0, wrong = 0;
    for (int run = 0; run < 50; ++run) {
        const std::string target = PcDir() + "/SOAK.TSD";
        std::remove(target.c_str());
        ASSERT_EQ(VLNKReceiveFile(1, target.c_str()), 213);
        const int result = Await(1, nullptr, nullptr, 120000);
        ASSERT_NE(result, -1) << "run " << run << " hangs";
        const bool exists = Exists(target);
        if (result == 0 && exists && ReadFile(target) == content) ++good;
        else if (result != 0 && !exists) ++failed;
        else ++wrong;
        EXPECT_EQ(FilesStartingWith(PcDir(), "SOAK.TSD.part"), 0);
    }
    std::printf("[ soak     ] %s: %d identical with 0, %d failed without a file, %d wrong; %llu faults injected\n",
                infrared ? "infrared" : "cable", good, failed, wrong, static_cast<unsigned long long>(Sim().Faults()));
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Link, SoakTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Infrared" : "Cable"; });

} // namespace
