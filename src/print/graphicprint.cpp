// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphicprint.h"

#include "doc/numtext.h"
#include "doc/tredoc.h"
#include "doc/verdictpalette.h"
#include "views/clipsegment.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace graphiclayout;

namespace {

QColor Rgb(const SPaletteRgb& c) { return QColor(c.r, c.g, c.b); }

const QColor kBlue = Rgb(CurveOnColour());
const QColor kRed = Rgb(CurveOffColour());
const QColor kGreen = Rgb(CurveDiffColour());
const QColor kHeaderColour(0, 0, 255);
const QColor kCompanyColour(0, 192, 0);
const QColor kTitleColour(192, 0, 0);

QString Str(const std::string& s) { return QString::fromStdString(s); }

} // namespace

int CGraphicPrint::PageCount() const
{
    const CPrintRange range = PrintRange(m_doc);
    return graphiclayout::PageCount(range.start, range.end, m_doc.m_nPlotScale);
}

void CGraphicPrint::Begin(const CPrintMetrics& m)
{
    m_metrics = m;
    m_frame = ComputeFrame(m, kGraphicMargins);
    const CPrintRange range = PrintRange(m_doc);
    m_geo = ComputeGeometry(m_frame, m_doc.m_nPlotScale, range.start, range.end);
    const QColor colours[PenCount] = {kBlue, kRed, kGreen, kBlue, kRed, kGreen, Qt::black, Qt::black};
    for (int i = 0; i < PenCount; ++i) m_pens[i] = PrintPen(m, colours[i]);
}

CGraphicPrint::CTitleBlock CGraphicPrint::TitleBlock() const
{
    const CPrintMetrics& m = m_metrics;
    const int L = m_frame.left, R = m_frame.right, B = m_frame.bottom;
    CTitleBlock t;
    t.v = MmY(m, B, -26);
    t.x1 = MmX(m, L, 60);
    t.x2 = MmX(m, L, 130);
    t.x3 = MmX(m, R, -47);
    t.x4 = MmX(m, R, -28);
    t.y5 = B - (B - t.v) * 5 / 11;
    t.y6 = B - (B - t.y5) / 2;
    t.x5 = MmX(m, t.x2, 22);
    return t;
}

int CGraphicPrint::LegendY(int row) const
{
    const int yT = MmY(m_metrics, TitleBlock().v, 2);
    const int y1 = MmY(m_metrics, yT, 7);
    return MmY(m_metrics, y1, 6.0 * (row - 1));
}

void CGraphicPrint::DrawTitleBlock(QPainter& p, int page) const
{
    DrawTitleGrid(p);
    DrawLegendTexts(p);
    DrawHeaderCells(p, page);
    DrawLogoCell(p);
}

// The frame round the sheet and the cells of the title block.
void CGraphicPrint::DrawTitleGrid(QPainter& p) const
{
    const int L = m_frame.left, R = m_frame.right, T = m_frame.top, B = m_frame.bottom;
    const CTitleBlock t = TitleBlock();
    p.setPen(m_pens[PenFrame]);
    CPenCursor g(p);
    g.MoveTo(L, T);
    g.LineTo(R, T);
    g.LineTo(R, B);
    g.LineTo(L, B);
    g.LineTo(L, T);
    g.MoveTo(L, t.v);
    g.LineTo(R, t.v);
    for (int x : {t.x1, t.x2, t.x3, t.x4}) {
        g.MoveTo(x, t.v);
        g.LineTo(x, B);
    }
    for (int k = 1; k <= 3; ++k) {
        const int y = B - ((B - t.v) * k) / 4;
        g.MoveTo(t.x4, y);
        g.LineTo(R, y);
    }
    g.MoveTo(t.x2, t.y5);
    g.LineTo(t.x3, t.y5);
    g.MoveTo(t.x2, t.y6);
    g.LineTo(t.x3, t.y6);
    g.MoveTo(t.x5, t.y5);
    g.LineTo(t.x5, B);
}

