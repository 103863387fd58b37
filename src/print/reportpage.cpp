// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportpage.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// A line cut at blanks into parts no wider than `width`, so a long remark
// or pipeline name goes on below instead of off the page; a word wider
// than the whole width stands alone.
QStringList Wrapped(QPainter& p, const QString& line, int width)
{
    QStringList out;
    QString rest = line;
    while (TextWidth(p, rest) > width) {
        qsizetype cut = rest.lastIndexOf(QLatin1Char(' '));
        while (cut > 0 && TextWidth(p, rest.left(cut)) > width) cut = rest.lastIndexOf(QLatin1Char(' '), cut - 1);
        if (cut <= 0) break;
        out << rest.left(cut);
        rest = rest.mid(cut + 1);
    }
    out << rest;
    return out;
}

// The watermark of a draft: light enough that no number under it is
// hidden, drawn as outlines rather than text so it neither joins a copied
// line nor breaks one apart.
const QColor kDraftColour(0, 0, 0, 28);

} // namespace

void DrawReportHeader(QPainter& p, const SReportPage& page, const SReportHeader& h)
{
    const CPrintMetrics& m = page.m;
    p.setFont(PointFont(m, 8));
    p.setPen(Qt::black);
    const int y1 = page.frame.top, y2 = MmY(m, page.frame.top, 4);
    TextOut(p, page.L(), y1, h.identity, TA_LEFT | TA_TOP);
    TextOut(p, page.R(), y1, QStringLiteral("Seite %1 von %2").arg(h.page).arg(h.pages), TA_RIGHT | TA_TOP);
    TextOut(p, page.L(), y2, h.second, TA_LEFT | TA_TOP);
    if (!h.company.trimmed().isEmpty()) TextOut(p, page.R(), y2, h.company.trimmed(), TA_RIGHT | TA_TOP);
    p.setPen(QPen(Qt::black, std::max(1, m.dpy / 300)));
    const int rule = MmY(m, page.frame.top, 8.5);
    p.drawLine(page.L(), rule, page.R(), rule);
}

QString ReportIdentity(const QString& title, const QString& number, const QString& revision, bool draft)
{
    QString identity = draft ? QString::fromUtf8("ENTWURF – ") + title : title;
    if (!number.trimmed().isEmpty()) identity += QStringLiteral(" Nr. ") + number.trimmed();
    if (!revision.trimmed().isEmpty()) identity += QStringLiteral(", Revision ") + revision.trimmed();
    return identity;
}

void DrawDraftWatermark(QPainter& p, const SReportPage& page)
{
    const CPrintMetrics& m = page.m;
    const QRectF paper(MmX(m, 0, 0), MmY(m, 0, 0), MmDX(m, 210), MmDY(m, 297));
    QPainterPath text;
    text.addText(0, 0, PointFont(m, 110, 700), QStringLiteral("ENTWURF"));
    const QRectF box = text.boundingRect();
    p.save();
    p.translate(paper.center());
    p.rotate(-std::atan2(paper.height(), paper.width()) * 180.0 / M_PI);
    p.translate(-box.center());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillPath(text, kDraftColour);
    p.restore();
}

void SReportPage::Begin(const CPrintMetrics& metrics)
{
    m = metrics;
    frame = ComputeFrame(m, kTableMargins);
    lh = MmDY(m, kReportLineMm);
    top = MmY(m, frame.top, kReportHeaderMm);
}

void SectionTitle(QPainter& p, const SReportPage& page, int y, const QString& text)
{
    p.setFont(PointFont(page.m, 11, 700));
    p.setPen(Qt::black);
    TextOut(p, page.L(), y + page.lh - page.lh / 8, text, TA_LEFT | TA_BOTTOM);
}

int DrawFields(QPainter& p, const SReportPage& page, int y, const std::vector<SReportField>& fields)
{
    p.setFont(PointFont(page.m, 9));
    const int lh = MmDY(page.m, 4.3);
    int wl = 0;
    for (const SReportField& f : fields) wl = std::max(wl, TextWidth(p, f.label));
    const int xv = page.L() + MmDX(page.m, 4) + wl + TextWidth(p, QStringLiteral(":  "));
    for (const SReportField& f : fields) {
        p.setPen(Qt::black);
        if (!f.label.isEmpty())
            TextOut(p, page.L() + MmDX(page.m, 2), y, f.label + QStringLiteral(":"), TA_LEFT | TA_TOP);
        p.setPen(f.red ? DeviceColour(page.m, kReportWarningColour) : QColor(Qt::black));
        for (const QString& line : f.value.split(QLatin1Char('\n')))
            for (const QString& part : Wrapped(p, line, page.R() - xv)) {
                TextOut(p, xv, y, part, TA_LEFT | TA_TOP);
                y += lh;
            }
    }
    p.setPen(Qt::black);
    return y;
}

int DrawParagraphs(QPainter& p, const SReportPage& page, int y, const QStringList& paragraphs, int indent,
                   const QString& bullet)
{
    const int x = page.L() + indent;
    const int text = bullet.isEmpty() ? x : x + TextWidth(p, bullet + QStringLiteral("  "));
    for (const QString& paragraph : paragraphs) {
        if (!bullet.isEmpty()) TextOut(p, x, y, bullet, TA_LEFT | TA_TOP);
        for (const QString& part : Wrapped(p, paragraph, page.R() - text)) {
            TextOut(p, text, y, part, TA_LEFT | TA_TOP);
            y += TextHeight(p);
        }
    }
    return y;
}
