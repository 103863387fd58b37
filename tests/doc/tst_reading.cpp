// SPDX-License-Identifier: GPL-3.0-or-later
// Reading measurement files: both layouts, every field rule, settings,
// limits, the QM line, and what a bad file does (never a crash, never a
// half-read survey).
#include "docfixture.h"
#include "filebytes.h"
#include "qmline.h"
#include "surveyopen.h"
#include "tsdfile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <thread>

TEST(Reading, DataFieldsAndUnits)
{
    CTreDoc doc;
    ASSERT_TRUE(ReadText(doc, FileWithData({"120;-1.25;-0.95;12;3;4;-5;Schieber"})));
    ASSERT_EQ(doc.GetRowCount(), 1);
    EXPECT_EQ(doc.GetMeter(1), 120);
    EXPECT_EQ(doc.GetPotOn(1), -1250);
    EXPECT_EQ(doc.GetPotOff(1), -950);
    EXPECT_EQ(doc.GetGradOnL(1), 120);
    EXPECT_EQ(doc.GetGradOffL(1), 30); // field 5 is the left "off" value
    EXPECT_EQ(doc.GetGradOnR(1), 40);
    EXPECT_EQ(doc.GetGradOffR(1), -50);
    EXPECT_EQ(doc.GetComment(1), "Schieber");
}

TEST(Reading, PotentialsTruncateTowardZero)
{
    CTreDoc doc;
    ASSERT_TRUE(ReadText(doc, FileWithData({"0;-0.86;-0.85;;;;;", "1;-0.8559;0.0009;;;;;"})));
    EXPECT_EQ(doc.GetPotOn(1), -860);
    EXPECT_EQ(doc.GetPotOff(1), -850);
    EXPECT_EQ(doc.GetPotOn(2), -855);
    EXPECT_EQ(doc.GetPotOff(2), 0);
}

TEST(Reading, DecimalCommaInPotentialFieldsOnly)
{
    CTreDoc doc;
    ASSERT_TRUE(ReadText(doc, FileWithData({"0;-0,85;0,85;1,5;;;;"})));
    EXPECT_EQ(doc.GetPotOn(1), -850);
    EXPECT_EQ(doc.GetPotOff(1), 0);   // comma at position 1 ends the number
    EXPECT_EQ(doc.GetGradOnL(1), 10); // gradients take no comma
}

TEST(Reading, EmptyAndMalformedFields)
{
    CTreDoc doc;
    ASSERT_TRUE(ReadText(doc, FileWithData({"abc;x;;zz;;;;", "7;;;;;;;", "-3"})));
    ASSERT_EQ(doc.GetRowCount(), 2); // "-3" is shorter than five characters
    EXPECT_EQ(doc.GetMeter(1), 0);
    EXPECT_EQ(doc.GetPotOn(1), 0); // not empty, no number: 0
    EXPECT_EQ(doc.GetPotOff(1), NO_VALUE);
    EXPECT_EQ(doc.GetGradOnL(1), 0);
    EXPECT_EQ(doc.GetMeter(2), 7);
    EXPECT_EQ(doc.GetPotOn(2), NO_VALUE);
    EXPECT_EQ(doc.GetComment(2), "");
}

TEST(Reading, NumbersBeyondThirtyTwoBitsAreAbsentOrZero)
{
    CTreDoc doc;
    ASSERT_TRUE(ReadText(doc, FileWithData({"99999999999;1e300;-9999999;1e9;-1e999;nan;inf;x"})));
    EXPECT_EQ(doc.GetMeter(1), 0);
    EXPECT_EQ(doc.GetPotOn(1), NO_VALUE);
    EXPECT_EQ(doc.GetPotOff(1), NO_VALUE);  // -9999999 V is far beyond 32 bits of mV
    EXPECT_EQ(doc.GetGradOnL(1), NO_VALUE); // 1e9 mV * 10
    EXPECT_EQ(doc.GetGradOffL(1), NO_VALUE);
    EXPECT_EQ(doc.GetGradOnR(1), 0); // words are no numbers
    EXPECT_EQ(doc.GetGradOffR(1), 0);
}

TEST(Reading, EmptyLinesAndCommentsWithOddCharacters)
{
    CTreDoc doc;
    ASSERT_TRUE(ReadText(doc, FileWithData({"10;;;;;;;Peter's Hof", "", "   ", "20;;;;;;;a;b"})));
    ASSERT_EQ(doc.GetRowCount(), 2);
    EXPECT_EQ(doc.GetComment(1), "Peter's Hof");
    EXPECT_EQ(doc.GetComment(2), "a"); // a comment ends at a semicolon
}

