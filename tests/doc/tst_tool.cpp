// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool from the outside: exit codes, JSON shape, edits, exports.
#include "docfixture.h"
#include "surveyopen.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

const char kSurvey[] = "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                       "\x30\x3c\x2a\r\n" // a raw QM byte string that is not UTF-8 after decoding
                       "[Messdaten]\r\n"
                       "30;-1.25;-0.95;12;3;;;Schieber\r\n"
                       "10;-0.90;;;;;;Gr\x81\xe1"
                       "e\r\n"
                       "20;;;;;;;\r\n\r\n"
                       "[FehlerListe]\r\nPOTE;-1.30;-1.00\r\n";

} // namespace

TEST(Tool, DumpShapeAndValues)
{
    CTempDir dir;
    WriteFile(dir / "a.tsd", kSurvey);
    const SToolRun r = RunTool("dump " + ShellQuoted(dir / "a.tsd"));
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["rowCount"], 3);
    const auto& row = j["rows"][0];
    EXPECT_EQ(row["meter"], 30);
    EXPECT_EQ(row["potOn"], -1250);
    EXPECT_EQ(row["gradOnL"], 120);
    EXPECT_TRUE(row["gradOnR"].is_null());
    EXPECT_EQ(row["gradDiff"], 90);
    EXPECT_EQ(row["potIRFree"], -850);
    EXPECT_EQ(row["inErrorWindow"], true);
    EXPECT_EQ(row["text"]["meter"], "    30");
    EXPECT_EQ(row["text"]["gradDiffL"], "    9");
    EXPECT_EQ(row["text"].size(), 13u);
    EXPECT_EQ(j["rows"][1]["comment"], "Grüße");
    EXPECT_EQ(j["rows"][1]["inErrorWindow"], false);
    EXPECT_EQ(j["header"].size(), 20u);
    EXPECT_EQ(j["header"][3], "Nord");
    EXPECT_EQ(j["qm"].size(), 20u);
    EXPECT_EQ(j["limits"].size(), 24u);
    EXPECT_EQ(j["limits"][0], -1300);
    EXPECT_TRUE(j["limits"][1].is_null());
    EXPECT_EQ(j["tablePrint"]["headNumber"], true);
    EXPECT_EQ(j["graphicPrint"]["scale"], 1000);
    EXPECT_TRUE(j["graphicPrint"]["start"].is_null());
    EXPECT_EQ(j["tableIRFree"], true);
    EXPECT_EQ(j["hasRightSide"], false);
}

TEST(Tool, DumpWritesRawBytesAsCharacters)
{
    CTempDir dir;
    // header line 10 holds bytes that are no UTF-8
    std::string text
        = "[Kopfdaten]\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n\xff\xfe\r\n[Messdaten]\r\n1;;;;;;;\r\n";
    WriteFile(dir / "q.tsd", text);
    const SToolRun r = RunTool("dump " + ShellQuoted(dir / "q.tsd"));
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["header"][10], "\u00ff\u00fe");
}

TEST(Tool, ExitCodes)
{
    CTempDir dir;
    EXPECT_EQ(RunTool("").status, 1);
    EXPECT_EQ(RunTool("frobnicate").status, 1);
    EXPECT_EQ(RunTool("dump").status, 1);
    EXPECT_EQ(RunTool("dump " + ShellQuoted(dir / "none.tsd")).status, 2);
    WriteFile(dir / "x.tsd", "[Kopfdaten]\r\nkeine Messdaten\r\n");
    EXPECT_EQ(RunTool("dump " + ShellQuoted(dir / "x.tsd")).status, 2);
    WriteFile(dir / "leer.tsd", "");
    EXPECT_EQ(RunTool("convert " + ShellQuoted(dir / "leer.tsd") + " " + ShellQuoted(dir / "b.tsd")).status, 2);
    WriteFile(dir / "a.tsd", kSurvey);
    EXPECT_EQ(RunTool("edit " + ShellQuoted(dir / "a.tsd") + " --sort").status, 1); // no -o
    EXPECT_EQ(RunTool("edit " + ShellQuoted(dir / "a.tsd") + " -o " + ShellQuoted(dir / "b.tsd") + " --add Meter 0 1 2")
                  .status,
              1);
    EXPECT_EQ(
        RunTool("edit " + ShellQuoted(dir / "a.tsd") + " -o " + ShellQuoted(dir / "b.tsd") + " --delete 2 9").status,
        1);
    EXPECT_FALSE(std::filesystem::exists(dir / "b.tsd"));
    EXPECT_EQ(RunTool("edit " + ShellQuoted(dir / "a.tsd") + " -o " + ShellQuoted(dir / "b.tsd") + " --append "
                      + ShellQuoted(dir / "none.tsd"))
                  .status,
              2);
    EXPECT_EQ(RunTool("--help").status, 0);
}