// The legend's column heads and the names of the curves shown.
void CGraphicPrint::DrawLegendTexts(QPainter& p) const
{
    const CPrintMetrics& m = m_metrics;
    const int L = m_frame.left;
    const CTitleBlock t = TitleBlock();
    const QColor black(Qt::black);
    p.setPen(black);
    const int yT = MmY(m, t.v, 2);
    p.setFont(PointFont(m, 12));
    TextOut(p, MmX(m, L, 7), yT, QStringLiteral("Gradient"), TA_LEFT | TA_TOP);
    TextOut(p, MmX(m, t.x1, 7), yT, QStringLiteral("Rohr-Boden Potential"), TA_LEFT | TA_TOP);
    const QFont font10 = PointFont(m, 10);
    const QFont font8 = PointFont(m, 8);
    p.setFont(font10);
    const int xg = MmX(m, L, 25);
    const int xp = MmX(m, t.x1, 25);
    if (m_doc.m_bPlotGradOn) TextOut(p, xg, LegendY(1), QStringLiteral(": Ein"), TA_LEFT | TA_TOP);
    if (m_doc.m_bPlotGradOff) TextOut(p, xg, LegendY(2), QStringLiteral(": Aus"), TA_LEFT | TA_TOP);
    if (m_doc.m_bPlotGradDiff) TextOut(p, xg, LegendY(3), QStringLiteral(": Ein - Aus"), TA_LEFT | TA_TOP);
    const bool potShown[2] = {m_doc.m_bPlotPotOn, m_doc.m_bPlotPotOff};
    const QString potSub[2] = {QStringLiteral("Ein - Cu/CuSO"), QStringLiteral("Aus - Cu/CuSO")};
    for (int i = 0; i < 2; ++i) {
        if (!potShown[i]) continue;
        const int y = LegendY(i + 1);
        const QString head = QStringLiteral(": U");
        p.setFont(font10);
        TextOut(p, xp, y, head, TA_LEFT | TA_TOP);
        const int xs = xp + TextWidth(p, head);
        const int ys = y + MmDY(m, 1.5);
        p.setFont(font8);
        TextOut(p, xs, ys, potSub[i], TA_LEFT | TA_TOP);
        TextOut(p, xs + TextWidth(p, potSub[i]), ys + MmDY(m, 0.7), QStringLiteral("4"), TA_LEFT | TA_TOP);
    }
    p.setFont(font10);
    if (m_doc.m_bPlotIR) TextOut(p, xp, LegendY(3), QStringLiteral(": IR-frei"), TA_LEFT | TA_TOP);
}

// Pipeline and comment, number or customer, date, scale and page.
void CGraphicPrint::DrawHeaderCells(QPainter& p, int page) const
{
    const CPrintMetrics& m = m_metrics;
    const int R = m_frame.right, B = m_frame.bottom;
    const CTitleBlock t = TitleBlock();
    const QColor black(Qt::black);
    p.setPen(black);
    p.setFont(PointFont(m, 10));
    const QColor header = DeviceColour(m, kHeaderColour);
    TextOut(p, MmX(m, t.x2, 2), MmY(m, t.y6, -0.7), QStringLiteral("Leitung"), TA_LEFT | TA_BOTTOM);
    TextOut(p, MmX(m, t.x2, 2), MmY(m, B, -0.7), QStringLiteral("Kommentar"), TA_LEFT | TA_BOTTOM);
    p.setPen(header);
    {
        // A long name or comment ends at its cell instead of running into
        // the neighbouring "Nummer"/"Maßstab" cells.
        p.save();
        p.setClipRect(QRect(QPoint(t.x5, 0), QPoint(MmX(m, t.x3, -0.5), B)));
        TextOut(p, MmX(m, t.x5, 2), MmY(m, t.y6, -0.7), Str(m_doc.m_header[3]), TA_LEFT | TA_BOTTOM);
        TextOut(p, MmX(m, t.x5, 2), MmY(m, B, -0.7), Str(m_doc.m_header[7]), TA_LEFT | TA_BOTTOM);
        p.restore();
    }
    p.setPen(black);
    const QString labels[4] = {m_doc.m_bPlotHeadNumber ? QStringLiteral("Nummer") : QStringLiteral("Kunde"),
                               QStringLiteral("Datum"), QString::fromUtf8("Maßstab"), QStringLiteral("Seite")};
    const int xc = (t.x4 + R) / 2;
    for (int k = 1; k <= 4; ++k) {
        const int y = MmY(m, t.RowBottom(k, B), -0.6);
        p.setPen(black);
        TextOut(p, MmX(m, t.x3, 2), y, labels[k - 1], TA_LEFT | TA_BOTTOM);
        QString value;
        switch (k) {
        case 1:
            value = Str(m_doc.m_header[4]);
            p.setPen(header);
            break;
        case 2:
            value = Str(m_doc.m_header[1]);
            p.setPen(header);
            break;
        case 3: value = QStringLiteral("1:") + Str(tresnum::FormatInt(m_doc.m_nPlotScale, 0, true)); break;
        default: value = QString::number(static_cast<unsigned>(page)); break;
        }
        TextOut(p, xc, y, value, TA_CENTER | TA_BOTTOM);
    }
    p.setPen(black);
}

