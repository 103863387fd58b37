// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesssheet.h"

#include "doc/comparison.h"
#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "doc/verdictpalette.h"
#include "polylinesink.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <utility>

using assesslayout::SAxis;

namespace {

QColor Rgb(const SPaletteRgb& c, int alpha = 255) { return QColor(c.r, c.g, c.b, alpha); }

// The curves in the colours of the graphic print, IR-free and D in the
// paper's green; the comparison grey as in the panes.
const QColor kOnColour = Rgb(CurveOnColour());
const QColor kOffColour = Rgb(CurveOffColour());
const QColor kGreenColour = Rgb(CurveDiffPaperColour());
const QColor kComparisonColour = Rgb(ComparisonCurveColour());
const QColor kGridColour(205, 205, 205);
const QColor kLandmarkColour(120, 120, 120);
const QColor kLandmarkLineColour(150, 150, 150);

constexpr int kLabelPoints = 7;

QString Str(const std::string& s) { return QString::fromStdString(s); }

// The metre axis of the section, shared by both charts.
struct SScaleX {
    double x0 = 0, xs = 1;
    int64_t from = 0;
    double X(double metre) const { return x0 + (metre - static_cast<double>(from)) * xs; }
};

// A value axis: `top` is the value at the plot's top edge.
struct SScaleY {
    double y0 = 0, ys = 1;
    int64_t top = 0;
    double Y(int64_t v) const { return y0 + static_cast<double>(top - v) * ys; }
};

SScaleY PotentialScale(const QRect& plot, const SAxis& a)
{
    // Negative potentials upward, as the graphic print draws them.
    SScaleY s;
    s.y0 = plot.top();
    s.top = a.low;
    s.ys = -static_cast<double>(plot.height()) / static_cast<double>(a.high - a.low);
    return s;
}

SScaleY GradientScale(const QRect& plot, const SAxis& a)
{
    SScaleY s;
    s.y0 = plot.top();
    s.top = a.high;
    s.ys = static_cast<double>(plot.height()) / static_cast<double>(a.high - a.low);
    return s;
}

// A curve over `rows` (ascending row numbers): a line joins two rows that
// follow each other directly, both placed on the axis (`at`, NaN: not) and
// with a value, the second on in the survey's direction. Anything else
// breaks the line.
template <typename Position, typename Value>
void DrawRows(QPainter& p, const SScaleX& sx, const SScaleY& sy, const std::vector<int>& rows, int direction,
              Position at, Value value)
{
    CPolylineSink line(p);
    int prevRow = -1;
    double prevAt = NAN;
    for (const int r : rows) {
        const double m = at(r);
        const int64_t v = value(r);
        if (std::isnan(m) || v == NO_VALUE) {
            line.Break();
            prevRow = -1;
            continue;
        }
        if (prevRow != r - 1 || (m - prevAt) * direction <= 0) line.Break();
        line.Add(sx.X(m), sy.Y(v));
        prevRow = r;
        prevAt = m;
    }
}

// Lines at 45 degrees across `r`, `spacing` apart, computed rather than
// clipped so no clip path is written per stretch.
void Hatch(QPainter& p, const QRectF& r, double spacing)
{
    if (r.width() <= 0 || r.height() <= 0 || spacing <= 0) return;
    std::vector<QLineF> lines;
    // The lines x - y = c (device y grows downward) that cross the
    // rectangle: each runs from its top edge or left edge down to its
    // bottom edge or right edge.
    const double cFrom = r.left() - r.bottom(), cTo = r.right() - r.top();
    for (double c = std::ceil(cFrom / spacing) * spacing; c <= cTo; c += spacing) {
        QPointF a(c + r.top(), r.top());
        if (a.x() < r.left()) a = QPointF(r.left(), r.left() - c);
        QPointF b(c + r.bottom(), r.bottom());
        if (b.x() > r.right()) b = QPointF(r.right(), r.right() - c);
        lines.emplace_back(a, b);
    }
    p.drawLines(lines.data(), static_cast<int>(lines.size()));
}

// A downward triangle with its tip at `tip`.
void Triangle(QPainter& p, const QPointF& tip, double size)
{
    const QPointF pts[3] = {tip, {tip.x() - size / 2, tip.y() - size}, {tip.x() + size / 2, tip.y() - size}};
    p.drawPolygon(pts, 3);
}

// Legend entries side by side, wrapping to the next line at the right edge.
class CLegend {
public:
    CLegend(QPainter& p, const CPrintMetrics& m, const QRect& box)
        : m_p(p)
        , m_m(m)
        , m_box(box)
        , m_x(box.left())
        , m_y(box.top())
        , m_lh(TextHeight(p) + MmDY(m, 0.8))
        , m_sample(MmDX(m, 5))
    { }
    void Line(const QPen& pen, const QString& text)
    {
        Place(text);
        m_p.setPen(pen);
        m_p.drawLine(QPointF(m_x, Mid()), QPointF(m_x + m_sample, Mid()));
        Text(text);
    }
    void Dot(const QPen& pen, const QString& text)
    {
        Place(text);
        m_p.setPen(pen);
        m_p.drawPoint(QPointF(m_x + m_sample / 2.0, Mid()));
        Text(text);
    }
    void Swatch(EVerdictStatus status, const QString& text)
    {
        Place(text);
        const QRectF r(m_x, Mid() - MmDY(m_m, 1.2), m_sample, MmDY(m_m, 2.4));
        if (VerdictStatusHatched(status)) {
            m_p.setPen(QPen(Rgb(VerdictStatusColour(status)), std::max(1, m_m.dpy / 400)));
            Hatch(m_p, r, MmDX(m_m, 1.0));
            m_p.setBrush(Qt::NoBrush);
            m_p.drawRect(r);
        } else {
            m_p.fillRect(r, Rgb(VerdictStatusColour(status), kVerdictShadeAlpha));
        }
        Text(text);
    }
    void Mark(const QString& text)
    {
        Place(text);
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(Rgb(DefectMarkColour()));
        const double size = MmDX(m_m, 2);
        Triangle(m_p, QPointF(m_x + m_sample / 2.0, Mid() + size / 2), size);
        m_p.setBrush(Qt::NoBrush);
        Text(text);
    }
    void Tick(const QString& text)
    {
        Place(text);
        m_p.setPen(QPen(kLandmarkColour, std::max(1, m_m.dpy / 300)));
        m_p.drawLine(QPointF(m_x + m_sample / 2.0, m_y), QPointF(m_x + m_sample / 2.0, m_y + m_lh * 0.8));
        Text(text);
    }
    // A remark without a sample.
    void Note(const QString& text)
    {
        if (m_x > m_box.left() && m_x + TextWidth(m_p, text) > m_box.right()) Break();
        m_p.setPen(Qt::black);
        TextOut(m_p, m_x, m_y, text, TA_LEFT | TA_TOP);
        m_x += TextWidth(m_p, text) + MmDX(m_m, 4);
    }
    // Ends the current line.
    void Break()
    {
        if (m_x == m_box.left()) return;
        m_x = m_box.left();
        m_y += m_lh;
    }

private:
    double Mid() const { return m_y + TextHeight(m_p) / 2.0; }
    int Width(const QString& text) const { return m_sample + MmDX(m_m, 1) + TextWidth(m_p, text) + MmDX(m_m, 4); }
    void Place(const QString& text)
    {
        if (m_x > m_box.left() && m_x + Width(text) > m_box.right()) Break();
    }
    void Text(const QString& text)
    {
        m_p.setPen(Qt::black);
        TextOut(m_p, m_x + m_sample + MmDX(m_m, 1), m_y, text, TA_LEFT | TA_TOP);
        m_x += Width(text);
    }
    QPainter& m_p;
    const CPrintMetrics& m_m;
    QRect m_box;
    int m_x, m_y, m_lh, m_sample;
};

// The value axis' labels at the left of `plot` and its grid lines across.
void ValueAxis(QPainter& p, const CPrintMetrics& m, const QRect& plot, const SScaleY& sy, const SAxis& axis,
               const QPen& grid, bool volts)
{
    for (const int64_t t : assesslayout::AxisTicks(axis)) {
        const double y = sy.Y(t);
        p.setPen(grid);
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(Qt::black);
        const std::string text = volts ? assesslayout::ThousandthsText(t, 1)
                                       : (axis.step % 10 == 0 ? std::to_string(t / 10) : assesslayout::TenthsText(t));
        TextOut(p, plot.left() - MmDX(m, 1), static_cast<int>(y) + TextHeight(p) / 2, Str(text), TA_RIGHT | TA_BOTTOM);
    }
}

// A title turned by 90 degrees, centred along the left edge of `plot`.
void AxisTitle(QPainter& p, const QRect& plot, int x, const QString& text)
{
    p.save();
    p.translate(x, plot.center().y());
    p.rotate(-90);
    const QString shown = p.fontMetrics().elidedText(text, Qt::ElideRight, plot.height());
    TextOut(p, 0, 0, shown, TA_CENTER | TA_TOP);
    p.restore();
}

} // namespace

