// SPDX-License-Identifier: GPL-3.0-or-later
// CPort on real pseudo-terminals: opening, line settings, sends and reads,
// thresholds and the watcher thread.
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>

#include "msgwindow.h"
#include "port.h"
#include "pty_pair.h"
#include "vlnk_env.h"

using namespace vlnktest;

namespace {

std::map<uintptr_t, int> g_notifications;

intptr_t CountingProc(void*, unsigned msg, uintptr_t wParam, intptr_t lParam)
{
    if (msg == vlnk::WM_COMMNOTIFY && lParam == 1) ++g_notifications[wParam];
    return 0;
}

class PortTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        g_notifications.clear();
        ASSERT_TRUE(pty.Ok());
        ASSERT_TRUE(vlnk::CreateTheWindow(&CountingProc));
    }
    void TearDown() override
    {
        port.ClosePort();
        vlnk::DestroyTheWindow();
        LibraryTest::TearDown();
    }
    int Notifications() { return g_notifications[static_cast<uintptr_t>(port.Handle())]; }
    // How often the watcher went to sleep so far (each time it needed a wake-up).
    long WatcherSleeps() const
    {
        std::ifstream status("/proc/self/task/" + std::to_string(port.WatcherThreadId()) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
        return -1;
    }

    vlnksim::CPtyPair pty;
    vlnk::CPort port{4};
};

TEST_F(PortTest, OpensWithWatcherAt2400AndSecondOpenChangesNothing)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.WatcherRunning());
    EXPECT_EQ(cfgetospeed(&static_cast<const termios&>(pty.SlaveSettings())), B2400);
    const int handle = port.Handle();
    ASSERT_EQ(port.OpenPort("/nonexistent"), 0);
    EXPECT_EQ(port.Handle(), handle);
    EXPECT_EQ(port.Name(), pty.SlavePath());
    EXPECT_EQ(port.ClosePort(), 0);
    EXPECT_FALSE(port.WatcherRunning());
    EXPECT_EQ(port.Handle(), -1);
    EXPECT_EQ(port.ClosePort(), 0);
}

TEST_F(PortTest, OpenRefusesMissingDevicesNonTerminalsBusyPortsAndLongNames)
{
    EXPECT_EQ(port.OpenPort("/nonexistent/tty"), 204);
    EXPECT_TRUE(Contains(LogText(), " 4  VLNKWDLL:ERROR:Failed to open port '/nonexistent/tty'=[-1]\n"));
    EXPECT_EQ(port.OpenPort("/dev/null"), 204);
    EXPECT_EQ(port.OpenPort("/dev/pts/" + std::string(30, '9')), 204);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:Port name longer than 21 characters"));
    EXPECT_FALSE(port.IsOpen());

    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    vlnk::CPort other(5);
    EXPECT_EQ(other.OpenPort(pty.SlavePath()), 204);
}

// What a command wrote before the channel closed reaches the handheld: the
// close must not throw away output that is still on its way (the tail of a
// firmware image, the last acknowledgement). Many rounds, since on a
// pseudo-terminal the bytes are in flight only for a moment.
TEST_F(PortTest, CloseDeliversWhatWasWrittenBeforeIt)
{
    const std::string block = std::string(242, 'x') + "END";
    for (int round = 0; round < 100; ++round) {
        vlnksim::CPtyPair line;
        ASSERT_TRUE(line.Ok());
        vlnk::CPort writer(5);
        ASSERT_EQ(writer.OpenPort(line.SlavePath()), 0);
        ASSERT_EQ(writer.SendString(reinterpret_cast<const uint8_t*>(block.data()), block.size()), 0);
        ASSERT_EQ(writer.ClosePort(), 0);
        ASSERT_EQ(line.Read(block.size(), 5000), block) << "round " << round;
    }
}

TEST_F(PortTest, ComNamesGet1200n81AndUnknownBaudIsLoggedAndLeftAt1200)
{
    WriteIni("[Ports]\nCOM7=" + pty.SlavePath() + "\n");
    termios before = pty.SlaveSettings();
    before.c_cflag |= CSTOPB | CRTSCTS;
    int slave = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    ASSERT_EQ(tcsetattr(slave, TCSANOW, &before), 0);
    close(slave);
    ASSERT_EQ(port.OpenPort("COM7"), 0);
    ASSERT_EQ(port.Setup("COM7", "1200"), 0);
    EXPECT_TRUE(Contains(LogText(), " 4  VLNKWDLL:ERROR:Setup - invalid baud [1200]\n"));
    termios tio = pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&tio), B1200);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);

    ASSERT_EQ(port.Setup("COM7", "19200"), 0);
    tio = pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&tio), B19200);
    EXPECT_STREQ(vlnk::CPort::BaudName(0), "115200");
    EXPECT_STREQ(vlnk::CPort::BaudName(5), "2400");
    EXPECT_EQ(vlnk::CPort::BaudName(6), nullptr);
}

