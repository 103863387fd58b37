// SPDX-License-Identifier: GPL-3.0-or-later
// The protection verdict's marks drawn with its one palette (verdictpalette.h):
// a stretch's shade, the triangle of a suspected defect and the dashed
// lines of the criterion and the limiting potential, alike in the curve
// panes, their legend strip and the "Bewertung" window's bar.
#pragma once

#include "doc/verdictpalette.h"

#include <QColor>
#include <QString>

class QPainter;
class QRect;

QColor PaletteColour(SPaletteRgb c, int alpha = 255);

// Fills `r` with the shade of `status`: its colour at `alpha` (0..255), or
// for "nicht bewertbar" grey hatching that leaves the background between
// its lines.
void PaintVerdictShade(QPainter& p, const QRect& r, EVerdictStatus status, int alpha);

// A triangle standing on the pixel row `base` with its tip `height` pixels
// above it (kDefectMarkHeight), a pixel wider on each side every
// (height - 1) / 4 rows down: drawn row by row, so every pixel is exact.
inline constexpr int kDefectMarkHeight = 11;
inline constexpr int kDefectMarkHalfWidth = 6;
void PaintDefectTriangle(QPainter& p, int x, int base);

// A category as the marks label it: "I" ... "IV", "?" without one.
QString DefectCategoryNumeral(int category);

// The dash of the E_p and E_l lines for a plot `width` pixels wide: `dash`
// pixels drawn in every `period`.
struct SDashes {
    int dash, period;
};
inline SDashes LineDashes(int width) { return {width / 40, width / 20}; }
