// SPDX-License-Identifier: GPL-3.0-or-later
// The user's edits: cells, sort, reverse, add a constant, insert and delete
// rows, the metres re-stationed. Each leaves its undo step.
#include "tredoc.h"

#include "numtext.h"
#include "undosteps.h"

#include <algorithm>
#include <iterator>
#include <numeric>

namespace {

// The exchange sort the survey has always been sorted with: for each i, every
// later row with a smaller metre is exchanged into place i. It is not stable,
// and users see where equal metres end up, so that order is reproduced
// exactly. With distinct metres any sort gives the same result; only ties
// need the quadratic walk, done on indices to keep it cheap.
std::vector<size_t> ExchangeSortOrder(const std::vector<CMeasRow>& rows, bool& anySwap)
{
    const size_t n = rows.size();
    std::vector<int32_t> keys(n);
    for (size_t i = 0; i < n; ++i) keys[i] = rows[i].m_nMeter;
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});

    anySwap = !std::is_sorted(keys.begin(), keys.end());
    if (!anySwap) return order;

    std::vector<int32_t> sortedKeys = keys;
    std::sort(sortedKeys.begin(), sortedKeys.end());
    const bool distinct = std::adjacent_find(sortedKeys.begin(), sortedKeys.end()) == sortedKeys.end();
    if (distinct) {
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
        return order;
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (keys[j] < keys[i]) {
                std::swap(keys[i], keys[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
    return order;
}

} // namespace

std::vector<uint32_t> CTreDoc::SortRows()
{
    bool anySwap = false;
    const std::vector<size_t> order = ExchangeSortOrder(m_rows, anySwap);
    std::vector<uint32_t> applied;
    if (anySwap) {
        std::vector<CMeasRow> sorted;
        sorted.reserve(m_rows.size());
        applied.reserve(order.size());
        for (size_t idx : order) {
            sorted.push_back(std::move(m_rows[idx]));
            applied.push_back(static_cast<uint32_t>(idx));
        }
        m_rows = std::move(sorted);
    }
    UpdateAllViews();
    if (const int first = FirstRowWithMetre()) {
        m_header[5] = tresnum::FormatInt(GetMeter(first));
        m_header[6] = tresnum::FormatInt(GetMeter(LastRowWithMetre()));
    }
    return applied;
}

void CTreDoc::SortByMeter()
{
    const CDocFields before = CDocFields::Of(*this);
    std::vector<uint32_t> order = SortRows();
    CFieldChanges fields = CFieldChanges::Between(before, *this);
    if (order.empty() && fields.empty()) return;
    Record(undosteps::Reorder(EStepKind::Sort, std::move(order), false, 0, std::move(fields)));
}

void CTreDoc::ReverseMeasurement()
{
    if (GetRowCount() == 0) return;
    const CDocFields before = CDocFields::Of(*this);
    // Mirrored between the first and the last metre; a row without one
    // stays without one (and sorts behind the others as before).
    const int first = FirstRowWithMetre();
    const int64_t a = first ? GetMeter(first) : 0, b = first ? GetMeter(LastRowWithMetre()) : 0;
    for (CMeasRow& row : m_rows)
        if (IsPresent(row.m_nMeter)) row.m_nMeter = tresnum::Wrap32(a + b - row.m_nMeter);
    std::vector<uint32_t> order = SortRows();
    CFieldChanges fields = CFieldChanges::Between(before, *this);
    Record(undosteps::Reorder(EStepKind::Reverse, std::move(order), true, a + b, std::move(fields)));
}

void CTreDoc::AddConstant(EAddQuantity quantity, int32_t start, int32_t end, int32_t constant)
{
    // The constant is typed in mV; gradients are kept in tenths. Only the
    // left side is shifted.
    ERowValue value = ERowValue::Meter;
    int32_t delta = constant;
    switch (quantity) {
    case EAddQuantity::Meter: break;
    case EAddQuantity::PotOn: value = ERowValue::PotOn; break;
    case EAddQuantity::PotOff: value = ERowValue::PotOff; break;
    case EAddQuantity::GradOn:
        value = ERowValue::GradOnL;
        delta = tresnum::Wrap32(int64_t{constant} * 10);
        break;
    case EAddQuantity::GradOff:
        value = ERowValue::GradOffL;
        delta = tresnum::Wrap32(int64_t{constant} * 10);
        break;
    }
    int32_t CMeasRow::*member = RowValueMember(value);
    // The old values themselves are kept: a wrapped sum could not be taken
    // back by subtracting. Absent values are skipped; an absent metre
    // shifted would become a position no one measured.
    std::vector<CValueChange> changes;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        CMeasRow& row = m_rows[i];
        if (!IsPresent(row.m_nMeter) || row.m_nMeter < start || row.m_nMeter > end) continue;
        const int32_t old = row.*member;
        if (!IsPresent(old)) continue;
        const int32_t shifted = tresnum::Wrap32(int64_t{old} + delta);
        row.*member = shifted;
        changes.push_back({static_cast<uint32_t>(i), old, shifted});
    }
    m_bRefitPot = m_bRefitGrad = true;
    // A step even when no row was in the range: the command always marked
    // the document, and the mark follows the history.
    Record(undosteps::Values(EStepKind::AddConstant, value, std::move(changes)));
    UpdateAllViews();
}

void CTreDoc::InsertRowAfter(int r)
{
    r = std::clamp(r, 0, GetRowCount());
    CMeasRow row;
    row.m_nMeter = 0;
    m_rows.insert(m_rows.begin() + r, std::move(row));
    Record(undosteps::RowsAdded(EStepKind::InsertRows, static_cast<uint32_t>(r), 1, CFieldChanges()));
}

void CTreDoc::DeleteRows(int first, int count)
{
    const int n = GetRowCount();
    const int64_t from = std::max(first, 1);
    const int64_t to = std::min<int64_t>(int64_t{first} + count - 1, n);
    if (count <= 0 || from > to) return;
    const auto begin = m_rows.begin() + (from - 1), end = m_rows.begin() + to;
    std::vector<CMeasRow> taken(std::make_move_iterator(begin), std::make_move_iterator(end));
    m_rows.erase(begin, end);
    Record(undosteps::RowsRemoved(static_cast<uint32_t>(from - 1), std::move(taken)));
}

bool CTreDoc::SetMetres(const std::vector<int32_t>& metres)
{
    if (metres.size() != m_rows.size()) return false;
    std::vector<CValueChange> changes;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        int32_t& metre = m_rows[i].m_nMeter;
        if (!IsPresent(metre) || !IsPresent(metres[i]) || metres[i] == metre) continue;
        changes.push_back({static_cast<uint32_t>(i), metre, metres[i]});
        metre = metres[i];
    }
    if (changes.empty()) return false;
    Record(undosteps::Values(EStepKind::Restation, ERowValue::Meter, std::move(changes)));
    UpdateAllViews();
    return true;
}

