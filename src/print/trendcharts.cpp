// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendcharts.h"

#include "doc/verdictpalette.h"
#include "reportcontent.h"
#include "trendreport.h"
#include "trendtext.h"

#include <QDate>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// Rows further apart than this are not joined by a line: the survey has a
// hole there.
constexpr double kGapMetres = 10.0;

// Tick spacing of 1, 2 or 5 times a power of ten giving about `target`
// ticks over `span`.
double TickStep(double span, int target)
{
    const double raw = std::max(span, 1e-9) / target;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double f : {1.0, 2.0, 5.0})
        if (f * power >= raw) return f * power;
    return 10 * power;
}

// A plot area and its ranges; potentials grow downward so that the more
// negative, the better protected, stands higher.
struct SPlot {
    QRect area;
    double x0 = 0, x1 = 1, y0 = -1500, y1 = -500; // y0 the most negative
    double X(double x) const { return area.left() + (x - x0) / (x1 - x0) * area.width(); }
    double Y(double mv) const { return area.top() + (mv - y0) / (y1 - y0) * area.height(); }
};

void FitPotentials(SPlot& plot, double lo, double hi)
{
    if (!(lo <= hi)) lo = -1200, hi = -600;
    const double step = TickStep(std::max(hi - lo, 100.0), 6);
    plot.y0 = std::floor((lo - step / 2) / step) * step;
    plot.y1 = std::ceil((hi + step / 2) / step) * step;
}

// The box less room for the labels: left for the potential scale, below
// for the position or date scale and `legendLines` lines of legend.
QRect PlotArea(const CPrintMetrics& m, const QRect& box, int legendLines)
{
    return QRect(QPoint(MmX(m, box.left(), 18), MmY(m, box.top(), 7)),
                 QPoint(MmX(m, box.right(), -3), MmY(m, box.bottom(), -(12 + 4.5 * legendLines))));
}

// Frame, the potential scale with its title and grid lines.
void DrawPotentialAxis(QPainter& p, const CPrintMetrics& m, const SPlot& plot, const QString& title)
{
    const QPen grid(QColor(215, 215, 215), std::max(1, m.dpy / 400));
    const QPen axis(Qt::black, std::max(1, m.dpy / 300));
    p.setFont(PointFont(m, 7));
    const double step = TickStep(plot.y1 - plot.y0, 6);
    for (double v = std::ceil(plot.y0 / step) * step; v <= plot.y1 + step / 1000; v += step) {
        const int y = static_cast<int>(std::lround(plot.Y(v)));
        p.setPen(grid);
        p.drawLine(plot.area.left(), y, plot.area.right(), y);
        p.setPen(Qt::black);
        TextOut(p, plot.area.left() - MmDX(m, 1), y + TextHeight(p) / 3, QString::number(std::lround(v)),
                TA_RIGHT | TA_BASELINE);
    }
    p.setPen(axis);
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot.area);
    p.setFont(PointFont(m, 8));
    TextOut(p, plot.area.left(), plot.area.top() - MmDY(m, 2.5), title, TA_LEFT | TA_BOTTOM);
}

// Lines through the points, broken where one is missing.
void DrawBroken(QPainter& p, const std::vector<std::optional<QPointF>>& points)
{
    QPolygonF run;
    auto flush = [&] {
        if (run.size() > 1) p.drawPolyline(run);
        run.clear();
    };
    for (const std::optional<QPointF>& pt : points) {
        if (!pt) flush();
        else run << *pt;
    }
    flush();
}

void LegendEntry(QPainter& p, const CPrintMetrics& m, int& x, int y, const QPen& pen, const QString& text)
{
    p.setPen(pen);
    p.drawLine(x, y, MmX(m, x, 8), y);
    p.setPen(Qt::black);
    TextOut(p, MmX(m, x, 10), y + TextHeight(p) / 3, text, TA_LEFT | TA_BASELINE);
    x = MmX(m, x, 14) + TextWidth(p, text);
}

QColor Rgb(const SPaletteRgb& c) { return QColor(c.r, c.g, c.b); }

