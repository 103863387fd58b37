// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of every edit: random edit sequences taken back and done
// again must give the saved file byte for byte, and the history's limits and
// the modified mark hold over a session.
#include "docfields.h"
#include "docfixture.h"
#include "surveyopen.h"
#include "tsdfile.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// A fixed save date and QM filler: the only bytes of a save that differ
// between two saves of the same survey.
std::string Saved(CTreDoc& doc) { return CTsdWriter(doc).BuildText("01.02.26", "<QM>"); }

class CSurveyDice {
public:
    explicit CSurveyDice(uint32_t seed)
        : m_rng(seed)
    { }
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool Chance(int percent) { return Int(1, 100) <= percent; }
    // Mostly survey-like values, some absent, some at the edges of 32 bits
    // so that adding a constant wraps.
    int32_t Value(int lo, int hi)
    {
        const int k = Int(0, 19);
        if (k == 0) return NO_VALUE;
        if (k == 1) return INT32_MAX - Int(0, 3);
        if (k == 2) return INT32_MIN + Int(0, 3);
        return Int(lo, hi);
    }
    std::string Text()
    {
        static const char* const kWords[] = {"", "Muffe", "Schieber", "Straße", "Kreuzung ÄÖÜ", "KKS; Mess"};
        return kWords[Int(0, 5)];
    }

private:
    std::mt19937 m_rng;
};

// Metres from a small range, so equal metres (and the exchange sort's
// order among them) are common. The survey is read in as a file, so the
// document starts with an empty history, as after Open.
void FillRandomSurvey(CTreDoc& target, CSurveyDice& dice)
{
    CTreDoc doc;
    doc.OnNewDocument();
    const int n = dice.Int(20, 60);
    for (int i = 1; i < n; ++i) doc.InsertRowAfter(i);
    for (int r = 1; r <= n; ++r) {
        doc.SetMeter(r, dice.Int(0, 80));
        doc.SetPotOn(r, dice.Value(-2000, -500));
        doc.SetPotOff(r, dice.Value(-1500, -400));
        doc.SetGradOnL(r, dice.Value(-500, 500));
        doc.SetGradOnR(r, dice.Chance(30) ? dice.Value(-500, 500) : NO_VALUE);
        doc.SetGradOffL(r, dice.Value(-500, 500));
        doc.SetGradOffR(r, dice.Value(-500, 500));
        doc.SetComment(r, dice.Text());
    }
    doc.m_header[1] = "03.04.25";
    doc.m_header[2] = "-850 mV";
    doc.m_header[3] = "Leitung Nord";
    doc.m_limits[POTA] = -1200;
    doc.m_limits[POTA + 12] = -850;
    ASSERT_TRUE(ReadText(target, Saved(doc)));
}

std::string AppendText(CSurveyDice& dice)
{
    std::vector<std::string> lines;
    const int n = dice.Int(1, 6);
    for (int i = 0; i < n; ++i)
        lines.push_back(std::to_string(dice.Int(0, 200)) + ";-1,05;-0,9" + std::to_string(i) + ";12;;;;Anhang");
    // The appended file brings limits and print settings of its own.
    return FileWithData(lines, "[Tabellendruck]\r\nIR;0\r\nQM;1\r\n\r\n[Grafikdruck]\r\nX;500\r\nYP;-1800;-300\r\n\r\n"
                               "[FehlerListe]\r\nPOTE;-1,50;-0,85\r\n");
}

