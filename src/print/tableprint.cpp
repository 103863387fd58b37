// SPDX-License-Identifier: GPL-3.0-or-later
#include "tableprint.h"

#include "doc/tredoc.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

using graphiclayout::Trunc;
using namespace tablelayout;

namespace {

QString Str(const std::string& s) { return QString::fromStdString(s); }

} // namespace

int CTablePrint::PageCount() const
{
    if (!m_doc.m_bTabErrList) return tablelayout::PageCount(m_doc.GetRowCount(), false);
    // The error list prints only the rows in its windows: counting pages by
    // all rows would send dozens of empty tables to the printer.
    const int rp = tablelayout::RowsPerPage(true);
    return tablelayout::PageCount(static_cast<int>(tablelayout::LineLayout(m_doc, true, rp).size()), true);
}

void CTablePrint::Begin(QPainter& p, const CPrintMetrics& m)
{
    m_metrics = m;
    m_frame = ComputeFrame(m, kTableMargins);
    const bool arial = m_doc.m_bTabArial;
    m_body = PointFont(m, 10, 400, arial);
    m_small = PointFont(m, 8, 400, arial);
    m_medium = PointFont(m, 12, 400, arial);
    m_title = PointFont(m, 15, 700, arial);
    p.save();
    p.setFont(m_body);
    m_nLineHeight = std::max(1, m.dpy * 101 / 600);
    m_nCharWidth = p.fontMetrics().averageCharWidth() * 110 / 100;
    p.setFont(m_medium);
    m_nWideCharWidth = p.fontMetrics().averageCharWidth() * 120 / 100;
    p.restore();
    m_nRowsPerPage = tablelayout::RowsPerPage(m_doc.m_bTabErrList);
    // The layout is the same for every page, so it is laid out once per job
    // rather than replayed from row 1 for each page.
    m_lines = LineLayout(m_doc, m_doc.m_bTabErrList, m_nRowsPerPage);
}

CTablePrint::CGeometry CTablePrint::Geometry() const
{
    const int L = m_frame.left, R = m_frame.right, T = m_frame.top, B = m_frame.bottom;
    const int lh = m_nLineHeight;
    CGeometry g;
    g.w = R - L;
    g.u = m_metrics.dpy / 30;
    g.z = Trunc(B - (m_nRowsPerPage + 0.5) * lh);
    g.hc = g.z - 4 * lh;
    g.h5 = T + g.u + 5 * lh;
    g.hb = m_doc.m_bTabErrList ? g.h5 + 3 * lh : g.h5;
    g.mid = (T + g.h5) / 2;
    g.cols = ComputeColumns(L, R, m_doc.m_bTabIR, m_doc.m_bTabLR);
    return g;
}

int CTablePrint::LineY(int line, int page) const
{
    const CGeometry g = Geometry();
    return Trunc(g.z + (line - 1 - (page - 1) * m_nRowsPerPage + 0.2) * m_nLineHeight);
}

std::vector<int> CTablePrint::PageLines(int page) const
{
    std::vector<int> out;
    const size_t first = static_cast<size_t>(page - 1) * static_cast<size_t>(m_nRowsPerPage);
    for (size_t i = first; i < m_lines.size() && i < first + static_cast<size_t>(m_nRowsPerPage); ++i)
        out.push_back(m_lines[i]);
    return out;
}

