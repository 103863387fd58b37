// Whole-survey edits: sort, reverse, add a constant, insert and delete rows.
#include "tredoc.h"

#include "numtext.h"

#include <algorithm>
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

void CTreDoc::SortByMeter()
{
    bool anySwap = false;
    const std::vector<size_t> order = ExchangeSortOrder(m_rows, anySwap);
    if (anySwap) {
        std::vector<CMeasRow> sorted;
        sorted.reserve(m_rows.size());
        for (size_t idx : order) sorted.push_back(std::move(m_rows[idx]));
        m_rows = std::move(sorted);
        SetModifiedFlag();
    }
    UpdateAllViews();
    const int n = GetRowCount();
    if (n > 0) {
        m_header[5] = tresnum::FormatInt(GetMeter(1));
        m_header[6] = tresnum::FormatInt(GetMeter(n));
    }
}

void CTreDoc::ReverseMeasurement()
{
    const int n = GetRowCount();
    if (n == 0) return;
    const int64_t a = GetMeter(1), b = GetMeter(n);
    for (CMeasRow& row : m_rows) row.m_nMeter = tresnum::Wrap32(a + b - row.m_nMeter);
    SortByMeter();
    SetModifiedFlag();
}

void CTreDoc::AddConstant(EAddQuantity quantity, int32_t start, int32_t end, int32_t constant)
{
    for (CMeasRow& row : m_rows) {
        if (row.m_nMeter < start || row.m_nMeter > end) continue;
        switch (quantity) {
        case EAddQuantity::Meter: row.m_nMeter = tresnum::Wrap32(int64_t{row.m_nMeter} + constant); break;
        case EAddQuantity::PotOn:
            if (IsPresent(row.m_nPotOn)) row.m_nPotOn = tresnum::Wrap32(int64_t{row.m_nPotOn} + constant);
            break;
        case EAddQuantity::PotOff:
            if (IsPresent(row.m_nPotOff)) row.m_nPotOff = tresnum::Wrap32(int64_t{row.m_nPotOff} + constant);
            break;
        // The constant is typed in mV; gradients are kept in tenths. Only the
        // left side is shifted.
        case EAddQuantity::GradOn:
            if (IsPresent(row.m_nGradOnL))
                row.m_nGradOnL = tresnum::Wrap32(int64_t{row.m_nGradOnL} + tresnum::Wrap32(int64_t{constant} * 10));
            break;
        case EAddQuantity::GradOff:
            if (IsPresent(row.m_nGradOffL))
                row.m_nGradOffL = tresnum::Wrap32(int64_t{row.m_nGradOffL} + tresnum::Wrap32(int64_t{constant} * 10));
            break;
        }
    }
    m_bRefitPot = m_bRefitGrad = true;
    SetModifiedFlag();
    UpdateAllViews();
}

void CTreDoc::InsertRowAfter(int r)
{
    r = std::clamp(r, 0, GetRowCount());
    CMeasRow row;
    row.m_nMeter = 0;
    m_rows.insert(m_rows.begin() + r, std::move(row));
    SetModifiedFlag();
}

void CTreDoc::DeleteRows(int first, int count)
{
    const int n = GetRowCount();
    const int64_t from = std::max(first, 1);
    const int64_t to = std::min<int64_t>(int64_t{first} + count - 1, n);
    if (count <= 0 || from > to) return;
    m_rows.erase(m_rows.begin() + (from - 1), m_rows.begin() + to);
    SetModifiedFlag();
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