// One random command of any kind, as the program's commands reach the document.
void RandomEdit(CTreDoc& doc, CSurveyDice& dice)
{
    const int n = doc.GetRowCount();
    const int r = dice.Int(1, std::max(1, n));
    switch (dice.Int(0, 14)) {
    case 0: doc.EditCell(r, static_cast<ERowValue>(dice.Int(0, 6)), dice.Value(-3000, 3000)); break;
    case 1: doc.EditComment(r, dice.Text()); break;
    case 2: doc.InsertRowAfter(dice.Int(0, n)); break;
    case 3:
        if (n > 1) doc.DeleteRows(r, dice.Int(1, std::min(5, n - 1)));
        break;
    case 4: doc.SortByMeter(); break;
    case 5: doc.ReverseMeasurement(); break;
    case 6:
        doc.AddConstant(static_cast<EAddQuantity>(dice.Int(0, 4)), dice.Int(0, 40), dice.Int(20, 90),
                        dice.Chance(10) ? INT32_MAX : dice.Int(-300, 300));
        break;
    case 7:
        doc.m_bAppend = true;
        ASSERT_TRUE(tresimport::ReadText(doc, AppendText(dice)));
        break;
    case 8:
        doc.ChangeFields(EStepKind::ErrorLimits, [&](CTreDoc& d) {
            const int k = dice.Int(0, LIMIT_COUNT - 1);
            d.m_limits[k] = dice.Value(-2000, 0);
            d.m_limits[k + 12] = dice.Value(-2000, 0);
        });
        break;
    case 9:
        doc.ChangeFields(
            EStepKind::Header, [&](CTreDoc& d) { d.m_header[dice.Int(1, 7)] += dice.Text(); }, dice.Int(0, 2));
        break;
    case 10:
        doc.ChangeFields(EStepKind::Criterion,
                         [&](CTreDoc& d) { d.m_header[2] = std::to_string(-dice.Int(6, 9) * 100 - 50) + " mV"; });
        break;
    case 11:
        doc.ChangeFields(EStepKind::TablePrint, [&](CTreDoc& d) {
            d.m_bTabIR = dice.Chance(50);
            d.m_bTabQM = dice.Chance(50);
            d.m_bTabHeadNumber = d.m_bPlotHeadNumber = dice.Chance(50);
            d.m_bTabErrList = dice.Chance(50);
        });
        break;
    case 12:
        doc.ChangeFields(EStepKind::GraphicPrint, [&](CTreDoc& d) {
            d.m_bPlotGradDiff = dice.Chance(50);
            d.m_nPlotScale = dice.Int(1, 4) * 500;
            d.m_nPotAxisMax = -dice.Int(15, 25) * 100;
            d.m_nPlotStart = dice.Value(0, 50);
        });
        break;
    case 13: doc.ChangeFields(EStepKind::TableOptions, [&](CTreDoc& d) { d.m_bTableLR = !d.m_bTableLR; }); break;
    case 14: {
        std::vector<int32_t> metres(static_cast<size_t>(n));
        for (int32_t& m : metres) m = dice.Value(0, 100);
        doc.SetMetres(metres);
        break;
    }
    }
}

} // namespace

TEST(UndoProperty, RandomEditSequencesComeBackByteForByte)
{
    for (uint32_t seed = 1; seed <= 1200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CTreDoc doc;
        CSurveyDice dice(seed);
        FillRandomSurvey(doc, dice);
        ASSERT_EQ(doc.History().UndoCount(), 0u);
        const std::string before = Saved(doc);
        const CDocFields fieldsBefore = CDocFields::Of(doc);

        const int k = dice.Int(1, 25);
        for (int i = 0; i < k; ++i) RandomEdit(doc, dice);
        ASSERT_LE(doc.History().UndoCount(), static_cast<size_t>(k));
        const std::string after = Saved(doc);
        const CDocFields fieldsAfter = CDocFields::Of(doc);
        const size_t steps = doc.History().UndoCount();

        size_t undone = 0;
        for (int i = 0; i < k; ++i) undone += doc.Undo() ? 1 : 0;
        ASSERT_EQ(undone, steps);
        ASSERT_EQ(Saved(doc), before);
        ASSERT_TRUE(CDocFields::Of(doc) == fieldsBefore);
        ASSERT_FALSE(doc.IsModified());

        for (int i = 0; i < k; ++i) doc.Redo();
        ASSERT_EQ(Saved(doc), after);
        ASSERT_TRUE(CDocFields::Of(doc) == fieldsAfter);
    }
}

