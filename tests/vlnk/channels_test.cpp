// SPDX-License-Identifier: GPL-3.0-or-later
// The channel table, the exports' immediate results, cancellation and the
// message window's routing of timers and line notifications.
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

#include "library.h"
#include "logfile.h"
#include "msgwindow.h"
#include "pty_pair.h"
#include "vlnk_env.h"
#include "vlnkw32.h"

using namespace vlnktest;
using vlnk::StepEvent;

namespace {

// A command that records its events and finishes when told to.
struct FakeCommand {
    std::vector<StepEvent> events;
    bool finished = false;
    bool disarmedBeforeStep = true;
    int result = 0;

    vlnk::StepFn Step()
    {
        return [this](vlnk::LinkState& link, StepEvent event, int* value, char* text) {
            if (event != StepEvent::Poll) {
                events.push_back(event);
                disarmedBeforeStep = disarmedBeforeStep && link.m_Port.RxThreshold() == -1 && !link.m_bTimerRunning;
                return 0;
            }
            if (!finished) return 213;
            if (value) *value = 42;
            if (text) std::snprintf(text, VLNK_TEXT_SIZE, "done");
            link.EndCommand();
            return result;
        };
    }
};

class ChannelTest : public LibraryTest {
protected:
    void OpenOn(int channel)
    {
        ptys.push_back(std::make_unique<vlnksim::CPtyPair>());
        ASSERT_EQ(VLNKOpenChannel(channel, ptys.back()->SlavePath().c_str()), 0);
    }
    vlnk::LinkState& Link(int channel) { return vlnk::Slot(channel)->link; }
    std::vector<std::unique_ptr<vlnksim::CPtyPair>> ptys;
};

TEST_F(ChannelTest, BadChannelNumbersGive203Everywhere)
{
    char text[VLNK_TEXT_SIZE];
    int value;
    for (int channel : {0, 9, -1}) {
        EXPECT_EQ(VLNKOpenChannel(channel, "/dev/null"), 203);
        EXPECT_EQ(VLNKCloseChannel(channel), 203);
        EXPECT_EQ(VLNKGetResult(channel, &value, text), 203);
        EXPECT_EQ(VLNKCancel(channel), 203);
        EXPECT_EQ(VLNKGetPath(channel), 203);
        EXPECT_EQ(VLNKCheckConnect(channel, 1), 203);
        EXPECT_EQ(VLNKReceiveFile(channel, "a.tsd"), 203);
    }
    EXPECT_EQ(vlnk::TheWindow(), nullptr); // the failed opens did not leave it behind
}

TEST_F(ChannelTest, ClosedChannelGives202AndIdleOpenChannelGives210)
{
    int value;
    EXPECT_EQ(VLNKCloseChannel(2), 202);
    EXPECT_EQ(VLNKCancel(2), 202);
    EXPECT_EQ(VLNKGetPath(2), 202);
    EXPECT_EQ(VLNKGetResult(2, &value, nullptr), 210); // does not look at the open flag
    OpenOn(2);
    EXPECT_EQ(VLNKGetResult(2, &value, nullptr), 210);
    EXPECT_EQ(VLNKCancel(2), 210);
    EXPECT_TRUE(Contains(LogText(), " 2  VLNKWDLL:ERROR:Trying to cancel an idle channel\n"));
    EXPECT_TRUE(Contains(LogText(), " 2  Channel opened as " + ptys[0]->SlavePath() + "\n"));
}

TEST_F(ChannelTest, FreeChannelScansInOrderAndAllOpenGives201)
{
    int channel = -1;
    ASSERT_EQ(VLNKGetFreeChannel(&channel), 0);
    EXPECT_EQ(channel, 1);
    for (int n = 1; n <= 8; ++n) OpenOn(n);
    EXPECT_EQ(VLNKGetFreeChannel(&channel), 201);
    EXPECT_EQ(channel, 0);
    EXPECT_EQ(VLNKCloseChannel(5), 0);
    ASSERT_EQ(VLNKGetFreeChannel(&channel), 0);
    EXPECT_EQ(channel, 5);
    EXPECT_EQ(VLNKOpenChannel(3, ptys[0]->SlavePath().c_str()), 201);
}

TEST_F(ChannelTest, WindowLivesWhileAChannelIsOpen)
{
    EXPECT_EQ(vlnk::TheWindow(), nullptr);
    OpenOn(1);
    OpenOn(2);
    ASSERT_NE(vlnk::TheWindow(), nullptr);
    EXPECT_EQ(VLNKCloseChannel(1), 0);
    EXPECT_NE(vlnk::TheWindow(), nullptr);
    EXPECT_EQ(VLNKCloseChannel(2), 0);
    EXPECT_EQ(vlnk::TheWindow(), nullptr);
    EXPECT_TRUE(Contains(LogText(), " 2  Channel closed\n"));
    OpenOn(2);
    EXPECT_NE(vlnk::TheWindow(), nullptr);
}

TEST_F(ChannelTest, FailedOpenLeavesTheSlotClosed)
{
    EXPECT_EQ(VLNKOpenChannel(4, "/nonexistent"), 204);
    EXPECT_EQ(VLNKOpenChannel(4, "/dev/pts/this-name-is-far-too-long"), 204);
    EXPECT_EQ(VLNKOpenChannel(4, nullptr), 204);
    EXPECT_FALSE(vlnk::Slot(4)->bOpen);
    EXPECT_EQ(vlnk::TheWindow(), nullptr);
    int channel;
    ASSERT_EQ(VLNKGetFreeChannel(&channel), 0);
    EXPECT_EQ(channel, 1);
}

TEST_F(ChannelTest, SecondCommandIsRefusedAndTheFirstStillCompletes)
{
    OpenOn(1);
    FakeCommand first;
    Link(1).BeginCommand(vlnk::kGetPath, first.Step());
    int value = 0;
    char text[VLNK_TEXT_SIZE] = "";
    EXPECT_EQ(VLNKGetResult(1, &value, text), 213);
    EXPECT_EQ(VLNKGetPath(1), 209);
    EXPECT_EQ(VLNKReceiveFile(1, "x.tsd"), 209);
    EXPECT_TRUE(Contains(LogText(), " 1  VLNKWDLL:ERROR:Trying to get path when channel active\n"));
    EXPECT_TRUE(Contains(LogText(), " 1  VLNKWDLL:ERROR:Trying to receive a file when channel active\n"));
    first.finished = true;
    EXPECT_EQ(VLNKGetResult(1, &value, text), 0);
    EXPECT_EQ(value, 42);
    EXPECT_STREQ(text, "done");
    EXPECT_EQ(VLNKGetResult(1, &value, text), 210);
}

TEST_F(ChannelTest, TimerAndLineNotificationReachOnlyTheirChannel)
{
    OpenOn(1);
    OpenOn(2);
    FakeCommand one, two;
    Link(1).BeginCommand(vlnk::kGetPath, one.Step());
    Link(2).BeginCommand(vlnk::kGetPath, two.Step());

    Link(2).m_Port.ArmNotify(1, -1);
    Link(2).StartTimer(60000);
    ASSERT_TRUE(ptys[1]->Write("\x06"));
    ASSERT_TRUE(PumpUntil([&] { return VLNKGetResult(2, nullptr, nullptr) == 213 && !two.events.empty(); }));
    EXPECT_EQ(two.events, std::vector<StepEvent>{StepEvent::CommsEvent});
    EXPECT_TRUE(two.disarmedBeforeStep); // and the pending timer was killed
    EXPECT_TRUE(one.events.empty());

    Link(1).StartTimer(5);
    ASSERT_TRUE(PumpUntil([&] { return !one.events.empty(); }));
    EXPECT_EQ(one.events, std::vector<StepEvent>{StepEvent::TimerEvent});
    EXPECT_TRUE(one.disarmedBeforeStep);
    PumpFor(30); // killed on delivery: fires once
    EXPECT_EQ(one.events.size(), 1u);
    EXPECT_EQ(two.events.size(), 1u);
}

TEST_F(ChannelTest, StrayMessagesOnlyLog)
{
    OpenOn(1);
    FakeCommand one;
    Link(1).BeginCommand(vlnk::kGetPath, one.Step());
    VLNKMessageHdlr(nullptr, VLNK_WM_COMMNOTIFY, 12345, 1);
    VLNKMessageHdlr(nullptr, VLNK_WM_COMMNOTIFY, static_cast<uintptr_t>(-1), 1); // a closed slot's handle
    VLNKMessageHdlr(nullptr, VLNK_WM_TIMER, 6, 0);
    VLNKMessageHdlr(nullptr, VLNK_WM_TIMER, 99, 0);
    EXPECT_EQ(VLNKMessageHdlr(nullptr, 0x0001, 0, 0), 0);
    EXPECT_TRUE(one.events.empty());
    const std::string log = LogText();
    EXPECT_EQ(CountOf(log, "VLNKWDLL:ERROR:Invalid comms message received\n"), 2u);
    EXPECT_EQ(CountOf(log, "VLNKWDLL:ERROR:Invalid timer message received\n"), 2u);

    Link(1).EndCommand();
    VLNKMessageHdlr(nullptr, VLNK_WM_TIMER, 1, 0);
    VLNKMessageHdlr(nullptr, VLNK_WM_COMMNOTIFY, static_cast<uintptr_t>(Link(1).m_Port.Handle()), 1);
    EXPECT_TRUE(Contains(LogText(), " 1  VLNKWDLL:ERROR:Got timer event with nothing active\n"));
    EXPECT_TRUE(Contains(LogText(), " 1  VLNKWDLL:ERROR:Got comms event with nothing active\n"));
}

TEST_F(ChannelTest, CancelEndsShortCommandsAndMarksTransfers)
{
    OpenOn(1);
    FakeCommand command;
    vlnk::LinkState& link = Link(1);

    link.BeginCommand(vlnk::kCheckConnect, command.Step());
    link.m_nBaudSearchIndex = 3;
    link.m_bFailed = link.m_bCommsError = true;
    link.StartTimer(60000);
    link.m_Port.ArmNotify(1, -1);
    EXPECT_EQ(VLNKCancel(1), 0);
    EXPECT_FALSE(link.IsBusy());
    EXPECT_EQ(link.m_nBaudSearchIndex, 0);
    EXPECT_FALSE(link.m_bFailed || link.m_bCommsError || link.m_bTimerRunning);
    EXPECT_TRUE(link.m_bDone);
    EXPECT_EQ(link.m_Port.RxThreshold(), -1);
    EXPECT_TRUE(Contains(LogText(), " 1  Channel cancelled\n"));

    link.BeginCommand(vlnk::kGetDirectory, command.Step());
    link.m_DirList = {"A", "B"};
    EXPECT_EQ(VLNKCancel(1), 0);
    EXPECT_TRUE(link.m_DirList.empty());

    for (int id : {vlnk::kTransmitFile, vlnk::kReceiveFile, vlnk::kSoftwareDownload}) {
        link.BeginCommand(id, command.Step());
        link.m_nPendingError = 0;
        link.m_nBlockLength = 242;
        EXPECT_EQ(VLNKCancel(1), 0);
        EXPECT_TRUE(link.IsBusy()) << id; // ends at its next block
        EXPECT_EQ(link.m_nPendingError, 229);
        EXPECT_EQ(link.m_nBlockLength, id == vlnk::kTransmitFile ? 0u : 242u);
        link.EndCommand();
    }
}

TEST_F(ChannelTest, ClosingDuringATransferLeavesTheChannelIdle)
{
    OpenOn(1);
    FakeCommand command;
    Link(1).BeginCommand(vlnk::kReceiveFile, command.Step());
    Link(1).StartTimer(60000);
    EXPECT_EQ(VLNKCloseChannel(1), 0);
    EXPECT_FALSE(Link(1).IsBusy());
    EXPECT_FALSE(Link(1).m_bTimerRunning);
    ASSERT_EQ(VLNKOpenChannel(1, ptys[0]->SlavePath().c_str()), 0);
    EXPECT_EQ(VLNKGetResult(1, nullptr, nullptr), 210);
}

// The unload closes what is open; a late caller (another library's destructor,
// a thread still running at exit) then finds no channels instead of freed ones.
// The channels belong to the thread that opened them: calls from any other
// thread are refused and change nothing, until no channel is open any more.
TEST_F(ChannelTest, CallsFromAnotherThreadGet232AndTouchNothing)
{
    OpenOn(1);
    ptys.push_back(std::make_unique<vlnksim::CPtyPair>());
    const std::string other = ptys.back()->SlavePath();
    std::vector<int> results;
    std::thread([&] {
        int channel = -1;
        char text[VLNK_TEXT_SIZE];
        results = {VLNKGetResult(1, nullptr, text),
                   VLNKCancel(1),
                   VLNKGetPath(1),
                   VLNKCloseChannel(1),
                   VLNKOpenChannel(2, other.c_str()),
                   VLNKGetFreeChannel(&channel),
                   VLNKPollUser(&channel, 1),
                   CMDVLNK("/NOSCREEN /PORT=1")};
        VLNKWriteLog(1, "from another thread");
    }).join();
    EXPECT_EQ(results, std::vector<int>(8, VLNK_WRONG_THREAD));
    EXPECT_TRUE(vlnk::Slot(1)->bOpen);
    EXPECT_FALSE(vlnk::Slot(2)->bOpen);
    EXPECT_FALSE(Contains(LogText(), "from another thread"));
    char text[VLNK_ERROR_TEXT_SIZE];
    VLNKGetErrorString(VLNK_WRONG_THREAD, text);
    EXPECT_STREQ(text, "Channel belongs to another thread");
    EXPECT_EQ(VLNKCloseChannel(1), 0);
    // With no channel open, another thread may take the channels over.
    std::thread([&] { results = {VLNKOpenChannel(2, other.c_str()), VLNKCloseChannel(2)}; }).join();
    EXPECT_EQ(results, std::vector<int>({0, 0}));
}

TEST_F(ChannelTest, UnloadClosesTheChannelsAndLaterCallsFindNone)
{
    OpenOn(2);
    FakeCommand command;
    Link(2).BeginCommand(vlnk::kGetPath, command.Step());
    vlnk::LibraryUnload();
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, " 2  Channel closed\n"));
    EXPECT_TRUE(log.ends_with("Session terminated\n\n"));
    EXPECT_EQ(vlnk::Slot(2), nullptr);
    EXPECT_EQ(vlnk::TheWindow(), nullptr);
    EXPECT_EQ(vlnk::TheLog(), nullptr);
    EXPECT_FALSE(vlnk::CreateTheWindow([](void*, unsigned, uintptr_t, intptr_t) -> intptr_t { return 0; }));

    char text[VLNK_TEXT_SIZE] = "";
    int value = 0;
    int channel = -1;
    EXPECT_EQ(VLNKGetFreeChannel(&channel), 201);
    EXPECT_EQ(channel, 0);
    EXPECT_EQ(VLNKOpenChannel(1, ptys.back()->SlavePath().c_str()), 203);
    EXPECT_EQ(VLNKCloseChannel(2), 203);
    EXPECT_EQ(VLNKGetResult(2, &value, text), 203);
    EXPECT_EQ(VLNKCancel(2), 203);
    EXPECT_EQ(VLNKGetPath(2), 203);
    EXPECT_EQ(VLNKCheckConnect(2, 1), 203);
    EXPECT_EQ(VLNKPollUser(&channel, 1), 201);
    EXPECT_EQ(CMDVLNK("/NOSCREEN /PORT=1"), 214);
    VLNKWriteLog(1, "after the unload");
    EXPECT_EQ(VLNKMessageHdlr(nullptr, vlnk::WM_TIMER, 2, 0), 0);
    EXPECT_EQ(VLNKGetErrorString(0, text), 18);
    EXPECT_EQ(LogText(), log); // nothing more was written

    vlnk::LibraryLoad(); // for TearDown
}

