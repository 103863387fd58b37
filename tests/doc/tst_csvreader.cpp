// SPDX-License-Identifier: GPL-3.0-or-later
// Other loggers' exports: the built-in maps, the station notations, units
// and roundings, the file's text forms, and bad lines refused or skipped by
// name. Through the tool: the same survey read from its .tsd and from an
// export gives the same verdict, and an import says what a .tsd drops.
#include "columnmap.h"
#include "csvpreview.h"
#include "csvreader.h"
#include "docfixture.h"
#include "surveyimage.h"
#include "surveyopen.h"

#include <gtest/gtest.h>

namespace {

using namespace tresimport;

struct SRead {
    CReadOutcome outcome;
    CSurveyImage image;
    std::vector<std::string> messages;
};

SRead Read(const std::string& text, std::optional<CColumnMap> map = std::nullopt, bool skipBad = false)
{
    CRecordingHost host;
    SRead r{CReadOutcome::Done(), {}, {}};
    r.outcome = CCsvReader({std::move(map), skipBad, {}}).Read(text, "f.csv", host, r.image);
    r.messages = host.messages;
    return r;
}

CColumnMap Map(const std::string& json)
{
    std::string error;
    const auto map = ParseColumnMap(json, error);
    EXPECT_TRUE(map) << error;
    return map.value_or(CColumnMap{});
}

} // namespace

TEST(CsvReader, BuiltInMapsFromTheHeaderLine)
{
    // German generic layout in volts, stations as km+m, decimal commas.
    SRead de = Read("Station;Ein;Aus;Kommentar\r\n12+345,6;-0,8555;-0,7;Schieber\r\n12+346,0;;-0,9;\r\n");
    ASSERT_TRUE(de.outcome.Ok()) << de.outcome.text;
    ASSERT_EQ(de.image.rows.size(), 2u);
    EXPECT_EQ(de.image.rows[0].m_nMeter, 12346);
    EXPECT_EQ(de.image.rows[0].m_nPotOn, -856); // half away from zero
    EXPECT_EQ(de.image.rows[0].m_nPotOff, -700);
    EXPECT_EQ(de.image.rows[1].m_nPotOn, NO_VALUE); // empty is absent, never 0
    EXPECT_EQ(std::string(de.image.rows[0].m_strComment.View()), "Schieber");
    EXPECT_DOUBLE_EQ(de.image.extras.rows[0].chainage, 12345.6);
    EXPECT_EQ(de.messages, std::vector<std::string>{"1 Station auf ganze Meter gerundet, um 0,4 m."});

    // The survey managers' titles in millivolts, with GPS and a quoted comment.
    SRead en = Read("Station Number,CIS On,CIS Off,Remarks,Lat,Lon,PDOP,Interpolated\n"
                    "10,-950,-850,\"Valve, \"\"north\"\"\",47.5,7.25,5.1,1\n11,-951,-851,,,,,0\n");
    ASSERT_TRUE(en.outcome.Ok()) << en.outcome.text;
    EXPECT_EQ(en.image.rows[0].m_nPotOn, -950);
    EXPECT_EQ(std::string(en.image.rows[0].m_strComment.View()), "Valve, \"north\"");
    const CRowExtra& gps = en.image.extras.rows[0];
    EXPECT_EQ(gps.lat, 47.5);
    EXPECT_EQ(gps.lon, 7.25);
    EXPECT_EQ(gps.pdop, 5.1);
    EXPECT_TRUE(gps.interpolated);
    EXPECT_FALSE(en.image.extras.rows[1].HasPosition());
    EXPECT_TRUE(en.messages.empty());

    // English generic titles, tab separated, 100-foot stations.
    SRead ft = Read("Distance\tOn\tOff\n10712+32\t-1200\t-1000\n");
    ASSERT_TRUE(ft.outcome.Ok()) << ft.outcome.text;
    EXPECT_EQ(ft.image.rows[0].m_nMeter, 326512); // 1071232 ft = 326511.5136 m

    // A header line no map knows is no such file.
    EXPECT_FALSE(Read("Zeit;Wert\n1;2\n").outcome.Ok());
}