TEST(UndoHistory, KeepsTheLastHundredSteps)
{
    CTreDoc doc;
    MakeRows(doc, {0});
    for (int i = 1; i <= 150; ++i) doc.EditCell(1, ERowValue::PotOn, -i);
    EXPECT_EQ(doc.History().UndoCount(), 100u);
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.Undo());
    // The fifty oldest edits are beyond reach; the saved state with them.
    EXPECT_EQ(doc.GetPotOn(1), -50);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.History().RedoCount(), 100u);
}

TEST(UndoHistory, NamesTheNextStepEachWay)
{
    CTreDoc doc;
    EXPECT_EQ(doc.UndoName(), "");
    EXPECT_EQ(doc.RedoName(), "");
    MakeRows(doc, {30, 10, 20});
    doc.SortByMeter();
    doc.EditComment(2, "Muffe");
    EXPECT_EQ(doc.UndoName(), "Zelle bearbeiten");
    doc.Undo();
    EXPECT_EQ(doc.UndoName(), "Sortieren");
    EXPECT_EQ(doc.RedoName(), "Zelle bearbeiten");
    doc.Undo();
    EXPECT_EQ(doc.UndoName(), "Zeilen einfügen");
    EXPECT_EQ(doc.RedoName(), "Sortieren");
}

TEST(UndoHistory, NewEditDropsWhatCouldBeRedone)
{
    CTreDoc doc;
    MakeRows(doc, {0, 10});
    doc.EditCell(1, ERowValue::PotOn, -900);
    doc.EditCell(2, ERowValue::PotOn, -950);
    doc.Undo();
    ASSERT_EQ(doc.History().RedoCount(), 1u);
    doc.InsertRowAfter(2);
    EXPECT_EQ(doc.History().RedoCount(), 0u);
    EXPECT_FALSE(doc.Redo());
    EXPECT_EQ(doc.GetPotOn(2), NO_VALUE);
}

TEST(UndoHistory, SettingsThatStayTheSameLeaveNoStep)
{
    CTreDoc doc;
    MakeRows(doc, {0, 10, 20});
    doc.m_header[5] = "0";
    doc.m_header[6] = "20";
    doc.SetModifiedFlag(false);
    const size_t steps = doc.History().UndoCount();
    doc.SortByMeter(); // in order, range as it was
    EXPECT_FALSE(doc.ChangeFields(EStepKind::Header, [](CTreDoc& d) { d.m_header[3] = d.m_header[3]; }));
    EXPECT_EQ(doc.History().UndoCount(), steps);
    EXPECT_FALSE(doc.IsModified());
}

TEST(UndoModifiedMark, SortInOrderSetsTheRangeWithoutMarking)
{
    CTreDoc doc;
    MakeRows(doc, {1, 2, 3});
    doc.m_header[5] = "x";
    doc.SortByMeter();
    EXPECT_EQ(doc.UndoName(), "Sortieren");
    EXPECT_FALSE(doc.IsModified());
    doc.Undo();
    EXPECT_EQ(doc.m_header[5], "x");
    EXPECT_FALSE(doc.IsModified());
}

TEST(UndoHistory, RestationIsOneStepThatKeepsRowsWithoutMetre)
{
    CTreDoc doc;
    MakeRows(doc, {0, 100, 200, 300});
    doc.SetMeter(3, NO_VALUE);
    const size_t steps = doc.History().UndoCount();
    EXPECT_FALSE(doc.SetMetres({5, 105})) << "one metre per row";
    EXPECT_FALSE(doc.SetMetres({0, 100, 250, 300})) << "nothing changes";
    EXPECT_EQ(doc.History().UndoCount(), steps);

    ASSERT_TRUE(doc.SetMetres({5, 105, 208, NO_VALUE}));
    EXPECT_EQ(doc.History().UndoCount(), steps + 1);
    EXPECT_EQ(doc.UndoName(), "Stationierung anpassen");
    EXPECT_EQ(doc.GetMeter(1), 5);
    EXPECT_EQ(doc.GetMeter(2), 105);
    EXPECT_EQ(doc.GetMeter(3), NO_VALUE);
    EXPECT_EQ(doc.GetMeter(4), 300);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.GetMeter(1), 0);
    EXPECT_EQ(doc.GetMeter(2), 100);
}

