// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesssheet.h"

#include "comparison.h"
#include "polylinesink.h"
#include "tredoc.h"
#include "verdict.h"
#include "verdictpalette.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

using assesslayout::SAxis;

namespace {

// The curves in the colours of the graphic print, IR-free and D a darker
// green that shows on white paper; the comparison grey as in the panes.
const QColor kOnColour(0, 0, 255);
const QColor kOffColour(255, 0, 0);
const QColor kGreenColour(0, 140, 0);
const QColor kComparisonColour(110, 110, 110);
const QColor kGridColour(205, 205, 205);
const QColor kLandmarkColour(120, 120, 120);
const QColor kLandmarkLineColour(150, 150, 150);

constexpr int kLabelPoints = 7;

QColor Rgb(const SPaletteRgb& c, int alpha = 255) { return QColor(c.r, c.g, c.b, alpha); }

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

// The direction the metres run in: +1 forward (or standing), -1 backward,
// from the first to the last row with a metre. `metres`: row r's at
// [r - 1] instead of the document's.
int Direction(const CTreDoc& doc, const std::vector<int32_t>* metres = nullptr)
{
    int32_t first = NO_VALUE, last = NO_VALUE;
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        const int32_t m = metres ? (*metres)[static_cast<size_t>(r - 1)] : doc.GetMeter(r);
        if (!IsPresent(m)) continue;
        if (!IsPresent(first)) first = m;
        last = m;
    }
    return IsPresent(first) && last < first ? -1 : 1;
}

