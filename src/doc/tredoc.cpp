// SPDX-License-Identifier: GPL-3.0-or-later
#include "tredoc.h"

#include "numtext.h"
#include "undosteps.h"

namespace {

CDocHost g_silentHost; // stands in until a host attaches

const char* const kAddQuantityNames[] = {
    "Messmeter", "Potential Ein", "Potential Aus", "Gradient Ein", "Gradient Aus",
};

} // namespace

const char* AddQuantityName(EAddQuantity q) { return kAddQuantityNames[static_cast<int>(q)]; }

bool AddQuantityFromName(const std::string& name, EAddQuantity& q)
{
    for (int i = 0; i < 5; ++i) {
        if (name == kAddQuantityNames[i]) {
            q = static_cast<EAddQuantity>(i);
            return true;
        }
    }
    return false;
}

CTreDoc::CTreDoc()
    : m_pHost(&g_silentHost)
{
    m_limits.fill(NO_VALUE);
}

CTreDoc::~CTreDoc() = default;

void CTreDoc::SetHost(CDocHost* host) { m_pHost = host ? host : &g_silentHost; }

void CTreDoc::ResetToDefaults()
{
    m_limits.fill(NO_VALUE);
    m_extras = {};
    m_nPlotStart = m_nPlotEnd = NO_VALUE;
    m_bTabPot = m_bTabIR = m_bTabGrad = m_bTabDiff = true;
    m_bTabLR = false;
    m_bTabQM = m_bTabLinesGW = m_bTabArial = true;
    m_bTabErrList = false;
    m_bTabHeadNumber = true;
    m_bPlotPotOn = m_bPlotPotOff = m_bPlotIR = true;
    m_bPlotGradOn = m_bPlotGradOff = m_bPlotGradDiff = true;
    m_bPlotQM = true;
    m_bPlotHeadNumber = true;
    m_nPlotScale = 1000;
    m_nPotAxisMax = -2000;
    m_nPotAxisMin = -400;
    m_nGradAxisMax = 200;
    m_nGradAxisMin = -50;
    m_bTableIRFree = true;
    m_bTableLR = false;
    // m_bPlotLR deliberately keeps its value across documents.
}

void CTreDoc::OnNewDocument()
{
    m_rows.assign(1, CMeasRow{});
    m_rows[0].m_nMeter = 0;
    for (size_t i = 1; i < m_header.size(); ++i) m_header[i].clear();
    ResetToDefaults();
    // QM entries stay: the handheld's data carry over into a new survey.
    m_bEmpty = false;
    m_nViewCounter = 0;
    m_strPathName.clear();
    StartHistory();
    InvalidateCurveViews();
}

void CTreDoc::SetModifiedFlag(bool modified)
{
    if (modified) m_history.ForgetSaved();
    else m_history.MarkSaved();
    ShowModified(modified);
}

void CTreDoc::ShowModified(bool modified)
{
    if (m_bModified == modified) return;
    m_bModified = modified;
    m_pHost->ModifiedChanged(modified);
}

// ---- undo history ------------------------------------------------------------

void CTreDoc::StartHistory()
{
    m_history.Clear();
    ShowModified(false);
    m_pHost->HistoryChanged();
}

void CTreDoc::Record(std::unique_ptr<CUndoStep> step, int mergeKey)
{
    m_history.Push(std::move(step), mergeKey);
    ShowModified(m_history.IsModified());
    m_pHost->HistoryChanged();
}

bool CTreDoc::Undo()
{
    if (!m_history.Undo(*this)) return false;
    ShowModified(m_history.IsModified());
    m_pHost->HistoryChanged();
    UpdateAllViews();
    return true;
}

bool CTreDoc::Redo()
{
    if (!m_history.Redo(*this)) return false;
    ShowModified(m_history.IsModified());
    m_pHost->HistoryChanged();
    UpdateAllViews();
    return true;
}

std::string CTreDoc::UndoName() const
{
    const CUndoStep* step = m_history.NextUndo();
    return step ? StepName(step->Kind()) : std::string();
}

std::string CTreDoc::RedoName() const
{
    const CUndoStep* step = m_history.NextRedo();
    return step ? StepName(step->Kind()) : std::string();
}

bool CTreDoc::ChangeFields(EStepKind kind, const std::function<void(CTreDoc&)>& change, int mergeKey)
{
    const CDocFields before = CDocFields::Of(*this);
    change(*this);
    CFieldChanges changes = CFieldChanges::Between(before, *this);
    if (changes.empty()) return false;
    Record(undosteps::Fields(kind, std::move(changes)), mergeKey);
    return true;
}

void CTreDoc::SetPathName(const std::string& path)
{
    m_strPathName = path;
    m_pHost->PathChanged(path);
}

void CTreDoc::UpdateAllViews() { m_pHost->UpdateAllViews(); }

void CTreDoc::InvalidateCurveViews() { m_pHost->InvalidateCurveViews(); }

// ---- derived values --------------------------------------------------------

