// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesschart.h"

#include "assesslayout.h"
#include "doc/comparison.h"
#include "doc/tredoc.h"
#include "graphiclayout.h"
#include "polylinesink.h"
#include "sheetplan.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

const QColor kOffColour(255, 0, 0); // as the graphic print draws potential off
const QColor kWorseColour(230, 60, 60);
const QColor kShiftColour(60, 90, 230);
const QColor kComparisonColour(110, 110, 110); // the comparison survey, grey as in the potential pane

// The default potential axis of a new document, for a document whose axis
// has no extent.
constexpr int32_t kFallbackPotTop = -2000, kFallbackPotBottom = -400;

QString Str(const std::string& s) { return QString::fromStdString(s); }

struct SScale {
    double x0 = 0, xs = 1; // device x = x0 + (position - mMin) * xs
    int64_t mMin = 0;
    double y0 = 0, ys = 1; // device y = y0 + (mV - potTop) * ys
    int32_t potTop = 0;
    double X(double position) const { return x0 + (position - static_cast<double>(mMin)) * xs; }
    double Y(int64_t mv) const { return y0 + static_cast<double>(mv - potTop) * ys; }
};

// Row r's place on the chart's axis: at [r - 1] of `at` (NaN: none), or
// without it the recorded metre.
double RowAt(const CTreDoc& doc, const std::vector<double>* at, int r)
{
    if (!at) return IsPresent(doc.GetMeter(r)) ? doc.GetMeter(r) : NAN;
    return static_cast<size_t>(r) <= at->size() ? (*at)[static_cast<size_t>(r - 1)] : NAN;
}

// One curve as polylines, broken where the value (or the place) is absent.
void DrawCurve(QPainter& p, const SScale& s, const CTreDoc& doc, int32_t (CTreDoc::*value)(int) const,
               const std::vector<double>* at)
{
    CPolylineSink line(p);
    const int n = doc.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        const int32_t v = (doc.*value)(r);
        const double x = RowAt(doc, at, r);
        if (!IsPresent(v) || std::isnan(x)) line.Break();
        else line.Add(s.X(x), s.Y(v));
    }
}

// The native potential of each pair at its place (`at`), broken where
// neither was measured.
void DrawNativeCurve(QPainter& p, const SScale& s, const SComparison& c, const std::vector<double>& at)
{
    CPolylineSink line(p);
    for (size_t i = 0; i < c.pairs.size() && i < at.size(); ++i) {
        const int32_t v = NativePotential(c, i);
        if (!IsPresent(v) || std::isnan(at[i])) line.Break();
        else line.Add(s.X(at[i]), s.Y(v));
    }
}

QColor BandColour(ECompareCriterion c) { return c == ECompareCriterion::Worse ? kWorseColour : kShiftColour; }

// The box cut into the plot area with room for the potential labels on the
// left, the metre labels, `lanes` band lanes and `legendLines` lines of
// legend below, and the scale of the current survey's metre range and the
// document's potential axis. Both charts of the report stand on it, so
// their axes read the same.
struct SChartLayout {
    SScale s;
    int th = 0;
    int left = 0, right = 0, top = 0, bottom = 0, curveBottom = 0;
    int laneH = 0, laneGap = 0, legendH = 0;
    int32_t potTop = 0, potBottom = 0;
    int64_t mMin = 0, mMax = 0;
    int curveWidth = 1;
};

