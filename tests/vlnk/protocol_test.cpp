// SPDX-License-Identifier: GPL-3.0-or-later
// The link protocol end to end against the handheld simulator: frames and
// their checks, retries, the connect probe, the short commands and PollUser.
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>

#include "frame.h"
#include "library.h"
#include "link_env.h"
#include "linkcommands.h"
#include "pty_pair.h"
#include "vlnkw32.h"

using namespace vlnktest;

namespace {

std::string Hex(const uint8_t* bytes, size_t count)
{
    std::string out;
    char buf[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        out += buf;
    }
    return out;
}

std::string TxFrame(int channel)
{
    const vlnk::LinkState& link = vlnk::Slot(channel)->link;
    return Hex(link.m_TxBuf.data(), link.m_nTxLength);
}

using FrameTest = LibraryTest;

TEST_F(FrameTest, FramesAndChecksums)
{
    vlnk::LinkState& link = vlnk::Slot(1)->link;
    vlnk::BuildFrame(link, 'Q', nullptr, 0);
    EXPECT_EQ(TxFrame(1), "02 01 00 51 51");
    vlnk::BuildFrame(link, 0, nullptr, 0);
    EXPECT_EQ(TxFrame(1), "02 00 00 00");
    std::tm christmas{};
    christmas.tm_mday = 24;
    christmas.tm_mon = 11;
    christmas.tm_year = 98;
    const auto date = vlnk::DateRequest(christmas);
    vlnk::BuildFrame(link, 'Y', date.data(), date.size());
    EXPECT_EQ(TxFrame(1), "02 05 00 59 18 0C 07 CE 52");
    // Carry discarded: 0xFF + 0x02 = 0x01.
    const uint8_t bytes[] = {0xFF, 0x02};
    EXPECT_EQ(vlnk::Checksum8(bytes, 2), 0x01);
    // More data than the buffer holds is cut, never written past it.
    const std::string big(400, 'x');
    vlnk::BuildFrame(link, 'S', big);
    EXPECT_EQ(link.m_nTxLength, vlnk::LinkState::kFrameMax);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:Request of 401 bytes cut to 276"));
}

class ProtocolTest : public LinkTest { };

TEST_F(ProtocolTest, BadChecksumIsAnsweredWithNakAndTheResentReplyAccepted)
{
    StartHandheld();
    Sim().With([](vlnksim::CHandheld& h) { h.badChecksumReplies = 1; });
    char text[VLNK_TEXT_SIZE] = {};
    ASSERT_EQ(VLNKGetPath(1), 213);
    EXPECT_EQ(Await(1, nullptr, text), 0);
    EXPECT_STREQ(text, "C:\\");
    EXPECT_EQ(Sim().With([](vlnksim::CHandheld& h) { return h.NakCount(); }), 1);
    EXPECT_TRUE(Contains(LogText(), "Current path is C:\\\n"));
}

TEST_F(ProtocolTest, ReplyLongerThan256IsRefusedAndCountsAsRetry)
{
    StartHandheld();
    Sim().With([](vlnksim::CHandheld& h) { h.oversizeReplies = 1; });
    char text[VLNK_TEXT_SIZE] = {};
    ASSERT_EQ(VLNKGetSessionId(1), 213);
    EXPECT_EQ(Await(1, nullptr, text), 0);
    EXPECT_STREQ(text, "4711");
    EXPECT_EQ(Sim().With([](vlnksim::CHandheld& h) { return h.NakCount(); }), 1);
    EXPECT_TRUE(Contains(LogText(), "Reply of 257 bytes refused"));
}

TEST_F(ProtocolTest, SilentHandheldGets211AfterSixSends)
{
    vlnksim::ServerOptions options;
    options.handheld.mute = true;
    StartHandheld(options);
    ASSERT_EQ(VLNKGetDrives(1), 213);
    EXPECT_EQ(Await(1), 211);
    EXPECT_EQ(Sim().With([](vlnksim::CHandheld& h) { return h.Requests().size(); }), 6u);
    EXPECT_EQ(CountOf(LogText(), "VLNKWDLL:ERROR:Maximum retries exceeded (action=1)"), 1u);
    EXPECT_EQ(VLNKGetResult(1, nullptr, nullptr), 210); // delivered once, then idle
}

TEST_F(ProtocolTest, ConnectSearchesTheBaudRatesAndRemembersTheOneThatAnswered)
{
    vlnksim::ServerOptions options;
    options.onlyBaud = 9600;
    StartHandheld(options, "COM1");
    char text[VLNK_TEXT_SIZE] = {};
    ASSERT_EQ(VLNKCheckConnect(1, 0), 213);
    EXPECT_EQ(Await(1, nullptr, text), 0);
    EXPECT_STREQ(text, "9600");
    EXPECT_TRUE(Contains(IniText(), "COM1Baud=9600"));
    EXPECT_TRUE(Contains(LogText(), "Connected to remote on COM1 @ 9600\n"));
    EXPECT_EQ(vlnk::Slot(1)->link.m_Port.IrMode, 0);
    EXPECT_EQ(vlnk::Slot(1)->link.m_nBaudSearchIndex, 0);
    // The next probe starts at the remembered rate and answers at once.
    ASSERT_EQ(VLNKCheckConnect(1, 0), 213);
    EXPECT_EQ(Await(1, nullptr, text), 0);
    EXPECT_EQ(CountOf(LogText(), "Connected to remote on COM1 @ 9600\n"), 2u);
}

TEST_F(ProtocolTest, NoAnswerAtAnyRateGives211)
{
    vlnksim::ServerOptions options;
    options.handheld.mute = true;
    StartHandheld(options, "COM1");
    ASSERT_EQ(VLNKCheckConnect(1, 0), 213);
    EXPECT_EQ(Await(1), 211);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:Could not connect to remote on COM1\n"));
    EXPECT_EQ(vlnk::Slot(1)->link.m_nBaudSearchIndex, 0);
    EXPECT_EQ(VLNKCheckConnect(1, 1), 212);
}

TEST_F(ProtocolTest, InfraredAnswerSwitchesModeAndRetryLimit)
{
    WriteIni(m_protocolIni + "MaxRetries=2\nMaxIRRetries=7\n");
    vlnksim::ServerOptions options;
    options.handheld.infrared = true;
    StartHandheld(options);
    vlnk::LinkState& link = vlnk::Slot(1)->link;
    EXPECT_EQ(link.m_nRetryLimit, 2);
    ASSERT_EQ(VLNKCheckConnect(1, 0), 213);
    EXPECT_EQ(Await(1), 0);
    EXPECT_EQ(link.m_Port.IrMode, 1);
    EXPECT_EQ(link.m_nRetryLimit, 7);
    EXPECT_EQ(VLNKCheckConnect(1, 1), 0); // the quick form, still infrared
    EXPECT_EQ(link.m_Port.IrMode, 1);
}

TEST_F(ProtocolTest, QueriesDeliverTheirTextsAndTolerateNullPointers)
{
    vlnksim::ServerOptions options;
    options.handheld.freeBytes = 3000000000u;
    StartHandheld(options);
    char text[VLNK_TEXT_SIZE];
    ASSERT_EQ(VLNKGetFreeSpace(1, 3), 213);
    EXPECT_EQ(Await(1, nullptr, text), 0);
    EXPECT_STREQ(text, "3000000000");
    ASSERT_EQ(VLNKGetDrives(1), 213);
    EXPECT_EQ(Await(1, nullptr, text), 0);
    EXPECT_STREQ(text, "AC");
    ASSERT_EQ(VLNKSetDirectory(1, "\\TRE\\DATEN"), 213);
    EXPECT_EQ(Await(1), 0);
    for (auto start : {VLNKGetPath, VLNKGetSessionId, VLNKGetDrives}) {
        ASSERT_EQ(start(1), 213);
        EXPECT_EQ(Await(1, nullptr, nullptr), 0);
    }
    ASSERT_EQ(VLNKGetFreeSpace(1, 3), 213);
    EXPECT_EQ(Await(1, nullptr, nullptr), 0);
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, "Free space is 3000000000 bytes\n"));
    EXPECT_TRUE(Contains(log, "Session Identity is 4711\n"));
    EXPECT_TRUE(Contains(log, "List of drives is AC\n"));
    EXPECT_TRUE(Contains(log, "Setting directory to \\TRE\\DATEN\n"));
    EXPECT_TRUE(Contains(log, "Current path is C:\\TRE\\DATEN\n"));
    EXPECT_TRUE(Contains(log, "Got path but NULL passed as return value\n"));
    EXPECT_TRUE(Contains(log, "Got free space but NULL passed as return value\n"));
    EXPECT_TRUE(Contains(log, "Got session id but NULL passed as return value\n"));
    EXPECT_TRUE(Contains(log, "Got list of drives but NULL passed as return value\n"));
}

