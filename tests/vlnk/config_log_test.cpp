// SPDX-License-Identifier: GPL-3.0-or-later
// Settings in vlnkw.ini and the log file: the parts other programs read.
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "library.h"
#include "logfile.h"
#include "profile.h"
#include "pty_pair.h"
#include "settings.h"
#include "userrights.h"
#include "vlnk_env.h"
#include "vlnkw32.h"

using namespace vlnktest;

namespace {

std::tm Day(int mday, int hour = 10)
{
    std::tm tm{};
    tm.tm_year = 97;
    tm.tm_mon = 11;
    tm.tm_mday = mday;
    tm.tm_hour = hour;
    tm.tm_min = 5;
    return tm;
}

using ConfigTest = LibraryTest;

TEST_F(ConfigTest, FreshSystemWritesLogKeysAtLoadAndProtocolKeysAtFirstOpen)
{
    const std::string atLoad = IniText();
    EXPECT_TRUE(Contains(atLoad, "[LogFile]\nFilename=" + LogPath() + "\nMaxSize=100\n")) << atLoad;
    EXPECT_FALSE(Contains(atLoad, "[Protocol]"));

    vlnksim::CPtyPair pty;
    ASSERT_EQ(VLNKOpenChannel(1, pty.SlavePath().c_str()), 0);
    EXPECT_TRUE(Contains(IniText(),
                         "[Protocol]\nMaxRetries=5\nMaxIRRetries=10\nConnectTimeout=1000\nStartBlockTimeout=5000\n"
                         "RetryTimeout=1000\nPollTimeout=1000\nIgnorePorts=None\nVerifyReceive=0\n"))
        << IniText();
    EXPECT_FALSE(Contains(IniText(), "MaxPorts")); // detected, never written
    EXPECT_EQ(VLNKCloseChannel(1), 0);
}

TEST_F(ConfigTest, ChannelTakesIniValuesAndRefusesOverlongText)
{
    WriteIni("[Protocol]\nMaxRetries=2\nRetryTimeout=40\nIgnorePorts=" + std::string(41, '1')
             + "\n[Settings]\nMaxPorts=6\n");
    vlnksim::CPtyPair pty;
    ASSERT_EQ(VLNKOpenChannel(3, pty.SlavePath().c_str()), 0);
    const auto& s = vlnk::Slot(3)->link.m_Settings;
    EXPECT_EQ(s.MaxRetries, 2u);
    EXPECT_EQ(s.RetryTimeout, 40u);
    EXPECT_EQ(s.MaxPorts, 6);
    EXPECT_EQ(s.IgnorePorts, "None");
    EXPECT_TRUE(
        Contains(LogText(), " 3  VLNKWDLL:ERROR:Protocol 'IgnorePorts' is longer than 40 characters, using 'None'"));
    EXPECT_TRUE(Contains(IniText(), "IgnorePorts=None\n"));
    EXPECT_EQ(VLNKCloseChannel(3), 0);
}

TEST_F(ConfigTest, MaxPortsIsTheHighestPresentComPort)
{
    vlnksim::CPtyPair pty;
    WriteIni("[Ports]\nCOM1=/nonexistent\nCOM2=" + pty.SlavePath() + "\nCOM3=/dev/null\nCOM4=/nonexistent\n");
    EXPECT_EQ(vlnk::DetectMaxPorts(), 2);
    EXPECT_EQ(vlnk::DevicePath("com2"), pty.SlavePath());
    EXPECT_EQ(vlnk::DevicePath("COM9"), "/dev/ttyS8");
    EXPECT_EQ(vlnk::DevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
    WriteIni("[Ports]\nCOM1=/nonexistent\nCOM2=/nonexistent\nCOM3=/nonexistent\nCOM4=/nonexistent\n");
    EXPECT_EQ(vlnk::DetectMaxPorts(), 1);
}

TEST_F(ConfigTest, RememberedBaudRateDefaultsAndIsBounded)
{
    EXPECT_EQ(vlnk::ReadRememberedBaud(1, "COM1"), "38400");
    ASSERT_TRUE(vlnk::WriteRememberedBaud(1, "COM1", "9600"));
    EXPECT_EQ(vlnk::ReadRememberedBaud(1, "COM1"), "9600");
    EXPECT_TRUE(Contains(IniText(), "[BaudRates]\nCOM1Baud=9600\n"));
    ASSERT_TRUE(vlnk::WriteRememberedBaud(1, "COM1", "12345678901"));
    EXPECT_EQ(vlnk::ReadRememberedBaud(1, "COM1"), "38400");
    chmod(Dir().c_str(), 0500);
    bool refused = false;
    {
        CUserRights user;
        ASSERT_EQ(user.Error(), "");
        refused = !vlnk::WriteRememberedBaud(2, "COM2", "4800");
    }
    chmod(Dir().c_str(), 0700);
    EXPECT_TRUE(refused);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:Could not write 'COM2Baud=4800'"));
    EXPECT_FALSE(Contains(IniText(), "COM2Baud"));
}

class ReloadTest : public LibraryTest {
protected:
    void BeforeLoad() override { WriteIni(ini); }
    std::string ini;
};

class SmallLogTest : public ReloadTest {
protected:
    SmallLogTest() { ini = "[Procotol]\nMaxRetries=1\n\n[LogFile]\nMaxSize=5\n[Protocol]\nMaxRetries=3\n"; }
};

TEST_F(SmallLogTest, LoadRaisesMaxSizeToTenAndDropsTheMisspeltSection)
{
    EXPECT_EQ(vlnk::TheLog()->MaxSizeKb(), 10u);
    EXPECT_TRUE(Contains(IniText(), "MaxSize=10\n"));
    EXPECT_FALSE(Contains(IniText(), "Procotol"));
    EXPECT_TRUE(Contains(IniText(), "[Protocol]\nMaxRetries=3\n"));
}

TEST_F(SmallLogTest, TrimKeepsBannerAndNewestTenthFromAWholeLine)
{
    vlnk::CLogFile& log = *vlnk::TheLog();
    log.SetClock([] { return Day(24, 13); });
    int n = 0;
    struct stat st { };
    while (stat(LogPath().c_str(), &st) == 0 && st.st_size < 10240) vlnk::LogWrite(2, "line %05d of the test log", ++n);
    const std::string before = LogText();
    vlnk::LogWrite(2, "after the trim");
    log.SetClock(nullptr);

    const std::string after = LogText();
    EXPECT_TRUE(after.starts_with("Vexil VLNK for Windows Log File (Created : 24/12/97 13:05:00)        Ver 0.99b\n"));
    EXPECT_LT(after.size(), 1024u + 400u);
    EXPECT_GT(after.size(), 900u);
    // The kept part starts at a line of the old log and runs to its end.
    const size_t header = after.find("Time      Ch  Remark\n") + 21;
    const size_t dateLine = after.rfind("13:05:00      Current date is 24/12/97\n");
    ASSERT_NE(dateLine, std::string::npos);
    const std::string kept = after.substr(header, dateLine - header);
    ASSERT_FALSE(kept.empty());
    EXPECT_TRUE(kept.starts_with("13:05:00   2  line ")) << kept.substr(0, 40);
    EXPECT_TRUE(before.ends_with(kept));
    EXPECT_TRUE(after.ends_with("13:05:00      Current date is 24/12/97\n13:05:00   2  after the trim\n"));
    EXPECT_FALSE(std::ifstream(Dir() + "/VLNKW.$$$").good());
}

class LongLogPathTest : public ReloadTest {
protected:
    LongLogPathTest() { ini = "[LogFile]\nFilename=/tmp/" + std::string(80, 'x') + "\n"; }
};

TEST_F(LongLogPathTest, OverlongLogPathFallsBackToTheDefault)
{
    EXPECT_EQ(vlnk::TheLog()->Path(), LogPath());
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:LogFile 'Filename' is longer than 80 characters"));
    EXPECT_TRUE(Contains(IniText(), "Filename=" + LogPath() + "\n"));
}

using LogTest = LibraryTest;

TEST_F(LogTest, BannerSessionLinesAndColumns)
{
    vlnk::CLogFile& log = *vlnk::TheLog();
    log.SetClock([] { return Day(24, 13); });
    vlnk::LogWrite(0, "no channel");
    vlnk::LogWrite(7, "channel %d", 7);
    log.Write(3, nullptr);
    VLNKWriteLog(5, "from the caller");
    log.SetClock(nullptr);

    const std::string text = LogText();
    const std::string banner = "Vexil VLNK for Windows Log File (Created : ";
    ASSERT_TRUE(text.starts_with(banner));
    const size_t eol = text.find('\n');
    EXPECT_TRUE(text.substr(0, eol).ends_with(")        Ver 0.99b"));
    EXPECT_TRUE(Contains(text, "\n" + std::string(78, '-') + "\n\nTime      Ch  Remark\n"));
    EXPECT_TRUE(Contains(text, "      Current date is "));
    EXPECT_TRUE(Contains(text, "  Session started\n"));
    EXPECT_TRUE(text.ends_with("13:05:00      Current date is 24/12/97\n"
                               "13:05:00      no channel\n"
                               "13:05:00   7  channel 7\n"
                               "\n"
                               "13:05:00   5  APP:from the caller\n"))
        << text;
}

TEST_F(LogTest, NewDayGetsACurrentDateLine)
{
    vlnk::CLogFile& log = *vlnk::TheLog();
    log.SetClock([] { return Day(24, 23); });
    vlnk::LogWrite(1, "evening");
    vlnk::LogWrite(1, "still evening");
    log.SetClock([] { return Day(25, 0); });
    vlnk::LogWrite(1, "morning");
    log.SetClock(nullptr);
    const std::string text = LogText();
    EXPECT_EQ(CountOf(text, "Current date is 24/12/97"), 1u);
    EXPECT_TRUE(text.ends_with("00:05:00      Current date is 25/12/97\n00:05:00   1  morning\n"));
}

TEST_F(LogTest, OverlongCallerTextIsCutAndTheCutLogged)
{
    const std::string text(300, 'a');
    VLNKWriteLog(2, text.c_str());
    VLNKWriteLog(2, nullptr);
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, "  APP:" + std::string(127, 'a') + "\n"));
    EXPECT_FALSE(Contains(log, std::string(128, 'a')));
    EXPECT_TRUE(Contains(log, "VLNKWDLL:ERROR:Log text of 300 characters cut to 127"));
    EXPECT_TRUE(log.ends_with("  APP:\n"));
}

