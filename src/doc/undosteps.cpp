// SPDX-License-Identifier: GPL-3.0-or-later
#include "undosteps.h"

#include "numtext.h"
#include "tredoc.h"

#include <iterator>

// The steps work on the rows directly, below the commands that record them.
struct CDocRowAccess {
    static std::vector<CMeasRow>& Rows(CTreDoc& doc) { return doc.m_rows; }
};

namespace {

using Rows = std::vector<CMeasRow>;

// The table's display options and the print settings have never asked for
// a save; their steps keep it that way.
bool IsQuietKind(EStepKind kind)
{
    return kind == EStepKind::TableOptions || kind == EStepKind::TablePrint || kind == EStepKind::GraphicPrint;
}

class CFieldsStep : public CUndoStep {
public:
    CFieldsStep(EStepKind kind, CFieldChanges changes)
        : CUndoStep(kind, !IsQuietKind(kind))
        , m_changes(std::move(changes))
    { }
    void Undo(CTreDoc& doc) override { m_changes.Restore(doc, true); }
    void Redo(CTreDoc& doc) override { m_changes.Restore(doc, false); }
    bool Absorb(CUndoStep& later) override
    {
        auto* other = dynamic_cast<CFieldsStep*>(&later);
        if (!other || other->Kind() != Kind()) return false;
        m_changes.Absorb(other->m_changes);
        return true;
    }

private:
    CFieldChanges m_changes;
};

class CValuesStep : public CUndoStep {
public:
    CValuesStep(EStepKind kind, ERowValue value, std::vector<CValueChange> changes)
        : CUndoStep(kind)
        , m_member(RowValueMember(value))
        , m_changes(std::move(changes))
    { }
    void Undo(CTreDoc& doc) override { Set(doc, true); }
    void Redo(CTreDoc& doc) override { Set(doc, false); }

private:
    void Set(CTreDoc& doc, bool before)
    {
        Rows& rows = CDocRowAccess::Rows(doc);
        for (const CValueChange& c : m_changes) rows[c.index].*m_member = before ? c.before : c.after;
        if (Kind() == EStepKind::AddConstant) doc.m_bRefitPot = doc.m_bRefitGrad = true;
    }

    int32_t CMeasRow::*m_member;
    std::vector<CValueChange> m_changes;
};

class CCommentStep : public CUndoStep {
public:
    CCommentStep(uint32_t index, std::string before, std::string after)
        : CUndoStep(EStepKind::CellEdit)
        , m_index(index)
        , m_before(std::move(before))
        , m_after(std::move(after))
    { }
    void Undo(CTreDoc& doc) override { CDocRowAccess::Rows(doc)[m_index].m_strComment = m_before; }
    void Redo(CTreDoc& doc) override { CDocRowAccess::Rows(doc)[m_index].m_strComment = m_after; }

private:
    uint32_t m_index;
    std::string m_before, m_after;
};

// Rows that one direction puts in and the other takes out. While they are
// out of the document the step holds them; while in, it holds nothing.
class CRowBlockStep : public CUndoStep {
public:
    CRowBlockStep(EStepKind kind, uint32_t index, uint32_t count, bool added, Rows parked, CFieldChanges fields)
        : CUndoStep(kind)
        , m_index(index)
        , m_count(count)
        , m_added(added)
        , m_parked(std::move(parked))
        , m_fields(std::move(fields))
    { }
    void Undo(CTreDoc& doc) override
    {
        if (m_added) TakeOut(doc);
        else PutBack(doc);
        m_fields.Restore(doc, true);
    }
    void Redo(CTreDoc& doc) override
    {
        if (m_added) PutBack(doc);
        else TakeOut(doc);
        m_fields.Restore(doc, false);
    }

private:
    void TakeOut(CTreDoc& doc)
    {
        Rows& rows = CDocRowAccess::Rows(doc);
        const auto first = rows.begin() + m_index, last = first + m_count;
        m_parked.assign(std::make_move_iterator(first), std::make_move_iterator(last));
        rows.erase(first, last);
    }
    void PutBack(CTreDoc& doc)
    {
        Rows& rows = CDocRowAccess::Rows(doc);
        rows.insert(rows.begin() + m_index, std::make_move_iterator(m_parked.begin()),
                    std::make_move_iterator(m_parked.end()));
        Rows().swap(m_parked);
    }

