// SPDX-License-Identifier: GPL-3.0-or-later
// The library against the handheld simulator on a real pseudo-terminal line.
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "library.h"
#include "link_env.h"
#include "profile.h"
#include "vlnk_env.h"
#include "vlnkw32.h"

extern char** environ;

using namespace vlnktest;
using vlnk::StepEvent;

namespace {

// Runs the simulator and reads the port path from its first line.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> args)
    {
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), VLNK_SIM_PATH);
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, VLNK_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (std::FILE* in = fdopen(out[0], "r")) {
            char line[256];
            if (std::fgets(line, sizeof line, in)) {
                m_path = line;
                while (!m_path.empty() && m_path.back() == '\n') m_path.pop_back();
            }
            std::fclose(in);
        }
    }
    ~Simulator()
    {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        int status;
        waitpid(m_pid, &status, 0);
    }
    const std::string& Path() const { return m_path; }
    // Ends the simulator at once, as a pulled adapter ends the line.
    void Kill()
    {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        int status;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    std::string m_path;
};

// Sends ENQ on an open channel and returns the byte that answered it, read in
// the step the line notification ran.
int ProbeOnce(int channel)
{
    vlnk::LinkState& link = vlnk::Slot(channel)->link;
    int answer = -1;
    link.BeginCommand(vlnk::kCheckConnect, [&](vlnk::LinkState& l, StepEvent event, int*, char*) {
        if (event == StepEvent::CommsEvent) {
            uint8_t byte = 0;
            if (l.m_Port.GetChar(byte) == 0) answer = byte;
            l.m_bDone = true;
        }
        if (event == StepEvent::Poll && l.m_bDone) {
            l.EndCommand();
            return 0;
        }
        return 213;
    });
    link.m_bDone = false;
    link.m_Port.ArmNotify(1, -1);
    link.StartTimer(5000);
    link.m_Port.SendChar(0x05);
    PumpUntil([&] { return VLNKGetResult(channel, nullptr, nullptr) != 213; }, 5000);
    return answer;
}

using SimulatorTest = LibraryTest;

// The answers of the simulator at `path` to `count` ENQs sent one at a time.
std::string EnqAnswers(const std::string& path, int count)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return {};
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    std::string answers;
    for (int i = 0; i < count; ++i) {
        const char enq = 0x05;
        char answer = 0;
        pollfd p{fd, POLLIN, 0};
        if (write(fd, &enq, 1) != 1 || poll(&p, 1, 2000) != 1 || read(fd, &answer, 1) != 1) break;
        answers += answer;
    }
    close(fd);
    return answers;
}

// Noise replaces a byte by another one, at the rate asked for and the same
// way for the same seed.
TEST_F(SimulatorTest, ByteErrorsReplaceBytesReproducibly)
{
    std::string first, second, other;
    {
        Simulator sim({"--byte-errors", "0.3", "--seed", "5"});
        first = EnqAnswers(sim.Path(), 400);
    }
    {
        Simulator sim({"--byte-errors", "0.3", "--seed", "5"});
        second = EnqAnswers(sim.Path(), 400);
    }
    {
        Simulator sim({"--byte-errors", "0.3", "--seed", "6"});
        other = EnqAnswers(sim.Path(), 400);
    }
    ASSERT_EQ(first.size(), 400u);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    const auto replaced = std::count_if(first.begin(), first.end(), [](char c) { return c != 0x06; });
    EXPECT_GT(replaced, 80);
    EXPECT_LT(replaced, 160);
}

TEST_F(SimulatorTest, CableHandheldAnswersEnqWithAck)
{
    Simulator sim({});
    ASSERT_FALSE(sim.Path().empty());
    ASSERT_EQ(VLNKOpenChannel(1, sim.Path().c_str()), 0);
    EXPECT_EQ(ProbeOnce(1), 0x06);
    EXPECT_EQ(ProbeOnce(1), 0x06); // and again: the port re-arms cleanly
    EXPECT_EQ(VLNKCloseChannel(1), 0);
}

TEST_F(SimulatorTest, InfraredHandheldAnswersEnqWithI)
{
    Simulator sim({"--ir"});
    ASSERT_FALSE(sim.Path().empty());
    WriteIni("[Ports]\nCOM2=" + sim.Path() + "\n");
    ASSERT_EQ(VLNKOpenChannel(2, "COM2"), 0);
    EXPECT_EQ(ProbeOnce(2), 'I');
    EXPECT_EQ(VLNKCloseChannel(2), 0);
}

