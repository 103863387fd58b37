// SPDX-License-Identifier: GPL-3.0-or-later
// The command language of CMDVLNK without a line: parsing, DOS paths and
// wildcards, the arguments of cmdvlnk, and the terminal progress display.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "arguments.h"
#include "cmdline.h"
#include "cmdprogress.h"
#include "dospath.h"
#include "vlnk_env.h"

using namespace vlnk;
using vlnktest::Contains;

namespace {

bool Logged(const ParseOutcome& outcome, const std::string& line)
{
    for (const auto& entry : outcome.log)
        if (entry == line) return true;
    return false;
}

TEST(CmdParseTest, SplitsAtEverySlashAndMatchesTheTable)
{
    ParseOutcome out = ParseCommandLine("/PORT=2 /TX=C:\\DATA\\*.DAT");
    ASSERT_TRUE(out.bOk);
    EXPECT_EQ(out.job.mode, PortMode::GivenPort);
    EXPECT_EQ(out.job.port, "COM2");
    ASSERT_EQ(out.job.list.size(), 1u);
    EXPECT_EQ(out.job.list[0].code, CmdCode::Tx);
    EXPECT_EQ(out.job.list[0].value, "C:\\DATA\\*.DAT");
    EXPECT_TRUE(out.log.empty());

    // Names in any case, values as written; no blanks needed between tokens;
    // ignored commands are accepted; the list keeps its order.
    out = ParseCommandLine("/rx:C:\\Survey\\*.tsd/Cd=\\TRE/cfgpath=x:\\y /IRQ5/ADDR /FREE/SHOW /dir /LISTDRIVES "
                           "/DATE/TIME/BAUD=9600/DEL=*.OLD/NOSCREEN/ABORT/MINIMIZE   ");
    ASSERT_TRUE(out.bOk) << out.status;
    ASSERT_EQ(out.job.list.size(), 6u);
    EXPECT_EQ(out.job.list[0].code, CmdCode::Rx);
    EXPECT_EQ(out.job.list[0].value, "C:\\Survey\\*.tsd");
    EXPECT_EQ(out.job.list[1].code, CmdCode::Cd);
    EXPECT_EQ(out.job.list[2].code, CmdCode::Date);
    EXPECT_EQ(out.job.list[3].code, CmdCode::Time);
    EXPECT_EQ(out.job.list[4].code, CmdCode::Baud);
    EXPECT_EQ(out.job.list[5].value, "*.OLD");
    EXPECT_FALSE(out.job.bShowDialog);
    EXPECT_TRUE(out.job.bAbortAtEnd);
    EXPECT_TRUE(out.job.bMinimize);
    EXPECT_EQ(out.job.mode, PortMode::LastPort);

    // Nothing at all is a valid job on the last port; blanks before the first
    // "/" are no token.
    EXPECT_TRUE(ParseCommandLine("").bOk);
    EXPECT_TRUE(ParseCommandLine("   /DATE").bOk);
    // A device path in DOS form; a drive letter means nothing on this side.
    out = ParseCommandLine("/PORT=C:\\dev\\ttyUSB0");
    EXPECT_EQ(out.job.port, "/dev/ttyUSB0");
}

TEST(CmdParseTest, BadTokensAreLoggedAndFailTheParseButParsingGoesOn)
{
    ParseOutcome out = ParseCommandLine("/XYZ");
    EXPECT_FALSE(out.bOk);
    EXPECT_EQ(out.status, "Invalid parameter '/XYZ/Invalid command'");
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:'/XYZ':Invalid command"));

    out = ParseCommandLine("/TX= /TX-X /FREEX /NOSCREENS PORT=1 /TX /DATE");
    EXPECT_FALSE(out.bOk);
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:'/TX=':No extra details"));
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:'/TX-X':Invalid seperator [-]"));
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:'/FREEX':Invalid command"));
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:'/NOSCREENS PORT=1':Invalid command"));
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:'/TX':No extra details"));
    EXPECT_EQ(out.log.size(), 5u); // a blank does not end a token; "/DATE" still parsed
    EXPECT_EQ(out.job.list.size(), 1u);
    EXPECT_EQ(out.status, "Invalid parameter '/TX/No extra details'");
    // Text before the first "/" is a token of its own.
    out = ParseCommandLine("PORT=1/DATE");
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:'PORT=1':Invalid command"));
}

TEST(CmdParseTest, PortAndUserConflictsKeepTheFirstChoice)
{
    ParseOutcome out = ParseCommandLine("/PORT=1/PORT=2");
    EXPECT_TRUE(out.bOk);
    EXPECT_EQ(out.job.port, "COM1");
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:Port already set to 'COM1',cannot try '2'"));

    out = ParseCommandLine("/U=3/PORT=1/U=4");
    EXPECT_TRUE(out.bOk);
    EXPECT_EQ(out.job.mode, PortMode::PollUser);
    EXPECT_EQ(out.job.user, 3);
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:Already trying for user '3', cannot try '1'"));
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:User already set to '3', cannot try '4'"));

    out = ParseCommandLine("/PORT=1/U=12");
    EXPECT_EQ(out.job.mode, PortMode::PollUser);
    EXPECT_EQ(out.job.user, 12);
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:Port already set to 'COM1', will try user '12'"));

    // A download goes to the last port even when a user was named.
    out = ParseCommandLine("/U=3/DOWNLOAD=varden16");
    EXPECT_TRUE(out.bOk);
    EXPECT_EQ(out.job.mode, PortMode::LastPort);
    EXPECT_TRUE(out.job.bDownload);
    EXPECT_EQ(out.job.nMachine, 3);
    EXPECT_EQ(ParseCommandLine("/DOWNLOAD=XT2").job.nMachine, 4);
    out = ParseCommandLine("/DOWNLOAD=FOO");
    EXPECT_FALSE(out.bOk);
    EXPECT_EQ(out.status, "Invalid machine type 'FOO'");
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:Invalid machine type 'FOO'"));
}

TEST(CmdParseTest, InputBeyondItsBoundsIsRefusedNotCut)
{
    // A cut token would name another file (or pattern, for a delete).
    const std::string longValue(97, 'A');
    EXPECT_TRUE(ParseCommandLine("/TX=" + longValue.substr(1)).bOk); // 100 characters
    ParseOutcome out = ParseCommandLine("/TX=" + longValue + "/DATE");
    EXPECT_FALSE(out.bOk);
    ASSERT_EQ(out.log.size(), 1u);
    EXPECT_TRUE(Contains(out.log[0], ":Parameter longer than 100 characters"));
    EXPECT_LT(out.log[0].size(), 180u);

    // The 31st command fails the line instead of being dropped in silence.
    std::string line;
    for (int i = 0; i < 30; ++i) line += "/DATE";
    EXPECT_TRUE(ParseCommandLine(line).bOk);
    out = ParseCommandLine(line + "/TX=A.B");
    EXPECT_FALSE(out.bOk);
    EXPECT_TRUE(Logged(out, "VLNKWDLL:CMDVLNK:ERROR:Command line to big for [/TX=A.B]"));

    EXPECT_FALSE(ParseCommandLine("/U=abc").bOk);
    EXPECT_FALSE(ParseCommandLine("/U=99999999999999999999").bOk);
    EXPECT_FALSE(ParseCommandLine("/PORT=\\dev\\a-very-long-device-name-here").bOk);
    // Embedded NULs and high bytes are only characters.
    EXPECT_FALSE(ParseCommandLine(std::string("/TX=a\0b/\xFF\xFE", 10)).bOk);
}

TEST(DosPathTest, ValuesBecomePosixPathsAndPatterns)
{
    EXPECT_EQ(DosValueToPath("\\home\\survey\\*.TSD"), "/home/survey/*.TSD");
    EXPECT_EQ(DosValueToPath("C:\\DATA\\*.DAT"), "/DATA/*.DAT");
    EXPECT_EQ(DosValueToPath("data\\a.tsd"), "data/a.tsd");
    EXPECT_EQ(DosValueToPath("c:a.tsd"), "a.tsd");
    EXPECT_EQ(DosValueToPath("1:x"), "1:x");
    const PcPattern p = SplitPcPattern("/home/survey/*.TSD");
    EXPECT_EQ(p.dir, "/home/survey/");
    EXPECT_EQ(p.name, "*.TSD");
    EXPECT_EQ(SplitPcPattern("a.tsd").dir, "");
    EXPECT_EQ(SplitPcPattern("/x/").name, "");
}

TEST(DosPathTest, WildcardsMatchAsOnTheHandheld)
{
    EXPECT_TRUE(WildcardMatch("*.TSD", "survey.tsd"));
    EXPECT_TRUE(WildcardMatch("S?RVEY.*", "Survey.tsd"));
    EXPECT_TRUE(WildcardMatch("*.*", "README"));
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYbZZc"));
    EXPECT_FALSE(WildcardMatch("*.TSD", "survey.tsd.bak"));
    EXPECT_FALSE(WildcardMatch("?.TSD", ".TSD"));
    EXPECT_FALSE(WildcardMatch("", "a"));
    // Many stars against a long non-matching name (how quick: vlnk-bench).
    EXPECT_FALSE(WildcardMatch(std::string(50, '*') + "a*a*a*a*a*b", std::string(250, 'a')));
}

TEST(CmdvlnkArgumentsTest, EachArgumentIsATokenWithDosSeparatorsInItsValue)
{
    EXPECT_EQ(cmdvlnk::JoinArguments({"/PORT=1", "/RX=/home/survey/*.TSD"}), "/PORT=1 /RX=\\home\\survey\\*.TSD");
    EXPECT_EQ(cmdvlnk::JoinArguments({"/CD=C:/TRE/DATEN", "/NOSCREEN", "/TX:/a/b"}),
              "/CD=C:\\TRE\\DATEN /NOSCREEN /TX:\\a\\b");
    // An unquoted blank in a path: the rest continues the value.
    EXPECT_EQ(cmdvlnk::JoinArguments({"/RX=/home/my", "survey/*.TSD"}), "/RX=\\home\\my survey\\*.TSD");
    EXPECT_EQ(cmdvlnk::JoinArguments({}), "");
    const ParseOutcome out = ParseCommandLine(cmdvlnk::JoinArguments({"/PORT=/dev/pts/7", "/TX=/tmp/x/*.tsd"}));
    ASSERT_TRUE(out.bOk);
    EXPECT_EQ(out.job.port, "/dev/pts/7");
    EXPECT_EQ(DosValueToPath(out.job.list[0].value), "/tmp/x/*.tsd");
}

// One argument may hold several commands, as the line of the export may: the
// program makes the same job of it as CMDVLNK makes of the text.
TEST(CmdvlnkArgumentsTest, SeveralCommandsInOneArgumentSplitAsInTheExport)
{
    for (const std::string text : {"/PORT=1/NOSCREEN/DATE", "/port=1/noscreen/date/TIME", "/PORT=1/PORT=2",
                                   "/PORT:3/RX:C:\\TRE\\*.TSD/ABORT", "/IRQ5/NOSCREEN/CFGPATH=x/U=4"}) {
        EXPECT_EQ(cmdvlnk::JoinArguments({text}), text);
    }
    const ParseOutcome out = ParseCommandLine(cmdvlnk::JoinArguments({"/PORT=1/PORT=2", "/NOSCREEN", "/DATE"}));
    ASSERT_TRUE(out.bOk);
    EXPECT_EQ(out.job.port, "COM1");
    EXPECT_FALSE(out.job.bShowDialog);
    ASSERT_EQ(out.job.list.size(), 1u);
    EXPECT_EQ(out.job.list[0].code, CmdCode::Date);
    EXPECT_EQ(out.log, std::vector<std::string>{"VLNKWDLL:CMDVLNK:ERROR:Port already set to 'COM1',cannot try '2'"});
    // A path and then commands, in one argument.
    EXPECT_EQ(cmdvlnk::JoinArguments({"/RX=/home/survey/*.TSD/NOSCREEN/CD=C:/TRE"}),
              "/RX=\\home\\survey\\*.TSD/NOSCREEN/CD=C:\\TRE");
}

// Folders named like a command without a value stay folders while a path
// goes on after them; names that only begin like a command are no command.
TEST(CmdvlnkArgumentsTest, FoldersNamedLikeCommandsStayPartOfThePath)
{
    EXPECT_EQ(cmdvlnk::JoinArguments({"/RX=/data/dir/time/*.TSD"}), "/RX=\\data\\dir\\time\\*.TSD");
    EXPECT_EQ(cmdvlnk::JoinArguments({"/CD=C:/TRE/DATEN", "/TX=/tmp/date.d/txt/u/a"}),
              "/CD=C:\\TRE\\DATEN /TX=\\tmp\\date.d\\txt\\u\\a");
    EXPECT_EQ(cmdvlnk::JoinArguments({"/RX=/home/my", "dir/x.tsd"}), "/RX=\\home\\my dir\\x.tsd");
    // Only at the very end is such a name taken for the command.
    EXPECT_EQ(cmdvlnk::JoinArguments({"/TX=/srv/free"}), "/TX=\\srv/free");
}

// The display drawn into a pipe, read back as the terminal would get it.
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(pipe2(m_fds, O_NONBLOCK | O_CLOEXEC), 0); }
    void TearDown() override
    {
        close(m_fds[0]);
        close(m_fds[1]);
    }
    std::string Drawn()
    {
        std::string out;
        char buf[4096];
        ssize_t n;
        while ((n = read(m_fds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
        return out;
    }
    int m_fds[2] = {-1, -1};
};

TEST_F(DisplayTest, ShowsActionBarsCountsAndVersion)
{
    CProgressDisplay display(m_fds[1], false);
    std::string drawn = Drawn();
    EXPECT_TRUE(Contains(drawn, "V0.99b (32 bit)"));
    EXPECT_TRUE(Contains(drawn, "Current Progress [" + std::string(10, '-')));
    EXPECT_EQ(vlnktest::CountOf(drawn, "0 of 0 bytes"), 2u);
    EXPECT_FALSE(Contains(drawn, "#")); // nothing drawn while the totals are 0

    display.SetAction("Sending 'A.TSD' (1 of 2)");
    display.SetProgress(1210, 5000, 24, 1210, 25006, 4);
    drawn = Drawn();
    EXPECT_TRUE(Contains(drawn, "\x1b[4A")); // back over the previous picture
    EXPECT_TRUE(Contains(drawn, "Action: Sending 'A.TSD' (1 of 2)"));
    EXPECT_TRUE(Contains(drawn, "1210 of 5000 bytes (24%)"));
    EXPECT_TRUE(Contains(drawn, "1210 of 25006 bytes (4%)"));
    EXPECT_TRUE(Contains(drawn, "[#"));

    // The same picture is not drawn again; a new file clears only its own bar.
    display.SetAction("Sending 'A.TSD' (1 of 2)");
    EXPECT_EQ(Drawn(), "");
    display.ClearCurrent();
    drawn = Drawn();
    EXPECT_EQ(vlnktest::CountOf(drawn, "0 of 0 bytes"), 1u);
    EXPECT_TRUE(Contains(drawn, "1210 of 25006 bytes (4%)"));

    // Overall over 100 % (a file grew since it was sized) stays a full bar.
    display.SetProgress(10, 10, 100, 30000, 25006, 120);
    EXPECT_TRUE(Contains(Drawn(), "30000 of 25006 bytes (100%)"));
    display.DisableCancel();
    EXPECT_TRUE(Contains(Drawn(), "Cancelling..."));
    display.SetAction(std::string("bad\x1b[2Jname\n"));
    drawn = Drawn();
    EXPECT_TRUE(Contains(drawn, "bad?[2Jname?"));
    display.Beep(true);
    EXPECT_EQ(Drawn(), "\a\a");
}

TEST_F(DisplayTest, MinimizedShowsOnlyTheOverallLineUntilRestored)
{
    CProgressDisplay display(m_fds[1], true);
    display.SetAction("Checking for remote...");
    display.SetProgress(100, 200, 50, 100, 400, 25);
    std::string drawn = Drawn();
    EXPECT_TRUE(Contains(drawn, "VLNK (25%) ["));
    EXPECT_TRUE(Contains(drawn, "100 of 400 bytes (25%)"));
    EXPECT_FALSE(Contains(drawn, "Current Progress"));
    EXPECT_FALSE(Contains(drawn, "Checking"));
    EXPECT_TRUE(display.Minimized());
    display.Restore();
    drawn = Drawn();
    EXPECT_FALSE(display.Minimized());
    EXPECT_TRUE(Contains(drawn, "\x1b[1A"));
    EXPECT_TRUE(Contains(drawn, "Action: Checking for remote..."));
    EXPECT_TRUE(Contains(drawn, "100 of 200 bytes (50%)"));
}

} // namespace