// A curve over `rows` (ascending row numbers): a line joins two rows that
// follow each other directly, both with a metre and a value, the second on
// in the survey's direction. Anything else breaks the line. `metres` as for
// Direction().
template <typename Value>
void DrawRows(QPainter& p, const SScaleX& sx, const SScaleY& sy, const CTreDoc& doc, const std::vector<int>& rows,
              int direction, Value value, const std::vector<int32_t>* metres = nullptr)
{
    CPolylineSink line(p);
    int prevRow = -1;
    int32_t prevMetre = NO_VALUE;
    for (const int r : rows) {
        const int32_t m = metres ? (*metres)[static_cast<size_t>(r - 1)] : doc.GetMeter(r);
        const int64_t v = value(r);
        if (!IsPresent(m) || v == NO_VALUE) {
            line.Break();
            prevRow = -1;
            continue;
        }
        if (prevRow != r - 1 || (int64_t{m} - prevMetre) * direction <= 0) line.Break();
        line.Add(sx.X(m), sy.Y(v));
        prevRow = r;
        prevMetre = m;
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

void DrawSheet(QPainter& p, const CPrintMetrics& m, const QRect& box, const SSheetInput& in, const SSheetPlan& plan)
{
    const CTreDoc& doc = *in.doc;
    const SVerdict& v = *in.verdict;
    const SSheetGeometry g = SheetGeometry(m, box);
    if (g.potential.height() < 10 || g.gradient.height() < 10 || g.potential.width() < 10) return;
    p.save();
    p.setFont(PointFont(m, kLabelPoints));
    const int lineWidth = std::max(1, m.dpy / 200);
    const QPen grid(kGridColour, std::max(1, m.dpy / 600));
    const QPen frame(Qt::black, std::max(1, m.dpy / 300));
    const int direction = v.rows.size() >= 2 && v.rows.back().metre < v.rows.front().metre ? -1 : 1;

    SScaleX sx;
    sx.x0 = g.potential.left();
    sx.from = plan.section.from;
    sx.xs = static_cast<double>(g.potential.width()) / static_cast<double>(plan.section.to - plan.section.from);
    const SScaleY py = PotentialScale(g.potential, plan.potAxis);
    const SScaleY gy = GradientScale(g.gradient, plan.gradAxis);
    auto clampX = [&](double x) { return std::clamp<double>(x, g.potential.left(), g.potential.right()); };

    // Stretches by status under everything else.
    p.setPen(Qt::NoPen);
    for (const int s : plan.stretches) {
        const SVerdictStretch& st = v.stretches[static_cast<size_t>(s)];
        const SStretchExtent& e = (*in.extents)[static_cast<size_t>(s)];
        double x1 = clampX(sx.X(e.from)), x2 = clampX(sx.X(e.to));
        if (x2 - x1 < 1) x2 = x1 + 1; // a lone point stays visible
        const QRectF r(QPointF(x1, g.potential.top()), QPointF(x2, g.potential.bottom()));
        if (VerdictStatusHatched(st.status)) {
            p.setPen(QPen(Rgb(VerdictStatusColour(st.status)), std::max(1, m.dpy / 400)));
            Hatch(p, r, MmDX(m, 1.5));
            p.setPen(Qt::NoPen);
        } else {
            p.fillRect(r, Rgb(VerdictStatusColour(st.status), kVerdictShadeAlpha));
        }
    }

    // Grids: metre ticks through both charts, value ticks across each.
    const int64_t length = plan.section.to - plan.section.from;
    const int64_t metreStep = assesslayout::NiceStep(length, 10);
    for (int64_t metre = plan.section.from; metre <= plan.section.to; metre += metreStep) {
        const double x = sx.X(static_cast<double>(metre));
        p.setPen(grid);
        p.drawLine(QPointF(x, g.potential.top()), QPointF(x, g.potential.bottom()));
        p.drawLine(QPointF(x, g.gradient.top()), QPointF(x, g.gradient.bottom()));
        p.setPen(Qt::black);
        TextOut(p, static_cast<int>(x), g.gradient.bottom() + MmDY(m, 0.8), QString::number(metre), TA_CENTER | TA_TOP);
    }
    ValueAxis(p, m, g.potential, py, plan.potAxis, grid, true);
    ValueAxis(p, m, g.gradient, gy, plan.gradAxis, grid, false);
    AxisTitle(p, g.potential, box.left(), QStringLiteral("U gegen ") + in.electrode + QStringLiteral(" [V]"));
    AxisTitle(p, g.gradient, box.left(), QStringLiteral("Gradient [mV]"));
    TextOut(p, g.gradient.right(), g.gradient.bottom() + MmDY(m, 0.8) + TextHeight(p),
            in.recordedMetres ? QStringLiteral("Meter [m], wie gemessen (Stationierung in der Aufgrabungsliste)")
                              : QStringLiteral("Meter [m]"),
            TA_RIGHT | TA_TOP);

    // The landmarks: a dotted line through both charts at each.
    const QPen landmarkPen(kLandmarkLineColour, std::max(1, MmDX(m, 0.15)), Qt::DashLine);
    p.setPen(landmarkPen);
    for (const int r : plan.landmarks) {
        const double x = sx.X(doc.GetMeter(r));
        p.drawLine(QPointF(x, g.potential.top()), QPointF(x, g.potential.bottom()));
        p.drawLine(QPointF(x, g.gradient.top()), QPointF(x, g.gradient.bottom()));
    }

    // The potential chart's curves, clipped to its plot.
    p.save();
    p.setClipRect(g.potential);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (in.earlier) {
        p.setPen(QPen(DeviceColour(m, kComparisonColour), lineWidth, Qt::DotLine, Qt::FlatCap, Qt::RoundJoin));
        DrawRows(
            p, sx, py, *in.earlier, plan.earlierRows, Direction(*in.earlier, in.earlierMetres),
            [&](int r) { return int64_t{in.earlier->GetPotOff(r)}; }, in.earlierMetres);
    } else if (in.native) {
        p.setPen(QPen(DeviceColour(m, kComparisonColour), lineWidth, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin));
        CPolylineSink line(p);
        for (size_t i = plan.pairFirst; i < plan.pairEnd; ++i) {
            const int32_t value = NativePotential(*in.native, i);
            if (!IsPresent(value)) line.Break();
            else line.Add(sx.X(in.native->pairs[i].metre), py.Y(value));
        }
    }
    auto curvePen = [&](const QColor& c) {
        return QPen(DeviceColour(m, c), lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    };
    p.setPen(curvePen(kOnColour));
    DrawRows(p, sx, py, doc, plan.rows, direction, [&](int r) { return int64_t{doc.GetPotOn(r)}; });
    p.setPen(curvePen(kOffColour));
    DrawRows(p, sx, py, doc, plan.rows, direction, [&](int r) { return int64_t{doc.GetPotOff(r)}; });
    // The usable IR-free potentials as dots: between them nothing was
    // determined, so no line may suggest it was.
    auto point = [&](int r) -> const SVerdictRow* {
        const int k = (*in.rowIndex)[static_cast<size_t>(r)];
        return k < 0 ? nullptr : &v.rows[static_cast<size_t>(k)];
    };
    QPolygon dots;
    for (const int r : plan.rows) {
        const SVerdictRow* row = point(r);
        if (row && row->irfreeUsable)
            dots.append(QPoint(static_cast<int>(std::lround(sx.X(row->metre))),
                               static_cast<int>(std::lround(py.Y(doc.GetPotIRFree(r))))));
    }
    p.setPen(QPen(DeviceColour(m, kGreenColour), MmDX(m, 0.7), Qt::SolidLine, Qt::RoundCap));
    p.drawPoints(dots);
    p.restore();

    // E_p and E_l, each with its name and value at the right end.
    const SProtectionCriterion& crit = v.criterion;
    const struct {
        int32_t mv;
        SPaletteRgb colour;
        const char* name;
    } limits[2] = {{crit.protection, ProtectionLineColour(), "Schutzpotential"},
                   {crit.limitPotential, LimitLineColour(), "Grenzpotential"}};
    for (const auto& l : limits) {
        const double y = py.Y(l.mv);
        p.setPen(QPen(DeviceColour(m, Rgb(l.colour)), lineWidth, Qt::DashLine, Qt::FlatCap));
        p.drawLine(QPointF(g.potential.left(), y), QPointF(g.potential.right(), y));
        p.setPen(DeviceColour(m, Rgb(l.colour)));
        TextOut(p, g.potential.right() - MmDX(m, 1), static_cast<int>(y) - MmDY(m, 0.3),
                QString::fromUtf8(l.name) + QLatin1Char(' ') + Str(assesslayout::MvText(l.mv)) + QStringLiteral(" mV"),
                TA_RIGHT | TA_BOTTOM);
    }
    p.setPen(frame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(g.potential);

    // The gradient chart: g_on, g_off and D, then the defects on top.
    p.save();
    p.setClipRect(g.gradient);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, std::max(1, m.dpy / 400)));
    p.drawLine(QPointF(g.gradient.left(), gy.Y(0)), QPointF(g.gradient.right(), gy.Y(0)));
    p.setPen(curvePen(kOnColour));
    DrawRows(p, sx, gy, doc, plan.rows, direction, [&](int r) { return int64_t{doc.GetGradOn(r)}; });
    p.setPen(curvePen(kOffColour));
    DrawRows(p, sx, gy, doc, plan.rows, direction, [&](int r) { return int64_t{doc.GetGradOff(r)}; });
    p.setPen(curvePen(kGreenColour));
    DrawRows(p, sx, gy, doc, plan.rows, direction, [&](int r) {
        const SVerdictRow* row = point(r);
        return row ? row->gradDiff : int64_t{NO_VALUE};
    });
    p.restore();
    const double mark = MmDX(m, 2.2);
    for (const int d : plan.defects) {
        const SCoatingDefect& defect = v.defects[static_cast<size_t>(d)];
        const QPointF tip(sx.X(defect.metre), gy.Y(defect.gradDiff));
        p.setPen(Qt::NoPen);
        p.setBrush(Rgb(DefectMarkColour()));
        Triangle(p, tip, mark);
        p.setBrush(Qt::NoBrush);
        // The number on white, so the curves through it do not hide it.
        const QString number = QString::number((*in.priorities)[static_cast<size_t>(d)]);
        const int w = TextWidth(p, number) + MmDX(m, 0.6), h = TextHeight(p);
        const int bottom = static_cast<int>(tip.y() - mark - MmDY(m, 0.3));
        p.fillRect(QRect(static_cast<int>(tip.x()) - w / 2, bottom - h, w, h), Qt::white);
        p.setPen(Qt::black);
        TextOut(p, static_cast<int>(tip.x()), bottom, number, TA_CENTER | TA_BOTTOM);
    }
    p.setPen(frame);
    p.drawRect(g.gradient);

    // The landmarks' names turned upright below the metre axis, each from a
    // tick on the axis; a name that would touch the one before moves right.
    const QFontMetrics fm = p.fontMetrics();
    const int nameWidth = fm.height();
    const int tickH = MmDY(m, 1.5);
    double lastX = -1e9;
    for (const int r : plan.landmarks) {
        const double tx = sx.X(doc.GetMeter(r));
        const double x = std::max(tx, lastX + nameWidth);
        if (x > g.landmarks.right() + nameWidth / 2.0) break;
        lastX = x;
        p.setPen(QPen(kLandmarkColour, std::max(1, m.dpy / 300)));
        p.drawLine(QPointF(tx, g.gradient.bottom()), QPointF(tx, g.gradient.bottom() + tickH / 2.0));
        p.drawLine(QPointF(tx, g.landmarks.top()), QPointF(x, g.landmarks.top() + tickH));
        const int room = g.landmarks.height() - tickH - MmDY(m, 0.5);
        const QString name = fm.elidedText(Str(doc.GetComment(r)), Qt::ElideRight, room);
        p.save();
        p.translate(x, g.landmarks.top() + tickH + MmDY(m, 0.5));
        p.rotate(-90);
        p.setPen(Qt::black);
        // Turned, the name runs upward and ends at the tick.
        TextOut(p, 0, 0, name, TA_RIGHT | TA_TOP);
        p.restore();
    }

    // The legend.
    CLegend legend(p, m, g.legend);
    legend.Line(curvePen(kOnColour), QStringLiteral("Potential Ein"));
    legend.Line(curvePen(kOffColour), QStringLiteral("Potential Aus"));
    legend.Dot(QPen(DeviceColour(m, kGreenColour), MmDX(m, 0.7), Qt::SolidLine, Qt::RoundCap),
               QStringLiteral("IR-frei (verwendbar)"));
    if (in.earlier)
        legend.Line(QPen(DeviceColour(m, kComparisonColour), lineWidth, Qt::DotLine),
                    QString::fromUtf8("Potential Aus früher"));
    else if (in.native)
        legend.Line(QPen(DeviceColour(m, kComparisonColour), lineWidth, Qt::DashLine),
                    QStringLiteral("Nativpotential"));
    for (const auto& l : limits)
        legend.Line(QPen(DeviceColour(m, Rgb(l.colour)), lineWidth, Qt::DashLine), QString::fromUtf8(l.name));
    legend.Break();
    for (const EVerdictStatus s : {EVerdictStatus::Protected, EVerdictStatus::Protected100, EVerdictStatus::Unprotected,
                                   EVerdictStatus::Over, EVerdictStatus::NotAssessed})
        legend.Swatch(s, QString::fromUtf8(VerdictStatusName(s)));
    legend.Break();
    legend.Line(curvePen(kOnColour), QStringLiteral("Gradient Ein"));
    legend.Line(curvePen(kOffColour), QStringLiteral("Gradient Aus"));
    legend.Line(curvePen(kGreenColour), QStringLiteral("Gradientendifferenz D"));
    legend.Mark(QStringLiteral("Fehlstellenverdacht (Nr. der Aufgrabungsliste)"));
    legend.Tick(QStringLiteral("Orientierungspunkt"));
    p.restore();
}