TEST(UndoHistory, NewAndOpenStartEmpty)
{
    CTreDoc doc;
    MakeRows(doc, {0, 10});
    doc.SortByMeter();
    doc.EditCell(1, ERowValue::PotOn, -900);
    ASSERT_GT(doc.History().UndoCount(), 0u);
    ASSERT_TRUE(ReadText(doc, FileWithData({"0;-1,00;-0,90;;;;;"})));
    EXPECT_EQ(doc.History().UndoCount(), 0u);
    EXPECT_FALSE(doc.IsModified());
    doc.EditCell(1, ERowValue::PotOn, -900);
    doc.OnNewDocument();
    EXPECT_EQ(doc.History().UndoCount(), 0u);
    EXPECT_FALSE(doc.Undo());
}

TEST(UndoModifiedMark, FollowsTheHistoryThroughSaveEditUndoRedo)
{
    CTempDir dir;
    CTreDoc doc;
    MakeRows(doc, {0, 10});
    const size_t base = doc.History().UndoCount();
    doc.EditCell(1, ERowValue::PotOn, -900);
    ASSERT_TRUE(doc.OnSaveDocument((dir / "a.tsd").string()));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.History().UndoCount(), base + 1) << "a save keeps the history";

    doc.EditCell(2, ERowValue::PotOn, -950);
    EXPECT_TRUE(doc.IsModified());
    doc.Undo();
    EXPECT_FALSE(doc.IsModified()) << "back where the save left it";
    doc.Undo();
    EXPECT_TRUE(doc.IsModified()) << "behind the save";
    doc.Redo();
    EXPECT_FALSE(doc.IsModified());
    doc.Redo();
    EXPECT_TRUE(doc.IsModified()) << "past the save";
}

TEST(UndoModifiedMark, SaveOnADiscardedBranchIsNeverReachedAgain)
{
    CTempDir dir;
    CTreDoc doc;
    MakeRows(doc, {0, 10});
    doc.EditCell(1, ERowValue::PotOn, -900);
    ASSERT_TRUE(doc.OnSaveDocument((dir / "a.tsd").string()));
    doc.Undo();
    doc.EditCell(2, ERowValue::PotOn, -950); // the saved edit can no longer be redone
    EXPECT_TRUE(doc.IsModified());
    doc.Undo();
    EXPECT_TRUE(doc.IsModified());
    doc.Redo();
    EXPECT_TRUE(doc.IsModified());
}

TEST(UndoModifiedMark, DisplayAndPrintSettingsDoNotMark)
{
    CTreDoc doc;
    MakeRows(doc, {0, 10});
    doc.ChangeFields(EStepKind::TableOptions, [](CTreDoc& d) { d.m_bTableLR = true; });
    EXPECT_EQ(doc.UndoName(), "Tabellenanzeige");
    doc.ChangeFields(EStepKind::GraphicPrint, [](CTreDoc& d) { d.m_nPlotScale = 500; });
    EXPECT_FALSE(doc.IsModified());
    doc.ChangeFields(EStepKind::ErrorLimits, [](CTreDoc& d) { d.m_limits[POTE] = d.m_limits[POTE + 12] = -900; });
    EXPECT_TRUE(doc.IsModified());
    doc.Undo();
    EXPECT_FALSE(doc.IsModified());
    doc.Undo();
    EXPECT_EQ(doc.m_nPlotScale, 1000);
    EXPECT_FALSE(doc.IsModified());
}

