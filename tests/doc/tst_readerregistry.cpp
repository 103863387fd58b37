// SPDX-License-Identifier: GPL-3.0-or-later
// The readers' registry: which reader a file goes to, by what it holds
// before what it is called, the file dialogs' filters, and a file no reader
// knows refused in German with the document left as it was.
#include "docfixture.h"
#include "readerregistry.h"
#include "surveyimage.h"
#include "surveyopen.h"
#include "tsdreader.h"

#include <gtest/gtest.h>

namespace {

using namespace tresimport;

// A second format, known by its ending only: stands in for another
// logger's files.
class CCsvStandIn : public CSurveyReader {
public:
    const CFileFilter& Filter() const override
    {
        static const CFileFilter f{"Logger-Dateien", {"*.csv", "*.txt"}};
        return f;
    }
    EMatch Identify(std::string_view, std::string_view name) const override
    {
        return name.ends_with(".csv") ? EMatch::Name : EMatch::No;
    }
    CReadOutcome Read(std::string_view, const std::string&, CDocHost&, CSurveyImage& image) const override
    {
        image.rows.assign(1, CMeasRow{});
        image.rows[0].m_nMeter = 777;
        return CReadOutcome::Done();
    }
};

const char kSurvey[] = "[Kopfdaten]\r\n\r\nA\r\n[Messdaten]\r\n10;-1,10;-0,95;;;;;\r\n";
// The older layout: ten header lines, then data, no section to know it by.
const char kOlder[] = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n20;-1,20;-1,00;;;;;\r\n";

} // namespace

TEST(ReaderRegistry, ContentBeforeNameThenName)
{
    CTempDir dir;
    CReaderRegistry registry;
    registry.Add(std::make_unique<CTsdReader>());
    registry.Add(std::make_unique<CCsvStandIn>());
    WriteFile(dir / "saved.csv", kSurvey); // a survey under a wrong ending
    WriteFile(dir / "OLD.TSD", kOlder);
    WriteFile(dir / "logger.csv", "Zeit,Wert\n");

    CTreDoc doc;
    ASSERT_TRUE(OpenSurvey(doc, (dir / "saved.csv").string(), registry));
    EXPECT_EQ(doc.GetMeter(1), 10);
    ASSERT_TRUE(OpenSurvey(doc, (dir / "OLD.TSD").string(), registry));
    EXPECT_EQ(doc.GetMeter(1), 20);
    ASSERT_TRUE(OpenSurvey(doc, (dir / "logger.csv").string(), registry));
    EXPECT_EQ(doc.GetMeter(1), 777);
    EXPECT_EQ(doc.GetPathName(), (dir / "logger.csv").string());
}

TEST(ReaderRegistry, FiltersForTheFileDialogs)
{
    const auto program = CReaderRegistry::Program().Filters();
    ASSERT_EQ(program.size(), 2u);
    EXPECT_EQ(FilterText(program[0]), "Tresmon Dateien (*.tsd)");
    EXPECT_EQ(FilterText(program[1]), "CSV- und Textexporte (*.csv *.txt)");
    CReaderRegistry two;
    two.Add(std::make_unique<CTsdReader>());
    two.Add(std::make_unique<CCsvStandIn>());
    ASSERT_EQ(two.Filters().size(), 2u);
    EXPECT_EQ(FilterText(two.Filters()[1]), "Logger-Dateien (*.csv *.txt)");
}

TEST(ReaderRegistry, UnknownFileRefusedInGerman)
{
    CTempDir dir;
    const std::string notes = (dir / "notizen.txt").string();
    WriteFile(notes, "Begehung am Montag, Messwagen defekt.\n");
    CRecordingHost host;
    CTreDoc doc;
    doc.SetHost(&host);
    ASSERT_TRUE(tresimport::ReadText(doc, kSurvey));
    doc.m_bAppend = true;
    EXPECT_FALSE(OpenSurvey(doc, notes));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Die Datei " + notes
                                    + " hat kein bekanntes Format (bekannt: Tresmon Dateien (*.tsd), CSV- und "
                                      "Textexporte (*.csv *.txt)). Sie wurde nicht geöffnet.");
    EXPECT_FALSE(doc.m_bAppend);
    EXPECT_EQ(doc.GetRowCount(), 1);
    EXPECT_EQ(doc.GetMeter(1), 10);
    doc.SetHost(nullptr);
}