TEST(Reading, MetreOfNoValueDoesNotEndTheSurvey)
{
    CTreDoc doc;
    ASSERT_TRUE(ReadText(doc, FileWithData({"1;;;;;;;", "9999999;;;;;;;", "3;;;;;;;"})));
    EXPECT_EQ(doc.GetRowCount(), 3);
    EXPECT_EQ(doc.GetMeter(2), 9999999);
    EXPECT_EQ(doc.m_header[6], "3");
}

TEST(Reading, HeaderAndCodePage)
{
    CTreDoc doc;
    const std::string text = "[Kopfdaten]\r\n12.03.26\r\n-950 mV\r\nLeitung S\x81"
                             "d\r\nKd 4\r\nx\r\ny\r\nBem. \x84\x94\x81\xe1\r\n"
                             "\r\n\r\n\r\n[Messdaten]\r\n5;;;;;;;\r\n";
    ASSERT_TRUE(ReadText(doc, text));
    EXPECT_EQ(doc.m_header[1], "12.03.26");
    EXPECT_EQ(doc.m_header[2], "-950 mV");
    EXPECT_EQ(doc.m_header[3], "Leitung Süd");
    EXPECT_EQ(doc.m_header[4], "Kd 4");
    EXPECT_EQ(doc.m_header[5], "x");
    EXPECT_EQ(doc.m_header[6], "5"); // always the last metre after a read
    EXPECT_EQ(doc.m_header[7], "Bem. äöüß");
}

TEST(Reading, OlderLayoutWithoutSections)
{
    CTreDoc doc;
    std::string text;
    for (int i = 1; i <= 9; ++i) text += "Kopf " + std::to_string(i) + "\r\n";
    std::array<std::string, 20> qm;
    qm[2] = "Logger 7";
    text += tresdoc::EncodeQmLineWithFiller(qm, "ABCDEFGHIJ") + "\r\n";
    text += "0;-1.00;-0.90;;;;;\r\n10;-1.10;-0.95;;;;;\r\n";
    ASSERT_TRUE(ReadText(doc, text));
    ASSERT_EQ(doc.GetRowCount(), 2);
    EXPECT_EQ(doc.m_header[1], "Kopf 1");
    EXPECT_EQ(doc.m_header[7], "Kopf 7");
    EXPECT_EQ(doc.m_header[6], "10");
    EXPECT_EQ(doc.m_qm[1], "ABCDEFGHIJ");
    EXPECT_EQ(doc.m_qm[2], "Logger 7");
    EXPECT_EQ(doc.GetPotOff(2), -950);
}

TEST(Reading, PrintSettingsNeedBothSections)
{
    CTreDoc doc;
    const std::string tableOnly
        = "[Kopfdaten]\r\n\r\n[Tabellendruck]\r\nIR;0\r\nKUNDE;1\r\n\r\n[Messdaten]\r\n1;;;;;;;\r\n";
    ASSERT_TRUE(ReadText(doc, tableOnly));
    EXPECT_TRUE(doc.m_bTabIR);
    EXPECT_TRUE(doc.m_bTabHeadNumber);

    const std::string both
        = "[Kopfdaten]\r\n\r\n[Tabellendruck]\r\nir;0\r\nQM;0\r\nARIAL;0\r\nLINESGW;0\r\nKUNDE;1\r\nFOO;1\r\n\r\n"
          "[Grafikdruck]\r\nIR;0\r\nqm;0\r\nGE;0\r\nGA;1\r\nGD;true\r\nX;250\r\nYP;-1;-2\r\n\r\n"
          "[Messdaten]\r\n1;;;;;;;\r\n";
    ASSERT_TRUE(ReadText(doc, both));
    EXPECT_FALSE(doc.m_bTabIR);
    EXPECT_FALSE(doc.m_bTabQM);
    EXPECT_FALSE(doc.m_bTabArial);
    EXPECT_FALSE(doc.m_bTabLinesGW);
    EXPECT_FALSE(doc.m_bTabHeadNumber);  // KUNDE;1 chooses the customer label
    EXPECT_FALSE(doc.m_bPlotHeadNumber); // for both prints
    EXPECT_FALSE(doc.m_bPlotIR);
    EXPECT_FALSE(doc.m_bPlotQM);
    EXPECT_FALSE(doc.m_bPlotGradOn);
    EXPECT_TRUE(doc.m_bPlotGradOff);
    EXPECT_FALSE(doc.m_bPlotGradDiff); // only "1" is true
    EXPECT_EQ(doc.m_nPlotScale, 1000); // scale and axes are not read back
    EXPECT_EQ(doc.m_nPotAxisMax, -2000);
}

