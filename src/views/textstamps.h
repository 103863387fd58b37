// SPDX-License-Identifier: GPL-3.0-or-later
// Texts the curve panes draw again on every paint (axis labels, comments),
// laid out and rasterised once and then copied as pixels. A stamp is the set
// of pixels QPainter::drawText sets for the text with the origin on a whole
// pixel: the panes draw with unsmoothed fonts, so a glyph pixel is either set
// in the pen's colour or left alone, and moving the origin by whole pixels
// moves the pixels with it. Where the painter cannot be written to directly,
// the text is drawn by the painter as before.
#pragma once

#include <QFont>
#include <QHash>
#include <QString>

#include <vector>

class QColor;
class QPainter;
struct CRasterTarget;

class CTextStamps {
public:
    enum class EDirection { Across, Upward }; // upward: turned by -90 degrees

    // The width QFontMetrics::horizontalAdvance gives, from the cache.
    int Advance(const QFont& font, const QString& text);
    // Draws `text` in the painter's pen colour and the painter's font `font`
    // as the painter would: across, as `drawText(x, y + baseline, text)`;
    // upward, as `translate(x, y); rotate(-90); drawText(0, baseline, text)`.
    void Draw(QPainter& painter, const CRasterTarget& target, const QFont& font, const QString& text, int x, int y,
              int baseline, EDirection direction);

    void Clear()
    {
        m_stamps.clear();
        m_fonts.clear();
    }
    int Count() const { return static_cast<int>(m_stamps.size()); }

private:
    struct CSpan {
        int dy, dx, length; // relative to the origin
    };
    struct CShape {
        bool bDone = false;
        bool bExact = false; // every pixel fully set or untouched
        int baseline = 0;
        std::vector<CSpan> spans;
    };
    struct CStamp {
        int advance = -1;
        CShape shapes[2]; // per direction
    };
    CStamp& Find(const QFont& font, const QString& text);
    // A short key per font; QFont::key() spells the whole font out each time.
    int FontSlot(const QFont& font);
    static CShape Rasterise(const QFont& font, const QString& text, int advance, int baseline, EDirection direction);

    QHash<QString, CStamp> m_stamps; // key: font slot and text
    std::vector<QFont> m_fonts;
};
