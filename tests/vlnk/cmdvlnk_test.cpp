// SPDX-License-Identifier: GPL-3.0-or-later
// CMDVLNK end to end against the handheld simulator, found as COM2.
#include <atomic>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utime.h>

#include "link_env.h"
#include "pty_pair.h"
#include "vlnkw32.h"

using namespace vlnktest;
namespace fs = std::filesystem;

namespace {

// "/tmp/x/y" in the DOS form of the command language.
std::string Dos(std::string path)
{
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Waits for a condition that another thread brings about.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::time_t LocalTime(int year, int month, int day, int hour, int minute)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::time_t ModifiedAt(const std::string& path)
{
    struct stat st { };
    return stat(path.c_str(), &st) == 0 ? st.st_mtime : -1;
}

class CmdTest : public LinkTest {
protected:
    void BeforeLoad() override
    {
        m_protocolIni += "[Ports]\nCOM1=/nonexistent/tty1\nCOM3=/nonexistent/tty3\nCOM4=/nonexistent/tty4\n";
        LinkTest::BeforeLoad();
    }
    void Start(vlnksim::ServerOptions options = {}) { StartHandheld(options, "COM2", 0); }
    std::string ResultFile() const { return ReadFile(Dir() + "/vlnkw.end"); }
    bool HandheldSaw(char letter)
    {
        return Sim().With([&](vlnksim::CHandheld& h) {
            for (const auto& request : h.Requests())
                if (!request.empty() && request[0] == letter) return true;
            return false;
        });
    }
};

TEST_F(CmdTest, TxSendsEveryMatchingFileAndWritesTheResultFile)
{
    WriteFile(PcDir() + "/a.dat", "first");
    WriteFile(PcDir() + "/B.DAT", PatternBytes(3000, 1));
    WriteFile(PcDir() + "/C.TXT", "not me");
    fs::create_directory(PcDir() + "/D.DAT");
    Start();
    const std::string line = "/PORT=2 /NOSCREEN /CD=C:\\TRE\\DATEN /TX=" + Dos(PcDir()) + "\\*.DAT /DATE /TIME /ABORT";
    EXPECT_EQ(CMDVLNK(line.c_str()), 0);
    EXPECT_EQ(ResultFile(), "000 Command successful\n");
    EXPECT_EQ(ReadFile(DataDir() + "/A.DAT"), "first");
    EXPECT_TRUE(ReadFile(DataDir() + "/B.DAT") == PatternBytes(3000, 1));
    EXPECT_FALSE(Exists(DataDir() + "/C.TXT"));
    EXPECT_FALSE(Exists(DataDir() + "/D.DAT"));
    EXPECT_TRUE(HandheldSaw('Y'));
    EXPECT_TRUE(HandheldSaw('Z'));
    EXPECT_TRUE(HandheldSaw('Q')); // the abort at the end
    EXPECT_TRUE(Contains(IniText(), "ComPort=COM2"));
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, "CMDVLNK:Using port 'COM2'\n"));
    EXPECT_TRUE(Contains(log, "CMDVLNK:Changing directory to 'C:\\TRE\\DATEN' on remote\n"));
    EXPECT_TRUE(Contains(log, "CMDVLNK:Sending '" + Dos(PcDir()) + "\\*.DAT' to remote\n"));
    EXPECT_TRUE(Contains(log, "CMDVLNK:Commands completed successfully (level 0)\n"));
    // The channel was closed and the window dropped with it.
    int channel = 0;
    EXPECT_EQ(VLNKGetFreeChannel(&channel), 0);
    EXPECT_EQ(channel, 1);
    EXPECT_EQ(VLNKGetResult(1, nullptr, nullptr), 210);

    // Nothing to send is a failure of its own.
    const std::string none = "/PORT=2 /NOSCREEN /TX=" + Dos(PcDir()) + "\\*.XYZ";
    EXPECT_EQ(CMDVLNK(none.c_str()), 28);
    EXPECT_EQ(ResultFile(), "028 Could not find file\n");
    EXPECT_TRUE(Contains(LogText(), "CMDVLNK:PC cannot find '" + Dos(PcDir()) + "\\*.XYZ' (level 28)\n"));
}