TEST_F(LogTest, UnloadEndsTheSession)
{
    vlnk::LibraryUnload();
    EXPECT_TRUE(LogText().ends_with("Session terminated\n\n"));
    vlnk::LibraryLoad(); // for TearDown
}

TEST_F(LogTest, UnwritableLogLosesEntriesSilently)
{
    vlnk::CLogFile& log = *vlnk::TheLog();
    const std::string path = log.Path();
    log.Configure(Dir() + "/no/such/dir/VLNKW.LOG", 10);
    vlnk::LogWrite(1, "lost");
    log.Configure(path, 100);
    EXPECT_FALSE(Contains(LogText(), "lost"));
}

// What others can plant in a library folder they share: a link under the
// name of a side file, a FIFO under the name of the ini file or the log.
class PlantedFileTest : public LibraryTest {
protected:
    // Loads the library on a thread of its own. A load that blocks on a FIFO
    // is released by opening the FIFOs from here, and counts as failed.
    bool LoadsWithoutBlocking(const std::vector<std::string>& fifos)
    {
        std::atomic<bool> done{false};
        std::thread load([&] {
            vlnk::LibraryLoad();
            done = true;
        });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const bool blocked = !done;
        while (!done) {
            for (const auto& fifo : fifos) {
                const int fd = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                if (fd >= 0) close(fd);
            }
        }
        load.join();
        return !blocked;
    }
};

