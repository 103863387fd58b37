// SPDX-License-Identifier: GPL-3.0-or-later
// Three surveys made for the trend: a defect that persists and grows, one
// that is new, one that vanishes, one repaired that shows again, a stretch
// that loses protection and a fixed point whose potential drifts.
#pragma once

#include "trendreport.h"

#include <cmath>

using namespace trestrend;

namespace trendfixture {

using S = EVerdictStatus;

// 0..1500 m, a row per 2 m with a wavy E* shifted by `shift` mV.
inline STrendSurvey Survey(long long id, const std::string& date, int shift)
{
    STrendSurvey s;
    s.id = id;
    s.date = date;
    s.file = "leitung-" + date.substr(0, 4) + ".tsd";
    s.chainage = true;
    for (int m = 0; m <= 1500; m += 2) {
        const int32_t value = -1000 + shift + static_cast<int32_t>(std::lround(60 * std::sin(m / 90.0)));
        s.rows.push_back({m / 2 + 1, m, static_cast<double>(m), S::Protected, value});
    }
    return s;
}

inline void Defect(STrendSurvey& s, double at, int category)
{
    s.defects.push_back({static_cast<int>(at) / 2 + 1, static_cast<int32_t>(at), at, category, 20.0, S::Unprotected,
                         category == 3 ? kDigNow : "beobachten"});
}

inline STrendReportInput Input()
{
    STrendReportInput in;
    in.pipelineName = QStringLiteral("Ferngasleitung Nord");
    in.pipelineNumber = QStringLiteral("FL 12");
    in.surveys = {Survey(11, "2019-05-06", 0), Survey(17, "2022-05-10", 40), Survey(23, "2025-05-12", 100)};
    Defect(in.surveys[0], 300, 1);
    Defect(in.surveys[1], 302, 2);
    Defect(in.surveys[2], 301, 3); // persists, grows
    Defect(in.surveys[1], 800, 2);
    Defect(in.surveys[2], 801, 2);  // new in the second
    Defect(in.surveys[0], 1200, 3); // vanishes
    Defect(in.surveys[0], 500, 2);
    Defect(in.surveys[1], 500, 2); // repaired after the first, shown again
    for (STrendRow& r : in.surveys[2].rows)
        if (r.position >= 1000 && r.position < 1100) r.status = S::Unprotected;
    // The gap the sheets must not bridge.
    for (STrendRow& r : in.surveys[1].rows)
        if (r.position >= 600 && r.position < 640) r.value.reset();
    static const std::vector<SDigFinding> findings{
        {11, 251, "2020-03-02", "Umhüllungsschaden 2 cm²", true, 0.4, "Tiefbau Lenz"}};
    STrendOptions options;
    options.interval = 3;
    options.today = "2026-12-10";
    in.trend = ComputeTrend(in.surveys, findings, {{"Prüfstelle 7", 700}, {"Prüfstelle 12", 1400}}, options);
    in.protection = {-850, -850, -950};
    in.electrode = QStringLiteral("Cu/CuSO4");
    return in;
}

} // namespace trendfixture

using trendfixture::Input;
