// SPDX-License-Identifier: GPL-3.0-or-later
// The survey document: one close-interval potential survey with its header
// and QM data, the error-list limits and the settings of both printouts.
// Every pane, printout and dialog reads rows only through the accessors and
// text forms below. Rows are numbered from 1 everywhere; N = GetRowCount().
//
// Accessors take a row number 1 <= r <= N. Out of range they answer as for
// an absent value (NO_VALUE, empty text) instead of reading past the rows.
#pragma once

#include "dochost.h"
#include "errorlimits.h"
#include "measrow.h"
#include "rowextras.h"
#include "undohistory.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The quantities the add-constant operation can shift, named as its dialog
// names them.
enum class EAddQuantity { Meter, PotOn, PotOff, GradOn, GradOff };
const char* AddQuantityName(EAddQuantity q); // "Messmeter", "Potential Ein", ...
bool AddQuantityFromName(const std::string& name, EAddQuantity& q);

struct CSurveyImage;

class CTreDoc {
public:
    CTreDoc();
    ~CTreDoc();
    CTreDoc(const CTreDoc&) = delete;
    CTreDoc& operator=(const CTreDoc&) = delete;

    // The host that shows what the document asks for; nullptr detaches.
    void SetHost(CDocHost* host);
    CDocHost& Host() const { return *m_pHost; }

    // ---- lifecycle --------------------------------------------------------
    // New: one row with metre 0, header entries 1-19 empty, defaults, QM
    // entries kept, view counter 0, curve panes invalidated.
    void OnNewDocument();
    // A survey a reader found (the readers live above the document, see
    // import/surveyopen.h) in place of this one: header, QM data, rows, the
    // file's limits and switches over the defaults; an empty history.
    void Replace(CSurveyImage&& image);
    // Its rows behind row N, its limits and switches over the document's;
    // header and QM data stay. One undo step.
    void Append(CSurveyImage&& image);
    // What the file held beyond the rows (positions, unrounded stations, full
    // comments), by row as read; empty for a .tsd.
    const CSurveyExtras& Extras() const { return m_extras; }
    // What another logger's export knew of row r beyond the row; nullptr for
    // a row it did not bring (the handheld's files, rows inserted since).
    const CRowExtra* RowExtra(int r) const
    {
        const uint32_t source = IsValidRow(r) ? RowAt(r).m_nSource : 0;
        return source > 0 && source <= m_extras.rows.size() ? &m_extras.rows[source - 1] : nullptr;
    }
    // Save in the sectioned layout. The previous file survives any failure:
    // the text goes to a temporary file in the same folder first.
    bool OnSaveDocument(const std::string& path);
    // The defaults run by New and by every Open that is not an append.
    void ResetToDefaults();

    bool IsModified() const { return m_bModified; }
    // true: the document changed in a way the undo history does not record,
    // so no undo brings back the saved state; false: the document is as
    // saved now (the history remembers this position).
    void SetModifiedFlag(bool modified = true);
    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(const std::string& path);

    // All panes redraw from the document.
    void UpdateAllViews();
    // The two curve panes repaint, the table does not.
    void InvalidateCurveViews();
    // Numbers the curve panes at their first update: 1 for the first caller
    // after construction, New or a read.
    int NextViewNumber() { return ++m_nViewCounter; }

    // ---- rows -------------------------------------------------------------
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    bool IsValidRow(int r) const { return r >= 1 && r <= GetRowCount(); }

    int32_t GetMeter(int r) const { return IsValidRow(r) ? RowAt(r).m_nMeter : NO_VALUE; }
    int32_t GetPotOn(int r) const { return IsValidRow(r) ? RowAt(r).m_nPotOn : NO_VALUE; }
    int32_t GetPotOff(int r) const { return IsValidRow(r) ? RowAt(r).m_nPotOff : NO_VALUE; }
    int32_t GetGradOnL(int r) const { return IsValidRow(r) ? RowAt(r).m_nGradOnL : NO_VALUE; }
    int32_t GetGradOnR(int r) const { return IsValidRow(r) ? RowAt(r).m_nGradOnR : NO_VALUE; }
    int32_t GetGradOffL(int r) const { return IsValidRow(r) ? RowAt(r).m_nGradOffL : NO_VALUE; }
    int32_t GetGradOffR(int r) const { return IsValidRow(r) ? RowAt(r).m_nGradOffR : NO_VALUE; }
    std::string GetComment(int r) const { return IsValidRow(r) ? RowAt(r).m_strComment.Str() : std::string(); }
    // Without copying the text: panes ask this for every row they show.
    bool HasComment(int r) const { return IsValidRow(r) && !RowAt(r).m_strComment.empty(); }
    const CMeasRow* GetRow(int r) const { return IsValidRow(r) ? &RowAt(r) : nullptr; }
    // A row without a metre (NO_VALUE, which the file also writes as
    // 9999999) is no position: no range, length or page is taken from it.
    // The first and the last row that has a metre; 0 when none has.
    int FirstRowWithMetre() const;
    int LastRowWithMetre() const;

