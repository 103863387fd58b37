// SPDX-License-Identifier: GPL-3.0-or-later
// A survey tied to pipeline data for the report tests, worked out by hand:
// rows every 5 m from metre 0 to 500 (on -1150, off -950 mV, a flat
// lateral signal), fixed points "A" at metre 0 (chainage 1000 m) and "B"
// at metre 500 (chainage 1550 m), so chainage = 1000 + 1.1 x metre. At
// metre 230 (chainage 1253 m) the off potential rises to -800 mV, the
// lateral signal peaks (a defect) and the comment "Schieber" stands. A
// section from chainage 1100 to 1200 m sets E_p -950 mV, and there the off
// potential is -900 mV (metres 95 to 180, chainages 1104,5 to 1198 m).
#pragma once

#include "pipelinedata.h"
#include "surveybinding.h"
#include "surveyrows.h"

#include <vector>

inline void BuildTiedSurvey(CTreDoc& doc)
{
    std::vector<CSurveyRow> rows;
    for (int m = 0; m <= 500; m += 5) {
        CSurveyRow row{m, -1150, m >= 95 && m <= 180 ? -900 : -950, 30, 30, 30, 30};
        if (m == 230) row = CSurveyRow{m, -1000, -800, 400, 400, 350, 350, "Schieber"};
        if (m == 0) row.comment = "A";
        if (m == 500) row.comment = "B";
        rows.push_back(row);
    }
    FillSurvey(doc, rows);
    doc.m_header[2] = "-850 mV";
}

inline trespipeline::SPipelineData TiedSurveyData()
{
    trespipeline::SPipelineData d;
    d.route.startChainage = 1000;
    d.route.vertices = {{9.0, 48.0}, {9.0074, 48.0}};
    trespipeline::SFixpoint a, b;
    a.name = a.match = "A";
    a.chainage = 1000;
    b.name = b.match = "B";
    b.chainage = 1550;
    d.fixpoints = {a, b};
    trespipeline::SSection anaerobic;
    anaerobic.feature = 3;
    anaerobic.name = "Aue";
    anaerobic.from = 1100;
    anaerobic.to = 1200;
    anaerobic.protectionPotential = -950;
    d.sections = {anaerobic};
    return d;
}
