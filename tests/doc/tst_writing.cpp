// SPDX-License-Identifier: GPL-3.0-or-later
// Writing measurement files: the exact bytes, the QM line, and that a save
// never destroys the previous file. Round trips close the loop with the
// reader.
#include "codepage.h"
#include "docfixture.h"
#include "qmline.h"
#include "surveyopen.h"
#include "tsdfile.h"
#include "userrights.h"

#include <gtest/gtest.h>

#include <csignal>
#include <iconv.h>
#include <limits>
#include <random>
#include <regex>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

void SampleDocument(CTreDoc& doc)
{
    MakeRows(doc, {0, 120, 130});
    doc.m_header[1] = "12.03.26";
    doc.m_header[2] = "-850 mV";
    doc.m_header[3] = "Leitung Süd";
    doc.m_header[4] = "4711";
    doc.m_header[7] = "Prüfung";
    doc.SetPotOn(2, -1250);
    doc.SetPotOff(2, -950);
    doc.SetGradOnL(2, 125);
    doc.SetGradOffL(2, 30);
    doc.SetPotOn(3, 500);
    doc.SetGradOnR(3, -7);
    doc.SetComment(3, "Straßenkreuzung");
    doc.m_limits[POTA] = -1100;
    doc.m_limits[POTA + 12] = -855;
    doc.m_limits[UEIN] = 500;
    doc.m_limits[UEIN + 12] = 50;
}

} // namespace

TEST(Writing, ExactLayout)
{
    CTreDoc doc;
    SampleDocument(doc);
    doc.m_bTabHeadNumber = false;
    doc.m_bPlotGradOff = false;
    const std::string text = CTsdWriter(doc).BuildText("01.02.26", "<QM>");
    const std::string expected
        = "[Version]\r\nV1.1\r\n\r\n[Kopfdaten]\r\n"
          "12.03.26\r\n-850 mV\r\nLeitung S\x81"
          "d\r\n4711\r\n\r\n\r\nPr\x81"
          "fung\r\n\r\n\r\n"
          "<QM>\r\n\r\n"
          "[Tabellendruck]\r\nIR;1\r\nQM;1\r\nARIAL;1\r\nLINESGW;1\r\nKUNDE;1\r\n\r\n"
          "[Grafikdruck]\r\nIR;1\r\nQM;1\r\nGE;1\r\nGA;0\r\nGD;1\r\nX;1000\r\nYP;-2000;-400\r\nYG;200;-50\r\n\r\n"
          "[Messdaten]\r\n"
          "0;;;;;;;\r\n"
          "120;-1.25;-0.95;12;3;;;\r\n"
          "130; 0.50;;;;0;;Stra\xe1"
          "enkreuzung\r\n"
          "\r\n"
          "[FehlerListe]\r\nPOTA;-1.10;-0.86\r\nUEIN;50;5\r\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(doc.m_qm[7], "01.02.26");
    EXPECT_EQ(doc.m_qm[8], "TS 3.018");
}

TEST(Writing, NoLimitsNoSection)
{
    CTreDoc doc;
    MakeRows(doc, {1});
    doc.m_limits[UAUS] = 5; // half a pair counts as no limits
    const std::string text = CTsdWriter(doc).BuildText("01.02.26", "");
    EXPECT_EQ(text.find("[FehlerListe]"), std::string::npos);
    EXPECT_TRUE(text.ends_with("[Messdaten]\r\n1;;;;;;;\r\n\r\n"));
}

TEST(Writing, LineBreaksInTextsCannotSplitARecord)
{
    CTreDoc doc;
    MakeRows(doc, {1, 2});
    doc.SetComment(1, "zwei\r\nZeilen");
    doc.m_header[3] = "a\nb";
    CTreDoc back;
    ASSERT_TRUE(ReadText(back, CTsdWriter(doc).BuildText("01.02.26", "")));
    ASSERT_EQ(back.GetRowCount(), 2);
    EXPECT_EQ(back.GetComment(1), "zwei  Zeilen");
    EXPECT_EQ(back.m_header[3], "a b");
}

