// SPDX-License-Identifier: GPL-3.0-or-later
#include "printframe.h"

#include "doc/codepage.h"
#include "doc/tredoc.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QSysInfo>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using graphiclayout::Trunc;

CPrintMetrics MeasurePrinter(const QPrinter& printer)
{
    CPrintMetrics m;
    m.dpx = m.dpy = std::max(1, printer.resolution());
    m.bMonochrome = printer.colorMode() == QPrinter::GrayScale;
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    m.offsetX = static_cast<int>(std::lround(page.left() - paper.left()));
    m.offsetY = static_cast<int>(std::lround(page.top() - paper.top()));
    m.physWidth = static_cast<int>(std::lround(paper.width()));
    m.physHeight = static_cast<int>(std::lround(paper.height()));
    return m;
}

CPrintMetrics A4Metrics(int dpi, bool landscape)
{
    CPrintMetrics m;
    m.dpx = m.dpy = dpi;
    const int w = Trunc(210 * dpi / 25.4);
    const int h = Trunc(297 * dpi / 25.4);
    m.physWidth = landscape ? h : w;
    m.physHeight = landscape ? w : h;
    return m;
}

graphiclayout::CDeviceFrame ComputeFrame(const CPrintMetrics& m, const CPageMargins& mm)
{
    graphiclayout::CDeviceFrame f;
    f.dpx = m.dpx;
    f.dpy = m.dpy;
    f.left = Trunc(mm.left * m.dpx / 25.4) - m.offsetX;
    f.right = m.physWidth - m.offsetX - Trunc(mm.right * m.dpx / 25.4);
    f.top = Trunc(mm.top * m.dpy / 25.4) - m.offsetY;
    f.bottom = m.physHeight - m.offsetY - Trunc(mm.bottom * m.dpy / 25.4);
    return f;
}

int MmX(const CPrintMetrics& m, double base, double mm) { return Trunc(base + mm * m.dpx / 25.4); }
int MmY(const CPrintMetrics& m, double base, double mm) { return Trunc(base + mm * m.dpy / 25.4); }
int MmDX(const CPrintMetrics& m, double mm) { return Trunc(mm * m.dpx / 25.4); }
int MmDY(const CPrintMetrics& m, double mm) { return Trunc(mm * m.dpy / 25.4); }

QFont HeightFont(int pixelHeight, int weight, bool arial)
{
    QFont f;
    if (arial) {
        f.setFamily(QStringLiteral("Arial"));
        f.setStyleHint(QFont::SansSerif);
    } else {
        // No face asked for, only the modern family: a fixed-pitch face.
        f.setFamily(QStringLiteral("Courier New"));
        f.setStyleHint(QFont::TypeWriter);
        f.setFixedPitch(true);
    }
    f.setStyleStrategy(QFont::PreferOutline);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setPixelSize(std::max(1, pixelHeight));
    f.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    f.setKerning(false);
    return f;
}

QFont PointFont(const CPrintMetrics& m, int points, int weight, bool arial)
{
    return HeightFont(m.dpy * points / 72, weight, arial);
}

QFont CellHeightFont(int cellHeight, int weight)
{
    QFont f = HeightFont(100, weight, true);
    const int h100 = std::max(1, QFontMetrics(f).height());
    int px = std::max(1, cellHeight * 100 / h100);
    f.setPixelSize(px);
    while (px > 1 && QFontMetrics(f).height() > cellHeight) f.setPixelSize(--px);
    return f;
}

void TextOut(QPainter& p, int x, int y, const QString& text, unsigned align)
{
    if (text.isEmpty()) return;
    const QFontMetrics fm = p.fontMetrics();
    int bx = x;
    if (align & TA_CENTER) bx = x - fm.horizontalAdvance(text) / 2;
    else if (align & TA_RIGHT) bx = x - fm.horizontalAdvance(text);
    int by = y + fm.ascent();
    if (align & TA_BASELINE) by = y;
    else if (align & TA_BOTTOM) by = y - fm.descent();
    p.drawText(bx, by, text);
}

int TextWidth(QPainter& p, const QString& text) { return p.fontMetrics().horizontalAdvance(text); }
int TextHeight(QPainter& p) { return p.fontMetrics().height(); }

QColor DeviceColour(const CPrintMetrics& m, const QColor& colour) { return m.bMonochrome ? QColor(Qt::black) : colour; }

QPen PrintPen(const CPrintMetrics& m, const QColor& colour)
{
    QPen pen(DeviceColour(m, colour));
    pen.setWidth(m.dpy / 100);
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void CPenCursor::LineTo(int x, int y)
{
    m_p.drawLine(QLineF(m_x, m_y, x, y));
    m_x = x;
    m_y = y;
}

void CPenCursor::PointMark(const CPrintMetrics& m)
{
    const int x = m_x, y = m_y;
    LineTo(x, MmY(m, y, -0.5));
    LineTo(x, Trunc(y + m.dpx / 200 + 0.5 * m.dpy / 25.4));
    MoveTo(x, y);
}

QString CompanyFirst() { return QStringLiteral("Firma"); }
QString CompanySecond() { return QStringLiteral("Zazudoviv"); }
QString CompanyText() { return CompanyFirst() + QLatin1Char(' ') + CompanySecond(); }
QString TitleText() { return QStringLiteral("INTENSIVMESSUNG"); }

QString CompanyText(const CPrintContext& ctx)
{
    const QString set = ctx.company.simplified();
    return set.isEmpty() ? CompanyText() : set;
}

std::pair<QString, QString> CompanyLines(const CPrintContext& ctx)
{
    const QString set = ctx.company.simplified();
    if (set.isEmpty()) return {CompanyFirst(), CompanySecond()};
    const qsizetype middle = set.size() / 2;
    qsizetype best = -1;
    for (qsizetype i = set.indexOf(QLatin1Char(' ')); i >= 0; i = set.indexOf(QLatin1Char(' '), i + 1))
        if (best < 0 || std::abs(i - middle) < std::abs(best - middle)) best = i;
    if (best < 0) return {set, QString()};
    return {set.left(best), set.mid(best + 1)};
}

QString DefaultInstallationLabel() { return QSysInfo::machineHostName(); }

QString QmLineText(const CTreDoc& doc, const CPrintContext& ctx)
{
    // The QM entries are the handheld's bytes, in its DOS code page.
    auto qm = [&](int i) { return QString::fromStdString(tresdoc::Cp850ToUtf8(doc.m_qm[static_cast<size_t>(i)])); };
    QString text;
    if (!doc.m_qm[4].empty())
        text = QStringLiteral("Logato: ") + qm(2) + QLatin1Char(' ') + qm(3) + QLatin1Char(' ') + qm(4)
               + QStringLiteral(" / ");
    const QDate date = ctx.today.isValid() ? ctx.today : QDate::currentDate();
    text += QStringLiteral("PC: ") + ctx.installationLabel + QStringLiteral(" TS 3.018 ")
            + date.toString(QStringLiteral("dd.MM.yy"));
    return text;
}

void DrawQmLine(QPainter& p, const graphiclayout::CDeviceFrame& f, const CTreDoc& doc, const CPrintContext& ctx)
{
    TextOut(p, f.right, f.bottom, QmLineText(doc, ctx), TA_RIGHT | TA_TOP);
}
