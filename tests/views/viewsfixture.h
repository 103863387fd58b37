// SPDX-License-Identifier: GPL-3.0-or-later
// Surveys built in code for the pane tests, and a host that counts what the
// document asks of it.
#pragma once

#include "surveyrows.h"
#include "tredoc.h"
#include "viewhub.h"

#include <QColor>
#include <QImage>

#include <string>
#include <vector>

using CRowData = CSurveyRow;

// A new document holding exactly `rows` (at least one), unmodified, with
// its panes to be numbered afresh.
inline void FillDoc(CTreDoc& doc, const std::vector<CRowData>& rows)
{
    FillSurvey(doc, rows);
    doc.m_nViewCounter = 0;
}

// Rows at every `step` metres from 0 to `length`, potential and gradients
// present.
inline std::vector<CRowData> EvenSurvey(int length, int step = 1)
{
    std::vector<CRowData> rows;
    for (int m = 0; m <= length; m += step)
        rows.push_back({m, -1150 - (m % 37), -950 - (m % 11), 70 + m % 9, 60 + m % 5, 10 + m % 3, 8, ""});
    return rows;
}

class CCountingHost : public CTreViewHub {
public:
    void UpdateAllViews() override
    {
        ++m_nUpdates;
        CTreViewHub::UpdateAllViews();
    }
    void InvalidateCurveViews() override
    {
        ++m_nInvalidations;
        CTreViewHub::InvalidateCurveViews();
    }
    void ModifiedChanged(bool modified) override { m_bModified = modified; }
    void ShowMessage(const std::string& text) override { m_messages.push_back(text); }
    int m_nUpdates = 0;
    int m_nInvalidations = 0;
    bool m_bModified = false;
    std::vector<std::string> m_messages;
};

inline bool SameRgb(QRgb a, const QColor& c) { return (a & 0xffffff) == (c.rgb() & 0xffffff); }

// Number of pixels of colour `c` inside the rectangle (inclusive bounds,
// clipped to the image).
inline int CountColor(const QImage& img, int x0, int y0, int x1, int y1, const QColor& c)
{
    int n = 0;
    for (int y = std::max(0, y0); y <= std::min(img.height() - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(img.width() - 1, x1); ++x)
            if (SameRgb(img.pixel(x, y), c)) ++n;
    return n;
}