TEST(Reading, OpenResetsSettingsTheFileDoesNotCarry)
{
    CTreDoc doc;
    doc.m_bTabIR = false;
    doc.m_nPlotScale = 200;
    doc.m_limits[1] = 5;
    doc.m_limits[13] = 6;
    ASSERT_TRUE(ReadText(doc, FileWithData({"1;;;;;;;"})));
    EXPECT_TRUE(doc.m_bTabIR);
    EXPECT_EQ(doc.m_nPlotScale, 1000);
    EXPECT_EQ(doc.m_limits[1], NO_VALUE);
}

TEST(Reading, LimitLines)
{
    CTreDoc doc;
    const std::string limits
        = "[FehlerListe]\r\npote;-1.20;-0,85\r\nUEIN;5;50\r\nUDIFFR;-2,5;1\r\nPOTA;;-1\r\nXYZ;1;2\r\nUAUS;3\r\n";
    ASSERT_TRUE(ReadText(doc, FileWithData({"1;;;;;;;"}, limits)));
    EXPECT_EQ(doc.m_limits[POTE], -1200);
    EXPECT_EQ(doc.m_limits[POTE + 12], -850);
    EXPECT_EQ(doc.m_limits[UEIN], 50);
    EXPECT_EQ(doc.m_limits[UEIN + 12], 500);
    EXPECT_EQ(doc.m_limits[UDIFFR], -25); // -2500 / 100
    EXPECT_EQ(doc.m_limits[UDIFFR + 12], 10);
    EXPECT_EQ(doc.m_limits[POTA], NO_VALUE); // first bound empty: line ignored
    EXPECT_EQ(doc.m_limits[UAUS], 30);       // missing second bound reads as 0
    EXPECT_EQ(doc.m_limits[UAUS + 12], 0);
}

TEST(Reading, QmLineDecodesIntoEntriesAndKeepsTheRawLine)
{
    std::array<std::string, 20> qm;
    for (int i = 2; i <= 14; ++i) qm[i] = "q" + std::to_string(i);
    const std::string line = tresdoc::EncodeQmLineWithFiller(qm, "FILLERFILL");
    CTreDoc doc;
    doc.m_qm[15] = "vorher";
    std::string text
        = "[Kopfdaten]\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n\r\n\r\n" + line + "\r\n\r\n[Messdaten]\r\n1;;;;;;;\r\n";
    ASSERT_TRUE(ReadText(doc, text));
    EXPECT_EQ(doc.m_header[10], line);
    EXPECT_EQ(doc.m_qm[1], "FILLERFILL");
    for (int i = 2; i <= 14; ++i) EXPECT_EQ(doc.m_qm[i], "q" + std::to_string(i));
    EXPECT_EQ(doc.m_qm[15], ""); // not in the line: nothing of the survey before
}

TEST(Reading, ShortQmLineEmptiesTheMissingEntries)
{
    CTreDoc doc;
    doc.m_qm[5] = "alt";
    std::string plain = "123;FILL;a;b"; // sum, filler, entries 2 and 3
    std::string enc = plain;
    const int shift[4] = {20, 30, 40, 10};
    for (size_t j = 0; j < enc.size(); ++j)
        enc[j] = static_cast<char>(static_cast<unsigned char>(enc[j]) + shift[j % 4]);
    std::array<std::string, 20> qm = doc.m_qm;
    tresdoc::DecodeQmLine(enc, qm);
    EXPECT_EQ(qm[1], "FILL");
    EXPECT_EQ(qm[2], "a");
    EXPECT_EQ(qm[3], "b");
    EXPECT_EQ(qm[5], "");
    tresdoc::DecodeQmLine("", qm); // an empty line leaves the entries alone
    EXPECT_EQ(qm[2], "a");
}

TEST(Reading, NulEndsTheText)
{
    CTreDoc doc;
    std::string text = FileWithData({"1;;;;;;;"});
    text += std::string(64, '\0') + "2;;;;;;;\r\n";
    ASSERT_TRUE(ReadText(doc, text));
    EXPECT_EQ(doc.GetRowCount(), 1);
}