TEST_F(PortTest, OtherNamesKeepTheDeviceLineSettingsApartFromTheBaud)
{
    // What another program left on the line: 2 stop bits and hardware flow
    // control (a pty forces 8 bits without parity, so those cannot be shown here).
    vlnksim::CPtyPair line;
    termios tio = line.SlaveSettings();
    tio.c_cflag |= CSTOPB | CRTSCTS;
    cfsetospeed(&tio, B4800);
    cfsetispeed(&tio, B4800);
    int slave = open(line.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    ASSERT_EQ(tcsetattr(slave, TCSANOW, &tio), 0);
    close(slave);

    ASSERT_EQ(port.OpenPort(line.SlavePath()), 0);
    tio = line.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&tio), B2400);
    EXPECT_EQ(tio.c_cflag & (CSTOPB | CRTSCTS), static_cast<tcflag_t>(CSTOPB | CRTSCTS));
    ASSERT_EQ(port.Setup(line.SlavePath(), "1200"), 0);
    EXPECT_EQ(cfgetospeed(&static_cast<const termios&>(line.SlaveSettings())), B2400);
}

TEST_F(PortTest, ClosedPortOperationsLogAndFail)
{
    uint8_t byte = 0x55;
    char line[vlnk::CPort::kLineBuffer];
    port.SendChar(7);
    EXPECT_EQ(port.SendString(&byte, 1), 215);
    EXPECT_EQ(port.GetChar(byte), 211);
    EXPECT_EQ(port.GetString(&byte, 1), 216);
    EXPECT_EQ(port.ReadLine(line), 211);
    EXPECT_EQ(port.GetNumInRxBuffer(), 0);
    EXPECT_EQ(port.Setup("COM1", "2400"), 208);
    port.FlushReceive();
    port.FlushTransmit();
    port.ResetPort();
    EXPECT_EQ(byte, 0x55);
    const std::string log = LogText();
    for (const char* text : {"Trying to send '7' without being setup", "Trying to send string without being setup",
                             "Trying to read without being setup", "Trying to get ascii string without setup",
                             "Calling GetNumInRxBuffer() without setup", "Trying to setup without open",
                             "Trying to flush receive without setup", "Trying to flush transmit without setup",
                             "Calling ResetPort() without setup"})
        EXPECT_TRUE(Contains(log, std::string(" 4  VLNKWDLL:ERROR:") + text + "\n")) << text;
}

TEST_F(PortTest, SendDiscardsQueuedInputFirst)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    ASSERT_TRUE(pty.Write("stray"));
    ASSERT_TRUE(PumpUntil([&] { return port.GetNumInRxBuffer() == 5; }));
    port.SendChar(0x05);
    EXPECT_EQ(port.GetNumInRxBuffer(), 0);
    const uint8_t frame[] = {0x02, 0x01, 0x00, 0x51, 0x51};
    ASSERT_TRUE(pty.Write("more"));
    ASSERT_TRUE(PumpUntil([&] { return port.GetNumInRxBuffer() == 4; }));
    EXPECT_EQ(port.SendString(frame, sizeof frame), 0);
    EXPECT_EQ(port.GetNumInRxBuffer(), 0);
    EXPECT_EQ(pty.Read(6, 2000), std::string("\x05\x02\x01\x00\x51\x51", 6));
}

TEST_F(PortTest, ReadsBytesBlocksAndLines)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    ASSERT_TRUE(pty.Write(std::string("A\x00\xff", 3) + "\r\n\r\n1HELLO1 75%  123\r\n"));
    uint8_t byte = 0;
    ASSERT_EQ(port.GetChar(byte), 0);
    EXPECT_EQ(byte, 'A');
    uint8_t block[2];
    ASSERT_EQ(port.GetString(block, 2), 0);
    EXPECT_EQ(block[0], 0x00);
    EXPECT_EQ(block[1], 0xff);
    char line[vlnk::CPort::kLineBuffer];
    ASSERT_EQ(port.ReadLine(line), 0);
    EXPECT_STREQ(line, "1HELLO1 75%  123");
}

TEST_F(PortTest, OverlongLineIsCutWithinTheBuffer)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    ASSERT_TRUE(pty.Write(std::string(400, 'x') + "\nnext\n"));
    struct {
        char line[vlnk::CPort::kLineBuffer];
        char guard[16];
    } buffer;
    std::memset(buffer.guard, 'G', sizeof buffer.guard);
    ASSERT_EQ(port.ReadLine(buffer.line, sizeof buffer.line), 0);
    EXPECT_EQ(std::strlen(buffer.line), vlnk::CPort::kLineBuffer - 1);
    EXPECT_EQ(std::string(buffer.guard, sizeof buffer.guard), std::string(16, 'G'));
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:WARNING:Line cut to 279 characters, 121 dropped"));
    ASSERT_EQ(port.ReadLine(buffer.line, sizeof buffer.line), 0);
    EXPECT_STREQ(buffer.line, "next");
}