// E_p dashed in its colour, as the assessment report's sheets draw it.
QPen ProtectionPen(const CPrintMetrics& m)
{
    QPen pen = PrintPen(m, DeviceColour(m, Rgb(ProtectionLineColour())));
    pen.setStyle(Qt::DashLine);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

QPen SurveyPen(const CPrintMetrics& m, size_t survey)
{
    return PrintPen(m, DeviceColour(m, Rgb(SurveyColour(survey))));
}

} // namespace

QString TrendPotentialTitle(const QString& electrode)
{
    return electrode.trimmed().isEmpty() ? U8("E* in mV") : U8("E* in mV gegen ") + electrode.trimmed();
}

std::vector<STrendSection> TrendSections(const STrendReportInput& in, int length)
{
    length = std::max(1, length);
    double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
    for (const trestrend::STrendSurvey& s : in.surveys)
        for (const trestrend::STrendRow& r : s.rows)
            if (r.value) lo = std::min(lo, r.position), hi = std::max(hi, r.position);
    std::vector<STrendSection> out;
    if (lo > hi) return out;
    for (double from = std::floor(lo / length) * length; from <= hi; from += length)
        out.push_back({from, from + length});
    return out;
}

void DrawFixpointChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const STrendReportInput& in,
                       const trestrend::SFixpointTrend& fixpoint, const QString& potentialTitle)
{
    SPlot plot;
    plot.area = PlotArea(m, box, 1);
    std::vector<double> days;
    double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
    for (size_t i = 0; i < in.surveys.size(); ++i) {
        days.push_back(static_cast<double>(
            QDate::fromString(QString::fromStdString(in.surveys[i].date), Qt::ISODate).toJulianDay()));
        if (i < in.protection.size())
            lo = std::min<double>(lo, in.protection[i]), hi = std::max<double>(hi, in.protection[i]);
    }
    for (const trestrend::SFixpointValue& v : fixpoint.values)
        if (v.value) lo = std::min<double>(lo, *v.value), hi = std::max<double>(hi, *v.value);
    FitPotentials(plot, lo, hi);
    const auto [first, last] = std::minmax_element(days.begin(), days.end());
    const double d0 = days.empty() ? 0 : *first, d1 = days.empty() ? 1 : *last;
    const double pad = std::max(60.0, (d1 - d0) * 0.06);
    plot.x0 = d0 - pad;
    plot.x1 = d1 + pad;
    DrawPotentialAxis(p, m, plot, potentialTitle);

    // A tick and label per year that falls inside, fewer when many.
    p.setFont(PointFont(m, 7));
    const int y0 = QDate::fromJulianDay(static_cast<qint64>(plot.x0)).year() + 1;
    const int y1 = QDate::fromJulianDay(static_cast<qint64>(plot.x1)).year();
    const int every = std::max(1, (y1 - y0 + 1) / 10 + 1);
    p.setPen(Qt::black);
    for (int y = y0; y <= y1; y += every) {
        const int x = static_cast<int>(std::lround(plot.X(static_cast<double>(QDate(y, 1, 1).toJulianDay()))));
        p.drawLine(x, plot.area.bottom(), x, MmY(m, plot.area.bottom(), 1.2));
        TextOut(p, x, MmY(m, plot.area.bottom(), 1.5), QString::number(y), TA_CENTER | TA_TOP);
    }

    p.save();
    p.setClipRect(plot.area);
    p.setRenderHint(QPainter::Antialiasing, true);
    std::vector<std::optional<QPointF>> ep, es;
    for (size_t i = 0; i < days.size(); ++i) {
        if (i < in.protection.size()) ep.push_back(QPointF(plot.X(days[i]), plot.Y(in.protection[i])));
        const auto& v = i < fixpoint.values.size() ? fixpoint.values[i].value : std::nullopt;
        es.push_back(v ? std::optional<QPointF>(QPointF(plot.X(days[i]), plot.Y(*v))) : std::nullopt);
    }
    // One survey's E_p still is a line: across the whole chart.
    if (ep.size() == 1) ep = {QPointF(plot.area.left(), ep[0]->y()), QPointF(plot.area.right(), ep[0]->y())};
    p.setPen(ProtectionPen(m));
    DrawBroken(p, ep);
    const QColor curve = DeviceColour(m, Rgb(SurveyColour(0)));
    p.setPen(PrintPen(m, curve));
    DrawBroken(p, es);
    p.setBrush(curve);
    const int r = MmDX(m, 0.9);
    for (const std::optional<QPointF>& pt : es)
        if (pt) p.drawEllipse(*pt, r, r);
    p.restore();

    p.setFont(PointFont(m, 8));
    int x = plot.area.left();
    const int legend = MmY(m, plot.area.bottom(), 8);
    LegendEntry(p, m, x, legend, PrintPen(m, curve), U8("E* am Festpunkt (Median der Zeilen in der Nähe)"));
    LegendEntry(p, m, x, legend, ProtectionPen(m), U8("E_p der Messung"));
}