TEST(Writing, SectionNamesInFreeTextsSurviveTheRoundTrip)
{
    CTreDoc doc;
    MakeRows(doc, {1, 2, 3});
    doc.m_header[7] = "siehe [Messdaten] unten";
    doc.SetComment(2, "Hinweis: [FehlerListe] pruefen");
    doc.SetComment(3, "[Kopfdaten] am Zeilenende");
    doc.m_header[3] = "[Messdaten] als Name";
    CTreDoc back;
    ASSERT_TRUE(ReadText(back, CTsdWriter(doc).BuildText("01.02.26", "")));
    ASSERT_EQ(back.GetRowCount(), 3);
    EXPECT_EQ(back.m_header[7], "siehe [Messdaten] unten");
    EXPECT_EQ(back.m_header[3], " [Messdaten] als Name"); // set in by one blank
    EXPECT_EQ(back.GetComment(2), "Hinweis: [FehlerListe] pruefen");
    EXPECT_EQ(back.GetMeter(3), 3);
}

TEST(QmLine, EncodingShiftsEveryByteByItsPosition)
{
    std::array<std::string, 20> qm;
    qm[2] = "A";
    const std::string line = tresdoc::EncodeQmLineWithFiller(qm, "BC");
    // F = "BC;A;;;;;;;;;;;;" (12 empty entries after "A"), sum of its bytes
    std::string f = "BC;A";
    for (int i = 3; i <= 14; ++i) f += ";";
    int sum = 0;
    for (char c : f) sum += c;
    const std::string plain = std::to_string(sum) + ";" + f;
    ASSERT_EQ(line.size(), plain.size());
    const int shift[4] = {20, 30, 40, 10};
    for (size_t j = 0; j < line.size(); ++j)
        EXPECT_EQ(static_cast<unsigned char>(line[j]), (static_cast<unsigned char>(plain[j]) + shift[j % 4]) % 256)
            << j;
}

TEST(QmLine, SumCountsBytesAsSigned)
{
    std::array<std::string, 20> qm;
    qm[2] = "\xFF"; // -1 as a signed byte
    std::array<std::string, 20> back;
    tresdoc::DecodeQmLine(tresdoc::EncodeQmLineWithFiller(qm, "A"), back);
    EXPECT_EQ(back[2], "\xFF");
    std::string plain = tresdoc::EncodeQmLineWithFiller(qm, "A");
    const int shift[4] = {20, 30, 40, 10};
    for (size_t j = 0; j < plain.size(); ++j)
        plain[j] = static_cast<char>(static_cast<unsigned char>(plain[j]) - shift[j % 4]);
    // 'A' + ';' * 13 + (-1) = 65 + 767 - 1
    EXPECT_TRUE(plain.starts_with("831;A;\xFF;")) << plain;
}

TEST(QmLine, RandomFillerIsTenToTwentyCapitals)
{
    std::minstd_rand rng(42);
    std::array<std::string, 20> qm;
    for (int i = 0; i < 200; ++i) {
        std::array<std::string, 20> back;
        tresdoc::DecodeQmLine(tresdoc::EncodeQmLine(qm, rng).value(), back);
        ASSERT_GE(back[1].size(), 10u);
        ASSERT_LE(back[1].size(), 20u);
        for (char c : back[1]) ASSERT_TRUE(c >= 'A' && c <= 'Z');
    }
}