    // Raw stores for building a survey. They neither set the modified flag,
    // nor update the views, nor leave an undo step; a user's edit goes
    // through EditCell / EditComment.
    void SetMeter(int r, int32_t v)
    {
        if (IsValidRow(r)) RowAt(r).m_nMeter = v;
    }
    void SetPotOn(int r, int32_t v)
    {
        if (IsValidRow(r)) RowAt(r).m_nPotOn = v;
    }
    void SetPotOff(int r, int32_t v)
    {
        if (IsValidRow(r)) RowAt(r).m_nPotOff = v;
    }
    void SetGradOnL(int r, int32_t v)
    {
        if (IsValidRow(r)) RowAt(r).m_nGradOnL = v;
    }
    void SetGradOnR(int r, int32_t v)
    {
        if (IsValidRow(r)) RowAt(r).m_nGradOnR = v;
    }
    void SetGradOffL(int r, int32_t v)
    {
        if (IsValidRow(r)) RowAt(r).m_nGradOffL = v;
    }
    void SetGradOffR(int r, int32_t v)
    {
        if (IsValidRow(r)) RowAt(r).m_nGradOffR = v;
    }
    void SetComment(int r, const std::string& s)
    {
        if (IsValidRow(r)) RowAt(r).m_strComment = s;
    }

    // ---- derived values (unit of their inputs, NO_VALUE when absent) ------
    int32_t GetGradOn(int r) const;    // UEIN
    int32_t GetGradOff(int r) const;   // UAUS
    int32_t GetGradDiff(int r) const;  // UDIFF
    int32_t GetPotIRFree(int r) const; // POTIR
    // True when some row has a right gradient "on"; also kept in m_bHasRight.
    bool HasRightSide();

    // ---- text forms: the only way views and printouts show row values ------
    std::string FormatMeter(int r) const;
    std::string FormatPotOn(int r) const;
    std::string FormatPotOff(int r) const;
    std::string FormatPotIRFree(int r) const;
    std::string FormatGradOnL(int r) const;
    std::string FormatGradOnR(int r) const;
    std::string FormatGradOffL(int r) const;
    std::string FormatGradOffR(int r) const;
    std::string FormatGradOn(int r) const;
    std::string FormatGradOff(int r) const;
    std::string FormatGradDiff(int r) const;
    std::string FormatGradDiffL(int r) const;
    std::string FormatGradDiffR(int r) const;

    // ---- error list -------------------------------------------------------
    bool IsInErrorWindow(int r) const;
    bool HasAnyLimits() const;

    // ---- editing operations ----------------------------------------------
    // Every operation below leaves one undo step when it changed something,
    // and the modified mark follows the history.
    // A cell edit: one value or the comment of row r.
    void EditCell(int r, ERowValue value, int32_t v);
    void EditComment(int r, const std::string& text);
    // Empties cells of any rows at once, as one step ("Zellen löschen"):
    // each (row, value) pair absent, each listed row's comment empty. Cells
    // already empty and rows out of range are passed over; false, with no
    // step, when nothing changed.
    bool ClearCells(const std::vector<std::pair<int, ERowValue>>& values, const std::vector<int>& commentRows);
    // Header entries, limits, table and print settings: `change` writes them
    // and whatever differs afterwards becomes one step of `kind`. Steps with
    // the same non-zero `mergeKey` in a row join (typing into one field).
    // False when nothing changed.
    bool ChangeFields(EStepKind kind, const std::function<void(CTreDoc&)>& change, int mergeKey = 0);
    void SortByMeter();
    void ReverseMeasurement();
    // The add-constant dialog's range starts as the first and last metre.
    int32_t AddConstantStart() const { return GetMeter(FirstRowWithMetre()); }
    int32_t AddConstantEnd() const { return GetMeter(LastRowWithMetre()); }
    // Applies the dialog's "OK": rows with start <= metre <= end; a row
    // without a metre is in no range.
    void AddConstant(EAddQuantity quantity, int32_t start, int32_t end, int32_t constant);
    // Inserts a new row (metre 0, all else absent) as row r+1; 0 <= r <= N.
    void InsertRowAfter(int r);
    // Removes rows first .. first+count-1 (the part inside 1..N).
    void DeleteRows(int first, int count);
    // Every row's metre at once, row r's at [r - 1], as one step (the
    // re-stationing to the pipeline's fixed points). NO_VALUE leaves a row as
    // it is, and a row without a metre stays without one: no one measured
    // where it lies. False, with no step, when the count differs from the
    // rows' or no metre changes.
    bool SetMetres(const std::vector<int32_t>& metres);

