// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesschart.h"

#include "assesslayout.h"
#include "assessment.h"
#include "graphiclayout.h"
#include "numtext.h"
#include "tredoc.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>

namespace {

const QColor kOnColour(0, 0, 255);     // as the graphic print draws potential on
const QColor kOffColour(255, 0, 0);    // ... off
const QColor kIRFreeColour(0, 160, 0); // ... IR-free, a darker green that shows on white paper
const QColor kBandColours[3] = {QColor(230, 60, 60), QColor(40, 160, 40), QColor(60, 90, 230)}; // off, irfree, over
const QColor kDefectColour(200, 120, 0);

// The default potential axis of a new document, for a document whose axis
// has no extent.
constexpr int32_t kFallbackPotTop = -2000, kFallbackPotBottom = -400;

QString Str(const std::string& s) { return QString::fromStdString(s); }

struct SScale {
    double x0 = 0, xs = 1; // device x = x0 + (metre - mMin) * xs
    int64_t mMin = 0;
    double y0 = 0, ys = 1; // device y = y0 + (mV - potTop) * ys
    int32_t potTop = 0;
    double X(int64_t metre) const { return x0 + static_cast<double>(metre - mMin) * xs; }
    double Y(int64_t mv) const { return y0 + static_cast<double>(mv - potTop) * ys; }
};

// One curve as polylines, broken where the value (or the metre) is absent.
void DrawCurve(QPainter& p, const SScale& s, const CTreDoc& doc, int32_t (CTreDoc::*value)(int) const)
{
    QPolygonF line;
    auto flush = [&]() {
        if (line.size() >= 2) p.drawPolyline(line);
        else if (line.size() == 1) p.drawPoint(line.front());
        line.clear();
    };
    const int n = doc.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        const int32_t v = (doc.*value)(r);
        const int32_t metre = doc.GetMeter(r);
        if (!IsPresent(v) || !IsPresent(metre)) {
            flush();
            continue;
        }
        line.append(QPointF(s.X(metre), s.Y(v)));
    }
    flush();
}

} // namespace

void DrawAssessmentChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const CTreDoc& doc,
                         const SAssessment& a)
{
    p.save();
    const QFont font = PointFont(m, 8);
    p.setFont(font);
    const int th = TextHeight(p);

    // the metre range of the whole survey
    const int n = doc.GetRowCount();
    int64_t mMin = 0, mMax = 0;
    bool any = false;
    for (int r = 1; r <= n; ++r) {
        const int32_t v = doc.GetMeter(r);
        if (!IsPresent(v)) continue;
        mMin = any ? std::min<int64_t>(mMin, v) : v;
        mMax = any ? std::max<int64_t>(mMax, v) : v;
        any = true;
    }
    if (mMax == mMin) ++mMax;

    int32_t potTop = doc.m_nPotAxisMax, potBottom = doc.m_nPotAxisMin;
    if (potTop == potBottom) {
        potTop = kFallbackPotTop;
        potBottom = kFallbackPotBottom;
    }

    // plot area: room for the potential labels on the left, the metre
    // labels, the band lanes and the legend below
    const int laneH = MmDY(m, 1.5);
    const int laneGap = MmDY(m, 0.5);
    const QString probe = QStringLiteral("-0.00 ");
    const int left = box.left() + TextWidth(p, probe) + MmDX(m, 2);
    const int right = box.right() - MmDX(m, 2);
    const int top = box.top() + th + MmDY(m, 1);
    const int legendH = 2 * th + MmDY(m, 2);
    const int bottom = box.bottom() - legendH - th - MmDY(m, 2);
    const int curveBottom = bottom - 3 * (laneH + laneGap) - laneGap;
    if (right - left < 10 || curveBottom - top < 10) {
        p.restore();
        return;
    }

    SScale s;
    s.x0 = left;
    s.mMin = mMin;
    s.xs = static_cast<double>(right - left) / static_cast<double>(mMax - mMin);
    s.y0 = top;
    s.potTop = potTop;
    s.ys = static_cast<double>(curveBottom - top) / static_cast<double>(potBottom - potTop);

    const QPen thin(Qt::black, std::max(1, m.dpy / 300));
    const QPen grid(QColor(200, 200, 200), std::max(1, m.dpy / 600));

    // potential grid and labels (in V, as the graphic print labels them)
    p.setPen(Qt::black);
    TextOut(p, left, box.top(), QStringLiteral("Potential [V]"), TA_LEFT | TA_TOP);
    for (int64_t f : graphiclayout::PotentialTicks(potTop, potBottom)) {
        const double y = s.Y(-f);
        if (y < top - 1 || y > curveBottom + 1) continue;
        p.setPen(grid);
        p.drawLine(QPointF(left, y), QPointF(right, y));
        p.setPen(Qt::black);
        TextOut(p, left - MmDX(m, 1), static_cast<int>(y) + th / 2,
                Str(tresnum::FormatFixed(-static_cast<double>(f) * 0.001, 2)), TA_RIGHT | TA_BOTTOM);
    }
    // metre grid and labels
    const int64_t step = assesslayout::NiceStep(mMax - mMin, 10);
    int64_t first = mMin / step * step;
    if (first < mMin) first += step;
    for (int64_t metre = first; metre <= mMax; metre += step) {
        const double x = s.X(metre);
        p.setPen(grid);
        p.drawLine(QPointF(x, top), QPointF(x, curveBottom));
        p.setPen(Qt::black);
        TextOut(p, static_cast<int>(x), bottom + MmDY(m, 0.5), QString::number(metre), TA_CENTER | TA_TOP);
    }
    TextOut(p, right, bottom + MmDY(m, 0.5) + th, QStringLiteral("Meter [m]"), TA_RIGHT | TA_TOP);

    // curves, clipped to the plot area: the axis need not hold every value
    p.save();
    p.setClipRect(QRect(QPoint(left, top), QPoint(right, curveBottom)));
    p.setRenderHint(QPainter::Antialiasing, true);
    const int curveWidth = std::max(1, m.dpy / 200);
    struct SCurve {
        QColor colour;
        int32_t (CTreDoc::*value)(int) const;
    };
    const SCurve curves[3]
        = {{kOnColour, &CTreDoc::GetPotOn}, {kOffColour, &CTreDoc::GetPotOff}, {kIRFreeColour, &CTreDoc::GetPotIRFree}};
    for (const SCurve& c : curves) {
        p.setPen(QPen(DeviceColour(m, c.colour), curveWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        DrawCurve(p, s, doc, c.value);
    }
    // the protection criterion of the survey
    QPen dashed(Qt::black, curveWidth, Qt::DashLine);
    p.setPen(dashed);
    const double yc = s.Y(SurveyCriterion(doc));
    p.drawLine(QPointF(left, yc), QPointF(right, yc));
    p.restore();

    // indication bands, one lane per potential criterion, and the defects
    const int minBand = std::max(1, m.dpx / 150); // a one-row indication stays visible
    for (const SIndication& i : a.indications) {
        const int k = static_cast<int>(i.criterion);
        if (k > static_cast<int>(ECriterion::Over)) continue;
        const double x1 = s.X(std::min(i.fromMetre, i.toMetre));
        const double x2 = s.X(std::max(i.fromMetre, i.toMetre));
        const double y = curveBottom + laneGap + k * (laneH + laneGap);
        p.fillRect(QRectF(x1, y, std::max<double>(x2 - x1, minBand), laneH), DeviceColour(m, kBandColours[k]));
    }
    const double tri = MmDX(m, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(DeviceColour(m, kDefectColour));
    for (const SDefect& d : a.defects) {
        const double x = s.X(d.metre);
        const QPointF pts[3] = {{x, static_cast<double>(bottom) - tri},
                                {x - tri / 2, static_cast<double>(bottom)},
                                {x + tri / 2, static_cast<double>(bottom)}};
        p.drawPolygon(pts, 3);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(thin);
    p.drawRect(QRect(QPoint(left, top), QPoint(right, bottom)));

    // legend, two lines
    const int ly1 = box.bottom() - legendH + MmDY(m, 1);
    const int ly2 = ly1 + th + MmDY(m, 0.5);
    const int sample = MmDX(m, 6);
    int x = left;
    auto lineEntry = [&](const QPen& pen, const QString& text, int y) {
        p.setPen(pen);
        p.drawLine(QPointF(x, y + th / 2.0), QPointF(x + sample, y + th / 2.0));
        p.setPen(Qt::black);
        TextOut(p, x + sample + MmDX(m, 1), y, text, TA_LEFT | TA_TOP);
        x += sample + MmDX(m, 1) + TextWidth(p, text) + MmDX(m, 5);
    };
    lineEntry(QPen(DeviceColour(m, kOnColour), curveWidth), QStringLiteral("Potential Ein"), ly1);
    lineEntry(QPen(DeviceColour(m, kOffColour), curveWidth), QStringLiteral("Potential Aus"), ly1);
    lineEntry(QPen(DeviceColour(m, kIRFreeColour), curveWidth), QStringLiteral("IR-frei"), ly1);
    lineEntry(dashed, QStringLiteral("Schutzkriterium ") + Str(doc.m_header[2]).trimmed(), ly1);
    x = left;
    for (int k = 0; k < 3; ++k) {
        const QString text = QString::fromUtf8(CriterionName(static_cast<ECriterion>(k)));
        p.fillRect(QRect(x, ly2 + th / 2 - laneH / 2, sample, laneH), DeviceColour(m, kBandColours[k]));
        TextOut(p, x + sample + MmDX(m, 1), ly2, text, TA_LEFT | TA_TOP);
        x += sample + MmDX(m, 1) + TextWidth(p, text) + MmDX(m, 5);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(DeviceColour(m, kDefectColour));
    const double xt = x;
    const QPointF pts[3] = {{xt + tri / 2, ly2 + th / 2.0 - tri / 2},
                            {xt, ly2 + th / 2.0 + tri / 2},
                            {xt + tri, ly2 + th / 2.0 + tri / 2}};
    p.drawPolygon(pts, 3);
    p.setBrush(Qt::NoBrush);
    p.setPen(Qt::black);
    TextOut(p, static_cast<int>(x + tri + MmDX(m, 1)), ly2, QString::fromUtf8(CriterionName(ECriterion::GradDiff)),
            TA_LEFT | TA_TOP);
    p.restore();
}