TEST(QmLine, NeverContainsALineBreak)
{
    // 0xE2 shifted by 40 is a line feed; the filler is redrawn until no
    // byte of the line can end it early.
    std::minstd_rand rng(7);
    std::array<std::string, 20> qm;
    qm[2] = "Prüfgerät – Nr. 12 € ✓"; // several 0xE2 lead bytes
    for (int i = 0; i < 100; ++i) {
        const std::string line = tresdoc::EncodeQmLine(qm, rng).value();
        ASSERT_EQ(line.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
        std::array<std::string, 20> back;
        tresdoc::DecodeQmLine(line, back);
        ASSERT_EQ(back[2], qm[2]);
    }
}

namespace {

bool BreaksAtShift(unsigned char plain, size_t position)
{
    const int shift[4] = {20, 30, 40, 10};
    const unsigned char b = static_cast<unsigned char>(plain + shift[position % 4]);
    return b == '\r' || b == '\n' || b == '\0';
}

// Independent of the encoder: entries 2..14 (";" between them) can be kept
// readable when some start position modulo 4 puts none of their bytes on a
// shift that turns it into CR, LF or NUL.
bool SomeShiftKeepsEntriesReadable(const std::array<std::string, 20>& qm)
{
    std::string tail;
    for (int i = 2; i <= 14; ++i) tail += ";" + qm[static_cast<size_t>(i)];
    for (size_t start = 0; start < 4; ++start) {
        bool ok = true;
        for (size_t k = 0; k < tail.size() && ok; ++k)
            ok = !BreaksAtShift(static_cast<unsigned char>(tail[k]), start + k);
        if (ok) return true;
    }
    return false;
}

std::string RandomQmText(std::mt19937& rng)
{
    const size_t length = std::uniform_int_distribution<size_t>(0, rng() % 4 == 0 ? 300 : 12)(rng);
    const bool high = rng() % 2 == 0; // half of them full of bytes >= 0x80
    std::string text;
    while (text.size() < length) {
        const auto b = static_cast<char>(high ? 0x80 + rng() % 128 : rng() % 256);
        if (b != ';') text += b; // the separator cannot be inside an entry
    }
    return text;
}

} // namespace

TEST(QmLine, BytesBreakingTheLineAtEveryShiftRefuseTheEncoding)
{
    // 0x03 + 10 is a CR; four of them in a row meet the shift of 10 wherever
    // the filler puts them, so no filler can help.
    std::array<std::string, 20> qm;
    qm[3] = "\x03\x03\x03\x03";
    std::minstd_rand rng(1);
    EXPECT_FALSE(tresdoc::EncodeQmLine(qm, rng).has_value());
    // Three leave one shift free: the encoder finds it even where chance does not.
    qm[3] = "\x03\x03\x03";
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::minstd_rand r(seed);
        const auto line = tresdoc::EncodeQmLine(qm, r);
        ASSERT_TRUE(line.has_value()) << seed;
        EXPECT_TRUE(tresdoc::QmLineReadsBack(*line, qm));
    }
}

TEST(QmLine, SavedSurveyReadsBackWithItsRowsAndQmEntriesForAnyQmText)
{
    CTempDir dir;
    std::mt19937 rng(20261208);
    int refused = 0;
    for (int round = 0; round < 400; ++round) {
        CTreDoc doc;
        CRecordingHost host;
        doc.SetHost(&host);
        SampleDocument(doc);
        for (int i = 2; i <= 14; ++i) doc.m_qm[static_cast<size_t>(i)] = RandomQmText(rng);
        const auto path = dir / "qm.tsd";
        WriteFile(path, "vorher");
        doc.SetModifiedFlag();
        const bool saved = doc.OnSaveDocument(path.string());
        std::array<std::string, 20> expected = doc.m_qm;
        expected[7] = saved ? doc.m_qm[7] : "00.00.00"; // the save date, same length, harmless bytes
        expected[8] = "TS 3.018";
        if (!saved) {
            ++refused;
            // Only when no filler could have kept the entries readable.
            EXPECT_FALSE(SomeShiftKeepsEntriesReadable(expected)) << round;
            EXPECT_EQ(ReadFile(path), "vorher");
            EXPECT_TRUE(doc.IsModified());
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_NE(host.messages[0].find("QM-Daten"), std::string::npos);
            continue;
        }
        // The rows as any save and open gives them (whole mV of gradients,
        // two decimals of volts), independent of the QM line.
        CTreDoc rows;
        ASSERT_TRUE(ReadText(rows, CTsdWriter(doc).BuildText("01.02.26", "")));
        CTreDoc back;
        ASSERT_TRUE(tresimport::OpenSurvey(back, path.string())) << round;
        ASSERT_EQ(back.GetRowCount(), rows.GetRowCount()) << round;
        for (int r = 1; r <= rows.GetRowCount(); ++r)
            EXPECT_TRUE(*back.GetRow(r) == *rows.GetRow(r)) << round << " row " << r;
        for (size_t i = 2; i <= 14; ++i) EXPECT_EQ(back.m_qm[i], expected[i]) << round << " entry " << i;
    }
    EXPECT_LT(refused, 400); // the texts must not all be unwritable
}