    // ---- undo and redo ----------------------------------------------------
    // Both update all views and set the modified mark from the history;
    // false when there is nothing to take back / do again.
    bool Undo();
    bool Redo();
    // The menu names of the next steps (UTF-8); empty when there are none.
    std::string UndoName() const;
    std::string RedoName() const;
    const CUndoHistory& History() const { return m_history; }

    // ---- data members, in the order of the design --------------------------
    // UTF-8, but entry 10: the QM line as the file read or saved last holds
    // it, still encoded, which a save falls back on (see CTsdWriter).
    std::array<std::string, 20> m_header;
    std::array<std::string, 20> m_qm;   // bytes as the handheld wrote them
    std::array<int32_t, 24> m_limits{}; // pair k: entries k and k+12

    bool m_bEmpty = true;
    // The next open appends (an opener takes it back, whatever the outcome).
    bool m_bAppend = false;
    bool m_bHasRight = false;
    bool m_bRefitPot = false;
    bool m_bRefitGrad = false;

    // table print
    bool m_bTabPot = true;
    bool m_bTabIR = true;
    bool m_bTabGrad = true;
    bool m_bTabDiff = true;
    bool m_bTabLR = false;
    bool m_bTabQM = true;
    bool m_bTabLinesGW = true;
    bool m_bTabArial = true;
    bool m_bTabErrList = false;
    bool m_bTabHeadNumber = true;

    // graphic print
    bool m_bPlotPotOn = true;
    bool m_bPlotPotOff = true;
    bool m_bPlotIR = true;
    bool m_bPlotGradOn = true;
    bool m_bPlotGradOff = true;
    bool m_bPlotGradDiff = true;
    bool m_bPlotLR = false;
    bool m_bPlotQM = true;
    bool m_bPlotHeadNumber = true;

    int32_t m_nPlotScale = 1000;
    int32_t m_nPlotStart = NO_VALUE;
    int32_t m_nPlotEnd = NO_VALUE;
    int32_t m_nPotAxisMax = -2000;
    int32_t m_nPotAxisMin = -400;
    int32_t m_nGradAxisMax = 200;
    int32_t m_nGradAxisMin = -50;

    // the metre window shared by the two curve panes
    int32_t m_nMeterSpan = 0;
    int32_t m_nMeterLineStep = 0;
    int32_t m_nMeterPageStep = 0;
    int32_t m_nMeterLabelStep = 0;
    int32_t m_nMeterScrollPos = 0;
    int32_t m_nMeterPageSize = 0;
    int32_t m_nMeterStart = 0; // the metre (of the panes' axis) at the window's left edge

    bool m_bTableIRFree = true;
    bool m_bTableLR = false;

    int32_t m_nViewCounter = 0;

private:
    friend class CTsdWriter;
    friend struct CDocRowAccess;

    // The sort both sort and reverse run: rows exchanged into metre order,
    // the views updated, the first and last metre into the header. Returns
    // the order applied, empty when the rows were in order already.
    std::vector<uint32_t> SortRows();
    // A command's step into the history; the mark and the host follow.
    void Record(std::unique_ptr<CUndoStep> step, int mergeKey = 0);
    // New and Open: an empty history, the document as saved.
    void StartHistory();
    void ShowModified(bool modified);
    // Replace and Append: the last metre into the header, the file's limits
    // and switches; then the host shows the survey taken.
    void TakeSettings(const CSurveyImage& image);
    void ShowTaken();

    const CMeasRow& RowAt(int r) const { return m_rows[static_cast<size_t>(r - 1)]; }
    CMeasRow& RowAt(int r) { return m_rows[static_cast<size_t>(r - 1)]; }

    std::vector<CMeasRow> m_rows; // row r lives at index r - 1
    CSurveyExtras m_extras;
    CDocHost* m_pHost;
    bool m_bModified = false;
    std::string m_strPathName;
    CUndoHistory m_history;
};