TEST(Reading, SectionsOutOfOrderKeepTheData)
{
    CTreDoc doc;
    const std::string text
        = "[Kopfdaten]\r\nA\r\n[FehlerListe]\r\nPOTE;-1;-0.5\r\n[Messdaten]\r\n1;;;;;;;\r\n2;;;;;;;\r\n";
    ASSERT_TRUE(ReadText(doc, text));
    EXPECT_EQ(doc.GetRowCount(), 2);
    EXPECT_EQ(doc.m_limits[POTE], -1000);
}

// Hand-made files and other programs' exports end with the data, its last
// line closed by CR LF; some repeat the heading or carry a section of their
// own behind it. Two data lines are two rows, also after a save.
TEST(Reading, DataAtTheEndGivesItsRowsOnlyAlsoAfterASave)
{
    const std::string head = "[Kopfdaten]\r\n01.02.26\r\n[Messdaten]\r\n10;-1.10;-0.90;1;1;;;A\r\n"
                             "20;-1.20;-0.95;2;2;;;B\r\n";
    for (const std::string& end : {std::string(), std::string("  \r\n"), std::string("\r\n\x1a"),
                                   std::string("[Messdaten]\r\n"), std::string("[Anhang]\r\n")}) {
        SCOPED_TRACE(end);
        CTempDir dir;
        WriteFile(dir / "hand.tsd", head + end);
        CTreDoc doc;
        ASSERT_TRUE(tresimport::OpenSurvey(doc, (dir / "hand.tsd").string()));
        ASSERT_EQ(doc.GetRowCount(), 2);
        EXPECT_EQ(doc.GetMeter(2), 20);
        EXPECT_EQ(doc.GetComment(2), "B");
        ASSERT_TRUE(doc.OnSaveDocument((dir / "saved.tsd").string()));
        CTreDoc again;
        ASSERT_TRUE(tresimport::OpenSurvey(again, (dir / "saved.tsd").string()));
        EXPECT_EQ(again.GetRowCount(), 2);
    }
}

TEST(Reading, LinesOfAnyLengthAndLineFeedOnlyFiles)
{
    CTreDoc doc;
    const std::string longComment(5000, 'x');
    std::string text = "[Kopfdaten]\nA\n[Messdaten]\n1;-1.00;;;;;;" + longComment + "\n2;;;;;;;\n";
    ASSERT_TRUE(ReadText(doc, text));
    ASSERT_EQ(doc.GetRowCount(), 2);
    EXPECT_EQ(doc.GetComment(1), longComment);
    EXPECT_EQ(doc.m_header[1], "A");
}

TEST(Reading, FileLargerThanTheOldCutIsReadWhole)
{
    CTempDir dir;
    std::string text = "[Kopfdaten]\r\n\r\n[Messdaten]\r\n";
    int rows = 0;
    while (text.size() < 1'200'000) text += std::to_string(rows++) + ";-1.10;-0.90;12;3;11;2;Kommentar\r\n";
    WriteFile(dir / "big.tsd", text);
    CTreDoc doc;
    ASSERT_TRUE(tresimport::OpenSurvey(doc, (dir / "big.tsd").string()));
    EXPECT_EQ(doc.GetRowCount(), rows);
    EXPECT_EQ(doc.GetMeter(rows), rows - 1);
}

// A pipe has no size up front (the shell's "<(...)" or /dev/stdin for the
// tool): the reader must still take all of it, however it arrives.
TEST(Reading, SurveyFromAPipeIsReadWhole)
{
    CTempDir dir;
    const auto path = dir / "pipe.tsd";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    std::string text = "[Kopfdaten]\r\nRohr\r\n[Messdaten]\r\n";
    int rows = 0;
    while (text.size() < 300'000)
        text += std::to_string(rows++)
                + ";-1.10;-0.90;12;3;11;2;Gr\x81\xe1"
                  "e\r\n";
    std::thread writer([&] {
        std::ofstream out(path, std::ios::binary);
        for (size_t pos = 0; pos < text.size(); pos += 1000) {
            out.write(text.data() + pos, static_cast<std::streamsize>(std::min<size_t>(1000, text.size() - pos)));
            out.flush(); // many small writes: many short reads
        }
    });
    CTreDoc doc;
    const bool ok = tresimport::OpenSurvey(doc, path.string());
    writer.join();
    ASSERT_TRUE(ok);
    EXPECT_EQ(doc.GetRowCount(), rows);
    EXPECT_EQ(doc.GetMeter(rows), rows - 1);
    EXPECT_EQ(doc.GetComment(rows), "Grüße");
    EXPECT_EQ(doc.m_header[1], "Rohr");
}

TEST(Reading, FileAboveTheBoundIsRefusedWhole)
{
    CTempDir dir;
    const auto path = dir / "huge.tsd";
    WriteFile(path, FileWithData({"1;;;;;;;"}));
    // sparse: costs no disk space
    std::filesystem::resize_file(path, tresimport::kMaxSurveyFileSize + 1);
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    MakeRows(doc, {7});
    EXPECT_FALSE(tresimport::OpenSurvey(doc, path.string()));
    EXPECT_EQ(doc.GetMeter(1), 7);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("zu groß"), std::string::npos);
}