// A handheld's QM line whose entries no new line can carry: three bytes
// that the shift of 10 turns into a CR must each start on the same shift,
// and the save's stamp (8 characters where the handheld wrote a 6-character
// date) moves the second group by two. Unchanged, the entries go out as
// read; changed, the save is refused as before.
TEST(QmLine, UnchangedEntriesThatCannotBeEncodedAnewAreSavedAsRead)
{
    std::array<std::string, 20> qm;
    qm[2] = qm[9] = "\x03\x03\x03";
    qm[7] = "1.2.26";
    qm[8] = "TS 3.018";
    std::string line;
    for (size_t length = 1; length <= 8 && line.empty(); ++length) {
        const std::string candidate = tresdoc::EncodeQmLineWithFiller(qm, std::string(length, 'Q'));
        if (tresdoc::QmLineReadsBack(candidate, qm)) line = candidate;
    }
    ASSERT_FALSE(line.empty());
    std::array<std::string, 20> stamped = qm;
    stamped[7] = "09.12.26";
    std::minstd_rand rng(3);
    ASSERT_FALSE(tresdoc::EncodeQmLine(stamped, rng).has_value());

    CTempDir dir;
    WriteFile(dir / "hand.tsd", "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n\r\n\r\n\r\n\r\n\r\n\r\n" + line
                                    + "\r\n[Messdaten]\r\n1;-1.00;;;;;;\r\n");
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    ASSERT_TRUE(tresimport::OpenSurvey(doc, (dir / "hand.tsd").string()));
    doc.EditCell(1, ERowValue::PotOn, -1100);
    for (const char* name : {"a.tsd", "b.tsd"}) { // again from what the first save wrote
        ASSERT_TRUE(doc.OnSaveDocument((dir / name).string())) << name;
        EXPECT_NE(ReadFile(dir / name).find("\r\n" + line + "\r\n"), std::string::npos) << name;
        CTreDoc back;
        ASSERT_TRUE(tresimport::OpenSurvey(back, (dir / name).string()));
        EXPECT_EQ(back.m_qm, doc.m_qm);
        EXPECT_EQ(back.GetPotOn(1), -1100);
    }
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(doc.m_qm[7], "1.2.26"); // no stamp: the line does not carry one

    doc.m_qm[3] = "neu";
    doc.SetModifiedFlag();
    EXPECT_FALSE(doc.OnSaveDocument((dir / "a.tsd").string()));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("QM-Daten"), std::string::npos);
    EXPECT_TRUE(doc.IsModified());
}

// A handheld's QM line with a lone CR among its bytes: four acute accents
// (0xEF) in entry 6, one of which always meets the shift of 30 that makes
// 0x0D, so no new line can carry the entries, and the handheld's own line
// holds that CR (its 74th byte) and bytes above 0x7F. Our reader ends lines at
// LF only and takes the line whole; unchanged, it goes out as read, and
// the survey is saved.
TEST(QmLine, ALineWithALoneCrIsSavedAsRead)
{
    const unsigned char bytes[]
        = {0x4a, 0x4f, 0x5c, 0x3a, 0x4f, 0x6f, 0x7f, 0x4f, 0x66, 0x72, 0x82, 0x5f, 0x5d, 0x6d, 0x78, 0x45,
           0x60, 0x8d, 0x8f, 0x6b, 0x88, 0x8d, 0x48, 0x3d, 0x4f, 0x6c, 0x9a, 0x38, 0x34, 0x52, 0x5f, 0x3b,
           0x45, 0x59, 0x63, 0x4c, 0x79, 0x98, 0x9d, 0x71, 0x87, 0x83, 0x94, 0x6f, 0x7f, 0x92, 0x9a, 0x79,
           0x78, 0x83, 0x48, 0x4d, 0x89, 0x4d, 0x6b, 0x7f, 0x67, 0x6d, 0x5c, 0x2a, 0x59, 0x4b, 0x5a, 0x41,
           0x4f, 0x69, 0x89, 0x76, 0x42, 0x3e, 0x17, 0xf9, 0x03, 0x0d, 0x63, 0x3b, 0x42, 0x50, 0x56, 0x3c,
           0x4a, 0x59, 0x7e, 0x2a, 0x46, 0x4c, 0x59, 0x3a, 0x4f, 0x59, 0x63, 0x45, 0x4f, 0x59};
    const std::string line(reinterpret_cast<const char*>(bytes), sizeof bytes);
    ASSERT_EQ(line.find('\r'), 73u);
    CTempDir dir;
    WriteFile(dir / "hand.tsd", "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n\r\n\r\n\r\n\r\n\r\n\r\n" + line
                                    + "\r\n[Messdaten]\r\n1;-1.00;;;;;;\r\n");
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    ASSERT_TRUE(tresimport::OpenSurvey(doc, (dir / "hand.tsd").string()));
    EXPECT_EQ(doc.m_qm[1], "QWERTZUIOP");
    EXPECT_EQ(doc.m_qm[5], "Bezugselektrode Cu/CuSO4 E-27");
    EXPECT_EQ(doc.m_qm[6], "Kal. \xEF\xEF\xEF\xEF");
    EXPECT_EQ(doc.m_qm[7], "1.2.26");

    ASSERT_TRUE(doc.OnSaveDocument((dir / "a.tsd").string()));
    EXPECT_TRUE(host.messages.empty());
    const std::string saved = ReadFile(dir / "a.tsd");
    EXPECT_NE(saved.find("\r\n" + line + "\r\n"), std::string::npos);
    // Read again and saved again: the same bytes.
    CTreDoc back;
    ASSERT_TRUE(tresimport::OpenSurvey(back, (dir / "a.tsd").string()));
    EXPECT_EQ(back.m_qm, doc.m_qm);
    ASSERT_TRUE(back.OnSaveDocument((dir / "b.tsd").string()));
    EXPECT_EQ(ReadFile(dir / "b.tsd"), saved);
}