TEST(CsvReader, MapsSetNotationUnitsAndHeader)
{
    const CColumnMap feet = Map(R"({"separator":";","skip":1,"station":"ft","potentialUnit":"mV",
        "gradientUnit":"V","columns":{"station":1,"off":"Off","gradOnL":3},
        "pipeline":"DN 300","criterion":"-850 mV","date":"01.02.2025","number":"7"})");
    SRead r = Read("Logger 4711\nFt;Off;G\n100;-0,5;0,00055\n-2,5;-9;-0,00005\n", feet);
    ASSERT_TRUE(r.outcome.Ok()) << r.outcome.text;
    EXPECT_EQ(r.image.rows[0].m_nMeter, 30);   // 30.48 m
    EXPECT_EQ(r.image.rows[1].m_nMeter, -1);   // -0.762 m
    EXPECT_EQ(r.image.rows[0].m_nPotOff, -1);  // mV as the map says, though small
    EXPECT_EQ(r.image.rows[0].m_nGradOnL, 6);  // 0.55 mV to tenths, half away
    EXPECT_EQ(r.image.rows[1].m_nGradOnL, -1); // -0.05 mV
    EXPECT_EQ(r.image.header[1], "01.02.2025");
    EXPECT_EQ(r.image.header[2], "-850 mV");
    EXPECT_EQ(r.image.header[3], "DN 300");
    EXPECT_EQ(r.image.header[4], "7");
    EXPECT_EQ(r.messages, std::vector<std::string>{"2 Stationen auf ganze Meter gerundet, höchstens um 0,48 m."});

    // Automatic unit: volts when the median |off| is below 10, else mV.
    EXPECT_EQ(Read("Meter;Aus\n1;-9,5\n2;-850\n3;-0,9\n").image.rows[1].m_nPotOff, -850000);
    EXPECT_EQ(Read("Meter;Aus\n1;-10\n2;-850\n3;-0,9\n").image.rows[1].m_nPotOff, -850);

    // What the map JSON says, read back the same; wrong maps in German.
    std::string error;
    const auto back = ParseColumnMap(ColumnMapJson(feet), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(ColumnMapJson(*back), ColumnMapJson(feet));
    EXPECT_FALSE(ParseColumnMap(R"({"columns":{"on":"Ein"}})", error));
    EXPECT_EQ(error, "Spaltenzuordnung: „station“ und „on“ oder „off“ sind nötig.");
    EXPECT_FALSE(ParseColumnMap(R"({"station":"yd","columns":{"station":1,"on":2}})", error));
    EXPECT_FALSE(ParseColumnMap(R"({"columns":{"station":1,"ein":2}})", error));
    EXPECT_EQ(error, "Spaltenzuordnung: unbekannte Spalte „ein“.");
}

TEST(CsvReader, BadLinesRefusedOrSkippedByName)
{
    const std::string text = "Station Number;CIS On;CIS Off\n1;-850;-800\n\n2;-850;-0,8a\n3;-850\n4;-850;-790\n";
    const SRead refused = Read(text);
    EXPECT_FALSE(refused.outcome.Ok());
    EXPECT_EQ(refused.outcome.text, "f.csv: Zeile 4, Spalte „CIS Off“: „-0,8a“ ist keine Zahl");
    EXPECT_EQ(Read("Station;Ein;Aus\n1;-850\n").outcome.text, "f.csv: Zeile 2: 2 Zellen statt 3");
    EXPECT_EQ(Read("Station;Ein;Aus\n1;-850;-800;-1\n").outcome.text, "f.csv: Zeile 2: 4 Zellen statt 3");

    const SRead skipped = Read(text, std::nullopt, true);
    ASSERT_TRUE(skipped.outcome.Ok());
    ASSERT_EQ(skipped.image.rows.size(), 2u);
    EXPECT_EQ(skipped.image.rows[1].m_nMeter, 4);
    const std::vector<std::string> notes{"Zeile 4 übersprungen: Spalte „CIS Off“: „-0,8a“ ist keine Zahl.",
                                         "Zeile 5 übersprungen: 2 Zellen statt 3."};
    EXPECT_EQ(skipped.image.extras.notes, notes);
    ASSERT_EQ(skipped.messages.size(), 1u); // one message for all, not one box per line
}

