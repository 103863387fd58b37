// SPDX-License-Identifier: GPL-3.0-or-later
// One measuring point of a survey and the absent marker shared by every value.
#pragma once

#include "rowtext.h"

#include <cstdint>

// Marks a value that was not measured or not set: in rows, derived values,
// limits and unset print settings. Every computation yields it when an input
// is absent.
inline constexpr int32_t NO_VALUE = 9999999;

inline constexpr bool IsPresent(int32_t v) { return v != NO_VALUE; }

struct CMeasRow {
    int32_t m_nMeter = NO_VALUE;    // m
    int32_t m_nPotOn = NO_VALUE;    // mV
    int32_t m_nPotOff = NO_VALUE;   // mV
    int32_t m_nGradOnL = NO_VALUE;  // 0.1 mV
    int32_t m_nGradOnR = NO_VALUE;  // 0.1 mV
    int32_t m_nGradOffL = NO_VALUE; // 0.1 mV
    int32_t m_nGradOffR = NO_VALUE; // 0.1 mV
    // The entry of CSurveyExtras::rows this row was read with (1..), 0 for
    // none: it travels with the row through every insert, delete, sort,
    // reverse and their undo, so the file's position stays the row's.
    uint32_t m_nSource = 0;
    CRowText m_strComment; // UTF-8 in memory

    bool operator==(const CMeasRow&) const = default;
};

// Reading a survey touches every byte of its rows: keep them small.
static_assert(sizeof(CMeasRow) <= 40);

// The seven numbers of a row, as a cell edit or an added constant names them.
enum class ERowValue { Meter, PotOn, PotOff, GradOnL, GradOnR, GradOffL, GradOffR };

inline int32_t CMeasRow::*RowValueMember(ERowValue value)
{
    constexpr int32_t CMeasRow::*kMembers[] = {
        &CMeasRow::m_nMeter,   &CMeasRow::m_nPotOn,    &CMeasRow::m_nPotOff,   &CMeasRow::m_nGradOnL,
        &CMeasRow::m_nGradOnR, &CMeasRow::m_nGradOffL, &CMeasRow::m_nGradOffR,
    };
    return kMembers[static_cast<int>(value)];
}
