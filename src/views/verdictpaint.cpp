// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictpaint.h"

#include <QBrush>
#include <QPainter>
#include <QRect>

QColor PaletteColour(SPaletteRgb c, int alpha) { return QColor(c.r, c.g, c.b, alpha); }

void PaintVerdictShade(QPainter& p, const QRect& r, EVerdictStatus status, int alpha)
{
    const QColor c = PaletteColour(VerdictStatusColour(status), VerdictStatusHatched(status) ? 255 : alpha);
    if (VerdictStatusHatched(status)) p.fillRect(r, QBrush(c, Qt::BDiagPattern));
    else p.fillRect(r, c);
}

void PaintDefectTriangle(QPainter& p, int x, int base)
{
    const QColor c = PaletteColour(DefectMarkColour());
    for (int i = 0; i < kDefectMarkHeight; ++i) {
        const int half = (kDefectMarkHeight - 1 - i) * kDefectMarkHalfWidth / (kDefectMarkHeight - 1);
        p.fillRect(QRect(x - half, base - i, 2 * half + 1, 1), c);
    }
}

QString DefectCategoryNumeral(int category)
{
    static const char* const numerals[] = {"?", "I", "II", "III", "IV"};
    return QString::fromLatin1(numerals[category >= 1 && category <= 4 ? category : 0]);
}