void CTablePrint::DrawLimitWindows(QPainter& p, const CGeometry& g) const
{
    const bool arial = m_doc.m_bTabArial;
    const int cw = m_nCharWidth;
    const int lh = m_nLineHeight;
    const int y1 = Trunc(g.h5 + 0.4 * lh);
    const int y2 = Trunc(g.h5 + 1.5 * lh);
    p.setFont(m_body);
    const int x0 = m_frame.left + 3 * cw;
    TextOut(p, x0, y1, QStringLiteral("Potential  [ V ]"), TA_LEFT | TA_TOP);
    const QString gradLabel = QStringLiteral("Gradient  [ mV ]");
    TextOut(p, x0, y2, gradLabel, TA_LEFT | TA_TOP);
    int x = x0 + TextWidth(p, gradLabel);
    auto both = [&](const QString& s) {
        TextOut(p, x, y1, s, TA_LEFT | TA_TOP);
        TextOut(p, x, y2, s, TA_LEFT | TA_TOP);
        x += TextWidth(p, s);
    };
    auto windows = [&](int kPot, int kGrad) {
        const QString a = Str(LimitWindowText(m_doc, kPot, arial));
        TextOut(p, x, y1, a, TA_LEFT | TA_TOP);
        TextOut(p, x, y2, Str(LimitWindowText(m_doc, kGrad, arial)), TA_LEFT | TA_TOP);
        x += TextWidth(p, a) + 2 * cw + (arial ? 2 * cw : 0);
    };
    both(arial ? QStringLiteral(" :      Ein  ") : QStringLiteral(" :  Ein "));
    windows(POTE, UEIN);
    both(QStringLiteral("Aus "));
    windows(POTA, UAUS);
    TextOut(p, x, y2, QStringLiteral("Diff. "), TA_LEFT | TA_TOP);
    TextOut(p, x, y1, QStringLiteral("IR-frei "), TA_LEFT | TA_TOP);
    x += TextWidth(p, QStringLiteral("IR-frei "));
    TextOut(p, x, y1, Str(LimitWindowText(m_doc, POTIR, arial)), TA_LEFT | TA_TOP);
    TextOut(p, x, y2, Str(LimitWindowText(m_doc, UDIFF, arial)), TA_LEFT | TA_TOP);
}

void CTablePrint::DrawHeaderBlock(QPainter& p, const CGeometry& g, int page) const
{
    const int L = m_frame.left, R = m_frame.right, T = m_frame.top;
    const int cw = m_nCharWidth;
    const int lh = m_nLineHeight;
    const int w = g.w;

    // right title cell: logo or company
    const QImage* logo = m_ctx.tableLogo;
    if (logo && !logo->isNull()) {
        const int wc = w / 3;
        const int hh = g.h5 - T - g.u;
        const float f
            = 0.8f * std::min(static_cast<float>(wc) / logo->width(), static_cast<float>(hh) / logo->height());
        const float dw = f * logo->width(), dh = f * logo->height();
        const QRect dest(Trunc(L + (w / 3) * 2 + (wc - dw) / 2), Trunc(T + g.u + (hh - dh) / 2), Trunc(dw), Trunc(dh));
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(dest, *logo);
        p.restore();
    } else {
        p.setFont(m_medium);
        const int x = L + 2 * w / 3 + 6 * cw;
        const auto [first, second] = CompanyLines(m_ctx);
        // A long company name is set smaller rather than cut at the frame.
        const int room = R - x - cw, wide = std::max(TextWidth(p, first), TextWidth(p, second));
        if (wide > room && room > 0) {
            QFont f = m_medium;
            f.setPixelSize(std::max(1, f.pixelSize() * room / wide));
            p.setFont(f);
        }
        TextOut(p, x, Trunc(g.mid - 1.2 * lh), first, TA_LEFT | TA_TOP);
        TextOut(p, x, Trunc(g.mid + 0.2 * lh), second, TA_LEFT | TA_TOP);
    }

    // left title cell: page and date
    p.setFont(m_medium);
    const QString seite = QStringLiteral("Seite"), datum = QStringLiteral("Datum");
    TextOut(p, L + 3 * cw, Trunc(g.mid - 1.2 * lh), seite, TA_LEFT | TA_TOP);
    TextOut(p, L + 3 * cw, Trunc(g.mid + 0.2 * lh), datum, TA_LEFT | TA_TOP);
    const int wl = std::max(TextWidth(p, seite), TextWidth(p, datum));
    TextOut(p, L + 4 * cw + wl, Trunc(g.mid - 1.2 * lh),
            QStringLiteral(": ") + QString::number(static_cast<unsigned>(page)), TA_LEFT | TA_TOP);
    TextOut(p, L + 4 * cw + wl, Trunc(g.mid + 0.2 * lh), QStringLiteral(": ") + Str(m_doc.m_header[1]),
            TA_LEFT | TA_TOP);

    // title (both second title lines are a single blank: one line)
    p.setFont(m_title);
    TextOut(p, (R + L) / 2, Trunc(g.mid - 0.6 * lh), m_doc.m_bTabErrList ? QStringLiteral("FEHLERLISTE") : TitleText(),
            TA_CENTER | TA_TOP);
}