// False when the box is too small for a plot area.
bool LayoutChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const CTreDoc& doc,
                 const std::vector<double>* at, int lanes, int legendLines, SChartLayout& l)
{
    l.th = TextHeight(p);

    // the range of the whole survey on the axis, in whole metres
    const int n = doc.GetRowCount();
    bool any = false;
    for (int r = 1; r <= n; ++r) {
        const double x = RowAt(doc, at, r);
        if (std::isnan(x)) continue;
        const int64_t lo = static_cast<int64_t>(std::floor(x)), hi = static_cast<int64_t>(std::ceil(x));
        l.mMin = any ? std::min(l.mMin, lo) : lo;
        l.mMax = any ? std::max(l.mMax, hi) : hi;
        any = true;
    }
    if (l.mMax == l.mMin) ++l.mMax;

    l.potTop = doc.m_nPotAxisMax;
    l.potBottom = doc.m_nPotAxisMin;
    if (l.potTop == l.potBottom) {
        l.potTop = kFallbackPotTop;
        l.potBottom = kFallbackPotBottom;
    }

    l.laneH = MmDY(m, 1.5);
    l.laneGap = MmDY(m, 0.5);
    const QString probe = QStringLiteral("-0,00 ");
    l.left = box.left() + TextWidth(p, probe) + MmDX(m, 2);
    l.right = box.right() - MmDX(m, 2);
    l.top = box.top() + l.th + MmDY(m, 1);
    l.legendH = legendLines * l.th + MmDY(m, 2);
    l.bottom = box.bottom() - l.legendH - l.th - MmDY(m, 2);
    l.curveBottom = l.bottom - lanes * (l.laneH + l.laneGap) - l.laneGap;
    if (l.right - l.left < 10 || l.curveBottom - l.top < 10) return false;

    l.s.x0 = l.left;
    l.s.mMin = l.mMin;
    l.s.xs = static_cast<double>(l.right - l.left) / static_cast<double>(l.mMax - l.mMin);
    l.s.y0 = l.top;
    l.s.potTop = l.potTop;
    l.s.ys = static_cast<double>(l.curveBottom - l.top) / static_cast<double>(l.potBottom - l.potTop);
    l.curveWidth = std::max(1, m.dpy / 200);
    return true;
}

// The potential grid with its labels in V (as the graphic print labels
// them) and the metre grid with its labels.
void DrawAxes(QPainter& p, const CPrintMetrics& m, const QRect& box, const SChartLayout& l, const QString& electrode,
              bool chainage)
{
    const SScale& s = l.s;
    const int th = l.th;
    const QPen grid(QColor(200, 200, 200), std::max(1, m.dpy / 600));
    p.setPen(Qt::black);
    TextOut(p, l.left, box.top(), QStringLiteral("U gegen ") + electrode + QStringLiteral(" [V]"), TA_LEFT | TA_TOP);
    for (int64_t f : graphiclayout::PotentialTicks(l.potTop, l.potBottom)) {
        const double y = s.Y(-f);
        if (y < l.top - 1 || y > l.curveBottom + 1) continue;
        p.setPen(grid);
        p.drawLine(QPointF(l.left, y), QPointF(l.right, y));
        p.setPen(Qt::black);
        TextOut(p, l.left - MmDX(m, 1), static_cast<int>(y) + th / 2, Str(assesslayout::ThousandthsText(-f, 2)),
                TA_RIGHT | TA_BOTTOM);
    }
    const int64_t step = assesslayout::NiceStep(l.mMax - l.mMin, 10);
    int64_t first = l.mMin / step * step;
    if (first < l.mMin) first += step;
    for (int64_t metre = first; metre <= l.mMax; metre += step) {
        const double x = s.X(static_cast<double>(metre));
        p.setPen(grid);
        p.drawLine(QPointF(x, l.top), QPointF(x, l.curveBottom));
        p.setPen(Qt::black);
        TextOut(p, static_cast<int>(x), l.bottom + MmDY(m, 0.5), QString::number(metre), TA_CENTER | TA_TOP);
    }
    TextOut(p, l.right, l.bottom + MmDY(m, 0.5) + th,
            chainage ? QStringLiteral("Stationierung [m]") : QStringLiteral("Meter [m]"), TA_RIGHT | TA_TOP);
}

// Curves stay inside the plot area: the axis need not hold every value.
void ClipToCurves(QPainter& p, const SChartLayout& l)
{
    p.setClipRect(QRect(QPoint(l.left, l.top), QPoint(l.right, l.curveBottom)));
    p.setRenderHint(QPainter::Antialiasing, true);
}

// A band under the curves from one place to another in lane `lane`.
void DrawBand(QPainter& p, const CPrintMetrics& m, const SChartLayout& l, int lane, double from, double to,
              const QColor& colour)
{
    if (std::isnan(from) || std::isnan(to)) return;
    const int minBand = std::max(1, m.dpx / 150); // a one-row indication stays visible
    const double x1 = l.s.X(std::min(from, to));
    const double x2 = l.s.X(std::max(from, to));
    const double y = l.curveBottom + l.laneGap + lane * (l.laneH + l.laneGap);
    p.fillRect(QRectF(x1, y, std::max<double>(x2 - x1, minBand), l.laneH), DeviceColour(m, colour));
}