void DrawSectionChart(QPainter& p, const CPrintMetrics& m, const QRect& box, const STrendReportInput& in,
                      const STrendSection& section, const QString& potentialTitle)
{
    const int legendLines = static_cast<int>((in.surveys.size() + 3) / 3); // and E_p
    SPlot plot;
    plot.area = PlotArea(m, box, legendLines);
    plot.x0 = section.from;
    plot.x1 = section.to;
    double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
    for (const trestrend::STrendSurvey& s : in.surveys)
        for (const trestrend::STrendRow& r : s.rows)
            if (r.value && r.position >= section.from && r.position <= section.to)
                lo = std::min<double>(lo, *r.value), hi = std::max<double>(hi, *r.value);
    for (const int32_t ep : in.protection) lo = std::min<double>(lo, ep), hi = std::max<double>(hi, ep);
    FitPotentials(plot, lo, hi);
    DrawPotentialAxis(p, m, plot, potentialTitle);

    p.setFont(PointFont(m, 7));
    p.setPen(Qt::black);
    const double step = TickStep(section.to - section.from, 10);
    for (double v = section.from; v <= section.to + step / 1000; v += step) {
        const int x = static_cast<int>(std::lround(plot.X(v)));
        p.drawLine(x, plot.area.bottom(), x, MmY(m, plot.area.bottom(), 1.2));
        TextOut(p, x, MmY(m, plot.area.bottom(), 1.5), TrendMetres(v), TA_CENTER | TA_TOP);
    }
    const bool chainage = std::all_of(in.surveys.begin(), in.surveys.end(),
                                      [](const trestrend::STrendSurvey& s) { return s.chainage; });
    TextOut(p, plot.area.right(), MmY(m, plot.area.bottom(), 4.5),
            chainage ? U8("Stationierung in m") : U8("Position in m (Meter der Messung)"), TA_RIGHT | TA_TOP);

    p.save();
    p.setClipRect(plot.area);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (!in.protection.empty()) {
        const double y = plot.Y(in.protection.back());
        p.setPen(ProtectionPen(m));
        p.drawLine(QPointF(plot.area.left(), y), QPointF(plot.area.right(), y));
    }
    for (size_t i = 0; i < in.surveys.size(); ++i) {
        std::vector<std::optional<QPointF>> pts;
        std::optional<double> last;
        for (const trestrend::STrendRow& r : in.surveys[i].rows) {
            if (r.position < section.from - kGapMetres || r.position > section.to + kGapMetres) continue;
            if (!r.value || (last && std::abs(r.position - *last) > kGapMetres)) pts.push_back(std::nullopt);
            if (r.value) pts.push_back(QPointF(plot.X(r.position), plot.Y(*r.value)));
            last = r.position;
        }
        p.setPen(SurveyPen(m, i));
        DrawBroken(p, pts);
    }
    p.restore();

    p.setFont(PointFont(m, 8));
    for (size_t i = 0; i < in.surveys.size(); ++i) {
        int x = plot.area.left() + static_cast<int>(i % 3) * (plot.area.width() / 3);
        const int y = MmY(m, plot.area.bottom(), 13 + 4.5 * static_cast<double>(i / 3));
        LegendEntry(p, m, x, y, SurveyPen(m, i), U8("Messung %1: %2").arg(i + 1).arg(TrendDate(in.surveys[i].date)));
    }
    if (!in.protection.empty()) {
        int x = plot.area.left() + static_cast<int>(in.surveys.size() % 3) * (plot.area.width() / 3);
        const int y = MmY(m, plot.area.bottom(), 13 + 4.5 * static_cast<double>(in.surveys.size() / 3));
        LegendEntry(p, m, x, y, ProtectionPen(m), U8("E_p der letzten Messung (%1 mV)").arg(in.protection.back()));
    }
}
