// SPDX-License-Identifier: GPL-3.0-or-later
#include "zoombutton.h"

#include <QPainter>

namespace {

QImage DrawPicture(CZoomButton::EGlyph glyph, bool pressed)
{
    constexpr int n = CZoomButton::kSize;
    const QColor face(192, 192, 192), light(255, 255, 255), shadow(128, 128, 128), dark(0, 0, 0);
    QImage img(n, n, QImage::Format_RGB32);
    img.fill(face);
    auto set = [&](int x, int y, const QColor& c) { img.setPixelColor(x, y, c); };
    // Raised: light on the top and left, shadow and a dark rim at the bottom
    // and right. Sunk: the shadow moves to the top and left.
    for (int i = 0; i < n; ++i) {
        if (pressed) {
            set(i, 0, shadow);
            set(0, i, shadow);
            set(i, n - 1, light);
            set(n - 1, i, light);
        } else {
            set(i, 0, light);
            set(0, i, light);
            set(i, n - 1, dark);
            set(n - 1, i, dark);
            if (i > 0 && i < n - 1) {
                set(i, n - 2, shadow);
                set(n - 2, i, shadow);
            }
        }
    }
    // The sign, one pixel lower and further right while pressed.
    const int c = n / 2 - 1 + (pressed ? 1 : 0);
    for (int d = -3; d <= 3; ++d) {
        set(c + d, c, dark);
        if (glyph == CZoomButton::EGlyph::Plus) set(c, c + d, dark);
    }
    return img;
}

} // namespace

CZoomButton::CZoomButton(EGlyph glyph, QWidget* parent)
    : QAbstractButton(parent)
    , m_glyph(glyph)
{
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kSize, kSize);
    setAutoRepeat(false);
}

QImage CZoomButton::Picture(EGlyph glyph, bool pressed)
{
    static const QImage pictures[2][2] = {
        {DrawPicture(EGlyph::Plus, false), DrawPicture(EGlyph::Plus, true)},
        {DrawPicture(EGlyph::Minus, false), DrawPicture(EGlyph::Minus, true)},
    };
    return pictures[glyph == EGlyph::Plus ? 0 : 1][pressed ? 1 : 0];
}

void CZoomButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, Picture(m_glyph, isDown()));
}