TEST_F(CmdTest, RxReceivesIntoAPcFolderWithTheHandheldsTimeStamps)
{
    WriteFile(DataDir() + "/SURVEY1.TSD", PatternBytes(3000, 2));
    WriteFile(DataDir() + "/SURVEY2.TSD", "short");
    WriteFile(DataDir() + "/NOTES.TXT", "no");
    fs::create_directory(DataDir() + "/OLD.TSD");
    const std::time_t christmas = LocalTime(1998, 12, 24, 13, 4);
    utimbuf times{christmas, christmas};
    ASSERT_EQ(utime((DataDir() + "/SURVEY1.TSD").c_str(), &times), 0);
    Start();
    const std::string line = "/PORT=2/NOSCREEN/CD=C:\\TRE\\DATEN/RX=" + Dos(PcDir()) + "\\*.tsd";
    EXPECT_EQ(CMDVLNK(line.c_str()), 0);
    EXPECT_TRUE(ReadFile(PcDir() + "/SURVEY1.TSD") == PatternBytes(3000, 2));
    EXPECT_EQ(ReadFile(PcDir() + "/SURVEY2.TSD"), "short");
    EXPECT_FALSE(Exists(PcDir() + "/NOTES.TXT"));
    EXPECT_FALSE(Exists(PcDir() + "/OLD.TSD")); // directories are not received
    EXPECT_EQ(ModifiedAt(PcDir() + "/SURVEY1.TSD"), christmas);

    // Without a port the job uses the one of the last run; a relative folder is
    // below the current directory.
    const fs::path cwd = fs::current_path();
    fs::create_directory(PcDir() + "/sub");
    fs::current_path(PcDir());
    const int result = CMDVLNK("/NOSCREEN /CD=\\TRE\\DATEN /RX=sub\\SURVEY2.TSD");
    fs::current_path(cwd);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(PcDir() + "/sub/SURVEY2.TSD"), "short");
    EXPECT_TRUE(Contains(LogText(), "CMDVLNK:Using last port 'COM2'\n"));

    const std::string missing = "/PORT=2/NOSCREEN/CD=\\TRE\\DATEN/RX=" + Dos(PcDir()) + "\\*.XYZ";
    EXPECT_EQ(CMDVLNK(missing.c_str()), 28);
    EXPECT_TRUE(Contains(LogText(), "CMDVLNK:File not found '" + Dos(PcDir()) + "\\*.XYZ' (level 28)\n"));
}

// A name that would leave the PC folder is refused by the library; the job
// reports the library's code for it, not a failed line.
TEST_F(CmdTest, AHandheldNameThatLeavesTheFolderFailsWithTheLibrarysCode)
{
    WriteFile(DataDir() + "/A..B.TSD", "x");
    Start();
    const std::string line = "/PORT=2/NOSCREEN/CD=C:\\TRE\\DATEN/RX=" + Dos(PcDir()) + "\\*.TSD";
    EXPECT_EQ(CMDVLNK(line.c_str()), VLNK_BAD_FILENAME);
    EXPECT_EQ(ResultFile(), "223 Invalid filename to transmit/receive\n");
    EXPECT_EQ(FilesStartingWith(PcDir(), ""), 0);
}

TEST_F(CmdTest, DelRemovesMatchingFilesAndBadDirectoriesFailTheJob)
{
    WriteFile(DataDir() + "/A.TSD", "a");
    WriteFile(DataDir() + "/B.TSD", "b");
    WriteFile(DataDir() + "/KEEP.TXT", "k");
    Start();
    EXPECT_EQ(CMDVLNK("/PORT=2/NOSCREEN/CD=\\TRE\\DATEN/DEL=*.tsd"), 0);
    EXPECT_FALSE(Exists(DataDir() + "/A.TSD"));
    EXPECT_FALSE(Exists(DataDir() + "/B.TSD"));
    EXPECT_TRUE(Exists(DataDir() + "/KEEP.TXT"));
    EXPECT_TRUE(Contains(LogText(), "CMDVLNK:Deleting '*.tsd' on remote\n"));
    EXPECT_EQ(CMDVLNK("/PORT=2/NOSCREEN/CD=\\TRE\\DATEN/DEL=*.TSD"), 28);

    // The size pass already changes directories, so a bad one stops the job
    // before anything is transferred.
    EXPECT_EQ(CMDVLNK("/PORT=2/NOSCREEN/CD=D:\\TRE/DEL=*.TXT"), 12);
    EXPECT_TRUE(Contains(LogText(), "CMDVLNK:Failed to set drive [4] (level 12)\n"));
    EXPECT_EQ(CMDVLNK("/PORT=2/NOSCREEN/CD=\\NOWHERE/DEL=*.TXT"), 12);
    EXPECT_TRUE(Contains(LogText(), "CMDVLNK:Failed to set directory '\\NOWHERE' (level 12)\n"));
    EXPECT_TRUE(Exists(DataDir() + "/KEEP.TXT"));
    // Nothing moved the handheld elsewhere.
    EXPECT_EQ(Sim().With([](vlnksim::CHandheld& h) { return h.Cwd(); }), "\\TRE\\DATEN");
}