// The plot logo scaled into its cell, else the company and title texts.
void CGraphicPrint::DrawLogoCell(QPainter& p) const
{
    const CPrintMetrics& m = m_metrics;
    const CTitleBlock t = TitleBlock();
    const QColor black(Qt::black);
    const int cx = (t.x2 + t.x3) / 2;
    const int cy = (t.v + t.y5) / 2;
    const QImage* logo = m_ctx.plotLogo;
    if (logo && !logo->isNull()) {
        const int aw = (t.x3 - t.x2) * 9 / 10;
        const int ah = (t.y5 - t.v) * 9 / 10;
        double f = std::min(static_cast<double>(ah) / logo->height(), static_cast<double>(aw) / logo->width());
        if (f > 0.99 && f < 1.1) f = 1.0;
        const QRect dest(Trunc(cx - f * logo->width() / 2), Trunc(cy - f * logo->height() / 2),
                         Trunc(f * logo->width()), Trunc(f * logo->height()));
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(dest, *logo);
        p.restore();
    } else {
        QFont big = HeightFont(m.dpy * 16 / 72, 700, true);
        // The face's width of 32 units fits a 300 dpi device; it is scaled
        // to this device so the letters keep their shape at any resolution.
        const int natural = std::max(1, QFontMetrics(big).averageCharWidth());
        big.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * 32 * m.dpx / 300 / natural)), 1, 4000));
        const QString company = CompanyText(m_ctx);
        // A long company name is narrowed to the cell rather than cut at it.
        const int room = (t.x3 - t.x2) * 19 / 20, wide = QFontMetrics(big).horizontalAdvance(company);
        if (wide > room && room > 0) big.setStretch(std::max(1, big.stretch() * room / wide));
        p.setFont(big);
        p.setPen(DeviceColour(m, kCompanyColour));
        TextOut(p, cx, MmY(m, cy, -0.25), company, TA_CENTER | TA_BOTTOM);
        p.setPen(DeviceColour(m, kTitleColour));
        TextOut(p, cx, MmY(m, t.y5, -0.25), TitleText(), TA_CENTER | TA_BOTTOM);
        p.setPen(black);
    }
}

void CGraphicPrint::DrawLegendSamples(QPainter& p) const
{
    const CPrintMetrics& m = m_metrics;
    const CTitleBlock t = TitleBlock();
    p.setFont(PointFont(m, 10));
    const int h = TextHeight(p);
    const int y1 = LegendY(1);
    const int ys1 = Trunc(y1 + 2.0 / 3.0 * h);
    auto sample = [&](int x, int row, EPen pen) {
        const int y = MmY(m, ys1, 6.0 * (row - 1));
        p.setPen(m_pens[pen]);
        CPenCursor g(p);
        g.MoveTo(MmX(m, x, -12), y);
        g.LineTo(MmX(m, x, -7), y);
        g.PointMark(m);
        g.LineTo(MmX(m, x, -2), y);
    };
    const int xg = MmX(m, m_frame.left, 25);
    const int xp = MmX(m, t.x1, 25);
    if (m_doc.m_bPlotGradOn) sample(xg, 1, PenGradOn);
    if (m_doc.m_bPlotGradOff) sample(xg, 2, PenGradOff);
    if (m_doc.m_bPlotGradDiff) sample(xg, 3, PenGradDiff);
    if (m_doc.m_bPlotPotOn) sample(xp, 1, PenPotOn);
    if (m_doc.m_bPlotPotOff) sample(xp, 2, PenPotOff);
    if (m_doc.m_bPlotIR) sample(xp, 3, PenIR);
}

