// SPDX-License-Identifier: GPL-3.0-or-later
// Listing, transmit, receive, delete and software download end to end
// against the handheld simulator.
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "direntry.h"
#include "libdir.h"
#include "library.h"
#include "link_env.h"
#include "pcpath.h"
#include "userrights.h"
#include "vlnkw32.h"

using namespace vlnktest;
namespace fs = std::filesystem;

namespace {

TEST(DirLineTest, FormatsNameSizeAttributesAndDosDate)
{
    vlnk::DirEntryRecord entry;
    entry.name = "SURVEY01.TSD";
    entry.size = 123456;
    entry.attributes = 0x20 | 0x01;
    entry.date = 0x2F21;                    // 1 September 2003
    entry.time = (13 << 11) | (5 << 5) | 7; // 13:05:14
    EXPECT_EQ(vlnk::FormatDirLine(entry), "SURVEY01.TSD    123456 A  R    01/09/03 13:05");
    entry.name = "ALONGNAME.TSD1";
    entry.attributes = 0x10 | 0x02 | 0x04 | 0x08;
    entry.date = (18 << 9) | (12 << 5) | 24; // 24 December 1998
    EXPECT_EQ(vlnk::FormatDirLine(entry), "ALONGNAME.TS    123456  H  DSV 24/12/98 13:05");
    // A record without its NUL ends at the name field.
    uint8_t raw[23];
    std::memset(raw, 'A', sizeof raw);
    EXPECT_EQ(vlnk::ParseDirEntry(raw, sizeof raw).name, "AAAAAAAAAAAA");
    EXPECT_EQ(vlnk::ParseDirEntry(raw, 5).size, 0u);
}

TEST(DirLineTest, NamesThatReachOutsideAFolder)
{
    EXPECT_TRUE(vlnk::IsUnsafeName("..", false));
    EXPECT_TRUE(vlnk::IsUnsafeName("A..B", false));
    EXPECT_TRUE(vlnk::IsUnsafeName("A\\B", false));
    EXPECT_TRUE(vlnk::IsUnsafeName("A/B", true));
    EXPECT_FALSE(vlnk::IsUnsafeName("..", true)); // the parent entry of a DOS listing
    EXPECT_FALSE(vlnk::IsUnsafeName("A.TSD", false));
    EXPECT_TRUE(vlnk::ReachesOutside("pc/../x.tsd"));
    EXPECT_TRUE(vlnk::ReachesOutside("pc/..\\x.tsd"));
    EXPECT_TRUE(vlnk::ReachesOutside("pc/.."));
    EXPECT_FALSE(vlnk::ReachesOutside("/tmp/a..b/x.tsd"));
    EXPECT_EQ(vlnk::HandheldName("/tmp/Logato/survey.tsd"), "SURVEY.TSD");
}

class FileOpsTest : public LinkTest {
protected:
    void SetUpHandheld(vlnksim::ServerOptions options = {})
    {
        StartHandheld(options);
        ASSERT_EQ(VLNKSetDirectory(1, "\\TRE\\DATEN"), 213);
        ASSERT_EQ(Await(1), 0);
    }
    // All lines of a listing, in order; the result that ended it in `end`.
    std::vector<std::pair<int, std::string>> List(const char* spec, int* end)
    {
        std::vector<std::pair<int, std::string>> lines;
        EXPECT_EQ(VLNKGetDirectory(1, spec), 213);
        int value = 0;
        char text[VLNK_TEXT_SIZE];
        int result;
        while ((result = Await(1, &value, text)) == 0) lines.emplace_back(value, text);
        *end = result;
        return lines;
    }
    int Receive(const std::string& path, int* lastValue = nullptr)
    {
        if (VLNKReceiveFile(1, path.c_str()) != 213) return -2;
        int value = -1;
        char text[VLNK_TEXT_SIZE];
        const int result = Await(1, &value, text, 60000);
        if (lastValue) *lastValue = value;
        return result;
    }
};

TEST_F(FileOpsTest, ListingCountsDownAndEndsWith210)
{
    WriteFile(DataDir() + "/A.TSD", "aaa");
    WriteFile(DataDir() + "/B.TSD", std::string(1000, 'b'));
    WriteFile(DataDir() + "/C.TXT", "c");
    fs::create_directory(DataDir() + "/SUB");
    SetUpHandheld();
    int end = 0;
    auto lines = List("*.TSD", &end);
    EXPECT_EQ(end, 210);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].first, 2);
    EXPECT_EQ(lines[1].first, 1);
    EXPECT_EQ(lines[0].second.substr(0, 31), "A.TSD                3 A       ");
    EXPECT_EQ(lines[1].second.substr(0, 24), "B.TSD             1000 A");
    lines = List("*.*", &end);
    EXPECT_EQ(end, 210);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3].second.substr(0, 31), "SUB                  0     D   ");
    // An empty listing ends at once after the count.
    lines = List("*.XYZ", &end);
    EXPECT_EQ(end, 210);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(VLNKGetResult(1, nullptr, nullptr), 210);
}