TEST_F(CmdTest, ABadCommandLineRunsNothingAndReplacesAnOldResult)
{
    WriteFile(Dir() + "/vlnkw.end", "000 Command successful\n");
    EXPECT_EQ(CMDVLNK("/XYZ /TX= /TX-X"), 1);
    EXPECT_EQ(ResultFile(), "001 Invalid command line parameters\n");
    std::string log = LogText();
    EXPECT_TRUE(Contains(log, "VLNKWDLL:CMDVLNK:ERROR:'/XYZ':Invalid command\n"));
    EXPECT_TRUE(Contains(log, "VLNKWDLL:CMDVLNK:ERROR:'/TX=':No extra details\n"));
    EXPECT_TRUE(Contains(log, "VLNKWDLL:CMDVLNK:ERROR:'/TX-X':Invalid seperator [-]\n"));
    EXPECT_TRUE(Contains(log, "CMDVLNK:Invalid parameter '/TX-X/Invalid seperator [-]' (level 1)\n"));
    EXPECT_FALSE(Contains(log, "Channel opened"));

    // The first port named wins; a port that does not open is result 3.
    EXPECT_EQ(CMDVLNK("/PORT=1/PORT=2/NOSCREEN"), 3);
    log = LogText();
    EXPECT_TRUE(Contains(log, "VLNKWDLL:CMDVLNK:ERROR:Port already set to 'COM1',cannot try '2'\n"));
    EXPECT_TRUE(Contains(log, "CMDVLNK:Could not open port 'COM1' (level 3)\n"));
    EXPECT_EQ(ResultFile(), "003 Invalid port command\n");
}

TEST_F(CmdTest, DownloadSendsTheFirmwareAndIgnoresTheList)
{
    const std::string image = PatternBytes(242 * 2 + 17, 5);
    fs::create_directories(Dir() + "/bin");
    WriteFile(Dir() + "/bin/varden.bin", image);
    const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (Dir() + "/bin").c_str(), 1);
    vlnksim::ServerOptions options;
    options.capture = Dir() + "/captured.bin";
    Start(options);
    WriteFile(PcDir() + "/A.B", "never sent");
    const std::string line = "/PORT=2 /NOSCREEN /DOWNLOAD=VARDEN /TX=" + Dos(PcDir()) + "\\A.B";
    EXPECT_EQ(CMDVLNK(line.c_str()), 0);
    // The job closed the port right after the last block; the simulator, busy
    // or not, still gets every byte of it.
    EXPECT_TRUE(WaitFor([&] { return ReadFile(Dir() + "/captured.bin").size() >= image.size(); }, 30000));
    EXPECT_TRUE(ReadFile(Dir() + "/captured.bin") == image);
    EXPECT_FALSE(Contains(LogText(), "CMDVLNK:Sending"));
    EXPECT_TRUE(Contains(LogText(), "Software downloaded successfully\n"));

    // Only the path is searched; the download goes to the last port.
    WriteFile(Dir() + "/ORLE.BIN", image);
    EXPECT_EQ(CMDVLNK("/NOSCREEN /DOWNLOAD=ORLE"), 8);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_TRUE(Contains(LogText(), "VLNKWDLL:ERROR:CMDVLNK:[orle.bin] not found on path\n"));
    EXPECT_TRUE(Contains(LogText(), "CMDVLNK:Using last port 'COM2'\n"));
    EXPECT_EQ(ResultFile(), "008 Could not find VLNK software to download\n");
}

TEST_F(CmdTest, OneRunAtATimeAndCancelEndsWith22)
{
    WriteFile(DataDir() + "/BIG.TSD", PatternBytes(60000, 3));
    vlnksim::ServerOptions options;
    options.paced = true; // about 4 KB/s at 38400 baud
    Start(options);
    const std::string line = "/PORT=2 /NOSCREEN /CD=\\TRE\\DATEN /RX=" + Dos(PcDir()) + "\\BIG.TSD";
    std::atomic<int> result{-1};
    std::thread run([&] { result = CMDVLNK(line.c_str()); });
    const bool flowing = WaitFor([&] { return Sim().BytesOut() > 3000; }, 20000);
    EXPECT_TRUE(flowing);
    EXPECT_EQ(CMDVLNK("/XYZ"), 300);
    EXPECT_EQ(VLNKCMDMessageHdlr(nullptr, 0x0010, VLNK_IDCANCEL, 0), 0);
    EXPECT_EQ(VLNKCMDMessageHdlr(nullptr, VLNK_WM_COMMAND, VLNK_IDCANCEL, 0), 1);
    run.join();
    EXPECT_EQ(result.load(), 22);
    EXPECT_EQ(ResultFile(), "022 User stopped communications\n");
    EXPECT_TRUE(Contains(LogText(), "CMDVLNK:User cancelled operation (level 22)\n"));
    EXPECT_FALSE(Contains(LogText(), "Only one session"));
    EXPECT_EQ(FilesStartingWith(PcDir(), ""), 0); // no partial file left
}

