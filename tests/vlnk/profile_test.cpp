// SPDX-License-Identifier: GPL-3.0-or-later
// The ini file module: what callers of the library rely on when they edit
// vlnkw.ini by hand or share it between processes.
#include <gtest/gtest.h>

#include "profile.h"
#include "vlnk_env.h"

namespace vp = vlnk::profile;
using vlnktest::ReadFile;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vlnk-profile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        file = dir + "/test.ini";
    }
    void TearDown() override
    {
        std::remove(file.c_str());
        rmdir(dir.c_str());
    }
    void Write(const char* text)
    {
        std::FILE* f = std::fopen(file.c_str(), "w");
        std::fputs(text, f);
        std::fclose(f);
    }
    std::string dir, file;
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(vp::GetString(file, "Protocol", "MaxRetries", "x"), "x");
    EXPECT_EQ(vp::GetInt(file, "Protocol", "MaxRetries", 5), 5u);
    Write("[Other]\nMaxRetries=7\n");
    EXPECT_EQ(vp::GetInt(file, "Protocol", "MaxRetries", 5), 5u);
    Write("[Protocol]\nRetryTimeout=7\n");
    EXPECT_EQ(vp::GetInt(file, "Protocol", "MaxRetries", 5), 5u);
}

TEST_F(ProfileTest, NamesIgnoreCaseAndValuesLoseBlanksAndQuotes)
{
    Write("; comment\r\n[protocol]\r\n  maxretries = 7 \r\nIgnorePorts=\"1 2\"\r\nEmpty=\r\n");
    EXPECT_EQ(vp::GetInt(file, "Protocol", "MaxRetries", 5), 7u);
    EXPECT_EQ(vp::GetString(file, "PROTOCOL", "ignoreports", ""), "1 2");
    EXPECT_EQ(vp::GetString(file, "Protocol", "Empty", "def"), "");
}

TEST_F(ProfileTest, NumbersReadLikeTheSystemFunction)
{
    Write("[S]\nA=12abc\nB=abc\nC=-1\n");
    EXPECT_EQ(vp::GetInt(file, "S", "A", 9), 12u);
    EXPECT_EQ(vp::GetInt(file, "S", "B", 9), 0u);
    EXPECT_EQ(vp::GetInt(file, "S", "C", 9), 4294967295u);
}

TEST_F(ProfileTest, WritingAKeyKeepsEverythingElse)
{
    Write("; keep me\n[A]\nX=1\n\n[B]\nY=2\n");
    ASSERT_TRUE(vp::WriteString(file, "a", "x", "10")); // replaced in place, original spelling of the section kept
    ASSERT_TRUE(vp::WriteString(file, "A", "Z", "3"));  // added at the end of its section
    ASSERT_TRUE(vp::WriteString(file, "C", "W", "4"));  // new section at the end
    EXPECT_EQ(ReadFile(file), "; keep me\n[A]\nx=10\nZ=3\n\n[B]\nY=2\n\n[C]\nW=4\n");
}

TEST_F(ProfileTest, WritingCreatesTheFileAndFailsWhereItCannot)
{
    ASSERT_TRUE(vp::WriteString(file, "S", "K", "v"));
    EXPECT_EQ(ReadFile(file), "[S]\nK=v\n");
    EXPECT_FALSE(vp::WriteString(dir + "/missing/dir.ini", "S", "K", "v"));
}

TEST_F(ProfileTest, DeletingASectionRemovesOnlyIt)
{
    Write("[Procotol]\nMaxRetries=1\n[Protocol]\nMaxRetries=2\n");
    ASSERT_TRUE(vp::DeleteSection(file, "PROCOTOL"));
    EXPECT_EQ(ReadFile(file), "[Protocol]\nMaxRetries=2\n");
    EXPECT_TRUE(vp::DeleteSection(file, "Absent"));
    EXPECT_TRUE(vp::DeleteSection(dir + "/none.ini", "Absent"));
}

} // namespace
