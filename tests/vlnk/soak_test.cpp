// SPDX-License-Identifier: GPL-3.0-or-later
// Receives over a line with injected faults: every receive ends either with a
// byte-identical file and 0, or with a non-zero result and no file. Long; run
// with the CTest label "soak" (also "manual", outside the default run).
#include <chrono>
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

// Line noise: each byte the handheld sends is replaced by another with a
// chance of 1 %. No receive may hang or leave a partial file. Without
// verification the 8-bit sum lets some wrong files through (counted and
// printed); with it none.
class NoiseSoakTest : public LinkTest, public ::testing::WithParamInterface<bool> {
protected:
    void BeforeLoad() override
    {
        m_protocolIni += "MaxRetries=20\n";
        if (GetParam()) m_protocolIni += "VerifyReceive=1\n";
        LinkTest::BeforeLoad();
    }
};

TEST_P(NoiseSoakTest, FiveHundredReceivesAtOnePercentByteErrors)
{
    const bool verify = GetParam();
    const std::string content = PatternBytes(600, 22);
    WriteFile(DataDir() + "/SOAK.TSD", content);
    vlnksim::ServerOptions options;
    options.byteErrors = 0.01;
    options.handheld.seed = 22;
    StartHandheld(options);
    int cd = -1;
    for (int attempt = 0; attempt < 10 && cd != 0; ++attempt) {
        ASSERT_EQ(VLNKSetDirectory(1, "\\TRE\\DATEN"), VLNK_WAITING);
        cd = Await(1);
    }
    ASSERT_EQ(cd, 0);
    const auto start = std::chrono::steady_clock::now();
    int good = 0, failed = 0, wrong = 0, hung = 0, partial = 0;
    for (int run = 0; run < 500; ++run) {
        const std::string target = PcDir() + "/SOAK.TSD";
        std::remove(target.c_str());
        ASSERT_EQ(VLNKReceiveFile(1, target.c_str()), VLNK_WAITING);
        const int result = Await(1, nullptr, nullptr, 120000);
        if (result == -1) {
            ++hung;
            VLNKCancel(1);
            Await(1, nullptr, nullptr, 5000);
        }
        partial += FilesStartingWith(PcDir(), "SOAK.TSD.");
        const bool exists = Exists(target);
        if (result == 0 && exists && ReadFile(target) == content) ++good;
        else if (result > 0 && !exists) ++failed;
        else if (result == 0) ++wrong;
        else ++partial;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ soak     ] %s: 500 receives of 600 bytes in %.0f s: %d identical, %d failed without a file, "
                "%d wrong files, %d hung, %d partial; %llu bytes replaced\n",
                verify ? "verified" : "unverified", seconds, good, failed, wrong, hung, partial,
                static_cast<unsigned long long>(Sim().ByteErrors()));
    EXPECT_EQ(hung, 0);
    EXPECT_EQ(partial, 0);
    if (verify) {
        EXPECT_EQ(wrong, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Noise, NoiseSoakTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Verified" : "Unverified"; });

} // namespace