TEST_F(ProtocolTest, SettingsAndTheirRefusals)
{
    StartHandheld();
    ASSERT_EQ(VLNKSetDrive(1, 3), 213);
    EXPECT_EQ(Await(1), 0);
    ASSERT_EQ(VLNKSetDrive(1, 1), 213);
    EXPECT_EQ(Await(1), 219);
    ASSERT_EQ(VLNKSetDirectory(1, "\\NOWHERE"), 213);
    EXPECT_EQ(Await(1), 220);
    EXPECT_EQ(VLNKSetDirectory(1, std::string(81, 'D').c_str()), 220); // never sent cut
    // Today, taken on both sides of the request: a run may cross midnight.
    const auto today = [] {
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        return tm;
    };
    const std::tm before = today();
    ASSERT_EQ(VLNKSetHandheldDate(1), 213);
    EXPECT_EQ(Await(1), 0);
    const std::tm after = today();
    ASSERT_EQ(VLNKSetHandheldTime(1), 213);
    EXPECT_EQ(Await(1), 0);
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, "Setting drive to C\n"));
    EXPECT_TRUE(Contains(log, "Setting drive to A\n"));
    EXPECT_TRUE(Contains(log, "Error trying to set drive = (15)\n"));
    EXPECT_TRUE(Contains(log, "VLNKWDLL:ERROR:Error trying to set directory = (3)\n"));
    // The date request carries today's date with the year high byte first.
    const auto requests = Sim().With([](vlnksim::CHandheld& h) { return h.Requests(); });
    const auto sentOn = [&](const std::tm& tm) {
        std::string date = "Y";
        for (uint8_t b : vlnk::DateRequest(tm)) date += static_cast<char>(b);
        char line[64];
        std::snprintf(line, sizeof line, "Setting date to %d/%d/%d\n", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
        return std::find(requests.begin(), requests.end(), date) != requests.end() && Contains(log, line);
    };
    EXPECT_TRUE(sentOn(before) || sentOn(after));
}

