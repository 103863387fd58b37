// SPDX-License-Identifier: GPL-3.0-or-later
// Surveys built in code for the print tests.
#pragma once

#include "surveyrows.h"
#include "tredoc.h"

#include <string>
#include <vector>

using CPrintRow = CSurveyRow;

inline void FillDoc(CTreDoc& doc, const std::vector<CPrintRow>& rows) { FillSurvey(doc, rows); }

// Rows every `step` metres from 0 to `length`.
inline std::vector<CPrintRow> Survey(int length, int step = 10)
{
    std::vector<CPrintRow> rows;
    for (int m = 0; m <= length; m += step) rows.push_back({m, -1150, -950, 80, 60, 10, 8, ""});
    return rows;
}
