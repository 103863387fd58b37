// SPDX-License-Identifier: GPL-3.0-or-later
#include "textstamps.h"

#include "rastertarget.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

// Enough for the panes' labels and comments; a survey with more different
// texts than this starts the cache afresh.
constexpr int kMaxStamps = 4096;

} // namespace

int CTextStamps::FontSlot(const QFont& font)
{
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i] == font) return static_cast<int>(i);
    if (m_fonts.size() >= 16) { // fonts do not come and go in a pane; if they do, start afresh
        m_fonts.clear();
        m_stamps.clear();
    }
    m_fonts.push_back(font);
    return static_cast<int>(m_fonts.size() - 1);
}

CTextStamps::CStamp& CTextStamps::Find(const QFont& font, const QString& text)
{
    const QChar slot(static_cast<char16_t>(FontSlot(font)));
    if (m_stamps.size() >= kMaxStamps) m_stamps.clear();
    QString key;
    key.reserve(text.size() + 1);
    key += slot;
    key += text;
    return m_stamps[key];
}

int CTextStamps::Advance(const QFont& font, const QString& text)
{
    CStamp& stamp = Find(font, text);
    if (stamp.advance < 0) stamp.advance = QFontMetrics(font).horizontalAdvance(text);
    return stamp.advance;
}

CTextStamps::CShape CTextStamps::Rasterise(const QFont& font, const QString& text, int advance, int baseline,
                                           EDirection direction)
{
    // Room for the text turned either way around an origin in the middle.
    const int h = QFontMetrics(font).height();
    const int side = 2 * (advance + h + std::abs(baseline)) + 16;
    const int o = side / 2;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setBackgroundMode(Qt::TransparentMode);
        p.setPen(Qt::black);
        p.setFont(font);
        if (direction == EDirection::Across) {
            p.drawText(o, o + baseline, text);
        } else {
            p.translate(o, o);
            p.rotate(-90);
            p.drawText(0, baseline, text);
        }
    }
    CShape shape;
    shape.bDone = true;
    shape.bExact = true;
    shape.baseline = baseline;
    for (int y = 0; y < side; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < side;) {
            const uint32_t alpha = line[x] >> 24;
            if (alpha == 0) {
                ++x;
                continue;
            }
            if (alpha != 255) shape.bExact = false;
            int end = x;
            while (end < side && (line[end] >> 24) != 0) ++end;
            shape.spans.push_back({y - o, x - o, end - x});
            x = end;
        }
    }
    return shape;
}

void CTextStamps::Draw(QPainter& painter, const CRasterTarget& target, const QFont& font, const QString& text, int x,
                       int y, int baseline, EDirection direction)
{
    const int d = direction == EDirection::Across ? 0 : 1;
    CShape* shape = nullptr;
    if (target.Direct()) {
        CStamp& stamp = Find(font, text);
        if (stamp.advance < 0) stamp.advance = QFontMetrics(font).horizontalAdvance(text);
        CShape& s = stamp.shapes[d];
        if (!s.bDone || s.baseline != baseline) s = Rasterise(font, text, stamp.advance, baseline, direction);
        if (s.bExact) shape = &s;
    }
    if (!shape) {
        if (direction == EDirection::Across) {
            painter.drawText(x, y + baseline, text);
        } else {
            painter.save();
            painter.translate(x, y);
            painter.rotate(-90);
            painter.drawText(0, baseline, text);
            painter.restore();
        }
        return;
    }
    const uint32_t pixel = CRasterTarget::Pixel(painter.pen().color());
    for (const CSpan& span : shape->spans) target.Span(x + span.dx, y + span.dy, span.length, pixel);
}
