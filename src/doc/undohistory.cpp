// SPDX-License-Identifier: GPL-3.0-or-later
#include "undohistory.h"

#include <algorithm>

namespace {

// One table for every name the menu shows, in the order of EStepKind.
const char* const kStepNames[] = {
    "Zelle bearbeiten",
    "Zeilen einfügen",
    "Zeilen löschen",
    "Sortieren",
    "Umkehren",
    "Konstante addieren",
    "Anhängen",
    "Fehlerlisten-Parameter",
    "Kopfdaten",
    "Schutzkriterium",
    "Tabellenanzeige",
    "Einstellungen Tabellendruck",
    "Einstellungen Graphikdruck",
    "Stationierung anpassen",
    "Zellen löschen",
};
static_assert(sizeof kStepNames / sizeof kStepNames[0] == static_cast<size_t>(EStepKind::ClearCells) + 1);

} // namespace

const char* StepName(EStepKind kind) { return kStepNames[static_cast<int>(kind)]; }

void CUndoHistory::Clear()
{
    m_done.clear();
    m_undone.clear();
    m_dropped = 0;
    m_saved = 0;
    m_mergeKey = 0;
}

void CUndoHistory::Push(std::unique_ptr<CUndoStep> step, int mergeKey)
{
    const size_t here = Position();
    m_undone.clear();
    // A save on the branch just discarded can never be reached again.
    if (m_saved != kNowhere && m_saved > here) m_saved = kNowhere;
    if (mergeKey != 0 && mergeKey == m_mergeKey && m_saved != here && !m_done.empty() && m_done.back()->Absorb(*step))
        return;
    m_mergeKey = mergeKey;
    m_done.push_back(std::move(step));
    if (m_done.size() > kMaxSteps) {
        m_done.pop_front();
        ++m_dropped;
        if (m_saved != kNowhere && m_saved < m_dropped) m_saved = kNowhere;
    }
}

namespace {

// Undo and Redo: the last step of `from` played on `doc` and moved to the
// end of `to`; false when `from` is empty. A step taken back or done again
// ends the merging of typed edits (`mergeKey`).
template <class From, class To>
bool Replay(From& from, To& to, CTreDoc& doc, void (CUndoStep::*play)(CTreDoc&), int& mergeKey)
{
    if (from.empty()) return false;
    std::unique_ptr<CUndoStep> step = std::move(from.back());
    from.pop_back();
    ((*step).*play)(doc);
    to.push_back(std::move(step));
    mergeKey = 0;
    return true;
}

} // namespace

bool CUndoHistory::Undo(CTreDoc& doc) { return Replay(m_done, m_undone, doc, &CUndoStep::Undo, m_mergeKey); }

bool CUndoHistory::Redo(CTreDoc& doc) { return Replay(m_undone, m_done, doc, &CUndoStep::Redo, m_mergeKey); }

void CUndoHistory::MarkSaved()
{
    m_saved = Position();
    m_mergeKey = 0;
}

void CUndoHistory::ForgetSaved() { m_saved = kNowhere; }

const CUndoStep& CUndoHistory::StepAt(size_t position) const
{
    const size_t here = Position();
    if (position < here) return *m_done[position - m_dropped];
    return *m_undone[m_undone.size() - 1 - (position - here)];
}

bool CUndoHistory::IsModified() const
{
    if (m_saved == kNowhere) return true;
    const size_t here = Position();
    const size_t from = std::min(here, m_saved), to = std::max(here, m_saved);
    for (size_t p = from; p < to; ++p)
        if (StepAt(p).MarksModified()) return true;
    return false;
}
