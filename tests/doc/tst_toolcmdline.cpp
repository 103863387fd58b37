// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool's command line as a user meets it: --help and --version,
// wrong options, and "-" for standard input and output, which must carry the
// same survey bytes a file does.
#include "docfixture.h"

#include "surveyopen.h"
#include "tresversion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct ShRun {
    int status;
    std::string out, err;
};

// Runs a shell line (the tool is "T"); standard output and error apart.
ShRun Sh(const CTempDir& dir, const std::string& line)
{
    const fs::path err = dir / "stderr.txt";
    const std::string cmd = "T='" + std::string(TRESMON_TOOL) + "'; G='" + std::string(TRES_GENSURVEY) + "'; { " + line
                            + " ; } 2>'" + err.string() + "'";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = pclose(p);
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out, ReadFile(err)};
}

std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

const std::string kDemo = std::string(TRES_SAMPLES_DIR) + "/demo.tsd";

// A saved survey without its QM line, whose filler is new on every save.
std::string WithoutQmLine(const std::string& saved)
{
    const size_t qm = saved.find("\r\n\r\n\r\n", saved.find("[Kopfdaten]"));
    const size_t end = saved.find("\r\n", qm + 6);
    if (qm == std::string::npos || end == std::string::npos) return "no QM line in: " + saved.substr(0, 200);
    return saved.substr(0, qm + 6) + saved.substr(end);
}

} // namespace

TEST(ToolCommandLine, HelpAndVersionOnStandardOutput)
{
    CTempDir dir;
    ShRun r = Sh(dir, "$T --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("Aufruf: tresmon-tool BEFEHL ...\n")) << r.out;
    EXPECT_NE(r.out.find("  --version "), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
    r = Sh(dir, "$T --version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("tresmon-tool ") + TRES_VERSION + "\n");
    EXPECT_EQ(r.err, "");
    // Each command answers --help with its own usage, and reads no file.
    std::vector<std::string> commands = {"dump", "convert", "edit", "csv", "errors", "assess", "compare"};
#ifdef TRESMON_TOOL_QT
    commands.insert(commands.end(), {"render", "print", "report"});
#endif
    for (const std::string& command : commands) {
        r = Sh(dir, "$T " + command + " fehlt.tsd --help");
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_TRUE(r.out.starts_with("Aufruf: tresmon-tool " + command + " ")) << r.out;
        EXPECT_EQ(r.err, "") << command;
    }
    r = Sh(dir, "$T csv -h");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Aufruf: tresmon-tool csv EIN AUS\n");
}

TEST(ToolCommandLine, WrongOptionsAreNamedInGerman)
{
    CTempDir dir;
    WriteFile(dir / "a.tsd", "[Kopfdaten]\r\n[Messdaten]\r\n10;-1.00;;;;;;\r\n");
    const std::string a = Q(dir / "a.tsd"), b = Q(dir / "b.tsd");
    ShRun r = Sh(dir, "$T --frobnicate dump " + a);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("tresmon-tool: Unbekannte Option: --frobnicate\nAufruf: tresmon-tool")) << r.err;
    r = Sh(dir, "$T dump -x " + a);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tresmon-tool: Unbekannte Option: -x\n");
    r = Sh(dir, "$T edit " + a + " -o " + b + " --sort=ja");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tresmon-tool: Unbekannte Option: --sort\n");
    // A value missing at the end, or a step short of its four values.
    r = Sh(dir, "$T edit " + a + " -o");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("tresmon-tool: Aufruf: tresmon-tool edit EIN -o AUS")) << r.err;
    r = Sh(dir, "$T edit " + a + " -o " + b + " --add Messmeter 0 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir / "b.tsd"));
    // After "--" a word with a minus is a file.
    r = Sh(dir, "cd " + Q(dir.Path()) + " && cp a.tsd ./-x.tsd && $T errors -- -x.tsd");
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST(ToolCommandLine, LongOptionsTakeTheirUsualForms)
{
    CTempDir dir;
    WriteFile(dir / "a.tsd", "[Kopfdaten]\r\n[Messdaten]\r\n30;;;;;;;\r\n10;;;;;;;\r\n");
    // --output=, a shortened --rev and a negative value after --add.
    const ShRun r
        = Sh(dir, "$T edit " + Q(dir / "a.tsd") + " --output=" + Q(dir / "b.tsd") + " --rev --add=Messmeter 0 100 -5");
    ASSERT_EQ(r.status, 0) << r.err;
    CTreDoc doc;
    ASSERT_TRUE(tresimport::OpenSurvey(doc, (dir / "b.tsd").string()));
    ASSERT_EQ(doc.GetRowCount(), 2);
    EXPECT_EQ(doc.GetMeter(1), 5); // reversed around 40: 10, 30, then -5
    EXPECT_EQ(doc.GetMeter(2), 25);
}

// One way of reading words for every command, the Qt half's included: a
// file whose name begins with a minus after "--", shortened names, and a
// shortened name that could be two refused alike.
TEST(ToolCommandLine, EveryCommandTakesShortenedNamesAndTheEndOfOptions)
{
    CTempDir dir;
    WriteFile(dir / "-a.tsd", "[Kopfdaten]\r\n[Messdaten]\r\n10;-1.10;-0.90;1;1;;;A\r\n20;-1.20;-0.95;2;2;;;B\r\n");
    const std::string cd = "cd " + Q(dir.Path()) + " && ";
    ShRun r = Sh(dir, cd + "$T assess --prot=-900 --rows -- -a.tsd");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"protection\": -900"), std::string::npos);
    r = Sh(dir, cd + "$T compare --pa -- -a.tsd -a.tsd");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"pairs\""), std::string::npos);
    EXPECT_EQ(Sh(dir, cd + "$T export --form csv -o out.csv -- -a.tsd").status, 0);
    EXPECT_TRUE(fs::exists(dir / "out.csv"));
    r = Sh(dir, cd + "$T report -o r.pdf --sec 500 -- -a.tsd");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Bewertungsbericht nach r.pdf geschrieben\n");
    r = Sh(dir, cd + "$T print --gr -o p.pdf -- -a.tsd");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1 Seite nach p.pdf\n");
    EXPECT_EQ(Sh(dir, cd + "$T render --pa gradient -o g.png -- -a.tsd").status, 0);
    EXPECT_TRUE(fs::exists(dir / "g.png"));

    r = Sh(dir, cd + "$T report -- -a.tsd -o r.pdf --no");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("tresmon-tool: Zu viele Dateien: -o\n", 0), 0u) << r.err; // "--" ended the options
    for (const auto& [line, message] :
         {std::pair{"$T report a.tsd -o r.pdf --no",
                    "tresmon-tool: Mehrdeutige Option: --no (--no-100mv, --no-align)\n"},
          std::pair{"$T edit a.tsd -o b.tsd --re", "tresmon-tool: Mehrdeutige Option: --re (--reverse, --restation)\n"},
          std::pair{"$T print --graphic a.tsd -o p.pdf --e", "print: Mehrdeutige Option: --e (--end, --errors)\n"}}) {
        r = Sh(dir, cd + line);
        EXPECT_EQ(r.status, 1) << line;
        EXPECT_EQ(r.err.rfind(message, 0), 0u) << r.err;
    }
}