SSheetGeometry SheetGeometry(const CPrintMetrics& m, const QRect& box)
{
    SSheetGeometry g;
    const int left = box.left() + MmDX(m, 16), right = box.right() - MmDX(m, 1);
    const int legendH = MmDY(m, 14);
    const int stripH = MmDY(m, 24);
    const int labelsH = MmDY(m, 8);
    const int between = MmDY(m, 4);
    const int top = box.top() + MmDY(m, 2);
    const int plots = box.bottom() - legendH - stripH - labelsH - between - top;
    const int potH = plots * 64 / 100;
    g.potential = QRect(QPoint(left, top), QPoint(right, top + potH));
    g.gradient = QRect(QPoint(left, g.potential.bottom() + between), QPoint(right, top + plots + between));
    g.landmarks
        = QRect(QPoint(left, g.gradient.bottom() + labelsH), QPoint(right, g.gradient.bottom() + labelsH + stripH));
    g.legend = QRect(QPoint(box.left(), box.bottom() - legendH + MmDY(m, 1)), box.bottomRight());
    return g;
}

namespace {

// One sheet being drawn: its scales and what it shows.
class CSheetPainter {
public:
    CSheetPainter(QPainter& p, const CPrintMetrics& m, const QRect& box, const SSheetInput& in, const SSheetPlan& plan)
        : m_p(p)
        , m_m(m)
        , m_box(box)
        , m_in(in)
        , m_plan(plan)
        , m_doc(*in.doc)
        , m_v(*in.verdict)
        , m_g(SheetGeometry(m, box))
        , m_lineWidth(std::max(1, m.dpy / 200))
        , m_grid(kGridColour, std::max(1, m.dpy / 600))
    {
        m_sx.x0 = m_g.potential.left();
        m_sx.from = plan.section.from;
        m_sx.xs = static_cast<double>(m_g.potential.width()) / static_cast<double>(plan.section.to - plan.section.from);
        m_py = PotentialScale(m_g.potential, plan.potAxis);
        m_gy = GradientScale(m_g.gradient, plan.gradAxis);
        m_direction = SurveyDirection(m_v.rows, LengthSetting(m_v.settings.gap));
    }
    bool Fits() const
    {
        return m_g.potential.height() >= 10 && m_g.gradient.height() >= 10 && m_g.potential.width() >= 10;
    }