TEST(Reading, MissingDataSectionFailsAndKeepsTheDocument)
{
    CTempDir dir;
    WriteFile(dir / "bad.tsd", "[Kopfdaten]\r\nA\r\n");
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    MakeRows(doc, {1, 2, 3});
    doc.m_header[3] = "Nord";
    EXPECT_FALSE(tresimport::OpenSurvey(doc, (dir / "bad.tsd").string()));
    EXPECT_EQ(doc.GetRowCount(), 3);
    EXPECT_EQ(doc.m_header[3], "Nord");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("[Messdaten]"), std::string::npos);
}

// The program opens through the document and shows the header through its
// host, as the tool opens through the same reader: a survey opened after
// another keeps nothing of it, and a save writes nothing of it.
TEST(Reading, OpenKeepsNothingOfTheSurveyBefore)
{
    CTempDir dir;
    std::array<std::string, 20> qm;
    qm[2] = "Logger 7";
    WriteFile(dir / "a.tsd", "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n4711\r\n\r\n\r\nText\r\n\r\n\r\n"
                                 + tresdoc::EncodeQmLineWithFiller(qm, "ABCDEFGHIJ")
                                 + "\r\n[Messdaten]\r\n1;-1.00;;;;;;\r\n");
    WriteFile(dir / "b.tsd", "[Kopfdaten]\r\n[Messdaten]\r\n10;-1.00;;;;;;\r\n");
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    ASSERT_TRUE(tresimport::OpenSurvey(doc, (dir / "a.tsd").string()));
    ASSERT_EQ(host.shownName, "Nord");
    ASSERT_EQ(doc.m_qm[2], "Logger 7");
    ASSERT_TRUE(tresimport::OpenSurvey(doc, (dir / "b.tsd").string()));
    EXPECT_EQ(doc.m_header, (std::array<std::string, 20>{{"", "", "", "", "", "", "10"}}));
    EXPECT_EQ(doc.m_qm, (std::array<std::string, 20>{}));
    EXPECT_EQ(host.shownName, "");
    ASSERT_TRUE(doc.OnSaveDocument((dir / "b2.tsd").string()));
    CTreDoc back;
    ASSERT_TRUE(tresimport::OpenSurvey(back, (dir / "b2.tsd").string()));
    EXPECT_EQ(back.m_header[3], "");
    EXPECT_EQ(back.m_header[4], "");
    EXPECT_EQ(back.m_qm[2], "");
}

// Nothing in the file reads as a measuring point: the open is refused with
// a message naming the file, and the survey shown stays as it was.
TEST(Reading, FileWithoutANumberInItsDataIsRefused)
{
    CTempDir dir;
    // Empty; data lines of words or too short; an older layout whose data
    // line is taken up by the ten header lines.
    const std::string files[]
        = {"", "[Kopfdaten]\r\nNord\r\n[Messdaten]\r\nkeine Zahl hier\r\n1;2\r\n", "Sued\r\n20;-0.90;;;;;;\r\n"};
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    ASSERT_TRUE(ReadText(doc, FileWithData({"5;-1.00;;;;;;"})));
    for (const std::string& text : files) {
        const auto path = dir / "leer.tsd";
        WriteFile(path, text);
        host.messages.clear();
        EXPECT_FALSE(tresimport::OpenSurvey(doc, path.string())) << text;
        EXPECT_FALSE(tresimport::AppendSurvey(doc, path.string())) << text;
        EXPECT_EQ(host.messages,
                  std::vector<std::string>(2, "Die Datei " + path.string() + " enthält keine Messdaten."));
        ASSERT_EQ(doc.GetRowCount(), 1);
        EXPECT_EQ(doc.GetMeter(1), 5);
        EXPECT_EQ(doc.m_header[3], "Nord");
        EXPECT_FALSE(doc.IsModified());
        EXPECT_FALSE(doc.m_bAppend);
    }
}