void CGraphicPrint::DrawGradientAxis(QPainter& p) const
{
    const CPrintMetrics& m = m_metrics;
    const CGraphicGeometry& g = m_geo;
    CPenCursor c(p);
    // axis title "U" over "mV"
    p.setPen(Qt::black);
    const int x = MmX(m, g.axisLeft, -5);
    const int yb = MmY(m, g.gradTop, -9);
    TextOut(p, x, yb, QStringLiteral("U"), TA_CENTER | TA_BASELINE);
    TextOut(p, x, MmY(m, yb, 1), QStringLiteral("mV"), TA_CENTER | TA_TOP);
    const int w = TextWidth(p, QStringLiteral("mV"));
    p.setPen(m_pens[PenFrame]);
    const int ybar = Trunc(yb + m.dpy / 45.72);
    c.MoveTo(Trunc(x - 2.0 / 3.0 * w), ybar);
    c.LineTo(Trunc(x + 2.0 / 3.0 * w), ybar);
    for (int ax : {g.axisLeft, g.axisRight}) {
        c.MoveTo(ax, g.gradTop);
        c.LineTo(ax, g.gradBottom);
    }

    const int64_t H = int64_t{m_doc.m_nGradAxisMax} * 10;
    const int64_t D = int64_t{m_doc.m_nGradAxisMin} * 10;
    const std::vector<int64_t> ticks = GradientTicks(H, D);
    if (ticks.empty()) return;
    const float gs = static_cast<float>(g.gradBottom - g.gradTop) / static_cast<float>(H - D);
    const int mm1 = MmDX(m, 1);
    const int h = TextHeight(p);
    for (int64_t v : ticks) {
        const int y = Trunc(static_cast<double>(H - v) * gs) + g.gradTop;
        p.setPen(m_pens[PenFrame]);
        c.MoveTo(g.axisLeft - mm1, y);
        c.LineTo(g.axisLeft + mm1, y);
        if (std::llabs(v) < 20) {
            c.MoveTo(g.axisRight, y);
            c.LineTo(g.dataRight, y);
        }
        p.setPen(Qt::black);
        TextOut(p, g.axisLeft - 2 * mm1, y + h / 2, Str(tresnum::FormatInt(v / 10, 5, true)), TA_RIGHT | TA_BOTTOM);
    }
}

void CGraphicPrint::DrawPotentialAxis(QPainter& p) const
{
    const CPrintMetrics& m = m_metrics;
    const CGraphicGeometry& g = m_geo;
    CPenCursor c(p);
    // axis title: U with the subscript Cu/CuSO4 over V
    const QFont font10 = PointFont(m, 10);
    const QFont font8 = PointFont(m, 8);
    p.setPen(Qt::black);
    p.setFont(font10);
    const int xu = MmX(m, g.axisLeft, -10);
    const int yu = MmY(m, g.potTop, -10);
    TextOut(p, xu, yu, QStringLiteral("U"), TA_LEFT | TA_BASELINE);
    const int xs = xu + TextWidth(p, QStringLiteral("U"));
    const int ys = yu + MmDY(m, 1.5);
    p.setFont(font8);
    TextOut(p, xs, ys, QStringLiteral("Cu/CuSO"), TA_LEFT | TA_BASELINE);
    const int x4 = xs + TextWidth(p, QStringLiteral("Cu/CuSO"));
    const int y4 = ys + MmDY(m, 0.7);
    TextOut(p, x4, y4, QStringLiteral("4"), TA_LEFT | TA_BASELINE);
    const int xend = x4 + TextWidth(p, QStringLiteral("4"));
    p.setPen(m_pens[PenFrame]);
    c.MoveTo(xu, MmY(m, y4, 0.5));
    c.LineTo(xend, MmY(m, y4, 0.5));
    p.setPen(Qt::black);
    p.setFont(font10);
    TextOut(p, (xu + xend) / 2, MmY(m, y4, 1), QStringLiteral("V"), TA_CENTER | TA_TOP);

    p.setPen(m_pens[PenFrame]);
    for (int ax : {g.axisLeft, g.axisRight}) {
        c.MoveTo(ax, g.potTop);
        c.LineTo(ax, g.potBottom);
    }
    if (m_doc.m_nPotAxisMin == m_doc.m_nPotAxisMax) return; // no scale to draw on
    const int64_t r = -int64_t{m_doc.m_nPotAxisMin};
    const float ps = static_cast<float>(g.potBottom - g.potTop)
                     / static_cast<float>(int64_t{m_doc.m_nPotAxisMin} - m_doc.m_nPotAxisMax);

    // criterion line, dashes of 1/8 inch every 1/4 inch, only inside the chart
    const int64_t crit = CriterionValue(m_doc);
    const int yc = g.potBottom - Trunc(static_cast<double>(crit - r) * ps);
    if (yc >= g.potTop && yc <= g.potBottom) {
        const int xstop = MmX(m, m_frame.right, -15);
        for (int x = g.axisRight; x < xstop; x = Trunc(x + m.dpx / 4.0)) {
            c.MoveTo(x, yc);
            c.LineTo(Trunc(x + m.dpx / 8.0), yc);
            if (m.dpx < 4) break;
        }
    }

    const int mm1 = MmDX(m, 1);
    const int h = TextHeight(p);
    for (int64_t f : PotentialTicks(m_doc.m_nPotAxisMax, m_doc.m_nPotAxisMin)) {
        const int y = g.potBottom - Trunc(static_cast<double>(f - r) * ps);
        p.setPen(m_pens[PenFrame]);
        c.MoveTo(g.axisLeft - mm1, y);
        c.LineTo(g.axisLeft + m.dpx / 100 + mm1, y);
        if (std::llabs(f - r) < 50) {
            c.MoveTo(g.axisRight, y);
            c.LineTo(MmX(m, m_frame.right, -20), y);
        }
        p.setPen(Qt::black);
        TextOut(p, g.axisLeft - 2 * mm1, y + h / 2, Str(tresnum::FormatFixed(-static_cast<double>(f) * 0.001, 2, 5)),
                TA_RIGHT | TA_BOTTOM);
    }
}