TEST(Tool, EditAppliesStepsInOrder)
{
    CTempDir dir;
    WriteFile(dir / "a.tsd", kSurvey);
    WriteFile(dir / "more.tsd", "[Kopfdaten]\r\n[Messdaten]\r\n5;-1.00;;;;;;\r\n");
    const SToolRun r = RunTool("edit " + ShellQuoted(dir / "a.tsd") + " -o " + ShellQuoted(dir / "b.tsd")
                               + " --sort --add 'Potential Ein' 10 10 -20 --insert-after 1 --delete 4 1 --append "
                               + ShellQuoted(dir / "more.tsd") + " --reverse");
    ASSERT_EQ(r.status, 0);
    CTreDoc doc;
    ASSERT_TRUE(tresimport::OpenSurvey(doc, (dir / "b.tsd").string()));
    // sorted 10,20,30 -> insert 0 after row 1 -> 10,0,20,30 -> delete row 4 -> 10,0,20
    // -> append 5 -> 10,0,20,5 -> reverse around 10 + 5: 5,15,-5,10 -> sorted
    ASSERT_EQ(doc.GetRowCount(), 4);
    EXPECT_EQ(doc.GetMeter(1), -5);
    EXPECT_EQ(doc.GetMeter(2), 5);
    EXPECT_EQ(doc.GetPotOn(2), -920); // the metre-10 point after the shift
    EXPECT_EQ(doc.GetMeter(4), 15);
}

TEST(Tool, ConvertWritesTheSectionedLayout)
{
    CTempDir dir;
    WriteFile(dir / "old.tsd", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n\r\n0;-1.00;;;;;;\r\n");
    ASSERT_EQ(RunTool("convert " + ShellQuoted(dir / "old.tsd") + " " + ShellQuoted(dir / "new.tsd")).status, 0);
    const std::string text = ReadFile(dir / "new.tsd");
    EXPECT_TRUE(text.starts_with("[Version]\r\nV1.1\r\n\r\n[Kopfdaten]\r\n1\r\n2\r\n3\r\n"));
    EXPECT_NE(text.find("[Messdaten]\r\n0;-1.00;;;;;;\r\n"), std::string::npos);
}

TEST(Tool, CsvForASpreadsheet)
{
    CTempDir dir;
    WriteFile(dir / "a.tsd", kSurvey);
    ASSERT_EQ(RunTool("csv " + ShellQuoted(dir / "a.tsd") + " " + ShellQuoted(dir / "a.csv")).status, 0);
    const std::string csv = ReadFile(dir / "a.csv");
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBFMeter [m];Potential Ein [V];"));
    EXPECT_NE(csv.find(";Gradient Aus [mV];Gradientendifferenz [mV];Fehlerliste;"), std::string::npos);
    EXPECT_NE(csv.find("\r\n30;-1,250;-0,950;-0,850;12,0;;3,0;;12,0;3,0;9,0;x;Schieber\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n10;-0,900;;;;;;;;;;;Grüße\r\n"), std::string::npos);
}

TEST(Tool, CsvTextCellsAreNeverFormulas)
{
    // Comments a spreadsheet would run as formulas; the numbers beside them,
    // negative ones too, stay numbers.
    CTempDir dir;
    WriteFile(dir / "a.tsd", "[Kopfdaten]\r\n[Messdaten]\r\n"
                             "10;-1.20;-0.95;9;2;;;=HYPERLINK(\"http://x\",\"y\")\r\n"
                             "20;-1.20;-0.95;;;;;+cmd|' /C calc'!A0\r\n"
                             "30;;;;;;;@SUM(1)\r\n"
                             "40;;;;;;;\tTab\r\n"
                             "50;;;;;;;-0,95\r\n"
                             "60;;;;;;;a=b\r\n");
    ASSERT_EQ(RunTool("csv " + ShellQuoted(dir / "a.tsd") + " " + ShellQuoted(dir / "a.csv")).status, 0);
    const std::string csv = ReadFile(dir / "a.csv");
    EXPECT_NE(
        csv.find("\r\n10;-1,200;-0,950;-0,870;9,0;;2,0;;9,0;2,0;7,0;;\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"\r\n"),
        std::string::npos)
        << csv;
    EXPECT_NE(csv.find(";'+cmd|' /C calc'!A0\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(";'@SUM(1)\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(";'\tTab\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n50;;;;;;;;;;;;'-0,95\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n60;;;;;;;;;;;;a=b\r\n"), std::string::npos) << csv;
    // The assessment's export writes the comments of a stretch not assessed
    // in the same form, and the defect's place beside its landmark.
    const SToolRun assess = RunTool("assess --csv " + ShellQuoted(dir / "a.tsd"));
    ASSERT_EQ(assess.status, 0);
    EXPECT_NE(assess.out.find("\r\nnicht bewertbar;3;6;30;60;4;35;;;\"'@SUM(1); \tTab; -0,95; a=b\";"),
              std::string::npos)
        << assess.out;
    EXPECT_NE(assess.out.find(";keine Maßnahme;\"bei „=HYPERLINK(\"\"http://x\"\",\"\"y\"\")“\";"), std::string::npos)
        << assess.out;
}

TEST(Tool, ErrorsListsPassingRows)
{
    CTempDir dir;
    WriteFile(dir / "a.tsd", kSurvey);
    const SToolRun r = RunTool("errors " + ShellQuoted(dir / "a.tsd"));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "     1      30  -1.25  -0.95  -0.85     12      3      9  Schieber\n");
}