TEST_F(PortTest, ShortBlockAndQuietLineAreNotSuccess)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    ASSERT_TRUE(pty.Write("abc"));
    uint8_t block[5] = {};
    EXPECT_EQ(port.GetString(block, 5), 216);
    char line[vlnk::CPort::kLineBuffer] = "old";
    EXPECT_EQ(port.ReadLine(line), 211); // nothing came within the read time-out
    EXPECT_STREQ(line, "");
}

TEST_F(PortTest, ReceiveThresholdFiresOnceWhenReached)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    port.ArmNotify(3, -1);
    ASSERT_TRUE(pty.Write("ab"));
    ASSERT_TRUE(PumpUntil([&] { return port.GetNumInRxBuffer() == 2; }));
    PumpFor(30);
    EXPECT_EQ(Notifications(), 0);
    EXPECT_EQ(port.RxThreshold(), 3);
    ASSERT_TRUE(pty.Write("c"));
    ASSERT_TRUE(PumpUntil([&] { return Notifications() == 1; }));
    EXPECT_EQ(port.RxThreshold(), -1);
    ASSERT_TRUE(pty.Write("defgh"));
    PumpFor(30);
    EXPECT_EQ(Notifications(), 1);

    // Already satisfied when armed: fires at once, again only once.
    port.ArmNotify(1, -1);
    ASSERT_TRUE(PumpUntil([&] { return Notifications() == 2; }));
    PumpFor(30);
    EXPECT_EQ(Notifications(), 2);
}

// While a threshold fills, the watcher sleeps until the missing bytes can be
// there - their wire time at the line's rate - instead of looking again every
// millisecond; while the line pauses half-way it sleeps until bytes come.
TEST_F(PortTest, PartlyFilledThresholdWakesTheWatcherOnlyWhenTheBytesCanBeThere)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0); // 2400 baud: 4.17 ms a character
    using Clock = std::chrono::steady_clock;
    const auto character = std::chrono::microseconds(4167);

    // 60 bytes at the line's pace (a quarter of a second).
    port.ArmNotify(60, -1);
    long before = WatcherSleeps();
    std::thread sender([&] {
        const auto start = Clock::now();
        for (int i = 0; i < 60; ++i) {
            std::this_thread::sleep_until(start + i * character);
            pty.Write("x");
        }
    });
    const bool fired = PumpUntil([&] { return Notifications() == 1; });
    sender.join();
    ASSERT_TRUE(fired);
    EXPECT_LE(WatcherSleeps() - before, 25) << "wake-ups of the watcher for 60 paced bytes";
    port.FlushReceive();

    // Half of what the step waits for, then a pause.
    port.ArmNotify(10, -1);
    ASSERT_TRUE(pty.Write("12345"));
    ASSERT_TRUE(PumpUntil([&] { return port.GetNumInRxBuffer() == 5; }));
    PumpFor(50); // past the wire time of the five missing bytes
    before = WatcherSleeps();
    PumpFor(300);
    EXPECT_LE(WatcherSleeps() - before, 2) << "wake-ups of the watcher while the line was quiet";
    EXPECT_EQ(Notifications(), 1);
    ASSERT_TRUE(pty.Write("67890"));
    EXPECT_TRUE(PumpUntil([&] { return Notifications() == 2; }));
}

TEST_F(PortTest, TransmitThresholdFiresOnceWhenDrained)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    const uint8_t bytes[] = {1, 2, 3};
    ASSERT_EQ(port.SendString(bytes, sizeof bytes), 0);
    port.ArmNotify(-1, 1);
    ASSERT_TRUE(PumpUntil([&] { return Notifications() == 1; }));
    EXPECT_EQ(port.TxThreshold(), -1);
    PumpFor(30);
    EXPECT_EQ(Notifications(), 1);
}

TEST_F(PortTest, StopThreadWaitsForTheWatcherAndNothingFollowsIt)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    port.ArmNotify(1, -1); // the watcher now sleeps in poll() on the line
    port.StopThread();
    EXPECT_FALSE(port.WatcherRunning());
    ASSERT_TRUE(pty.Write("x"));
    PumpFor(30);
    EXPECT_EQ(Notifications(), 0);
    port.StartThread();
    EXPECT_TRUE(port.WatcherRunning());
    port.ArmNotify(1, -1);
    ASSERT_TRUE(PumpUntil([&] { return Notifications() == 1; }));
}

TEST_F(PortTest, DisarmedIdlePortIgnoresInput)
{
    ASSERT_EQ(port.OpenPort(pty.SlavePath()), 0);
    ASSERT_TRUE(pty.Write("unasked"));
    ASSERT_TRUE(PumpUntil([&] { return port.GetNumInRxBuffer() == 7; }));
    PumpFor(30);
    EXPECT_EQ(Notifications(), 0);
    EXPECT_TRUE(port.WatcherRunning());
}

} // namespace