void CGraphicPrint::DrawMetreAxis(QPainter& p, int page) const
{
    const CPrintMetrics& m = m_metrics;
    const CGraphicGeometry& g = m_geo;
    p.setFont(PointFont(m, 10));
    const int h = TextHeight(p);
    const int y = g.potBottom;
    const int b = static_cast<int>(MmDX(m, 1) * 0.6);
    CPenCursor c(p);
    c.MoveTo(g.dataLeft, y);
    for (int64_t f = g.firstMetre; f <= g.lastMetre; f += g.metreStep) {
        const int x = g.X(f, g.firstMetre);
        p.setPen(m_pens[PenFrame]);
        c.LineTo(x, y);
        const int64_t a = f + int64_t{page - 1} * g.span;
        const int k = MetreTickHalf(a, b);
        c.MoveTo(x, y - k);
        c.LineTo(x, y + k + m.dpx / 200);
        c.MoveTo(x, y);
        if (MetreLabelled(g.metreStep, a)) {
            p.setPen(Qt::black);
            TextOut(p, x, Trunc(y + 0.3 * h), QString::number(a), TA_CENTER | TA_TOP);
        }
    }
}

void CGraphicPrint::DrawCurves(QPainter& p, int page) const
{
    const CGraphicGeometry& g = m_geo;
    const int64_t p0 = g.PageStart(page);
    const CRowRange rows = CurveRows(m_doc, p0, g.PageEnd(page));
    if (rows.first <= 0) return;

    const bool potScale = m_doc.m_nPotAxisMin != m_doc.m_nPotAxisMax;
    const float ps = potScale ? static_cast<float>(g.potBottom - g.potTop)
                                    / static_cast<float>(int64_t{m_doc.m_nPotAxisMin} - m_doc.m_nPotAxisMax)
                              : 0.f;
    const int64_t H = int64_t{m_doc.m_nGradAxisMax} * 10;
    const int64_t D = int64_t{m_doc.m_nGradAxisMin} * 10;
    const bool gradScale = H > D;
    const float gs = gradScale ? static_cast<float>(g.gradBottom - g.gradTop) / static_cast<float>(H - D) : 0.f;

    enum class EChart { Potential, Gradient };
    struct CCurve {
        EPen pen;
        EChart chart;
        bool on;
        int32_t (*value)(const CTreDoc&, int);
    };
    const CCurve curves[6] = {
        {PenPotOn, EChart::Potential, m_doc.m_bPlotPotOn, [](const CTreDoc& d, int r) { return d.GetPotOn(r); }},
        {PenPotOff, EChart::Potential, m_doc.m_bPlotPotOff, [](const CTreDoc& d, int r) { return d.GetPotOff(r); }},
        {PenIR, EChart::Potential, m_doc.m_bPlotIR, [](const CTreDoc& d, int r) { return PrintedIRFree(d, r); }},
        {PenGradOn, EChart::Gradient, m_doc.m_bPlotGradOn, [](const CTreDoc& d, int r) { return d.GetGradOn(r); }},
        {PenGradOff, EChart::Gradient, m_doc.m_bPlotGradOff, [](const CTreDoc& d, int r) { return d.GetGradOff(r); }},
        {PenGradDiff, EChart::Gradient, m_doc.m_bPlotGradDiff,
         [](const CTreDoc& d, int r) { return d.GetGradDiff(r); }},
    };
    for (const CCurve& curve : curves) {
        const bool potential = curve.chart == EChart::Potential;
        if (!curve.on || !(potential ? potScale : gradScale)) continue;
        const CClipRect clip{g.axisRight - 1, potential ? g.potTop : g.gradTop, g.dataRight,
                             potential ? g.potBottom : g.gradBottom};
        p.setPen(m_pens[curve.pen]);
        CPenCursor c(p);
        bool havePrev = false;
        bool gap = true;
        CClipPoint prev;
        for (int r = rows.first; r <= rows.last; ++r) {
            if (!IsPresent(m_doc.GetMeter(r))) continue; // no position: the line goes past it
            const int32_t v = curve.value(m_doc, r);
            if (!IsPresent(v)) {
                gap = true;
                continue;
            }
            // The gradient is taken in whole millivolts, as the axis labels
            // show it, and placed on the axis's own scale of tenths.
            const int y = potential ? g.potBottom + Trunc((static_cast<double>(v) - m_doc.m_nPotAxisMin) * ps)
                                    : g.gradBottom - Trunc(static_cast<double>(int64_t{v} / 10 * 10 - D) * gs);
            const CClipPoint cur{g.X(m_doc.GetMeter(r), p0), y};
            const CClipResult cr = ClipSegment(havePrev ? prev : cur, cur, clip);
            if ((cr.bPrevClipped && cr.bThisClipped) || gap) {
                c.MoveTo(cr.cur.x, cr.cur.y);
            } else {
                c.MoveTo(cr.prev.x, cr.prev.y);
                if (!cr.bPrevClipped) c.PointMark(m_metrics);
                c.LineTo(cr.cur.x, cr.cur.y);
                if (!cr.bThisClipped) c.PointMark(m_metrics);
            }
            gap = false;
            prev = cur;
            havePrev = true;
        }
    }
}

