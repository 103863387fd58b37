// SPDX-License-Identifier: GPL-3.0-or-later
#include "docfields.h"

#include "tredoc.h"

#include <algorithm>

namespace {

bool CTreDoc::*const kFlags[CDocFields::kFlagCount] = {
    &CTreDoc::m_bTabPot,     &CTreDoc::m_bTabIR,         &CTreDoc::m_bTabGrad,        &CTreDoc::m_bTabDiff,
    &CTreDoc::m_bTabLR,      &CTreDoc::m_bTabQM,         &CTreDoc::m_bTabLinesGW,     &CTreDoc::m_bTabArial,
    &CTreDoc::m_bTabErrList, &CTreDoc::m_bTabHeadNumber, &CTreDoc::m_bPlotPotOn,      &CTreDoc::m_bPlotPotOff,
    &CTreDoc::m_bPlotIR,     &CTreDoc::m_bPlotGradOn,    &CTreDoc::m_bPlotGradOff,    &CTreDoc::m_bPlotGradDiff,
    &CTreDoc::m_bPlotLR,     &CTreDoc::m_bPlotQM,        &CTreDoc::m_bPlotHeadNumber, &CTreDoc::m_bTableIRFree,
    &CTreDoc::m_bTableLR,
};

int32_t CTreDoc::*const kNumbers[CDocFields::kNumberCount] = {
    &CTreDoc::m_nPlotScale,  &CTreDoc::m_nPlotStart,   &CTreDoc::m_nPlotEnd,     &CTreDoc::m_nPotAxisMax,
    &CTreDoc::m_nPotAxisMin, &CTreDoc::m_nGradAxisMax, &CTreDoc::m_nGradAxisMin,
};

constexpr int kLimitFields = 24;
constexpr int kFirstFlag = kLimitFields;
constexpr int kFirstNumber = kFirstFlag + CDocFields::kFlagCount;

int32_t ValueOf(const CDocFields& f, int field)
{
    if (field < kFirstFlag) return f.limits[static_cast<size_t>(field)];
    if (field < kFirstNumber) return f.flags[static_cast<size_t>(field - kFirstFlag)] ? 1 : 0;
    return f.numbers[static_cast<size_t>(field - kFirstNumber)];
}

void SetValue(CTreDoc& doc, int field, int32_t v)
{
    if (field < kFirstFlag) doc.m_limits[static_cast<size_t>(field)] = v;
    else if (field < kFirstNumber) doc.*kFlags[field - kFirstFlag] = v != 0;
    else doc.*kNumbers[field - kFirstNumber] = v;
}

} // namespace

CDocFields CDocFields::Of(const CTreDoc& doc)
{
    CDocFields f;
    f.header = doc.m_header;
    f.limits = doc.m_limits;
    for (int i = 0; i < kFlagCount; ++i) f.flags[static_cast<size_t>(i)] = doc.*kFlags[i];
    for (int i = 0; i < kNumberCount; ++i) f.numbers[static_cast<size_t>(i)] = doc.*kNumbers[i];
    return f;
}

CFieldChanges CFieldChanges::Between(const CDocFields& before, const CTreDoc& now)
{
    const CDocFields after = CDocFields::Of(now);
    CFieldChanges c;
    for (int i = 0; i < static_cast<int>(after.header.size()); ++i) {
        const auto k = static_cast<size_t>(i);
        if (before.header[k] != after.header[k]) c.m_texts.push_back({i, before.header[k], after.header[k]});
    }
    for (int field = 0; field < kFirstNumber + CDocFields::kNumberCount; ++field) {
        const int32_t a = ValueOf(before, field), b = ValueOf(after, field);
        if (a != b) c.m_values.push_back({field, a, b});
    }
    return c;
}

void CFieldChanges::Restore(CTreDoc& doc, bool before) const
{
    for (const CText& t : m_texts) doc.m_header[static_cast<size_t>(t.index)] = before ? t.before : t.after;
    for (const CValue& v : m_values) SetValue(doc, v.field, before ? v.before : v.after);
}

void CFieldChanges::Absorb(const CFieldChanges& later)
{
    for (const CText& t : later.m_texts) {
        auto it = std::find_if(m_texts.begin(), m_texts.end(), [&](const CText& o) { return o.index == t.index; });
        if (it != m_texts.end()) it->after = t.after;
        else m_texts.push_back(t);
    }
    for (const CValue& v : later.m_values) {
        auto it = std::find_if(m_values.begin(), m_values.end(), [&](const CValue& o) { return o.field == v.field; });
        if (it != m_values.end()) it->after = v.after;
        else m_values.push_back(v);
    }
}