TEST(CsvReader, RememberedMapsByTheirHeaderLine)
{
    // The user's map for a layout no built-in map knows, two note lines first.
    CCsvOptions options;
    options.remembered.push_back(
        {"Pos;U1;U2", Map(R"({"skip":2,"columns":{"station":"Pos","off":"U1","on":"U2"}})"), true});
    auto read = [&](const std::string& text) {
        CRecordingHost host;
        CSurveyImage image;
        const CReadOutcome outcome = CCsvReader(options).Read(text, "f.csv", host, image);
        return std::pair{outcome, image};
    };
    // Other notes above the same header line: still that layout, with the
    // skipping of bad lines chosen with it.
    EXPECT_FALSE(read("Gerät 2\nTrupp B\n pos ; u1;u2\n1;-0,8;-0,9\n").first.Ok()) << "the header line as written";
    const auto [same, rows] = read("Gerät 2\nTrupp B\nPos;U1;U2\r\n1;-0,8;-0,9\n2;x;-0,9\n3;-0,81;-0,91\n");
    ASSERT_TRUE(same.Ok()) << same.text;
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[1].m_nPotOff, -810);
    EXPECT_EQ(rows.rows[1].m_nPotOn, -910);
    EXPECT_EQ(rows.extras.notes, std::vector<std::string>{"Zeile 5 übersprungen: Spalte „U1“: „x“ ist keine Zahl."});

    // A remembered map comes before a built-in one for its header line; a
    // map given (the tool's --map) before both.
    options.remembered.insert(options.remembered.begin(),
                              {"Station;Ein;Aus", Map(R"({"columns":{"station":1,"on":3,"off":2}})"), false});
    EXPECT_EQ(read("Station;Ein;Aus\n1;-900;-800\n").second.rows[0].m_nPotOn, -800);
    options.map = Map(R"({"columns":{"station":1,"on":2,"off":3}})");
    EXPECT_EQ(read("Station;Ein;Aus\n1;-900;-800\n").second.rows[0].m_nPotOn, -900);
    EXPECT_FALSE(read("Gerät 2\nTrupp B\nPos;U1;U2\r\n1;-0,8;-0,9\n").first.Ok());

    // What the import dialog shows: notes as one cell, a quoted cell over
    // two lines counted as two.
    const SCsvPreview p = PreviewText("Gerät 2; Trupp B\nPos;Bem\n1;\"a\nb\"\n2;c\n3;d\n", 1, 0, 4);
    ASSERT_EQ(p.lines.size(), 4u);
    EXPECT_EQ(p.lines[0], std::vector<std::string>{"Gerät 2; Trupp B"});
    EXPECT_EQ(p.headerIndex, 1u);
    EXPECT_EQ(p.lines[2], (std::vector<std::string>{"1", "a\nb"}));
    EXPECT_EQ(p.lineNumbers, (std::vector<int>{1, 2, 3, 5}));
}

TEST(CsvReader, TextFormsAndRefusals)
{
    const std::string utf8 = "Station;Ein;Kommentar\r\n5;-0,9;\"Bachdüker; Nord\r\nUfer\"\r\n";
    const SRead bom = Read("\xEF\xBB\xBF" + utf8);
    ASSERT_TRUE(bom.outcome.Ok()) << bom.outcome.text;
    EXPECT_EQ(std::string(bom.image.rows[0].m_strComment.View()), "Bachdüker; Nord\r\nUfer");

    std::string utf16 = "\xFF\xFE";
    for (unsigned char c : std::string("Station;Ein\r\n7;-0,9\r\n")) utf16 += {static_cast<char>(c), '\0'};
    const SRead wide = Read(utf16);
    ASSERT_TRUE(wide.outcome.Ok()) << wide.outcome.text;
    EXPECT_EQ(wide.image.rows[0].m_nMeter, 7);
    EXPECT_EQ(wide.image.rows[0].m_nPotOn, -900);

    // Windows-1252 as some exports still write it.
    EXPECT_EQ(std::string(Read("Station;Ein;Kommentar\n1;-900;Br\xFC"
                               "cke\n")
                              .image.rows[0]
                              .m_strComment.View()),
              "Brücke");

    // Not text: refused by name, and the document stays as it was.
    CTempDir dir;
    WriteFile(dir / "bild.csv", std::string("Station;Ein\n\x01\x02\0\x7f", 15));
    CRecordingHost host;
    CTreDoc doc;
    doc.SetHost(&host);
    SetCsvOptions({Map(R"({"columns":{"station":1,"on":2}})"), false, {}});
    EXPECT_FALSE(OpenSurvey(doc, (dir / "bild.csv").string()));
    SetCsvOptions({});
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Die Datei " + (dir / "bild.csv").string()
                                    + " ist keine Textdatei. Sie wurde nicht "
                                      "geöffnet.");
    doc.SetHost(nullptr);
}

