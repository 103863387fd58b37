// SPDX-License-Identifier: GPL-3.0-or-later
// The 13 x 13 zoom buttons of the curve panes: a plus or a minus sign on a
// raised face, sunk while pressed. The images are drawn here at first use.
#pragma once

#include <QAbstractButton>
#include <QImage>

class CZoomButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class EGlyph { Plus, Minus };
    static constexpr int kSize = 13;

    CZoomButton(EGlyph glyph, QWidget* parent = nullptr);

    EGlyph Glyph() const { return m_glyph; }
    QSize sizeHint() const override { return {kSize, kSize}; }

    // The button's picture, raised (up) or sunk (pressed).
    static QImage Picture(EGlyph glyph, bool pressed);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    EGlyph m_glyph;
};