    uint32_t m_index, m_count;
    bool m_added;
    Rows m_parked;
    CFieldChanges m_fields;
};

class CReorderStep : public CUndoStep {
public:
    CReorderStep(EStepKind kind, std::vector<uint32_t> order, bool reflect, int64_t sum, CFieldChanges fields)
        : CUndoStep(kind, reflect || !order.empty())
        , m_order(std::move(order))
        , m_reflect(reflect)
        , m_sum(sum)
        , m_fields(std::move(fields))
    { }
    void Undo(CTreDoc& doc) override
    {
        Rows& rows = CDocRowAccess::Rows(doc);
        if (!m_order.empty()) {
            Rows old(rows.size());
            for (size_t i = 0; i < m_order.size(); ++i) old[m_order[i]] = std::move(rows[i]);
            rows = std::move(old);
        }
        Reflect(rows);
        m_fields.Restore(doc, true);
    }
    void Redo(CTreDoc& doc) override
    {
        Rows& rows = CDocRowAccess::Rows(doc);
        Reflect(rows);
        if (!m_order.empty()) {
            Rows sorted;
            sorted.reserve(rows.size());
            for (uint32_t idx : m_order) sorted.push_back(std::move(rows[idx]));
            rows = std::move(sorted);
        }
        m_fields.Restore(doc, false);
    }

private:
    // Its own inverse: sum - (sum - m) is m again in 32-bit wrapping
    // arithmetic, whatever the wrap did on the way. Absent metres stay
    // absent, as the command left them.
    void Reflect(Rows& rows) const
    {
        if (!m_reflect) return;
        for (CMeasRow& row : rows)
            if (IsPresent(row.m_nMeter)) row.m_nMeter = tresnum::Wrap32(m_sum - row.m_nMeter);
    }

    std::vector<uint32_t> m_order;
    bool m_reflect;
    int64_t m_sum;
    CFieldChanges m_fields;
};

class CClearedStep : public CUndoStep {
public:
    explicit CClearedStep(std::vector<CClearedCell> cells)
        : CUndoStep(EStepKind::ClearCells)
        , m_cells(std::move(cells))
    { }
    void Undo(CTreDoc& doc) override
    {
        Rows& rows = CDocRowAccess::Rows(doc);
        for (const CClearedCell& c : m_cells) {
            if (c.value) rows[c.index].*RowValueMember(*c.value) = c.before;
            else rows[c.index].m_strComment = c.comment;
        }
    }
    void Redo(CTreDoc& doc) override
    {
        Rows& rows = CDocRowAccess::Rows(doc);
        for (const CClearedCell& c : m_cells) {
            if (c.value) rows[c.index].*RowValueMember(*c.value) = NO_VALUE;
            else rows[c.index].m_strComment = std::string();
        }
    }

private:
    std::vector<CClearedCell> m_cells;
};

} // namespace

namespace undosteps {

std::unique_ptr<CUndoStep> Cleared(std::vector<CClearedCell> cells)
{
    return std::make_unique<CClearedStep>(std::move(cells));
}

std::unique_ptr<CUndoStep> Fields(EStepKind kind, CFieldChanges changes)
{
    return std::make_unique<CFieldsStep>(kind, std::move(changes));
}

std::unique_ptr<CUndoStep> Values(EStepKind kind, ERowValue value, std::vector<CValueChange> changes)
{
    return std::make_unique<CValuesStep>(kind, value, std::move(changes));
}

std::unique_ptr<CUndoStep> Comment(uint32_t index, std::string before, std::string after)
{
    return std::make_unique<CCommentStep>(index, std::move(before), std::move(after));
}

std::unique_ptr<CUndoStep> RowsAdded(EStepKind kind, uint32_t index, uint32_t count, CFieldChanges fields)
{
    return std::make_unique<CRowBlockStep>(kind, index, count, true, Rows(), std::move(fields));
}

std::unique_ptr<CUndoStep> RowsRemoved(uint32_t index, std::vector<CMeasRow> rows)
{
    const auto count = static_cast<uint32_t>(rows.size());
    return std::make_unique<CRowBlockStep>(EStepKind::DeleteRows, index, count, false, std::move(rows),
                                           CFieldChanges());
}

std::unique_ptr<CUndoStep> Reorder(EStepKind kind, std::vector<uint32_t> order, bool reflect, int64_t sum,
                                   CFieldChanges fields)
{
    return std::make_unique<CReorderStep>(kind, std::move(order), reflect, sum, std::move(fields));
}

} // namespace undosteps
