// Surveys built in code for the pane tests, and a host that counts what the
// document asks of it.
#pragma once

#include "tredoc.h"
#include "viewhub.h"

#include <QColor>
#include <QImage>

#include <string>
#include <vector>

struct CRowData {
    CRowData(int32_t m = 0, int32_t pOn = NO_VALUE, int32_t pOff = NO_VALUE, int32_t gOnL = NO_VALUE,
             int32_t gOnR = NO_VALUE, int32_t gOffL = NO_VALUE, int32_t gOffR = NO_VALUE, std::string c = {})
        : meter(m), potOn(pOn), potOff(pOff), gradOnL(gOnL), gradOnR(gOnR), gradOffL(gOffL), gradOffR(gOffR),
          comment(std::move(c))
    {
    }
    int32_t meter = 0;
    int32_t potOn = NO_VALUE;
    int32_t potOff = NO_VALUE;
    int32_t gradOnL = NO_VALUE;
    int32_t gradOnR = NO_VALUE;
    int32_t gradOffL = NO_VALUE;
    int32_t gradOffR = NO_VALUE;
    std::string comment;
};

// A new document holding exactly `rows` (at least one), unmodified.
inline void FillDoc(CTreDoc& doc, const std::vector<CRowData>& rows)
{
    doc.OnNewDocument();
    for (size_t i = 1; i < rows.size(); ++i) doc.InsertRowAfter(static_cast<int>(i));
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        const CRowData& s = rows[i];
        doc.SetMeter(r, s.meter);
        doc.SetPotOn(r, s.potOn);
        doc.SetPotOff(r, s.potOff);
        doc.SetGradOnL(r, s.gradOnL);
        doc.SetGradOnR(r, s.gradOnR);
        doc.SetGradOffL(r, s.gradOffL);
        doc.SetGradOffR(r, s.gradOffR);
        doc.SetComment(r, s.comment);
    }
    doc.m_nViewCounter = 0;
    doc.SetModifiedFlag(false);
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
    void UpdateAllViews() override { ++m_nUpdates; CTreViewHub::UpdateAllViews(); }
    void InvalidateCurveViews() override { ++m_nInvalidations; CTreViewHub::InvalidateCurveViews(); }
    void ModifiedChanged(bool modified) override { m_bModified = modified; }
    int m_nUpdates = 0;
    int m_nInvalidations = 0;
    bool m_bModified = false;
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