TEST_F(FileOpsTest, RepeatedEntryFrameIsStoredOnce)
{
    for (const char* name : {"A.TSD", "B.TSD", "C.TSD"}) WriteFile(DataDir() + "/" + name, name);
    SetUpHandheld();
    Sim().With([](vlnksim::CHandheld& h) { h.repeatNextEntries = 2; });
    int end = 0;
    const auto lines = List("*.TSD", &end);
    EXPECT_EQ(end, 210);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].second.substr(0, 5), "A.TSD");
    EXPECT_EQ(lines[1].second.substr(0, 5), "B.TSD");
    EXPECT_EQ(lines[2].second.substr(0, 5), "C.TSD");
}

TEST_F(FileOpsTest, ListingWithANameReachingOutsideIsRefused)
{
    WriteFile(DataDir() + "/A..B", "x");
    SetUpHandheld();
    int end = 0;
    List("*.*", &end);
    EXPECT_EQ(end, 223);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:Dir:Refused name with a path separator or '..' [A..B]\n"));
}

TEST_F(FileOpsTest, ReceiveWritesTheFileWithTheHandheldsTimeStamp)
{
    const std::string content = PatternBytes(256 * 7 + 13, 1);
    WriteFile(DataDir() + "/SURVEY.TSD", content);
    const std::time_t stamp = vlnk::DosToTime((23 << 9) | (9 << 5) | 1, (14 << 11) | (30 << 5));
    const timespec times[2] = {{stamp + 40, 0}, {stamp + 40, 0}}; // seconds do not survive DOS time
    utimensat(AT_FDCWD, (DataDir() + "/SURVEY.TSD").c_str(), times, 0);
    SetUpHandheld();
    int value = 0;
    const std::string target = PcDir() + "/survey.tsd";
    EXPECT_EQ(Receive(target, &value), 0);
    EXPECT_EQ(value, 100);
    EXPECT_TRUE(ReadFile(target) == content);
    struct stat st { };
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, stamp);
    EXPECT_EQ(FilesStartingWith(PcDir(), "survey.tsd.part"), 0);
    EXPECT_TRUE(Contains(LogText(), "Finished receiving file " + target + " (length 1805 bytes)\n"));
    // The handheld saw the name upper-cased.
    const auto requests = Sim().With([](vlnksim::CHandheld& h) { return h.Requests(); });
    EXPECT_NE(std::find(requests.begin(), requests.end(), std::string("RSURVEY.TSD") + '\0'), requests.end());
}