TEST(CsvTool, ExportGivesTheVerdictOfItsSurvey)
{
    CTempDir dir;
    const std::string samples = TRES_SAMPLES_DIR;
    WriteFile(dir / "map.json", R"({"columns":{"station":"Station","on":"Ein","off":"Aus","gradOnL":"Grad Ein L",
        "gradOffL":"Grad Aus L","gradOnR":"Grad Ein R","gradOffR":"Grad Aus R","comment":"Kommentar"},
        "criterion":"-850 mV"})");
    const SToolRun tsd = RunTool("assess --json " + samples + "/demo.tsd");
    const SToolRun csv = RunTool("assess --json --map " + ShellQuoted(dir / "map.json") + " " + samples
                                 + "/import/deutsch-volt-kmm.csv");
    ASSERT_EQ(tsd.status, 0);
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out, tsd.out);

    const SToolRun detect = RunTool("import --detect " + samples + "/import/survey-manager-gps.csv");
    EXPECT_EQ(detect.status, 0);
    EXPECT_NE(detect.out.find("\"lat\": \"Lat\""), std::string::npos);
    const std::string err = ShellQuoted(dir / "err.txt");
    const SToolRun saved = RunTool("import " + samples + "/import/survey-manager-gps.csv -o "
                                   + ShellQuoted(dir / "out.tsd") + " 2>" + err + "; r=$?; cat " + err + "; exit $r");
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out, "tresmon-tool: GPS-Positionen nicht gespeichert.\n");
    EXPECT_EQ(RunTool("dump " + ShellQuoted(dir / "out.tsd")).status, 0);
    EXPECT_EQ(RunTool("dump --map " + ShellQuoted(dir / "missing.json") + " " + samples + "/demo.tsd").status, 2);
}

// The file's positions stay with their rows through a delete, a reverse and
// their undo; a row inserted since has none, and an edited metre drops the
// unrounded station that no longer describes it.
TEST(CsvReader, ExtrasFollowTheirRowsThroughEdits)
{
    CTreDoc doc;
    ASSERT_TRUE(tresimport::ReadText(doc, "Station;Ein;Aus;Lat;Lon\n0,2;-1200;-950;48,0;9,0\n"
                                          "1,2;-1200;-950;48,1;9,1\n2,2;-1200;-950;48,2;9,2\n"));
    ASSERT_NE(doc.RowExtra(2), nullptr);
    EXPECT_DOUBLE_EQ(doc.RowExtra(2)->lat, 48.1);
    doc.DeleteRows(1, 1);
    EXPECT_DOUBLE_EQ(doc.RowExtra(1)->lat, 48.1);
    doc.ReverseMeasurement();
    EXPECT_DOUBLE_EQ(doc.RowExtra(1)->lat, 48.2);
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_DOUBLE_EQ(doc.RowExtra(1)->lat, 48.0);
    doc.InsertRowAfter(1);
    EXPECT_EQ(doc.RowExtra(2), nullptr);
    EXPECT_DOUBLE_EQ(doc.RowExtra(3)->lat, 48.1);
    EXPECT_TRUE(StationIsTheRows(*doc.RowExtra(3), doc.GetMeter(3)));
    EXPECT_FALSE(StationIsTheRows(*doc.RowExtra(3), 7));
}
