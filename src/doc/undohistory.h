// SPDX-License-Identifier: GPL-3.0-or-later
// The undo history of the survey document: the commands done since New or
// Open, each able to take itself back and do itself again. The history also
// decides the modified mark: it remembers where the last save left it, and
// the document counts as modified whenever it stands elsewhere.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

class CTreDoc;

// The kinds of steps; their names appear in the menu ("Rückgängig: <name>").
enum class EStepKind {
    CellEdit,
    InsertRows,
    DeleteRows,
    Sort,
    Reverse,
    AddConstant,
    Append,
    ErrorLimits,
    Header,
    Criterion,
    TableOptions,
    TablePrint,
    GraphicPrint,
    Restation,
    ClearCells,
};
const char* StepName(EStepKind kind); // UTF-8

class CUndoStep {
public:
    // `marks`: the command sets the modified mark (display options and
    // print settings never did, nor a sort that found the rows in order).
    explicit CUndoStep(EStepKind kind, bool marks = true)
        : m_kind(kind)
        , m_bMarks(marks)
    { }
    virtual ~CUndoStep() = default;
    CUndoStep(const CUndoStep&) = delete;
    CUndoStep& operator=(const CUndoStep&) = delete;

    EStepKind Kind() const { return m_kind; }
    // Both are called only in history order: Undo on the document as this
    // step left it, Redo on the document as it found it.
    virtual void Undo(CTreDoc& doc) = 0;
    virtual void Redo(CTreDoc& doc) = 0;
    bool MarksModified() const { return m_bMarks; }
    // Takes a later step of the same kind into this one (typing into a field
    // becomes one step); false when it cannot.
    virtual bool Absorb(CUndoStep& /*later*/) { return false; }

private:
    EStepKind m_kind;
    bool m_bMarks;
};

class CUndoHistory {
public:
    static constexpr size_t kMaxSteps = 100;

    // Empty, with the document as it is counting as saved (New, Open).
    void Clear();
    // A command just done. The steps that could be redone are dropped; so is
    // the oldest step beyond kMaxSteps. A non-zero `mergeKey` equal to the
    // previous step's joins the two, unless an undo, redo, save or another
    // step came between.
    void Push(std::unique_ptr<CUndoStep> step, int mergeKey = 0);
    // Take back / do again the next step; false when there is none.
    bool Undo(CTreDoc& doc);
    bool Redo(CTreDoc& doc);

    const CUndoStep* NextUndo() const { return m_done.empty() ? nullptr : m_done.back().get(); }
    const CUndoStep* NextRedo() const { return m_undone.empty() ? nullptr : m_undone.back().get(); }
    size_t UndoCount() const { return m_done.size(); }
    size_t RedoCount() const { return m_undone.size(); }

    // The document was saved as it is now.
    void MarkSaved();
    // The document changed in a way no step records: no position of the
    // history matches the file any more.
    void ForgetSaved();
    // True unless the history stands at the saved position, or only steps
    // that do not mark lie between the two.
    bool IsModified() const;

private:
    static constexpr size_t kNowhere = static_cast<size_t>(-1);
    // Positions count steps from the first one ever pushed since Clear, so a
    // saved position stays valid while older steps are dropped.
    size_t Position() const { return m_dropped + m_done.size(); }
    const CUndoStep& StepAt(size_t position) const;

    std::deque<std::unique_ptr<CUndoStep>> m_done;    // oldest first
    std::vector<std::unique_ptr<CUndoStep>> m_undone; // next redo last
    size_t m_dropped = 0;
    size_t m_saved = 0;
    int m_mergeKey = 0;
};