// A file that replaces an older one keeps the older one's permissions; a new
// one gets those of any new file.
TEST_F(FileOpsTest, ReceiveKeepsThePermissionsOfTheFileItReplaces)
{
    WriteFile(DataDir() + "/PRIVATE.TSD", "new survey");
    WriteFile(DataDir() + "/OPEN.TSD", "another");
    WriteFile(PcDir() + "/PRIVATE.TSD", "old survey");
    ASSERT_EQ(chmod((PcDir() + "/PRIVATE.TSD").c_str(), 0600), 0);
    SetUpHandheld();
    EXPECT_EQ(Receive(PcDir() + "/PRIVATE.TSD"), 0);
    EXPECT_EQ(Receive(PcDir() + "/OPEN.TSD"), 0);
    EXPECT_EQ(ReadFile(PcDir() + "/PRIVATE.TSD"), "new survey");
    struct stat st { };
    ASSERT_EQ(stat((PcDir() + "/PRIVATE.TSD").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    const mode_t mask = umask(0);
    umask(mask);
    ASSERT_EQ(stat((PcDir() + "/OPEN.TSD").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
}

TEST_F(FileOpsTest, ReceiveOfAnEmptyFileAndOverInfrared)
{
    WriteFile(DataDir() + "/EMPTY.TSD", "");
    const std::string content = PatternBytes(255 * 4 + 1, 2);
    WriteFile(DataDir() + "/IR.TSD", content);
    vlnksim::ServerOptions options;
    options.handheld.infrared = true;
    SetUpHandheld(options);
    // Before the probe the PC takes the sequence bytes for data, and learns
    // from the announced size that the file went wrong.
    EXPECT_EQ(Receive(PcDir() + "/IR.TSD"), 216);
    EXPECT_FALSE(Exists(PcDir() + "/IR.TSD"));
    ASSERT_EQ(VLNKCheckConnect(1, 0), 213);
    ASSERT_EQ(Await(1), 0);
    ASSERT_EQ(vlnk::Slot(1)->link.m_Port.IrMode, 1);
    int value = 0;
    EXPECT_EQ(Receive(PcDir() + "/EMPTY.TSD", &value), 0);
    EXPECT_EQ(value, 100);
    EXPECT_TRUE(Exists(PcDir() + "/EMPTY.TSD"));
    EXPECT_EQ(Receive(PcDir() + "/IR.TSD"), 0);
    EXPECT_TRUE(ReadFile(PcDir() + "/IR.TSD") == content);
}

// The 8-bit sum cannot see two bytes changed by +d and -d. Verification reads
// the file again until two reads agree, and fails after three reads that
// never do, keeping the old file.
TEST_F(FileOpsTest, VerifiedReceiveTakesOnlyTwoAgreeingReads)
{
    WriteIni(m_protocolIni + "VerifyReceive=1\n");
    const std::string content = PatternBytes(256 * 4 + 30, 13);
    WriteFile(DataDir() + "/SURVEY.TSD", content);
    SetUpHandheld();
    Sim().With([](vlnksim::CHandheld& h) { h.sumKeepingBlocks = 1; });
    int value = 0;
    EXPECT_EQ(Receive(PcDir() + "/SURVEY.TSD", &value), 0);
    EXPECT_EQ(value, 100);
    EXPECT_TRUE(ReadFile(PcDir() + "/SURVEY.TSD") == content);
    EXPECT_TRUE(Contains(LogText(), "Reads 2 and 3 of " + PcDir() + "/SURVEY.TSD agree\n"));

    // Every read damaged differently; the channel asks for it itself.
    WriteFile(PcDir() + "/SURVEY.TSD", "the file the user had");
    WriteIni(m_protocolIni);
    ASSERT_EQ(VLNKSetVerifyReceive(1, 1), 0);
    Sim().With([](vlnksim::CHandheld& h) { h.sumKeepingBlocks = 1000; });
    const auto requests = [&] { return Sim().With([](vlnksim::CHandheld& h) { return h.Requests(); }); };
    const auto opens = [&] {
        const auto all = requests();
        return std::count(all.begin(), all.end(), std::string("RSURVEY.TSD") + '\0');
    };
    const auto before = opens();
    EXPECT_EQ(Receive(PcDir() + "/SURVEY.TSD"), VLNK_RECEIVE_FAILED);
    EXPECT_EQ(opens() - before, 3);
    EXPECT_EQ(ReadFile(PcDir() + "/SURVEY.TSD"), "the file the user had");
    EXPECT_EQ(FilesStartingWith(PcDir(), "SURVEY.TSD."), 0);
    // Switched off for the channel, one read is taken as it is.
    ASSERT_EQ(VLNKSetVerifyReceive(1, 0), 0);
    EXPECT_EQ(Receive(PcDir() + "/SURVEY.TSD"), 0);
    EXPECT_FALSE(ReadFile(PcDir() + "/SURVEY.TSD") == content);
    EXPECT_EQ(VLNKSetVerifyReceive(2, 1), VLNK_CHANNEL_NOT_OPEN);
}

TEST_F(FileOpsTest, ReceiveOfAMissingNameGives224AndNoFile)
{
    SetUpHandheld();
    EXPECT_EQ(Receive(PcDir() + "/NOPE.TSD"), 224);
    EXPECT_FALSE(Exists(PcDir() + "/NOPE.TSD"));
    EXPECT_EQ(FilesStartingWith(PcDir(), "NOPE"), 0);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:WARNING:Cannot find 'NOPE.TSD' on remote\n"));
}

TEST_F(FileOpsTest, CancelledReceiveGives229AndKeepsTheOldFile)
{
    WriteFile(DataDir() + "/BIG.TSD", PatternBytes(200000, 3));
    WriteFile(PcDir() + "/BIG.TSD", "the file the user had");
    SetUpHandheld();
    ASSERT_EQ(VLNKReceiveFile(1, (PcDir() + "/BIG.TSD").c_str()), 213);
    int value = 0;
    char text[VLNK_TEXT_SIZE];
    ASSERT_TRUE(PumpUntil([&] {
        VLNKGetResult(1, &value, text);
        return vlnk::Slot(1)->link.m_nDoneBytes > 2000;
    }));
    EXPECT_EQ(VLNKCancel(1), 0);
    EXPECT_EQ(Await(1, &value, text), 229);
    EXPECT_EQ(ReadFile(PcDir() + "/BIG.TSD"), "the file the user had");
    EXPECT_EQ(FilesStartingWith(PcDir(), "BIG.TSD.part"), 0);
    EXPECT_TRUE(Contains(LogText(), "User aborted reception of " + PcDir() + "/BIG.TSD\n"));
    EXPECT_TRUE(Contains(LogText(), "Removed file " + PcDir() + "/BIG.TSD.part"));
    // The handheld was told with 0xFF and the line is usable again.
    ASSERT_EQ(VLNKGetSessionId(1), 213);
    EXPECT_EQ(Await(1), 0);
}

TEST_F(FileOpsTest, FailedReceiveLeavesNoPartialFileAndClosingMidwayToo)
{
    WriteFile(DataDir() + "/BIG.TSD", PatternBytes(200000, 4));
    SetUpHandheld();
    ASSERT_EQ(VLNKReceiveFile(1, (PcDir() + "/BIG.TSD").c_str()), 213);
    ASSERT_TRUE(PumpUntil([&] {
        VLNKGetResult(1, nullptr, nullptr);
        return vlnk::Slot(1)->link.m_nDoneBytes > 2000;
    }));
    EXPECT_EQ(VLNKCloseChannel(1), 0);
    EXPECT_FALSE(Exists(PcDir() + "/BIG.TSD"));
    EXPECT_EQ(FilesStartingWith(PcDir(), "BIG.TSD"), 0);
}

// A block lost or taken twice shows only in the count against the size the
// entry announced: such a file is refused, and the old one kept.
TEST_F(FileOpsTest, ReceiveOfMoreOrFewerBytesThanAnnouncedFailsAndKeepsTheOldFile)
{
    WriteFile(DataDir() + "/SURVEY.TSD", PatternBytes(256 * 3 + 40, 8));
    WriteFile(PcDir() + "/SURVEY.TSD", "the file the user had");
    SetUpHandheld();
    for (const long skew : {100L, 1L, -1L, -300L}) {
        Sim().With([&](vlnksim::CHandheld& h) { h.sizeSkew = skew; });
        EXPECT_EQ(Receive(PcDir() + "/SURVEY.TSD"), 216) << "announced " << skew << " bytes off";
        EXPECT_EQ(ReadFile(PcDir() + "/SURVEY.TSD"), "the file the user had");
        EXPECT_EQ(FilesStartingWith(PcDir(), "SURVEY.TSD.part"), 0);
    }
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, "VLNKWDLL:ERROR:RX:Received 808 of 908 bytes [" + PcDir() + "/SURVEY.TSD]\n"));
    EXPECT_TRUE(Contains(log, "VLNKWDLL:ERROR:RX:More than the 807 bytes announced [" + PcDir() + "/SURVEY.TSD]\n"));
    // The line is in step for the next receive.
    Sim().With([](vlnksim::CHandheld& h) { h.sizeSkew = 0; });
    EXPECT_EQ(Receive(PcDir() + "/SURVEY.TSD"), 0);
    EXPECT_TRUE(ReadFile(PcDir() + "/SURVEY.TSD") == PatternBytes(256 * 3 + 40, 8));
}

// The received file cannot take the target's place (here a folder of that
// name, which refuses even root): the receive fails, nothing is lost.
TEST_F(FileOpsTest, ReceiveThatCannotReplaceTheTargetFailsAndLeavesItAsItWas)
{
    WriteFile(DataDir() + "/DIR.TSD", PatternBytes(700, 9));
    fs::create_directory(PcDir() + "/DIR.TSD");
    WriteFile(PcDir() + "/DIR.TSD/KEEP.TXT", "keep me");
    SetUpHandheld();
    EXPECT_EQ(Receive(PcDir() + "/DIR.TSD"), 228);
    EXPECT_TRUE(fs::is_directory(PcDir() + "/DIR.TSD"));
    EXPECT_EQ(ReadFile(PcDir() + "/DIR.TSD/KEEP.TXT"), "keep me");
    EXPECT_EQ(FilesStartingWith(PcDir(), "DIR.TSD.part"), 0);
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, "VLNKWDLL:ERROR:RX:Could not replace [" + PcDir() + "/DIR.TSD]: "));
    EXPECT_FALSE(Contains(log, "Finished receiving file " + PcDir() + "/DIR.TSD"));
}