TEST_F(ChannelTest, ErrorTextsVersionAndSentinel)
{
    char buf[VLNK_ERROR_TEXT_SIZE];
    EXPECT_EQ(VLNKGetErrorString(0, buf), 18);
    EXPECT_STREQ(buf, "Command successful");
    VLNKGetErrorString(213, buf);
    EXPECT_STREQ(buf, "VLNKW is waiting for response or timeout");
    VLNKGetErrorString(22, buf);
    EXPECT_STREQ(buf, "User stopped communications");
    VLNKGetErrorString(999, buf);
    EXPECT_STREQ(buf, "INVALID ERROR NUMBER (999)");
    VLNKGetErrorString(-2147483647 - 1, buf);
    EXPECT_STREQ(buf, "INVALID ERROR NUMBER (-2147483648)");
    for (int code = -5; code <= 1000; ++code) {
        VLNKGetErrorString(code, buf);
        EXPECT_LE(std::strlen(buf), 49u) << code;
    }
    char version[VLNK_VERSION_TEXT_SIZE];
    const int n = VLNKGetVersion(version);
    EXPECT_EQ(n, static_cast<int>(std::strlen(version)));
    EXPECT_TRUE(std::string(version).starts_with("Vexil VLNK for Windows DLL (32 bit) V0.99b  "));
}

} // namespace
