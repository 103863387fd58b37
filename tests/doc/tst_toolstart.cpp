// SPDX-License-Identifier: GPL-3.0-or-later
// What tresmon-tool loads and where it finds its Qt half: the document
// commands start without a single Qt library and without PROJ (which pipeline
// data load when they need it); render and print are handed to
// tresmon-tool-qt, beside the tool or in the installed libexec folder.
#include "docfixture.h"

#include "tresversion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct ShellRun {
    int status;
    std::string out; // standard output and standard error together
};

ShellRun Shell(const std::string& cmd)
{
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = pclose(p);
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

const std::string kTool = TRESMON_TOOL;
const std::string kDemo = std::string(TRES_SAMPLES_DIR) + "/demo.tsd";

} // namespace

TEST(ToolStart, TheDocumentCommandsLoadNeitherQtNorProj)
{
    CTempDir dir;
    const std::string out = Q(dir / "out");
    const std::string commands[] = {
        "--help",
        "dump " + Q(kDemo),
        "convert " + Q(kDemo) + " " + out + ".tsd",
        "edit " + Q(kDemo) + " -o " + out + "2.tsd --sort",
        "csv " + Q(kDemo) + " " + out + ".csv",
        "errors " + Q(kDemo),
    };
    for (const std::string& command : commands) {
        // The dynamic loader names every library it maps, dlopen included.
        const ShellRun r = Shell("{ LD_DEBUG=libs " + Q(kTool) + " " + command + " >/dev/null; }");
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_NE(r.out.find("libc.so"), std::string::npos) << command << ": the loader said nothing";
        EXPECT_EQ(r.out.find("libQt"), std::string::npos) << command << " loads Qt:\n" << r.out;
        EXPECT_EQ(r.out.find("libproj"), std::string::npos) << command << " loads PROJ:\n" << r.out;
    }
    const ShellRun ldd = Shell("ldd " + Q(kTool));
    ASSERT_EQ(ldd.status, 0);
    EXPECT_NE(ldd.out.find("libc.so"), std::string::npos) << ldd.out;
    EXPECT_EQ(ldd.out.find("libQt"), std::string::npos) << ldd.out;
    const ShellRun needed = Shell("readelf -d " + Q(kTool));
    EXPECT_NE(needed.out.find("(NEEDED)"), std::string::npos) << needed.out;
    EXPECT_EQ(needed.out.find("libproj"), std::string::npos) << needed.out;
}

#ifdef TRESMON_TOOL_QT

namespace {

// A copy of a program in a folder of its own, runnable.
fs::path Place(const fs::path& program, const fs::path& folder)
{
    fs::create_directories(folder);
    const fs::path to = folder / program.filename();
    fs::copy_file(program, to, fs::copy_options::overwrite_existing);
    return to;
}

} // namespace

TEST(ToolStart, HelpNamesRenderAndPrint)
{
    const ShellRun r = Shell(Q(kTool) + " --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("  render DATEI -o AUS.png"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  print --graphic|--table DATEI"), std::string::npos) << r.out;
}

TEST(ToolStart, TheQtHalfNamesItselfAndItsCaller)
{
    ShellRun r = Shell(Q(TRESMON_TOOL_QT) + " --version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("tresmon-tool-qt ") + TRES_VERSION + "\n");
    r = Shell(Q(TRESMON_TOOL_QT) + " --frob render");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("wird von ihm aufgerufen"), std::string::npos) << r.out;
    // Options after the command's name are the command's.
    r = Shell(Q(TRESMON_TOOL_QT) + " render --version");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("render: unbekannte Option --version"), std::string::npos) << r.out;
}

TEST(ToolStart, TheQtHalfIsFoundBesideTheToolOrInLibexec)
{
    CTempDir dir;
    const fs::path tool = Place(kTool, dir / "bin");

    // Alone: a German message naming what is missing, exit 2.
    ShellRun r = Shell(Q(tool) + " render " + Q(kDemo) + " -o " + Q(dir / "a.png"));
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.out.find("render braucht das Programm tresmon-tool-qt"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dir / "a.png"));

    // Installed: bin/tresmon-tool and libexec/tresmon/tresmon-tool-qt. The
    // Qt half answers, with its own message and exit code.
    Place(TRESMON_TOOL_QT, dir / "libexec" / "tresmon");
    r = Shell(Q(tool) + " print " + Q(kDemo) + " -o " + Q(dir / "a.pdf"));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("print: --graphic oder --table angeben"), std::string::npos) << r.out;

    // Called through a link from another folder, the tool still looks where
    // it really is.
    fs::create_directories(dir / "links");
    fs::create_symlink(tool, dir / "links" / "tt");
    r = Shell(Q(dir / "links" / "tt") + " render " + Q(dir / "fehlt.tsd") + " -o " + Q(dir / "a.png"));
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.out.find("fehlt.tsd konnte nicht geöffnet werden"), std::string::npos) << r.out;

    // Beside the tool wins over libexec: a stand-in there proves which ran.
    WriteFile(dir / "bin" / "tresmon-tool-qt", "#!/bin/sh\necho neben \"$@\"\nexit 7\n");
    fs::permissions(dir / "bin" / "tresmon-tool-qt", fs::perms::owner_all);
    r = Shell(Q(tool) + " render -o " + Q(dir / "x.png") + " " + Q(kDemo));
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(r.out, "neben render -o " + (dir / "x.png").string() + " " + kDemo + "\n");
}

#else

TEST(ToolStart, WithoutQtRenderAndPrintAreNotThere)
{
    const ShellRun help = Shell(Q(kTool) + " --help");
    EXPECT_EQ(help.out.find("render"), std::string::npos) << help.out;
    EXPECT_EQ(help.out.find("print"), std::string::npos) << help.out;
    for (const char* command : {"render", "print"}) {
        const ShellRun r = Shell(Q(kTool) + " " + command + " " + Q(kDemo) + " -o /tmp/nie.png");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("nicht verfügbar"), std::string::npos) << r.out;
    }
}

#endif