void DrawPlotFrame(QPainter& p, const CPrintMetrics& m, const SChartLayout& l)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, std::max(1, m.dpy / 300)));
    p.drawRect(QRect(QPoint(l.left, l.top), QPoint(l.right, l.bottom)));
}

// A legend line: entries side by side from the plot's left edge.
class CLegendLine {
public:
    CLegendLine(QPainter& p, const CPrintMetrics& m, const SChartLayout& l, int y)
        : m_p(p)
        , m_m(m)
        , m_th(l.th)
        , m_laneH(l.laneH)
        , m_y(y)
        , m_x(l.left)
        , m_sample(MmDX(m, 6))
    { }
    void Line(const QPen& pen, const QString& text)
    {
        m_p.setPen(pen);
        m_p.drawLine(QPointF(m_x, m_y + m_th / 2.0), QPointF(m_x + m_sample, m_y + m_th / 2.0));
        m_p.setPen(Qt::black);
        Text(text);
    }
    void Band(const QColor& colour, const QString& text)
    {
        m_p.fillRect(QRect(m_x, m_y + m_th / 2 - m_laneH / 2, m_sample, m_laneH), DeviceColour(m_m, colour));
        Text(text);
    }
    int X() const { return m_x; }

private:
    void Text(const QString& text)
    {
        TextOut(m_p, m_x + m_sample + MmDX(m_m, 1), m_y, text, TA_LEFT | TA_TOP);
        m_x += m_sample + MmDX(m_m, 1) + TextWidth(m_p, text) + MmDX(m_m, 5);
    }
    QPainter& m_p;
    const CPrintMetrics& m_m;
    int m_th, m_laneH, m_y, m_x, m_sample;
};

} // namespace

void DrawComparisonChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const CTreDoc& current,
                         const CTreDoc& earlier, const SComparison& c, const QString& electrode,
                         const std::vector<double>* chainage)
{
    p.save();
    p.setFont(PointFont(m, 8));
    SChartLayout l;
    if (!LayoutChart(p, m, box, current, chainage, 1, 1, l)) {
        p.restore();
        return;
    }
    DrawAxes(p, m, box, l, electrode, chainage != nullptr);

    const bool native = c.mode == ECompareMode::Native;
    const QPen otherPen(DeviceColour(m, kComparisonColour), l.curveWidth, native ? Qt::DashLine : Qt::DotLine,
                        Qt::FlatCap, Qt::RoundJoin);
    const QPen currentPen(DeviceColour(m, kOffColour), l.curveWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.save();
    ClipToCurves(p, l);
    // The comparison survey lies behind the current one.
    p.setPen(otherPen);
    // Both stand on the current survey's axis, where the comparison paired
    // them.
    const CComparisonAxis place(current, *c.alignment, chainage);
    const std::vector<double> at = ComparisonPositions(current, earlier, c, chainage);
    if (native) DrawNativeCurve(p, l.s, c, at);
    else DrawCurve(p, l.s, earlier, &CTreDoc::GetPotOff, &at);
    p.setPen(currentPen);
    DrawCurve(p, l.s, current, &CTreDoc::GetPotOff, chainage);
    p.restore();

    for (const SCompareIndication& i : c.indications)
        DrawBand(p, m, l, 0, place(i.fromMetre), place(i.toMetre), BandColour(i.criterion));
    DrawPlotFrame(p, m, l);

    const ECompareCriterion criterion = native ? ECompareCriterion::Shift : ECompareCriterion::Worse;
    CLegendLine legend(p, m, l, box.bottom() - l.legendH + MmDY(m, 1));
    legend.Line(currentPen, QStringLiteral("Potential Aus"));
    legend.Line(otherPen, native ? QStringLiteral("Nativpotential") : QString::fromUtf8("Potential Aus früher"));
    legend.Band(BandColour(criterion), QString::fromUtf8(CompareCriterionName(criterion)));
    p.restore();
}