// What the commands that draw with Qt say is German and said once: no
// English reason, none of Qt's own warnings (as root without a runtime
// folder), and a missing survey named by the reader alone.
TEST(ToolCommandLine, DrawingCommandsSpeakGermanAndOnce)
{
    CTempDir dir;
    const std::string cd = "cd " + Q(dir.Path()) + " && unset XDG_RUNTIME_DIR && ";
    ShRun r = Sh(dir, cd + "$T report " + Q(kDemo) + " -o /nonexistent/p.pdf");
    EXPECT_EQ(r.status, 2);
    const std::string reportError = "tresmon-tool: Der Bewertungsbericht kann nicht nach /nonexistent/p.pdf "
                                    "geschrieben werden: Die Datei oder der Ordner wurde nicht gefunden\n";
    ASSERT_GE(r.err.size(), reportError.size());
    EXPECT_EQ(r.err.substr(r.err.size() - reportError.size()), reportError) << r.err;
    r = Sh(dir, cd + "$T print --graphic " + Q(kDemo) + " -o /nonexistent/x.pdf");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "print: Die Datei /nonexistent/x.pdf kann nicht geschrieben werden.\n");
    const std::string missing = "tresmon-tool: Die Datei fehlt.tsd konnte nicht geöffnet werden: Die Datei oder der "
                                "Ordner wurde nicht gefunden.\n";
    for (const char* command : {"print --table fehlt.tsd -o x.pdf", "render fehlt.tsd -o x.png",
                                "report fehlt.tsd -o x.pdf", "assess fehlt.tsd"}) {
        r = Sh(dir, cd + "$T " + command);
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_EQ(r.err, missing) << command;
    }
}