TEST_F(ProtocolTest, BaudRateChangeAndAbort)
{
    StartHandheld({}, "COM1");
    EXPECT_EQ(VLNKSetBaudRate(1, "57600"), 218);
    EXPECT_EQ(VLNKSetBaudRate(1, nullptr), 218);
    EXPECT_EQ(VLNKGetResult(1, nullptr, nullptr), 210);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:SetBaud:Could not set to 57600\n"));
    ASSERT_EQ(VLNKSetBaudRate(1, "19200"), 213);
    EXPECT_EQ(Await(1), 0);
    EXPECT_TRUE(Contains(IniText(), "COM1Baud=19200"));
    EXPECT_TRUE(Contains(LogText(), "Set new baud rate to 19200\n"));
    EXPECT_EQ(Sim().With([](vlnksim::CHandheld& h) { return h.Requests().back(); }), std::string("B\x04", 2));
    ASSERT_EQ(VLNKAbortRemote(1), 213);
    EXPECT_EQ(Await(1), 0);
    EXPECT_TRUE(Contains(LogText(), "Aborted the remote from the handheld software\n"));
}

TEST_F(ProtocolTest, SecondCommandWhileBusyIsRefused)
{
    vlnksim::ServerOptions options;
    options.handheld.mute = true;
    StartHandheld(options);
    ASSERT_EQ(VLNKGetPath(1), 213);
    EXPECT_EQ(VLNKGetFreeSpace(1, 3), 209);
    EXPECT_EQ(VLNKReceiveFile(1, (PcDir() + "/X.TSD").c_str()), 209);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:Trying to get free space when channel active\n"));
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:Trying to receive a file when channel active\n"));
    EXPECT_EQ(VLNKCancel(1), 0);
    EXPECT_EQ(VLNKGetResult(1, nullptr, nullptr), 210);
}

class PollUserTest : public LinkTest { };

TEST_F(PollUserTest, SkipsIgnoredPortsAndFindsTheUser)
{
    vlnksim::CPtyPair silent1, silent2;
    WriteIni(m_protocolIni + "IgnorePorts=12\n[Settings]\nMaxPorts=3\n[Ports]\nCOM1=" + silent1.SlavePath()
             + "\nCOM2=" + silent2.SlavePath() + "\n");
    vlnksim::ServerOptions options;
    options.handheld.user = 7;
    options.handheld.battery = 64;
    options.handheld.freeBytes = 2048 * 1024;
    StartHandheld(options, "COM3", 0);
    int channel = 0;
    ASSERT_EQ(VLNKPollUser(&channel, 7), 213);
    EXPECT_EQ(channel, 1);
    int value = 0;
    char text[VLNK_TEXT_SIZE] = {};
    EXPECT_EQ(Await(channel, &value, text), 0);
    EXPECT_EQ(value, 64);
    EXPECT_STREQ(text, "2048");
    EXPECT_TRUE(Contains(LogText(), "Found user '7' on COM3 (64%, 2048k)\n"));
    EXPECT_TRUE(Contains(silent1.Read(4096, 0), "7HELLO7\r\n")); // port 1 was asked
    EXPECT_EQ(silent2.Read(4096, 0), "");                        // "12" covers port 2
    EXPECT_EQ(vlnk::Slot(channel)->link.m_strPort, "COM3");
    // The port stays open for the link.
    ASSERT_EQ(VLNKGetSessionId(channel), 213);
    EXPECT_EQ(Await(channel), 0);
    EXPECT_EQ(VLNKCloseChannel(channel), 0);
}

TEST_F(PollUserTest, NoPortAnswersGives212)
{
    vlnksim::CPtyPair silent;
    WriteIni(m_protocolIni + "[Settings]\nMaxPorts=2\n[Ports]\nCOM1=" + silent.SlavePath() + "\nCOM2=/nonexistent\n");
    int channel = 0;
    ASSERT_EQ(VLNKPollUser(&channel, 3), 213);
    EXPECT_EQ(Await(channel), 212);
    EXPECT_TRUE(Contains(LogText(), "Polling could not find user '3'\n"));
    EXPECT_EQ(VLNKCloseChannel(channel), 0);
    WriteIni(m_protocolIni + "[Settings]\nMaxPorts=1\n[Ports]\nCOM1=/nonexistent\n");
    EXPECT_EQ(VLNKPollUser(&channel, 3), 212); // nothing to ask at all
    EXPECT_EQ(VLNKCloseChannel(channel), 202);
}

} // namespace