TEST_F(PlantedFileTest, SideFilesNeverFollowALinkAndTheIniKeepsItsMode)
{
    const std::string victim = Dir() + "/victim";
    std::ofstream(victim) << "precious";
    ASSERT_EQ(symlink(victim.c_str(), (IniPath() + ".tmp" + std::to_string(getpid())).c_str()), 0);
    ASSERT_EQ(symlink(victim.c_str(), (Dir() + "/VLNKW.$$$").c_str()), 0);
    ASSERT_EQ(chmod(IniPath().c_str(), 0600), 0);
    EXPECT_TRUE(vlnk::profile::WriteString(IniPath(), "Test", "Key", "1"));
    vlnk::CLogFile& log = *vlnk::TheLog();
    log.Configure(LogPath(), 10);
    struct stat st { };
    while (stat(LogPath().c_str(), &st) == 0 && st.st_size < 10240) vlnk::LogWrite(1, "filling the log");
    vlnk::LogWrite(1, "after the trim");
    EXPECT_LT(LogText().size(), 2048u);
    EXPECT_EQ(ReadFile(victim), "precious");
    EXPECT_TRUE(Contains(IniText(), "[Test]\nKey=1\n"));
    ASSERT_EQ(stat(IniPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(PlantedFileTest, AFifoAsIniOrLogDoesNotBlockTheLoad)
{
    vlnk::LibraryUnload();
    std::remove(IniPath().c_str());
    ASSERT_EQ(mkfifo(IniPath().c_str(), 0600), 0);
    ASSERT_TRUE(LoadsWithoutBlocking({IniPath()}));
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:'" + IniPath() + "' is not a regular file"));
    vlnk::LibraryUnload();
    struct stat st { };
    ASSERT_EQ(stat(IniPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)); // never replaced
    std::remove(IniPath().c_str());
    std::remove(LogPath().c_str());
    ASSERT_EQ(mkfifo(LogPath().c_str(), 0600), 0);
    ASSERT_TRUE(LoadsWithoutBlocking({LogPath()}));
    VLNKWriteLog(1, "nowhere to go");
}

} // namespace
