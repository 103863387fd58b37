// SPDX-License-Identifier: GPL-3.0-or-later
#include "reporttable.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double kPadMm = 1.0; // between a cell's edge and its text
constexpr int kMeasureDpi = 600;

// Widths are measured in a font of this resolution; the fonts of the prints
// have no hinting, so their widths scale with the resolution.
QFont MeasureFont() { return PointFont(A4Metrics(kMeasureDpi, false), CReportTable::kPoints); }

double MeasureWidth(double mm) { return (mm - 2 * kPadMm) * kMeasureDpi / 25.4; }

const QString kEllipsis = QString(QChar(0x2026));

} // namespace

QStringList WrapText(const QString& text, const QFontMetricsF& metrics, double width, int maxLines)
{
    maxLines = std::max(1, maxLines);
    QStringList lines;
    if (metrics.horizontalAdvance(text) <= width) return {text};
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString line;
    int next = 0;
    for (; next < words.size(); ++next) {
        const QString candidate = line.isEmpty() ? words[next] : line + QLatin1Char(' ') + words[next];
        if (line.isEmpty() || metrics.horizontalAdvance(candidate) <= width) {
            line = candidate;
            continue;
        }
        lines << line;
        line = words[next];
        if (lines.size() == maxLines) break;
    }
    if (lines.size() < maxLines) {
        lines << line;
        return lines;
    }
    // Cut: what is left goes into the last line as far as it fits.
    QString last = lines.back();
    for (int i = next; i < words.size(); ++i) last += QLatin1Char(' ') + words[i];
    lines.back() = metrics.elidedText(last, Qt::ElideRight, width);
    if (!lines.back().endsWith(kEllipsis)) lines.back() += kEllipsis;
    return lines;
}

CReportTable::CReportTable(std::vector<SReportColumn> columns, int maxLines)
    : m_columns(std::move(columns))
    , m_maxLines(std::max(1, maxLines))
    , m_metrics(std::make_unique<QFontMetricsF>(MeasureFont()))
{ }

CReportTable::~CReportTable() = default;
CReportTable::CReportTable(CReportTable&&) noexcept = default;

void CReportTable::Add(const QStringList& cells)
{
    QStringList row = cells;
    int lines = 1;
    for (int k = 0; k < row.size() && static_cast<size_t>(k) < m_columns.size(); ++k) {
        const SReportColumn& c = m_columns[static_cast<size_t>(k)];
        if (!c.wrap) continue;
        const QStringList wrapped = WrapText(row[k], *m_metrics, MeasureWidth(c.widthMm), m_maxLines);
        lines = std::max(lines, static_cast<int>(wrapped.size()));
        row[k] = wrapped.join(QLatin1Char('\n'));
    }
    m_rows.push_back(std::move(row));
    m_lines.push_back(lines);
    m_colours.emplace_back();
}

void CReportTable::SetLastRowColour(int column, const QColor& colour)
{
    if (m_colours.empty() || column < 0 || static_cast<size_t>(column) >= m_columns.size()) return;
    std::vector<QColor>& row = m_colours.back();
    row.resize(m_columns.size());
    row[static_cast<size_t>(column)] = colour;
}

int CReportTable::HeaderLines() const
{
    for (const SReportColumn& c : m_columns)
        if (c.unit && *c.unit) return 2;
    return 1;
}

const QString& CReportTable::Cell(int row, int column) const
{
    static const QString empty;
    const QStringList& r = m_rows[static_cast<size_t>(row)];
    return column < r.size() ? r[column] : empty;
}

int CReportTable::Draw(QPainter& p, const CPrintMetrics& m, int left, int top, int lineHeight, int first,
                       int count) const
{
    std::vector<int> xs{left};
    for (const SReportColumn& c : m_columns) xs.push_back(MmX(m, xs.back(), c.widthMm));
    const int right = xs.back();
    const int pad = MmDX(m, kPadMm);
    const QFont regular = PointFont(m, kPoints), bold = PointFont(m, kPoints, 700);
    const QPen rule(Qt::black, std::max(1, m.dpy / 300));

    auto drawText = [&](size_t k, int lineTop, const QString& text, const QFontMetrics& fm) {
        if (text.isEmpty()) return;
        const int baseline = lineTop + (lineHeight + fm.ascent() - fm.descent()) / 2;
        const int x = m_columns[k].left ? xs[k] + pad : xs[k + 1] - pad - fm.horizontalAdvance(text);
        p.drawText(x, baseline, text);
    };

    // The header, on a grey ground.
    const int headBottom = top + HeaderLines() * lineHeight;
    p.fillRect(QRect(left, top, right - left, headBottom - top), QColor(225, 225, 225));
    p.setPen(Qt::black);
    p.setFont(bold);
    const QFontMetrics fmBold(bold);
    for (size_t k = 0; k < m_columns.size(); ++k) drawText(k, top, QString::fromUtf8(m_columns[k].title), fmBold);
    p.setFont(regular);
    const QFontMetrics fm(regular);
    if (HeaderLines() > 1)
        for (size_t k = 0; k < m_columns.size(); ++k)
            drawText(k, top + lineHeight, QString::fromUtf8(m_columns[k].unit), fm);
    int y = headBottom;

    // Every other row on a light ground, drawn before the texts above it.
    int shadeY = y;
    for (int i = first; i < first + count; ++i) {
        const int h = m_lines[static_cast<size_t>(i)] * lineHeight;
        if ((i - first) % 2 == 1) p.fillRect(QRect(left, shadeY, right - left, h), QColor(242, 242, 242));
        shadeY += h;
    }
    p.setPen(Qt::black);
    for (int i = first; i < first + count; ++i) {
        const QStringList& row = m_rows[static_cast<size_t>(i)];
        for (size_t k = 0; k < m_columns.size() && static_cast<qsizetype>(k) < row.size(); ++k) {
            const QString& cell = row[static_cast<qsizetype>(k)];
            const std::vector<QColor>& colours = m_colours[static_cast<size_t>(i)];
            p.setPen(k < colours.size() && colours[k].isValid() ? DeviceColour(m, colours[k]) : QColor(Qt::black));
            if (!m_columns[k].wrap || !cell.contains(QLatin1Char('\n'))) {
                drawText(k, y, cell, fm);
                continue;
            }
            int lineTop = y;
            for (const QString& line : cell.split(QLatin1Char('\n'))) {
                drawText(k, lineTop, line, fm);
                lineTop += lineHeight;
            }
        }
        y += m_lines[static_cast<size_t>(i)] * lineHeight;
    }

    // The rules: under the header and under the last row.
    p.setPen(rule);
    p.drawLine(left, headBottom, right, headBottom);
    p.drawLine(left, y, right, y);
    return y;
}