TEST(RoundTrip, EdgeValues)
{
    CTreDoc doc;
    MakeRows(doc, {0, 1, 2, 3});
    doc.SetPotOn(1, -855);  // written -0.86, read -860
    doc.SetPotOff(1, -850); // exact
    doc.SetGradOnL(1, 125); // written 12, read 120
    doc.SetComment(2, "Peter's Hof; Nord");
    CTreDoc back;
    ASSERT_TRUE(ReadText(back, CTsdWriter(doc).BuildText("01.02.26", "")));
    ASSERT_EQ(back.GetRowCount(), 4);
    EXPECT_EQ(back.GetPotOn(1), -860);
    EXPECT_EQ(back.GetPotOff(1), -850);
    EXPECT_EQ(back.GetGradOnL(1), 120);
    EXPECT_EQ(back.GetComment(2), "Peter's Hof");
    CMeasRow empty;
    empty.m_nMeter = 3;
    EXPECT_EQ(*back.GetRow(4), empty);
}

TEST(RoundTrip, ValuesFarBeyondAnyRealPotentialStayPresentAndSettle)
{
    // Single-precision volts would move such values on every save, and the
    // very edge of the range used to come back absent.
    CTreDoc doc;
    MakeRows(doc, {1, 2});
    doc.SetPotOn(1, std::numeric_limits<int32_t>::min());
    doc.SetPotOff(1, std::numeric_limits<int32_t>::max());
    doc.SetPotOn(2, -2147452600);
    doc.SetPotOff(2, 16777300);
    doc.m_limits[POTA] = -999990850;
    doc.m_limits[POTA + 12] = -850;
    doc.m_limits[UEIN] = 50000000; // tenths: 5,000,000 mV
    doc.m_limits[UEIN + 12] = 10;
    CTreDoc once, twice;
    ASSERT_TRUE(ReadText(once, CTsdWriter(doc).BuildText("01.02.26", "")));
    ASSERT_TRUE(ReadText(twice, CTsdWriter(once).BuildText("01.02.26", "")));
    EXPECT_EQ(once.GetPotOn(1), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(once.GetPotOff(1), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(once.GetPotOn(2), -2147452600);
    EXPECT_EQ(once.GetPotOff(2), 16777300);
    EXPECT_EQ(once.m_limits[POTA], -999990850);
    EXPECT_EQ(once.m_limits[UEIN], 50000000);
    for (int r = 1; r <= 2; ++r) EXPECT_TRUE(*twice.GetRow(r) == *once.GetRow(r)) << r;
    EXPECT_EQ(twice.m_limits, once.m_limits);
}

TEST(RoundTrip, WriteReadWriteGivesTheSameBytes)
{
    CTempDir dir;
    CTreDoc doc;
    SampleDocument(doc);
    doc.m_qm[2] = "Logato 12";
    doc.m_qm[3] = "SN 0815";
    doc.m_bTabArial = false;
    doc.m_bTabHeadNumber = false;
    doc.m_bPlotIR = false;
    doc.m_header[6] = "130"; // as any read leaves it
    ASSERT_TRUE(doc.OnSaveDocument((dir / "a.tsd").string()));
    CTreDoc second;
    ASSERT_TRUE(tresimport::OpenSurvey(second, (dir / "a.tsd").string()));
    EXPECT_EQ(second.m_qm[2], "Logato 12");
    EXPECT_EQ(second.m_qm[8], "TS 3.018");
    ASSERT_TRUE(second.OnSaveDocument((dir / "b.tsd").string()));

    // Only the QM line (random filler, sum) may differ.
    auto withoutQm = [](const std::string& s) {
        std::vector<std::string> lines;
        size_t pos = 0, nl;
        while ((nl = s.find("\r\n", pos)) != std::string::npos) {
            lines.push_back(s.substr(pos, nl - pos));
            pos = nl + 2;
        }
        lines.push_back(s.substr(pos));
        lines.at(13) = "<QM>"; // line 14 of the file
        return lines;
    };
    EXPECT_EQ(withoutQm(ReadFile(dir / "a.tsd")), withoutQm(ReadFile(dir / "b.tsd")));
}

TEST(Saving, SetsPathClearsModifiedAndUsesTheHeaderBar)
{
    CTempDir dir;
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    MakeRows(doc, {1});
    doc.SetModifiedFlag();
    host.barName = "aus der Kopfleiste";
    const std::string path = (dir / "s.tsd").string();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(host.headerToDoc, 1);
    EXPECT_EQ(host.statusTexts.front(), "Test");
    EXPECT_EQ(host.statusTexts.back(), "");
    CTreDoc back;
    ASSERT_TRUE(tresimport::OpenSurvey(back, path));
    EXPECT_EQ(back.m_header[3], "aus der Kopfleiste");
    std::regex date(R"(\d\d\.\d\d\.\d\d)");
    EXPECT_TRUE(std::regex_match(back.m_qm[7], date)) << back.m_qm[7];
}

TEST(Saving, FailureKeepsThePreviousFile)
{
    CTempDir dir;
    const auto path = dir / "keep.tsd";
    WriteFile(path, "alter Inhalt");
    chmod(dir.Path().c_str(), 0500);
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    MakeRows(doc, {1});
    doc.SetModifiedFlag();
    {
        CUserRights user; // root would write into the read-only folder
        ASSERT_EQ(user.Error(), "");
        EXPECT_FALSE(doc.OnSaveDocument(path.string()));
    }
    chmod(dir.Path().c_str(), 0700);
    EXPECT_EQ(ReadFile(path), "alter Inhalt");
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("Zugriff verweigert"), std::string::npos);
}

TEST(Saving, FailureHalfwayKeepsThePreviousFile)
{
    // A file size limit makes the write fail after some bytes, as a full
    // disk would; it works for root too.
    CTempDir dir;
    const auto path = dir / "keep.tsd";
    WriteFile(path, "alter Inhalt");
    // A short survey fails on its one write, a long one (written out in
    // pieces as it is built) after some pieces went through.
    for (size_t rows : {200, 40'000}) {
        CTreDoc doc;
        CRecordingHost host;
        doc.SetHost(&host);
        MakeRows(doc, std::vector<int32_t>(rows, 1));
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = rows == 200 ? 512 : 200'000;
        auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const bool saved = doc.OnSaveDocument(path.string());
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(saved) << rows;
        EXPECT_EQ(ReadFile(path), "alter Inhalt");
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_NE(host.messages[0].find("zu groß"), std::string::npos) << host.messages[0];
        size_t files = 0;
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
        EXPECT_EQ(files, 1u); // no temporary file left behind
    }
}

// The file a save writes is, byte for byte, the text BuildText gives, also
// when it is written out in many pieces.
TEST(Saving, TheFileIsTheBuiltTextAlsoInPieces)
{
    CTempDir dir;
    CTreDoc doc;
    std::vector<int32_t> metres;
    for (int32_t m = 0; m < 30'000; ++m) metres.push_back(m);
    MakeRows(doc, metres);
    for (int r = 1; r <= doc.GetRowCount(); r += 7) {
        doc.SetPotOn(r, -1000 - r);
        doc.SetComment(r, "Grüße " + std::string(static_cast<size_t>(r % 50), 'x'));
    }
    ASSERT_TRUE(doc.OnSaveDocument((dir / "a.tsd").string()));
    const std::string file = ReadFile(dir / "a.tsd");
    ASSERT_GT(file.size(), 300'000u);
    // The saved QM line (its filler is drawn per save) is what BuildText puts in line 14.
    size_t qmStart = 0;
    for (int line = 1; line < 14; ++line) qmStart = file.find("\r\n", qmStart) + 2;
    const size_t qmEnd = file.find("\r\n", qmStart);
    const std::string qm = file.substr(qmStart, qmEnd - qmStart);
    EXPECT_EQ(file, CTsdWriter(doc).BuildText(doc.m_qm[7], qm));
}

TEST(Saving, FailureIntoAMissingFolderSaysSo)
{
    CTempDir dir;
    CTreDoc doc;
    CRecordingHost host;
    doc.SetHost(&host);
    MakeRows(doc, {1});
    EXPECT_FALSE(doc.OnSaveDocument((dir / "gibt-es-nicht" / "x.tsd").string()));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("nicht gespeichert"), std::string::npos);
    // nothing left behind
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(Saving, ReplacesAnExistingFileAndKeepsItsMode)
{
    CTempDir dir;
    const auto path = dir / "m.tsd";
    WriteFile(path, "alt");
    chmod(path.c_str(), 0640);
    CTreDoc doc;
    MakeRows(doc, {5});
    ASSERT_TRUE(doc.OnSaveDocument(path.string()));
    struct stat st { };
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_NE(ReadFile(path).find("5;;;;;;;"), std::string::npos);
    size_t files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, 1u);
}

TEST(CodePage, UmlautsAndUnmappableCharacters)
{
    CTreDoc doc;
    MakeRows(doc, {1});
    doc.SetComment(1, "ÄÖÜäöüß µ € ✓");
    CTreDoc back;
    ASSERT_TRUE(ReadText(back, CTsdWriter(doc).BuildText("01.02.26", "")));
    EXPECT_EQ(back.GetComment(1), "ÄÖÜäöüß µ EUR ?");
}

namespace {

// A whole text through one iconv call, for texts iconv takes without error.
std::string Iconv(const char* to, const char* from, const std::string& in)
{
    iconv_t cd = iconv_open(to, from);
    std::string out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    char* dst = out.data();
    size_t srcLeft = in.size(), dstLeft = out.size();
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return "(iconv failed)";
    out.resize(out.size() - dstLeft);
    return out;
}

} // namespace

TEST(CodePage, EveryByteAsIconvConvertsIt)
{
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = tresdoc::Cp850ToUtf8(all);
    EXPECT_EQ(utf8, Iconv("UTF-8", "CP850", all));
    EXPECT_EQ(tresdoc::Utf8ToCp850(utf8), all);
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(tresdoc::Cp850ToUtf8(one), Iconv("UTF-8", "CP850", one)) << b;
    }
    EXPECT_EQ(tresdoc::Cp850ToUtf8("Gr\x81\xe1"
                                   "e \xcd\xbb"),
              "Grüße ═╗");
    EXPECT_EQ(tresdoc::Utf8ToCp850("Grüße ═╗"), "Gr\x81\xe1"
                                                "e \xcd\xbb");
}

TEST(CodePage, WhatCp850LacksIsTransliteratedOrReplaced)
{
    EXPECT_EQ(tresdoc::Utf8ToCp850("5 € für ✓"), "5 EUR f\x81r ?");
    EXPECT_EQ(tresdoc::Utf8ToCp850("Rohr 😀 Ende"), "Rohr ? Ende");
    // Broken UTF-8: each bad start byte becomes "?", its stray tail is dropped.
    EXPECT_EQ(tresdoc::Utf8ToCp850("a\xC3(b"), "a?(b");
    EXPECT_EQ(tresdoc::Utf8ToCp850("\xC0\xAFx"), "?x");     // overlong "/"
    EXPECT_EQ(tresdoc::Utf8ToCp850("\xED\xA0\x80y"), "?y"); // a surrogate
    EXPECT_EQ(tresdoc::Utf8ToCp850("\xE0\x80\xAFz"), "?z"); // overlong, three bytes
    EXPECT_EQ(tresdoc::Utf8ToCp850("\x80\x80ä"), "?\x84");  // no start byte at all
    EXPECT_EQ(tresdoc::Utf8ToCp850("ü\xC3"), "\x81?");      // cut short at the end
}