    void Bands();
    void Grid();
    void PotentialCurves();
    void LimitLines();
    void GradientChart();
    void Defects();
    void LandmarkNames();
    void Legend();

private:
    // A row's place on the axis, NaN when the verdict sets it aside.
    double At(int r) const
    {
        const SVerdictRow* row = Point(r);
        return row ? AxisPosition(*row) : NAN;
    }
    const SVerdictRow* Point(int r) const
    {
        if (r < 1 || static_cast<size_t>(r) >= m_in.rowIndex->size()) return nullptr;
        const int k = (*m_in.rowIndex)[static_cast<size_t>(r)];
        return k < 0 ? nullptr : &m_v.rows[static_cast<size_t>(k)];
    }
    double Comparison(size_t i) const
    {
        const std::vector<double>* at = m_in.comparisonPositions;
        return at && i < at->size() ? (*at)[i] : NAN;
    }
    QPen CurvePen(const QColor& c) const
    {
        return QPen(DeviceColour(m_m, c), m_lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }
    double ClampX(double x) const { return std::clamp<double>(x, m_g.potential.left(), m_g.potential.right()); }

    QPainter& m_p;
    const CPrintMetrics& m_m;
    QRect m_box;
    const SSheetInput& m_in;
    const SSheetPlan& m_plan;
    const CTreDoc& m_doc;
    const SVerdict& m_v;
    SSheetGeometry m_g;
    int m_lineWidth;
    QPen m_grid;
    SScaleX m_sx;
    SScaleY m_py, m_gy;
    int m_direction = 1;
};

// Stretches by status under everything else.
void CSheetPainter::Bands()
{
    m_p.setPen(Qt::NoPen);
    for (const int s : m_plan.stretches) {
        const SVerdictStretch& st = m_v.stretches[static_cast<size_t>(s)];
        const SStretchExtent& e = (*m_in.extents)[static_cast<size_t>(s)];
        double x1 = ClampX(m_sx.X(e.from)), x2 = ClampX(m_sx.X(e.to));
        if (x2 - x1 < 1) x2 = x1 + 1; // a lone point stays visible
        const QRectF r(QPointF(x1, m_g.potential.top()), QPointF(x2, m_g.potential.bottom()));
        if (VerdictStatusHatched(st.status)) {
            m_p.setPen(QPen(Rgb(VerdictStatusColour(st.status)), std::max(1, m_m.dpy / 400)));
            Hatch(m_p, r, MmDX(m_m, 1.5));
            m_p.setPen(Qt::NoPen);
        } else {
            m_p.fillRect(r, Rgb(VerdictStatusColour(st.status), kVerdictShadeAlpha));
        }
    }
}

// Position ticks through both charts, value ticks across each, the axis
// titles, and a dotted line through both charts at each landmark.
void CSheetPainter::Grid()
{
    const SSheetGeometry& g = m_g;
    const int64_t length = m_plan.section.to - m_plan.section.from;
    const int64_t step = assesslayout::NiceStep(length, 10);
    for (int64_t at = m_plan.section.from; at <= m_plan.section.to; at += step) {
        const double x = m_sx.X(static_cast<double>(at));
        m_p.setPen(m_grid);
        m_p.drawLine(QPointF(x, g.potential.top()), QPointF(x, g.potential.bottom()));
        m_p.drawLine(QPointF(x, g.gradient.top()), QPointF(x, g.gradient.bottom()));
        m_p.setPen(Qt::black);
        TextOut(m_p, static_cast<int>(x), g.gradient.bottom() + MmDY(m_m, 0.8), QString::number(at),
                TA_CENTER | TA_TOP);
    }
    ValueAxis(m_p, m_m, g.potential, m_py, m_plan.potAxis, m_grid, true);
    ValueAxis(m_p, m_m, g.gradient, m_gy, m_plan.gradAxis, m_grid, false);
    AxisTitle(m_p, g.potential, m_box.left(), QStringLiteral("U gegen ") + m_in.electrode + QStringLiteral(" [V]"));
    AxisTitle(m_p, g.gradient, m_box.left(), QStringLiteral("Gradient [mV]"));
    TextOut(m_p, g.gradient.right(), g.gradient.bottom() + MmDY(m_m, 0.8) + TextHeight(m_p),
            m_in.chainage ? QStringLiteral("Stationierung [m]") : QStringLiteral("Meter [m]"), TA_RIGHT | TA_TOP);

    m_p.setPen(QPen(kLandmarkLineColour, std::max(1, MmDX(m_m, 0.15)), Qt::DashLine));
    for (const int r : m_plan.landmarks) {
        const double x = m_sx.X(At(r));
        m_p.drawLine(QPointF(x, g.potential.top()), QPointF(x, g.potential.bottom()));
        m_p.drawLine(QPointF(x, g.gradient.top()), QPointF(x, g.gradient.bottom()));
    }
}

// The potential chart's curves, clipped to its plot: the comparison behind
// the survey's on and off potentials, and the usable IR-free potentials as
// dots (between them nothing was determined, so no line may suggest it).
void CSheetPainter::PotentialCurves()
{
    m_p.save();
    m_p.setClipRect(m_g.potential);
    m_p.setRenderHint(QPainter::Antialiasing, true);
    if (m_in.earlier) {
        const CTreDoc& e = *m_in.earlier;
        const auto at = [this](int r) { return Comparison(static_cast<size_t>(r - 1)); };
        m_p.setPen(QPen(DeviceColour(m_m, kComparisonColour), m_lineWidth, Qt::DotLine, Qt::FlatCap, Qt::RoundJoin));
        DrawRows(m_p, m_sx, m_py, m_plan.earlierRows, m_in.comparisonDirection, at,
                 [&](int r) { return int64_t{e.GetPotOff(r)}; });
    } else if (m_in.native) {
        m_p.setPen(QPen(DeviceColour(m_m, kComparisonColour), m_lineWidth, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin));
        CPolylineSink line(m_p);
        for (size_t i = m_plan.pairFirst; i < m_plan.pairEnd; ++i) {
            const int32_t value = NativePotential(*m_in.native, i);
            if (!IsPresent(value) || std::isnan(Comparison(i))) line.Break();
            else line.Add(m_sx.X(Comparison(i)), m_py.Y(value));
        }
    }
    const auto at = [this](int r) { return At(r); };
    m_p.setPen(CurvePen(kOnColour));
    DrawRows(m_p, m_sx, m_py, m_plan.rows, m_direction, at, [&](int r) { return int64_t{m_doc.GetPotOn(r)}; });
    m_p.setPen(CurvePen(kOffColour));
    DrawRows(m_p, m_sx, m_py, m_plan.rows, m_direction, at, [&](int r) { return int64_t{m_doc.GetPotOff(r)}; });
    QPolygon dots;
    for (const int r : m_plan.rows) {
        const SVerdictRow* row = Point(r);
        if (row && row->irfreeUsable)
            dots.append(QPoint(static_cast<int>(std::lround(m_sx.X(AxisPosition(*row)))),
                               static_cast<int>(std::lround(m_py.Y(m_doc.GetPotIRFree(r))))));
    }
    m_p.setPen(QPen(DeviceColour(m_m, kGreenColour), MmDX(m_m, 0.7), Qt::SolidLine, Qt::RoundCap));
    m_p.drawPoints(dots);
    m_p.restore();
}

// E_p and E_l: the survey's dashed, a section's own dash-dotted over its
// range, each run with its name and value at its right end (the value
// alone where the name does not fit, kept inside the plot).
void CSheetPainter::LimitLines()
{
    const struct {
        const std::vector<SLimitRun>* runs;
        SPaletteRgb colour;
        const char* name;
    } limits[2] = {{&m_plan.protection, ProtectionLineColour(), "Schutzpotential"},
                   {&m_plan.limit, LimitLineColour(), "Grenzpotential"}};
    const QRect& plot = m_g.potential;
    for (const auto& l : limits) {
        const QColor colour = DeviceColour(m_m, Rgb(l.colour));
        for (const SLimitRun& run : *l.runs) {
            const double y = m_py.Y(run.mv), x1 = ClampX(m_sx.X(run.from)), x2 = ClampX(m_sx.X(run.to));
            m_p.setPen(QPen(colour, m_lineWidth, run.section ? Qt::DashDotLine : Qt::DashLine, Qt::FlatCap));
            m_p.drawLine(QPointF(x1, y), QPointF(x2, y));
            const QString value = Str(assesslayout::MvText(run.mv)) + QStringLiteral(" mV");
            QString text = QString::fromUtf8(l.name) + QLatin1Char(' ') + value;
            if (TextWidth(m_p, text) > x2 - x1 - MmDX(m_m, 2)) text = value;
            const int w = TextWidth(m_p, text), h = TextHeight(m_p);
            const int right = static_cast<int>(x2) - MmDX(m_m, 1);
            const int left = right - w >= plot.left() ? right - w : plot.left() + MmDX(m_m, 1);
            const int bottom = static_cast<int>(y) - MmDY(m_m, 0.3);
            // On a light backing, so the curves through it do not hide it.
            m_p.fillRect(QRect(left - MmDX(m_m, 0.3), bottom - h, w + MmDX(m_m, 0.6), h), QColor(255, 255, 255, 190));
            m_p.setPen(colour);
            TextOut(m_p, left, bottom, text, TA_LEFT | TA_BOTTOM);
        }
    }
    m_p.setPen(QPen(Qt::black, std::max(1, m_m.dpy / 300)));
    m_p.setBrush(Qt::NoBrush);
    m_p.drawRect(plot);
}

// The gradient chart: g_on, g_off and D.
void CSheetPainter::GradientChart()
{
    m_p.save();
    m_p.setClipRect(m_g.gradient);
    m_p.setRenderHint(QPainter::Antialiasing, true);
    m_p.setPen(QPen(Qt::black, std::max(1, m_m.dpy / 400)));
    m_p.drawLine(QPointF(m_g.gradient.left(), m_gy.Y(0)), QPointF(m_g.gradient.right(), m_gy.Y(0)));
    const auto at = [this](int r) { return At(r); };
    m_p.setPen(CurvePen(kOnColour));
    DrawRows(m_p, m_sx, m_gy, m_plan.rows, m_direction, at, [&](int r) { return int64_t{m_doc.GetGradOn(r)}; });
    m_p.setPen(CurvePen(kOffColour));
    DrawRows(m_p, m_sx, m_gy, m_plan.rows, m_direction, at, [&](int r) { return int64_t{m_doc.GetGradOff(r)}; });
    m_p.setPen(CurvePen(kGreenColour));
    DrawRows(m_p, m_sx, m_gy, m_plan.rows, m_direction, at, [&](int r) {
        const SVerdictRow* row = Point(r);
        return row ? row->gradDiff : int64_t{NO_VALUE};
    });
    m_p.restore();
}

// Each defect as a triangle on its D with its dig list number above it.
void CSheetPainter::Defects()
{
    const double mark = MmDX(m_m, 2.2);
    for (const int d : m_plan.defects) {
        const SCoatingDefect& defect = m_v.defects[static_cast<size_t>(d)];
        const QPointF tip(m_sx.X(At(defect.row)), m_gy.Y(defect.gradDiff));
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(Rgb(DefectMarkColour()));
        Triangle(m_p, tip, mark);
        m_p.setBrush(Qt::NoBrush);
        // The number on white, so the curves through it do not hide it.
        const QString number = QString::number((*m_in.priorities)[static_cast<size_t>(d)]);
        const int w = TextWidth(m_p, number) + MmDX(m_m, 0.6), h = TextHeight(m_p);
        const int bottom = static_cast<int>(tip.y() - mark - MmDY(m_m, 0.3));
        m_p.fillRect(QRect(static_cast<int>(tip.x()) - w / 2, bottom - h, w, h), Qt::white);
        m_p.setPen(Qt::black);
        TextOut(m_p, static_cast<int>(tip.x()), bottom, number, TA_CENTER | TA_BOTTOM);
    }
    m_p.setPen(QPen(Qt::black, std::max(1, m_m.dpy / 300)));
    m_p.drawRect(m_g.gradient);
}

// The landmarks' names turned upright below the axis, each from a tick on
// the axis; a name that would touch the one before moves right.
void CSheetPainter::LandmarkNames()
{
    const QFontMetrics fm = m_p.fontMetrics();
    const int nameWidth = fm.height();
    const int tickH = MmDY(m_m, 1.5);
    const QRect& strip = m_g.landmarks;
    double lastX = -1e9;
    for (const int r : m_plan.landmarks) {
        const double tx = m_sx.X(At(r));
        const double x = std::max(tx, lastX + nameWidth);
        if (x > strip.right() + nameWidth / 2.0) break;
        lastX = x;
        m_p.setPen(QPen(kLandmarkColour, std::max(1, m_m.dpy / 300)));
        m_p.drawLine(QPointF(tx, m_g.gradient.bottom()), QPointF(tx, m_g.gradient.bottom() + tickH / 2.0));
        m_p.drawLine(QPointF(tx, strip.top()), QPointF(x, strip.top() + tickH));
        const int room = strip.height() - tickH - MmDY(m_m, 0.5);
        const QString name = fm.elidedText(Str(m_doc.GetComment(r)), Qt::ElideRight, room);
        m_p.save();
        m_p.translate(x, strip.top() + tickH + MmDY(m_m, 0.5));
        m_p.rotate(-90);
        m_p.setPen(Qt::black);
        // Turned, the name runs upward and ends at the tick.
        TextOut(m_p, 0, 0, name, TA_RIGHT | TA_TOP);
        m_p.restore();
    }
}

void CSheetPainter::Legend()
{
    CLegend legend(m_p, m_m, m_g.legend);
    legend.Line(CurvePen(kOnColour), QStringLiteral("Potential Ein"));
    legend.Line(CurvePen(kOffColour), QStringLiteral("Potential Aus"));
    legend.Dot(QPen(DeviceColour(m_m, kGreenColour), MmDX(m_m, 0.7), Qt::SolidLine, Qt::RoundCap),
               QStringLiteral("IR-frei (verwendbar)"));
    if (m_in.earlier)
        legend.Line(QPen(DeviceColour(m_m, kComparisonColour), m_lineWidth, Qt::DotLine),
                    QString::fromUtf8("Potential Aus früher"));
    else if (m_in.native)
        legend.Line(QPen(DeviceColour(m_m, kComparisonColour), m_lineWidth, Qt::DashLine),
                    QStringLiteral("Nativpotential"));
    const QColor protection = DeviceColour(m_m, Rgb(ProtectionLineColour()));
    const QColor limit = DeviceColour(m_m, Rgb(LimitLineColour()));
    legend.Line(QPen(protection, m_lineWidth, Qt::DashLine), QStringLiteral("Schutzpotential"));
    legend.Line(QPen(limit, m_lineWidth, Qt::DashLine), QStringLiteral("Grenzpotential"));
    const auto sectionRun = [](const std::vector<SLimitRun>& runs) {
        return std::any_of(runs.begin(), runs.end(), [](const SLimitRun& r) { return r.section; });
    };
    if (sectionRun(m_plan.protection) || sectionRun(m_plan.limit))
        legend.Line(QPen(sectionRun(m_plan.protection) ? protection : limit, m_lineWidth, Qt::DashDotLine),
                    QStringLiteral("Abschnittskriterium der Leitungsdaten"));
    legend.Break();
    for (const EVerdictStatus s : kVerdictStatusOrder) legend.Swatch(s, QString::fromUtf8(VerdictStatusName(s)));
    legend.Break();
    legend.Line(CurvePen(kOnColour), QStringLiteral("Gradient Ein"));
    legend.Line(CurvePen(kOffColour), QStringLiteral("Gradient Aus"));
    legend.Line(CurvePen(kGreenColour), QStringLiteral("Gradientendifferenz D"));
    legend.Mark(QStringLiteral("Fehlstellenverdacht (Nr. der Aufgrabungsliste)"));
    legend.Tick(QStringLiteral("Orientierungspunkt"));
    // Rows without a metre have no place on the axis; say how many.
    const int unplaced = m_doc.GetRowCount() - static_cast<int>(m_v.rows.size());
    if (unplaced > 0)
        legend.Note(Str(assesslayout::CountText(unplaced, "Zeile", "Zeilen"))
                    + QStringLiteral(" ohne Meter, nicht gezeichnet"));
}

} // namespace

void DrawSheet(QPainter& p, const CPrintMetrics& m, const QRect& box, const SSheetInput& in, const SSheetPlan& plan)
{
    CSheetPainter sheet(p, m, box, in, plan);
    if (!sheet.Fits()) return;
    p.save();
    p.setFont(PointFont(m, kLabelPoints));
    sheet.Bands();
    sheet.Grid();
    sheet.PotentialCurves();
    sheet.LimitLines();
    sheet.GradientChart();
    sheet.Defects();
    sheet.LandmarkNames();
    sheet.Legend();
    p.restore();
}