TEST(Reading, UnreadableFileGivesAGermanMessage)
{
    CTempDir dir;
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    EXPECT_FALSE(tresimport::OpenSurvey(doc, (dir / "fehlt.tsd").string()));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("nicht gefunden"), std::string::npos);
    EXPECT_FALSE(tresimport::OpenSurvey(doc, dir.Path().string())); // a folder
    EXPECT_TRUE(doc.m_bEmpty);
}

TEST(Reading, FinishingStepsReachTheHost)
{
    CTempDir dir;
    std::string text = "[Kopfdaten]\r\n\r\n\r\nNord\r\n\r\n[Messdaten]\r\n";
    for (int i = 0; i < 100; ++i) text += std::to_string(i) + ";-1.00;;;;;;\r\n";
    WriteFile(dir / "a.tsd", text);
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    doc.NextViewNumber();
    ASSERT_TRUE(tresimport::OpenSurvey(doc, (dir / "a.tsd").string()));
    EXPECT_EQ(host.shownName, "Nord");
    EXPECT_EQ(host.docToHeader, 1);
    EXPECT_GE(host.updates, 1);
    EXPECT_EQ(host.statusTexts.back(), "");
    ASSERT_FALSE(host.progress.empty());
    EXPECT_EQ(host.progress.back(), 100);
    EXPECT_EQ(host.paths.back(), (dir / "a.tsd").string());
    EXPECT_FALSE(doc.m_bEmpty);
    EXPECT_FALSE(doc.m_bAppend);
    EXPECT_TRUE(doc.m_bRefitPot);
    EXPECT_TRUE(doc.m_bRefitGrad);
    EXPECT_EQ(doc.NextViewNumber(), 1);
    EXPECT_FALSE(doc.IsModified());
}

TEST(Reading, ProgressThresholdGrowsByFive)
{
    CRecordingHost host;
    CProgressSteps steps(host);
    for (int p : {0, 1, 2, 3, 4, 5, 6, 50, 51, 100}) steps.Report(p);
    // threshold -1 -> 0 shown (4), 5 shown (9), 50 shown (14), 51 shown (19), 100 shown
    EXPECT_EQ(host.progress, (std::vector<int>{0, 5, 50, 51, 100}));
    EXPECT_EQ(host.statusTexts.front(), "0 %");
}

TEST(Appending, RowsGoBehindAndHeaderStays)
{
    CTempDir dir;
    WriteFile(dir / "b.tsd",
              "[Kopfdaten]\r\n01.01.99\r\n\r\nSued\r\n\r\n[Messdaten]\r\n200;-1.00;;;;;;\r\n150;;;;;;;\r\n\r\n"
              "[FehlerListe]\r\nPOTA;-1.1;-0.9\r\n");
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    ASSERT_TRUE(ReadText(doc, FileWithData({"0;;;;;;;", "100;;;;;;;"})));
    doc.m_bTabIR = false; // not reset by an append
    ASSERT_TRUE(tresimport::AppendSurvey(doc, (dir / "b.tsd").string()));
    ASSERT_EQ(doc.GetRowCount(), 4);
    EXPECT_EQ(doc.GetMeter(3), 200); // file order, no sorting
    EXPECT_EQ(doc.GetMeter(4), 150);
    EXPECT_EQ(doc.m_header[3], "Nord");
    EXPECT_EQ(doc.m_header[6], "150");
    EXPECT_EQ(doc.m_limits[POTA], -1100);
    EXPECT_FALSE(doc.m_bTabIR);
    EXPECT_FALSE(doc.m_bAppend);
    EXPECT_TRUE(doc.IsModified()); // the combined survey exists only here
}

TEST(Appending, FailedAppendLeavesRowsAndSaysSo)
{
    CTempDir dir;
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    MakeRows(doc, {1, 2});
    EXPECT_FALSE(tresimport::AppendSurvey(doc, (dir / "none.tsd").string()));
    EXPECT_EQ(doc.GetRowCount(), 2);
    EXPECT_FALSE(doc.m_bAppend);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(host.messages.size(), 1u);
}