namespace {

int32_t Mean(int32_t left, int32_t right)
{
    if (IsPresent(left) && IsPresent(right))
        return static_cast<int32_t>((int64_t{left} + right) / 2); // truncates toward zero
    if (IsPresent(left)) return left;
    if (IsPresent(right)) return right;
    return NO_VALUE;
}

} // namespace

int32_t CTreDoc::GetGradOn(int r) const { return Mean(GetGradOnL(r), GetGradOnR(r)); }

int32_t CTreDoc::GetGradOff(int r) const { return Mean(GetGradOffL(r), GetGradOffR(r)); }

int32_t CTreDoc::GetGradDiff(int r) const
{
    const int32_t on = GetGradOn(r), off = GetGradOff(r);
    if (!IsPresent(on) || !IsPresent(off)) return NO_VALUE;
    // Whole millivolts on both sides, so the difference is a multiple of 10.
    return tresnum::Wrap32((int64_t{on / 10} - off / 10) * 10);
}

int32_t CTreDoc::GetPotIRFree(int r) const
{
    const int32_t diff = GetGradDiff(r);
    const int32_t on = GetPotOn(r), off = GetPotOff(r);
    if (diff == 0 || !IsPresent(diff) || !IsPresent(on) || !IsPresent(off)) return NO_VALUE;
    const int32_t gradOff = GetGradOff(r);
    // The stored arithmetic: a 32-bit product, a single-precision quotient,
    // and a single-precision 0.1 that lies just above 0.1, so -1239.99999
    // already counts as -1240.
    const int32_t p = tresnum::Wrap32(int64_t{tresnum::Wrap32(int64_t{off} - on)} * gradOff);
    const float q = static_cast<float>(p) / static_cast<float>(diff);
    const double x = static_cast<double>(off) + static_cast<double>(q);
    if (x > 0) return NO_VALUE;
    const double tenths = x * static_cast<double>(0.1f);
    if (!(tenths > -214748364.0)) return NO_VALUE; // would not fit once times 10
    return static_cast<int32_t>(tenths) * 10;
}

int CTreDoc::FirstRowWithMetre() const
{
    const int n = GetRowCount();
    for (int r = 1; r <= n; ++r)
        if (IsPresent(RowAt(r).m_nMeter)) return r;
    return 0;
}

int CTreDoc::LastRowWithMetre() const
{
    for (int r = GetRowCount(); r >= 1; --r)
        if (IsPresent(RowAt(r).m_nMeter)) return r;
    return 0;
}

bool CTreDoc::HasRightSide()
{
    m_bHasRight = false;
    for (const CMeasRow& row : m_rows) {
        if (IsPresent(row.m_nGradOnR)) {
            m_bHasRight = true;
            break;
        }
    }
    return m_bHasRight;
}

bool CTreDoc::HasAnyLimits() const
{
    for (int k = 0; k < LIMIT_COUNT; ++k)
        if (IsPresent(m_limits[k]) && IsPresent(m_limits[k + 12])) return true;
    return false;
}

// ---- text forms ------------------------------------------------------------

namespace {

const std::string kFiveBlanks(5, ' ');

std::string PotText(int32_t mv)
{
    if (!IsPresent(mv)) return kFiveBlanks;
    return tresnum::VoltsText(mv, 5);
}

std::string GradText(int32_t tenths)
{
    if (!IsPresent(tenths)) return kFiveBlanks;
    return tresnum::FormatInt(tenths / 10, 5, true);
}

std::string GradDiffText(int32_t on, int32_t off)
{
    if (!IsPresent(on) || !IsPresent(off)) return kFiveBlanks;
    return tresnum::FormatInt((int64_t{on} - off) / 10, 5, true);
}

} // namespace

std::string CTreDoc::FormatMeter(int r) const
{
    const int32_t m = GetMeter(r);
    if (!IsPresent(m)) return std::string(6, ' ');
    return tresnum::FormatInt(m, 6, true);
}

std::string CTreDoc::FormatPotOn(int r) const { return PotText(GetPotOn(r)); }
std::string CTreDoc::FormatPotOff(int r) const { return PotText(GetPotOff(r)); }
std::string CTreDoc::FormatPotIRFree(int r) const { return PotText(GetPotIRFree(r)); }
std::string CTreDoc::FormatGradOnL(int r) const { return GradText(GetGradOnL(r)); }
std::string CTreDoc::FormatGradOnR(int r) const { return GradText(GetGradOnR(r)); }
std::string CTreDoc::FormatGradOffL(int r) const { return GradText(GetGradOffL(r)); }
std::string CTreDoc::FormatGradOffR(int r) const { return GradText(GetGradOffR(r)); }
std::string CTreDoc::FormatGradOn(int r) const { return GradText(GetGradOn(r)); }
std::string CTreDoc::FormatGradOff(int r) const { return GradText(GetGradOff(r)); }
std::string CTreDoc::FormatGradDiff(int r) const { return GradText(GetGradDiff(r)); }
std::string CTreDoc::FormatGradDiffL(int r) const { return GradDiffText(GetGradOnL(r), GetGradOffL(r)); }
std::string CTreDoc::FormatGradDiffR(int r) const { return GradDiffText(GetGradOnR(r), GetGradOffR(r)); }