void CTablePrint::DrawRow(QPainter& p, const CGeometry& g, int r, int y) const
{
    const tablelayout::CColumns& c = g.cols;
    const int cw = m_nCharWidth;
    TextOut(p, c.xm, y, Str(m_doc.FormatMeter(r)), TA_CENTER | TA_TOP);
    TextOut(p, c.potOn, y, Str(m_doc.FormatPotOn(r)), TA_CENTER | TA_TOP);
    TextOut(p, c.potOff, y, Str(m_doc.FormatPotOff(r)), TA_CENTER | TA_TOP);
    if (m_doc.m_bTabIR) TextOut(p, c.potIR, y, Str(m_doc.FormatPotIRFree(r)), TA_CENTER | TA_TOP);
    const unsigned right = TA_RIGHT | TA_TOP;
    if (m_doc.m_bTabGrad) {
        if (!m_doc.m_bTabLR) {
            TextOut(p, c.ge + 2 * cw, y, Str(m_doc.FormatGradOn(r)), right);
            TextOut(p, c.ga + 2 * cw, y, Str(m_doc.FormatGradOff(r)), right);
        } else {
            TextOut(p, c.ge - cw, y, Str(m_doc.FormatGradOnL(r)), right);
            TextOut(p, c.ge + 5 * cw, y, Str(m_doc.FormatGradOnR(r)), right);
            TextOut(p, c.ga - cw, y, Str(m_doc.FormatGradOffL(r)), right);
            TextOut(p, c.ga + 5 * cw, y, Str(m_doc.FormatGradOffR(r)), right);
        }
    }
    if (m_doc.m_bTabDiff) {
        if (!m_doc.m_bTabLR) {
            TextOut(p, c.gd + 2 * cw, y, Str(m_doc.FormatGradDiff(r)), right);
        } else {
            TextOut(p, c.gd - cw, y, Str(m_doc.FormatGradDiffL(r)), right);
            TextOut(p, c.gd + 5 * cw, y, Str(m_doc.FormatGradDiffR(r)), right);
        }
    }
    TextOut(p, c.x74 + cw, y, Str(m_doc.GetComment(r)), TA_LEFT | TA_TOP);
}