// --ini-port maps COMn to the simulator's pty in the library's vlnkw.ini, so a
// program finds the handheld by its COM name. The simulator writes the file on
// its own: whatever else the ini holds must come through, and the library must
// read the mapping back.
TEST_F(SimulatorTest, IniPortMapsTheComNameAndKeepsTheRestOfTheIni)
{
    // The key already there (in other case, in a section named in other case):
    // replaced where it stands. Line ends come out as the library writes them.
    WriteIni("; set up by hand\r\n[Protocol]\r\nMaxRetries=7\r\n\r\n[ports]\r\ncom1=/dev/ttyS0\r\n"
             "com2=/old/path\r\n; spare\r\nCOM3=/dev/ttyUSB0\r\n\r\n[Settings]\r\nMaxPorts=3\r\n");
    {
        Simulator sim({"--ini-port", "COM2"});
        ASSERT_FALSE(sim.Path().empty());
        EXPECT_EQ(IniText(), "; set up by hand\n[Protocol]\nMaxRetries=7\n\n[ports]\ncom1=/dev/ttyS0\nCOM2="
                                 + sim.Path() + "\n; spare\nCOM3=/dev/ttyUSB0\n\n[Settings]\nMaxPorts=3\n");
        EXPECT_EQ(vlnk::profile::GetString(IniPath(), "Ports", "COM2", ""), sim.Path());
        ASSERT_EQ(VLNKOpenChannel(2, "COM2"), 0);
        EXPECT_EQ(ProbeOnce(2), 0x06);
        EXPECT_EQ(VLNKCloseChannel(2), 0);
    }
    // A new key goes after the section's last entry, before the blank line.
    WriteIni("[Ports]\nCOM1=/dev/ttyS0\n\n[Settings]\nMaxPorts=1\n");
    {
        Simulator sim({"--ini-port", "COM4"});
        ASSERT_FALSE(sim.Path().empty());
        EXPECT_EQ(IniText(), "[Ports]\nCOM1=/dev/ttyS0\nCOM4=" + sim.Path() + "\n\n[Settings]\nMaxPorts=1\n");
        EXPECT_EQ(vlnk::profile::GetString(IniPath(), "Ports", "COM4", ""), sim.Path());
    }
    // No section yet: added at the end, after a blank line.
    WriteIni("[Protocol]\nMaxRetries=7");
    {
        Simulator sim({"--ini-port", "COM1"});
        ASSERT_FALSE(sim.Path().empty());
        EXPECT_EQ(IniText(), "[Protocol]\nMaxRetries=7\n\n[Ports]\nCOM1=" + sim.Path() + "\n");
        EXPECT_EQ(vlnk::profile::GetString(IniPath(), "Ports", "COM1", ""), sim.Path());
    }
    // No file at all.
    std::filesystem::remove(IniPath());
    {
        Simulator sim({"--ini-port", "COM1"});
        ASSERT_FALSE(sim.Path().empty());
        EXPECT_EQ(IniText(), "[Ports]\nCOM1=" + sim.Path() + "\n");
    }
    EXPECT_EQ(FilesStartingWith(Dir(), "vlnkw.ini.tmp"), 0); // no side file left behind
}

// A line that goes away in the middle of a receive (an adapter pulled) ends
// the command with the port error, not after every retry (how quick, and at
// what CPU cost: vlnk-bench). The channel can then only be closed.
TEST_F(SimulatorTest, VanishedPortEndsTheReceiveWithThePortError)
{
    const std::string root = Dir() + "/handheld";
    std::filesystem::create_directories(root);
    WriteFile(root + "/BIG.TSD", PatternBytes(30000, 9));
    Simulator sim({"--root", root, "--paced"});
    ASSERT_FALSE(sim.Path().empty());
    ASSERT_EQ(VLNKOpenChannel(1, sim.Path().c_str()), 0);
    const std::string target = Dir() + "/BIG.TSD";
    ASSERT_EQ(VLNKReceiveFile(1, target.c_str()), 213);
    // Mid-way: the data is flowing (2400 baud, so there is time).
    ASSERT_TRUE(PumpUntil(
        [&] { return VLNKGetResult(1, nullptr, nullptr) == 213 && vlnk::Slot(1)->link.m_nDoneBytes >= 512; }, 20000));

    sim.Kill();
    int result = 213;
    char text[VLNK_TEXT_SIZE];
    PumpUntil([&] { return (result = VLNKGetResult(1, nullptr, text)) != 213; }, 20000);

    EXPECT_EQ(result, 217);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:Port '" + sim.Path() + "' is gone ("));
    EXPECT_FALSE(Contains(LogText(), "Maximum retries exceeded"));
    EXPECT_FALSE(Exists(target));
    EXPECT_EQ(FilesStartingWith(Dir(), "BIG.TSD"), 0); // no partial file either
    EXPECT_EQ(VLNKGetSessionId(1), 217);
    EXPECT_EQ(VLNKCloseChannel(1), 0);
}

} // namespace
