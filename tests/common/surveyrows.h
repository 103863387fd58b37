// SPDX-License-Identifier: GPL-3.0-or-later
// Surveys built in code for the pane and print tests: one row's values and a
// document made to hold exactly those rows.
#pragma once

#include "tredoc.h"

#include <string>
#include <utility>
#include <vector>

struct CSurveyRow {
    CSurveyRow(int32_t m = 0, int32_t pOn = NO_VALUE, int32_t pOff = NO_VALUE, int32_t gOnL = NO_VALUE,
               int32_t gOnR = NO_VALUE, int32_t gOffL = NO_VALUE, int32_t gOffR = NO_VALUE, std::string c = {})
        : meter(m)
        , potOn(pOn)
        , potOff(pOff)
        , gradOnL(gOnL)
        , gradOnR(gOnR)
        , gradOffL(gOffL)
        , gradOffR(gOffR)
        , comment(std::move(c))
    { }
    int32_t meter = 0;
    int32_t potOn = NO_VALUE, potOff = NO_VALUE;
    int32_t gradOnL = NO_VALUE, gradOnR = NO_VALUE, gradOffL = NO_VALUE, gradOffR = NO_VALUE;
    std::string comment;
};

// A new, unmodified document holding exactly `rows` (at least one).
inline void FillSurvey(CTreDoc& doc, const std::vector<CSurveyRow>& rows)
{
    doc.OnNewDocument();
    for (size_t i = 1; i < rows.size(); ++i) doc.InsertRowAfter(static_cast<int>(i));
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        const CSurveyRow& s = rows[i];
        doc.SetMeter(r, s.meter);
        doc.SetPotOn(r, s.potOn);
        doc.SetPotOff(r, s.potOff);
        doc.SetGradOnL(r, s.gradOnL);
        doc.SetGradOnR(r, s.gradOnR);
        doc.SetGradOffL(r, s.gradOffL);
        doc.SetGradOffR(r, s.gradOffR);
        doc.SetComment(r, s.comment);
    }
    doc.SetModifiedFlag(false);
}