void CTablePrint::PrintPage(QPainter& p, int page) const
{
    const CPrintMetrics& m = m_metrics;
    const int L = m_frame.left, R = m_frame.right, T = m_frame.top, B = m_frame.bottom;
    const CGeometry g = Geometry();
    const int lh = m_nLineHeight;
    const int u = g.u;
    const tablelayout::CColumns& c = g.cols;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBackgroundMode(Qt::TransparentMode);
    p.setFont(m_body);
    QPen pen(Qt::black);
    pen.setWidth(m.dpy / 100);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    CPenCursor d(p);

    // double frame
    auto rectangle = [&](int l, int t, int r, int b) {
        d.MoveTo(l, t);
        d.LineTo(l, b);
        d.LineTo(r, b);
        d.LineTo(r, t);
        d.LineTo(l, t);
    };
    rectangle(L, T, R, B);
    rectangle(L + u, T + u, R - u, B - u);

    // every second line on grey
    if (m_doc.m_bTabLinesGW && m_nRowsPerPage > 1) {
        const int x0 = L + u + m.dpy / 100;
        const int x1 = Trunc(R - 1.1 * u);
        for (int k = 1; k < m_nRowsPerPage; k += 2) {
            const int y = Trunc(g.z + (k + 0.2) * lh);
            p.fillRect(QRect(x0, y, x1 - x0, lh), QColor(192, 192, 192));
        }
    }

    auto hline = [&](int y) {
        d.MoveTo(L + u, y);
        d.LineTo(R - u, y);
    };
    auto vline = [&](int x, int y0, int y1) {
        d.MoveTo(x, y0);
        d.LineTo(x, y1);
    };
    hline(g.z);
    hline(g.hc);
    hline(g.hc + u);
    for (int x : {c.x14, c.x41, c.x74}) vline(x, g.hc + u, B - u);
    if (m_doc.m_bTabLR) {
        vline(c.x41 + c.a, g.z, B - u);
        vline(c.x41 + 2 * c.a, g.z, B - u);
    }
    vline(L + g.w / 3, T + u, g.h5);
    vline(L + (g.w / 3) * 2, T + u, g.h5);

    DrawHeaderBlock(p, g, page);
    p.setPen(pen);
    hline(g.h5);
    if (m_doc.m_bTabErrList) DrawLimitWindows(p, g);
    p.setPen(pen);
    hline(g.hb);

    // header data
    p.setFont(m_medium);
    const int cw = m_nCharWidth;
    const int s = (g.hc - g.hb) / 5;
    const QString labels[4]
        = {QStringLiteral("Leitung"), m_doc.m_bTabHeadNumber ? QStringLiteral("Nummer") : QStringLiteral("Kunde"),
           QStringLiteral("Bemerkung"), QStringLiteral("Abschnitt")};
    const QString values[4] = {Str(m_doc.m_header[3]), Str(m_doc.m_header[4]), Str(m_doc.m_header[7]),
                               Str(m_doc.m_header[5]) + QStringLiteral(" - ") + Str(m_doc.m_header[6])};
    int wd = 0;
    for (const QString& l : labels) wd = std::max(wd, TextWidth(p, l));
    for (int i = 0; i < 4; ++i) {
        const int y = Trunc(g.hb + (i + 0.5) * s);
        TextOut(p, L + 3 * cw, y, labels[i], TA_LEFT | TA_TOP);
        TextOut(p, L + 5 * cw + wd, y, QStringLiteral(":   ") + values[i], TA_LEFT | TA_TOP);
    }

    // three-line column header
    p.setFont(m_body);
    const unsigned ct = TA_CENTER | TA_TOP;
    const int y1 = Trunc(g.hc + 0.5 * lh);
    const int y2 = Trunc(g.hc + 1.6 * lh);
    const int y3 = Trunc(g.hc + 2.8 * lh);
    TextOut(p, c.xm, y1, QStringLiteral("Messmeter"), ct);
    TextOut(p, c.x14 + (c.x41 - c.x14) / 2, y1, QStringLiteral("Potential"), ct);
    TextOut(p, c.x41 + (c.x74 - c.x41) / 2, y1, QStringLiteral("Gradient"), ct);
    TextOut(p, c.x74 + (R - c.x74) / 2, y1, QStringLiteral("Kommentar"), ct);
    TextOut(p, (L + c.x14) / 2, y2, QStringLiteral("[ m ]"), ct);
    TextOut(p, (c.x14 + c.x41) / 2, y2, QStringLiteral("[ V ]"), ct);
    TextOut(p, (c.x41 + c.x74) / 2, y2, QStringLiteral("[ mV ]"), ct);
    TextOut(p, c.potOn, y3, QStringLiteral("Ein"), ct);
    TextOut(p, c.potOff, y3, QStringLiteral("Aus"), ct);
    if (m_doc.m_bTabIR) TextOut(p, c.potIR, y3, QStringLiteral("IR-frei"), ct);
    TextOut(p, c.ge, y3, QStringLiteral("Ein"), ct);
    TextOut(p, c.ga, y3, QStringLiteral("Aus"), ct);
    TextOut(p, c.gd, y3, QStringLiteral("Diff."), ct);

    // table lines
    const int firstLine = (page - 1) * m_nRowsPerPage + 1;
    const std::vector<int> rows = PageLines(page);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i] > 0) DrawRow(p, g, rows[i], LineY(firstLine + static_cast<int>(i), page));

    if (m_doc.m_bTabQM) {
        p.setFont(m_small);
        DrawQmLine(p, m_frame, m_doc, m_ctx);
    }
    p.restore();
}