void CGraphicPrint::DrawComments(QPainter& p, int page) const
{
    const CPrintMetrics& m = m_metrics;
    const CGraphicGeometry& g = m_geo;
    const int64_t p0 = g.PageStart(page);
    const int64_t p1 = g.PageEnd(page);
    const CRowRange rows = CurveRows(m_doc, p0, p1);
    if (rows.first <= 0) return;
    p.setFont(CellHeightFont(m.dpy / 8, 400));
    const int n = m_doc.GetRowCount();
    CPenCursor c(p);
    for (int r = rows.first; r <= n; ++r) {
        const int32_t metre = m_doc.GetMeter(r);
        if (!IsPresent(metre)) continue; // no position to stand at
        if (r > rows.first && metre > p1) break;
        const std::string comment = m_doc.GetComment(r);
        if (!comment.empty()) {
            const int x = g.X(metre, p0);
            const QString text = Str(comment);
            const int len = TextWidth(p, text);
            const int startY = Trunc(len + g.gradTop - m.dpy * 5 / 25.4);
            const int textX = x - m.dpx / 15;
            if (textX >= g.axisRight) {
                p.setPen(DeviceColour(m, Qt::black));
                p.save();
                p.translate(textX, startY);
                p.rotate(-90);
                TextOut(p, 0, 0, text, TA_LEFT | TA_TOP);
                p.restore();
                p.setPen(m_pens[PenMarker]);
                for (int y = g.potBottom; startY + m.dpy / 10 < y; y -= m.dpy / 5) {
                    c.MoveTo(x, y);
                    c.LineTo(x, y - m.dpy / 10);
                    if (m.dpy < 5) break;
                }
            }
        }
    }
}

void CGraphicPrint::PrintPage(QPainter& p, int page) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBackgroundMode(Qt::TransparentMode);
    DrawTitleBlock(p, page);
    p.setFont(PointFont(m_metrics, 10));
    p.setPen(Qt::black);
    DrawGradientAxis(p);
    DrawPotentialAxis(p);
    DrawMetreAxis(p, page);
    DrawLegendSamples(p);
    DrawCurves(p, page);
    DrawComments(p, page);
    if (m_doc.m_bPlotQM) {
        p.setPen(Qt::black);
        p.setFont(PointFont(m_metrics, 8));
        DrawQmLine(p, m_frame, m_doc, m_ctx);
    }
    p.restore();
}