void CTreDoc::EditCell(int r, ERowValue value, int32_t v)
{
    if (!IsValidRow(r)) return;
    int32_t& cell = RowAt(r).*RowValueMember(value);
    const int32_t old = cell;
    cell = v;
    Record(undosteps::Values(EStepKind::CellEdit, value, {{static_cast<uint32_t>(r - 1), old, v}}));
}

void CTreDoc::EditComment(int r, const std::string& text)
{
    if (!IsValidRow(r)) return;
    std::string old = RowAt(r).m_strComment.Str();
    RowAt(r).m_strComment = text;
    Record(undosteps::Comment(static_cast<uint32_t>(r - 1), std::move(old), text));
}

bool CTreDoc::ClearCells(const std::vector<std::pair<int, ERowValue>>& values, const std::vector<int>& commentRows)
{
    std::vector<CClearedCell> cells;
    for (const auto& [r, value] : values) {
        if (!IsValidRow(r)) continue;
        int32_t& cell = RowAt(r).*RowValueMember(value);
        if (!IsPresent(cell)) continue;
        cells.push_back({static_cast<uint32_t>(r - 1), value, cell, {}});
        cell = NO_VALUE;
    }
    for (int r : commentRows) {
        if (!IsValidRow(r) || RowAt(r).m_strComment.empty()) continue;
        cells.push_back({static_cast<uint32_t>(r - 1), std::nullopt, NO_VALUE, RowAt(r).m_strComment.Str()});
        RowAt(r).m_strComment = std::string();
    }
    if (cells.empty()) return false;
    Record(undosteps::Cleared(std::move(cells)));
    return true;
}

bool CTreDoc::IsInErrorWindow(int r) const
{
    if (!IsValidRow(r)) return false;
    const int32_t values[6] = {
        GetPotOn(r), GetPotOff(r), GetPotIRFree(r), GetGradOn(r), GetGradOff(r), GetGradDiff(r),
    };
    bool result = false;
    for (int k = 0; k < 6; ++k) {
        const int32_t a = m_limits[k], b = m_limits[k + 12], v = values[k];
        if (!IsPresent(a) || !IsPresent(b) || !IsPresent(v)) continue;
        const int32_t lo = std::min(a, b), hi = std::max(a, b);
        if (v < lo || v > hi) return false;
        result = true;
    }
    return result;
}