TEST_F(CmdTest, PollingFindsTheUsersHandheld)
{
    WriteIni(IniText() + "[Settings]\nMaxPorts=2\n");
    vlnksim::ServerOptions options;
    options.handheld.user = 7;
    Start(options);
    EXPECT_EQ(CMDVLNK("/U=7 /NOSCREEN /DATE"), 0);
    EXPECT_TRUE(HandheldSaw('Y'));
    std::string log = LogText();
    EXPECT_TRUE(Contains(log, "CMDVLNK:Polling for user '7'\n"));
    EXPECT_TRUE(Contains(log, "Found user '7' on COM2"));
    EXPECT_EQ(CMDVLNK("/U=8 /NOSCREEN"), 20);
    EXPECT_TRUE(Contains(LogText(), "CMDVLNK:Failed to find user '8' (level 20)\n"));
    EXPECT_EQ(ResultFile(), "020 Remote not connected\n");
}

// A pseudo-terminal stands in for standard error while a job runs.
class TerminalTest : public CmdTest {
protected:
    void SetUp() override
    {
        CmdTest::SetUp();
        ASSERT_TRUE(m_terminal.Ok());
        m_slave = open(m_terminal.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(m_slave, 0);
        m_savedStderr = dup(STDERR_FILENO);
        dup2(m_slave, STDERR_FILENO);
    }
    void TearDown() override
    {
        dup2(m_savedStderr, STDERR_FILENO);
        close(m_savedStderr);
        close(m_slave);
        CmdTest::TearDown();
    }
    // What was drawn so far (the terminal turns "\n" into "\r\n").
    std::string Screen()
    {
        char buf[4096];
        pollfd pfd{m_terminal.Master(), POLLIN, 0};
        while (poll(&pfd, 1, 0) > 0 && (pfd.revents & POLLIN)) {
            const ssize_t n = read(m_terminal.Master(), buf, sizeof buf);
            if (n <= 0) break;
            m_screen.append(buf, static_cast<size_t>(n));
        }
        return m_screen;
    }
    // Runs a job in a thread, reading the screen meanwhile so it never fills.
    int RunDrawn(const std::string& line, const std::function<void()>& during = {})
    {
        std::atomic<int> result{-1};
        std::thread run([&] { result = CMDVLNK(line.c_str()); });
        if (during) during();
        while (result.load() == -1) {
            Screen();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        run.join();
        Screen();
        return result;
    }
    vlnksim::CPtyPair m_terminal;
    std::string m_screen;
    int m_slave = -1;
    int m_savedStderr = -1;
};

TEST_F(TerminalTest, DrawsProgressOnlyOnATerminalAndNotWithNoscreen)
{
    WriteFile(PcDir() + "/A.DAT", PatternBytes(2500, 6));
    WriteFile(PcDir() + "/B.DAT", PatternBytes(500, 7));
    Start();
    const std::string tx = "/TX=" + Dos(PcDir()) + "\\*.DAT";
    EXPECT_EQ(RunDrawn("/PORT=2 /NOSCREEN /CD=\\TRE\\DATEN " + tx), 0);
    EXPECT_EQ(Screen(), "");

    EXPECT_EQ(RunDrawn("/PORT=2 /CD=\\TRE\\DATEN " + tx), 0);
    std::string screen = Screen();
    EXPECT_TRUE(Contains(screen, "Action: Checking for remote..."));
    EXPECT_TRUE(Contains(screen, "Action: Connected to remote at 38400"));
    EXPECT_TRUE(Contains(screen, "Action: Sending 'A.DAT' (1 of 2)"));
    EXPECT_TRUE(Contains(screen, "Action: Sending 'B.DAT' (2 of 2)"));
    EXPECT_TRUE(Contains(screen, "2500 of 2500 bytes (100%)"));
    EXPECT_TRUE(Contains(screen, "3000 of 3000 bytes (100%)")); // the size pass counted both
    EXPECT_TRUE(Contains(screen, "V0.99b (32 bit)"));
    EXPECT_TRUE(Contains(screen, "Action: Commands completed successfully"));
    EXPECT_EQ(CountOf(screen, "\a"), 1u);

    // Minimized: one line; unattended: no bell.
    WriteIni(IniText() + "[Settings]\nUnattendedOperation=y\n");
    m_screen.clear();
    EXPECT_EQ(RunDrawn("/PORT=2 /MINIMIZE /CD=\\TRE\\DATEN " + tx), 0);
    screen = Screen();
    EXPECT_TRUE(Contains(screen, "VLNK (100%) ["));
    EXPECT_FALSE(Contains(screen, "Current Progress"));
    EXPECT_FALSE(Contains(screen, "\a"));
}

TEST_F(TerminalTest, CtrlCCancelsTheRunningJob)
{
    WriteFile(DataDir() + "/BIG.TSD", PatternBytes(60000, 4));
    WriteIni(IniText() + "[Settings]\nUnattendedOperation=Y\n");
    vlnksim::ServerOptions options;
    options.paced = true;
    Start(options);
    const std::string line = "/PORT=2 /CD=\\TRE\\DATEN /RX=" + Dos(PcDir()) + "\\*.TSD";
    const int result = RunDrawn(line, [&] {
        // The display draws the transfer only after Ctrl+C became its Cancel button.
        EXPECT_TRUE(WaitFor([&] { return Contains(Screen(), "of 60000 bytes ("); }, 30000));
        kill(getpid(), SIGINT);
    });
    EXPECT_EQ(result, 22);
    const std::string screen = Screen();
    EXPECT_TRUE(Contains(screen, "Cancelling..."));
    EXPECT_TRUE(Contains(screen, "Action: User cancelled operation"));
    EXPECT_FALSE(Exists(PcDir() + "/BIG.TSD"));
    struct sigaction after { };
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_DFL); // given back after the job
}

// Whatever the line, the job ends, says so in the result file, and leaves no
// channel open. No handheld: every port maps to a missing device.
TEST_F(CmdTest, RandomAndOverlongLinesAlwaysLeaveAResultFile)
{
    WriteIni(IniText() + "[Settings]\nMaxPorts=1\n");
    // Lines without "/NOSCREEN" would draw (and pause) when the tests run on a terminal.
    const int savedStderr = dup(STDERR_FILENO);
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    dup2(devNull, STDERR_FILENO);
    const std::vector<std::string> pieces = {"/PORT=1",
                                             "/PORT=9x",
                                             "/PORT=\\nonexistent\\tty",
                                             "/U=3",
                                             "/U=x",
                                             "/TX=",
                                             "/TX=a.b",
                                             "/RX:C:\\X\\*.*",
                                             "/DEL=*",
                                             "/CD=C:\\",
                                             "/DATE",
                                             "/TIME",
                                             "/ABORT",
                                             "/NOSCREEN",
                                             "/MINIMIZE",
                                             "/DOWNLOAD=XT2",
                                             "/DOWNLOAD=ZZ",
                                             "/BAUD=9600",
                                             "/CFGPATH=foo",
                                             "/IRQ",
                                             "/FREE",
                                             "/XYZ",
                                             "//",
                                             "/TX-X",
                                             " ",
                                             "=",
                                             ":",
                                             "/" + std::string(150, 'A'),
                                             "/TX=" + std::string(120, '\\'),
                                             std::string("/\x01\xFF\x7F", 4)};
    std::mt19937 rng(42);
    std::map<int, int> seen;
    for (int run = 0; run < 150; ++run) {
        std::string line;
        const int count = static_cast<int>(rng() % 40);
        for (int i = 0; i < count; ++i) line += pieces[rng() % pieces.size()];
        std::remove((Dir() + "/vlnkw.end").c_str());
        const int result = CMDVLNK(line.c_str());
        ++seen[result];
        char expected[8];
        std::snprintf(expected, sizeof expected, "%03d ", result);
        int channel = 0;
        VLNKGetFreeChannel(&channel);
        if (ResultFile().substr(0, 4) != expected || channel != 1) {
            ADD_FAILURE() << "result " << result << ", free channel " << channel << " after: " << line;
            break;
        }
    }
    // Both sides were reached: lines refused, and lines that ran into the ports.
    EXPECT_GT(seen[1], 10);
    EXPECT_GT(seen[3] + seen[20], 10);
    std::remove((Dir() + "/vlnkw.end").c_str());
    const int last = CMDVLNK(nullptr); // the last port, which does not open
    dup2(savedStderr, STDERR_FILENO);
    close(savedStderr);
    close(devNull);
    EXPECT_EQ(last, 3);
    EXPECT_EQ(ResultFile(), "003 Invalid port command\n");
}

} // namespace