TEST(UndoModifiedMark, UnrecordedChangeKeepsTheMarkThroughUndo)
{
    CTreDoc doc;
    MakeRows(doc, {0, 10});
    doc.EditCell(1, ERowValue::PotOn, -900);
    doc.SetMeter(2, 20); // a raw store, then the caller's own mark
    doc.SetModifiedFlag(true);
    doc.Undo();
    EXPECT_TRUE(doc.IsModified());
}

TEST(UndoMerging, TypingIntoOneFieldIsOneStepUntilSaved)
{
    CTempDir dir;
    CTreDoc doc;
    MakeRows(doc, {0});
    const size_t base = doc.History().UndoCount();
    for (const char* text : {"N", "No", "Nor", "Nord"})
        doc.ChangeFields(
            EStepKind::Header, [&](CTreDoc& d) { d.m_header[3] = text; }, 3);
    EXPECT_EQ(doc.History().UndoCount(), base + 1);
    ASSERT_TRUE(doc.OnSaveDocument((dir / "a.tsd").string()));
    doc.ChangeFields(
        EStepKind::Header, [&](CTreDoc& d) { d.m_header[3] = "Nordost"; }, 3);
    EXPECT_EQ(doc.History().UndoCount(), base + 2) << "the save divides the typing";
    doc.Undo();
    EXPECT_EQ(doc.m_header[3], "Nord");
    EXPECT_FALSE(doc.IsModified());
    doc.Undo();
    EXPECT_EQ(doc.m_header[3], "");
}

TEST(UndoSteps, AppendTakesItsRowsAndSettingsBack)
{
    CTreDoc doc;
    ASSERT_TRUE(ReadText(doc, FileWithData({"0;-1,00;-0,90;;;;;", "10;-1,10;-0,95;;;;;"})));
    const std::string before = Saved(doc);
    doc.m_bAppend = true;
    ASSERT_TRUE(ReadText(doc, FileWithData({"20;-1,20;-1,00;;;;;"}, "[FehlerListe]\r\nPOTE;-1,50;-0,85\r\n")));
    EXPECT_EQ(doc.GetRowCount(), 3);
    EXPECT_EQ(doc.UndoName(), "Anhängen");
    EXPECT_TRUE(doc.IsModified());
    doc.Undo();
    EXPECT_EQ(doc.GetRowCount(), 2);
    EXPECT_EQ(doc.m_limits[POTE], NO_VALUE);
    EXPECT_EQ(Saved(doc), before);
    EXPECT_FALSE(doc.IsModified());
    doc.Redo();
    EXPECT_EQ(doc.GetMeter(3), 20);
    EXPECT_EQ(doc.m_limits[POTE], -1500);
}

TEST(UndoSteps, AddedConstantThatWrappedComesBackExactly)
{
    CTreDoc doc;
    MakeRows(doc, {0, 10});
    doc.SetPotOn(1, INT32_MAX - 1);
    doc.SetPotOn(2, -900);
    doc.SetModifiedFlag(false);
    doc.AddConstant(EAddQuantity::PotOn, 0, 10, 5);
    ASSERT_EQ(doc.GetPotOn(1), INT32_MIN + 3);
    doc.Undo();
    EXPECT_EQ(doc.GetPotOn(1), INT32_MAX - 1);
    EXPECT_EQ(doc.GetPotOn(2), -900);
}

TEST(UndoSteps, HostHearsOfEveryMoveAndRedraws)
{
    CRecordingHost host;
    CTreDoc doc;
    doc.SetHost(&host);
    MakeRows(doc, {10, 0});
    const int updates = host.updates, moves = host.historyChanges;
    doc.SortByMeter();
    doc.Undo();
    EXPECT_EQ(doc.GetMeter(1), 10);
    EXPECT_GE(host.updates, updates + 2);
    EXPECT_EQ(host.historyChanges, moves + 2);
    EXPECT_EQ(host.modifiedEvents.back(), false);
    doc.Redo();
    EXPECT_EQ(doc.GetMeter(1), 0);
    EXPECT_EQ(host.modifiedEvents.back(), true);
}