TEST_F(FileOpsTest, ReceiveRefusesUnsafeAndInvalidNames)
{
    SetUpHandheld();
    EXPECT_EQ(VLNKReceiveFile(1, (PcDir() + "/../ESCAPE.TSD").c_str()), 223);
    EXPECT_EQ(VLNKReceiveFile(1, (PcDir() + "/..\\ESCAPE.TSD").c_str()), 223);
    EXPECT_EQ(VLNKReceiveFile(1, (PcDir() + "/*.TSD").c_str()), 223);
    EXPECT_EQ(VLNKReceiveFile(1, ""), 223);
    EXPECT_EQ(VLNKGetResult(1, nullptr, nullptr), 210);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:RX:Refused name with a path separator or '..' ["));
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:RX:Cannot receive - invalid filename [" + PcDir() + "/*.TSD]\n"));
    // A target the user may not write, in folders the user may reach.
    WriteFile(PcDir() + "/RO.TSD", "x");
    chmod((PcDir() + "/RO.TSD").c_str(), 0444);
    chmod(Dir().c_str(), 0711);
    chmod(PcDir().c_str(), 0711);
    {
        CUserRights user;
        ASSERT_EQ(user.Error(), "");
        EXPECT_EQ(VLNKReceiveFile(1, (PcDir() + "/RO.TSD").c_str()), 228);
    }
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:RX:Insufficient rights to open [" + PcDir() + "/RO.TSD]\n"));
    EXPECT_EQ(ReadFile(PcDir() + "/RO.TSD"), "x");
}

TEST_F(FileOpsTest, TransmitSendsTheFileAndReportsProgress)
{
    const std::string content = PatternBytes(242 * 11 + 5, 5);
    WriteFile(PcDir() + "/up.tsd", content);
    SetUpHandheld();
    ASSERT_EQ(VLNKTransmitFile(1, (PcDir() + "/up.tsd").c_str()), 213);
    int value = -1;
    char text[VLNK_TEXT_SIZE] = {};
    EXPECT_EQ(Await(1, &value, text), 0);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(std::string(text), "2667 of 2667");
    EXPECT_TRUE(PumpUntil([&] { return ReadFile(DataDir() + "/UP.TSD") == content; }));
    EXPECT_TRUE(Contains(LogText(), "Finished sending file " + PcDir() + "/up.tsd\n"));
}

TEST_F(FileOpsTest, TransmitOfAnEmptyFileAndOverInfrared)
{
    WriteFile(PcDir() + "/empty.tsd", "");
    const std::string content = PatternBytes(241 * 3 + 7, 6);
    WriteFile(PcDir() + "/ir.tsd", content);
    vlnksim::ServerOptions options;
    options.handheld.infrared = true;
    SetUpHandheld(options);
    const size_t before = Sim().With([](vlnksim::CHandheld& h) { return h.Requests().size(); });
    ASSERT_EQ(VLNKTransmitFile(1, (PcDir() + "/empty.tsd").c_str()), 213);
    int value = -1;
    char text[VLNK_TEXT_SIZE] = {};
    EXPECT_EQ(Await(1, &value, text), 0);
    EXPECT_EQ(value, 100);
    const auto requests = Sim().With([](vlnksim::CHandheld& h) { return h.Requests(); });
    ASSERT_EQ(requests.size(), before + 2); // "T", then at once the empty frame
    EXPECT_EQ(requests[before], std::string("TEMPTY.TSD") + '\0');
    EXPECT_EQ(requests[before + 1], "");
    EXPECT_TRUE(PumpUntil([&] { return Exists(DataDir() + "/EMPTY.TSD"); }));
    ASSERT_EQ(VLNKCheckConnect(1, 0), 213);
    ASSERT_EQ(Await(1), 0);
    ASSERT_EQ(VLNKTransmitFile(1, (PcDir() + "/ir.tsd").c_str()), 213);
    EXPECT_EQ(Await(1), 0);
    EXPECT_TRUE(PumpUntil([&] { return ReadFile(DataDir() + "/IR.TSD") == content; }));
}

TEST_F(FileOpsTest, TransmitRefusalsTouchNoLine)
{
    SetUpHandheld();
    // The "S" request (16 bytes) and the ACK of its reply.
    ASSERT_TRUE(PumpUntil([&] { return Sim().BytesIn() == 17; }));
    const size_t before = Sim().BytesIn();
    EXPECT_EQ(VLNKTransmitFile(1, (PcDir() + "/*.DAT").c_str()), 223);
    EXPECT_EQ(VLNKTransmitFile(1, (PcDir() + "/missing.tsd").c_str()), 224);
    EXPECT_EQ(VLNKTransmitFile(1, PcDir().c_str()), 225);
    EXPECT_EQ(Sim().BytesIn(), before);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:TX:Cannot transmit - invalid filename [" + PcDir() + "/*.DAT]\n"));
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:TX:Cannot find file to transmit [" + PcDir() + "/missing.tsd]\n"));
}

TEST_F(FileOpsTest, CancelledTransmitEndsWithEotAndTheHandheldDropsTheFile)
{
    WriteFile(PcDir() + "/big.tsd", PatternBytes(300000, 7));
    SetUpHandheld();
    ASSERT_EQ(VLNKTransmitFile(1, (PcDir() + "/big.tsd").c_str()), 213);
    ASSERT_TRUE(PumpUntil([&] {
        VLNKGetResult(1, nullptr, nullptr);
        return vlnk::Slot(1)->link.m_nDoneBytes > 2000;
    }));
    EXPECT_EQ(VLNKCancel(1), 0);
    EXPECT_EQ(Await(1), 229);
    EXPECT_TRUE(PumpUntil([&] { return Sim().With([](vlnksim::CHandheld& h) { return h.EotCount(); }) == 1; }));
    EXPECT_TRUE(Contains(LogText(), "User aborted transmission of " + PcDir() + "/big.tsd\n"));
    ASSERT_TRUE(PumpUntil([&] { return !Exists(DataDir() + "/BIG.TSD.sim-part"); }));
    EXPECT_FALSE(Exists(DataDir() + "/BIG.TSD"));
}

TEST_F(FileOpsTest, DeleteOnTheHandheld)
{
    WriteFile(DataDir() + "/OLD.TSD", "x");
    SetUpHandheld();
    ASSERT_EQ(VLNKDeleteFile(1, "OLD.TSD"), 213);
    EXPECT_EQ(Await(1), 0);
    EXPECT_FALSE(Exists(DataDir() + "/OLD.TSD"));
    ASSERT_EQ(VLNKDeleteFile(1, "OLD.TSD"), 213);
    EXPECT_EQ(Await(1), 224);
    EXPECT_TRUE(Contains(LogText(), "Deleted file OLD.TSD on handheld\n"));
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:File [OLD.TSD] not found on handheld (2)\n"));
}

// The library folder holds SYSTEM32 when the test wants timer pacing.
class DownloadTest : public LinkTest {
protected:
    void BeforeLoad() override
    {
        LinkTest::BeforeLoad();
        if (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()).find("Timer")
            != std::string::npos)
            fs::create_directories(Dir() + "/SYSTEM32");
    }
    std::string Download(int machine, const std::string& expected)
    {
        vlnksim::ServerOptions options;
        options.capture = Dir() + "/captured.bin";
        StartHandheld(options);
        if (VLNKSoftwareDownload(1, machine) != 213) return "not started";
        int value = 0;
        char text[VLNK_TEXT_SIZE];
        EXPECT_EQ(Await(1, &value, text, 30000), 0);
        EXPECT_EQ(value, 100);
        EXPECT_TRUE(PumpUntil([&] { return ReadFile(Dir() + "/captured.bin").size() >= expected.size(); }));
        return ReadFile(Dir() + "/captured.bin");
    }
};

TEST_F(DownloadTest, FindsTheImageOnThePathAndSendsItUnframedAt2400)
{
    const std::string image = PatternBytes(242 * 3 + 9, 8);
    fs::create_directories(Dir() + "/bin");
    WriteFile(Dir() + "/bin/orle.bin", image);
    const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", ("/nonexistent:" + Dir() + "/bin").c_str(), 1);
    const std::string captured = Download(2, image);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_TRUE(captured == image);
    EXPECT_FALSE(vlnk::SystemDirWritable());
    EXPECT_TRUE(Contains(LogText(), "Software downloaded successfully\n"));
}

TEST_F(DownloadTest, FallsBackToTheLibraryFolderAndPacesByTimer)
{
    const std::string image = PatternBytes(500, 9);
    WriteFile(Dir() + "/V16XT2.BIN", image);
    EXPECT_TRUE(vlnk::SystemDirWritable());
    EXPECT_TRUE(Download(4, image) == image);
    // The probe's answer lasts only as long as the library stays loaded.
    vlnk::LibraryUnload();
    EXPECT_FALSE(vlnk::SystemDirWritable());
    vlnk::LibraryLoad(); // for TearDown
}

TEST_F(DownloadTest, RefusesBadMachinesAndMissingImages)
{
    StartHandheld();
    EXPECT_EQ(VLNKSoftwareDownload(1, 0), 230);
    EXPECT_EQ(VLNKSoftwareDownload(1, 5), 230);
    EXPECT_EQ(VLNKSoftwareDownload(1, 1), 231);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:SWDL:[varden.bin] not found on path\n"));
}

} // namespace