TEST(ToolCommandLine, StandardInputIsReadAsTheFileWouldBe)
{
    CTempDir dir;
    // Through a pipe, whose size is unknown, and larger than one read.
    const std::string big = Q(dir / "big.tsd");
    ASSERT_EQ(Sh(dir, "$G --rows 6000 -o " + big).status, 0);
    ASSERT_GT(fs::file_size(dir / "big.tsd"), 2u * 64u * 1024u);
    const ShRun fromFile = Sh(dir, "$T dump " + big);
    ASSERT_EQ(fromFile.status, 0);
    ShRun r = Sh(dir, "cat " + big + " | $T dump -");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out == fromFile.out) << "dump of standard input differs";
    r = Sh(dir, "$T errors - < " + Q(kDemo));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Sh(dir, "$T errors " + Q(kDemo)).out);

    r = Sh(dir, "printf '[Kopfdaten]\\r\\nnur Kopf\\r\\n' | $T dump -");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tresmon-tool: Die Datei (Standardeingabe) enthält keinen Abschnitt [Messdaten] und ist keine "
                     "Messdatei.\n");
    r = Sh(dir, "printf '[Kopfdaten]\\r\\n[Messdaten]\\r\\nnur Worte\\r\\n' | $T dump -");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tresmon-tool: Die Datei (Standardeingabe) enthält keine Messdaten.\n");
    // Standard input is there once: twice in one edit is refused up front.
    r = Sh(dir, "$T edit - -o " + Q(dir / "b.tsd") + " --append - < " + Q(kDemo));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nur einmal"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "b.tsd"));
}

TEST(ToolCommandLine, StandardOutputGetsTheBytesASaveWrites)
{
    CTempDir dir;
    ASSERT_EQ(Sh(dir, "$T convert " + Q(kDemo) + " " + Q(dir / "saved.tsd")).status, 0);
    const std::string saved = ReadFile(dir / "saved.tsd");
    ShRun r = Sh(dir, "cd " + Q(dir.Path()) + " && $T convert " + Q(kDemo) + " -");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(WithoutQmLine(r.out) == WithoutQmLine(saved)) << "convert to standard output differs";
    // The stream's QM line reads back as the file's does, but for the filler.
    CTreDoc fromFile, fromStream;
    WriteFile(dir / "stream.tsd", r.out);
    ASSERT_TRUE(tresimport::OpenSurvey(fromFile, (dir / "saved.tsd").string()));
    ASSERT_TRUE(tresimport::OpenSurvey(fromStream, (dir / "stream.tsd").string()));
    fromFile.m_qm[1] = fromStream.m_qm[1] = "";
    EXPECT_EQ(fromStream.m_qm, fromFile.m_qm);
    EXPECT_FALSE(fs::exists(dir / "-"));

    // In and out at once, and an edit in a pipe.
    r = Sh(dir, "cat " + Q(kDemo) + " | $T edit - -o - --delete 1 2400 | $T dump -");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("{\"rowCount\":1,")) << r.out.substr(0, 80);

    ASSERT_EQ(Sh(dir, "$T csv " + Q(kDemo) + " " + Q(dir / "a.csv")).status, 0);
    r = Sh(dir, "$T csv - - < " + Q(kDemo));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out == ReadFile(dir / "a.csv")) << "csv to standard output differs";
}

TEST(ToolCommandLine, AFullStandardOutputIsAnError)
{
    CTempDir dir;
    ShRun r = Sh(dir, "$T convert " + Q(kDemo) + " - > /dev/full");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tresmon-tool: Die Messdatei konnte nicht auf die Standardausgabe geschrieben werden: "
                     "Auf dem Datenträger ist nicht genügend Speicherplatz frei.\n");
    r = Sh(dir, "$T csv " + Q(kDemo) + " - > /dev/full");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tresmon-tool: Die Ausgabe konnte nicht geschrieben werden.\n");
}

TEST(GenSurveyCommandLine, HelpVersionWrongOptionsAndStandardOutput)
{
    CTempDir dir;
    ShRun r = Sh(dir, "$G --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("Aufruf: tres-gensurvey ")) << r.out;
    r = Sh(dir, "$G --version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("tres-gensurvey ") + TRES_VERSION + "\n");
    r = Sh(dir, "$G --rows 5 --colour rot -o " + Q(dir / "x.tsd"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("tres-gensurvey: Unbekannte Option: --colour\nAufruf: tres-gensurvey")) << r.err;
    r = Sh(dir, "$G --rows");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("tres-gensurvey: Wert fehlt nach --rows\n")) << r.err;
    r = Sh(dir, "$G --rows 0 -o " + Q(dir / "x.tsd"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("tres-gensurvey: Ungültige Angabe: --rows 0\n")) << r.err;
    EXPECT_FALSE(fs::exists(dir / "x.tsd"));

    ASSERT_EQ(Sh(dir, "$G --rows 50 --seed 7 -o " + Q(dir / "g.tsd")).status, 0);
    r = Sh(dir, "$G --rows 50 --seed 7 -o -");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(WithoutQmLine(r.out) == WithoutQmLine(ReadFile(dir / "g.tsd")));
    ASSERT_EQ(Sh(dir, "$G --rows 50 --older -o " + Q(dir / "o.tsd")).status, 0);
    r = Sh(dir, "$G --rows 50 --older -o -");
    EXPECT_TRUE(r.out == ReadFile(dir / "o.tsd"));
}
