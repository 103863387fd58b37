// SPDX-License-Identifier: GPL-3.0-or-later
#include "earliercurves.h"

#include "doc/measrow.h"
#include "doc/verdictpalette.h"
#include "verdictpaint.h"

#include <QFontMetrics>
#include <QPolygon>

#include <algorithm>

namespace {

void PaintCurve(QPainter& p, const SEarlierCurve& c, double fromM, double toM, const std::function<int(double)>& x,
                const std::function<int(int64_t)>& y)
{
    p.setPen(QPen(PaletteColour(EarlierSurveyColour(c.colour)), 1));
    // Only what the window shows, and one point beyond it either side.
    auto first = std::lower_bound(c.points.begin(), c.points.end(), fromM,
                                  [](const auto& pt, double m) { return pt.first < m; });
    if (first != c.points.begin()) --first;
    QPolygon piece;
    double last = 0;
    const auto flush = [&] {
        if (piece.size() >= 2) p.drawPolyline(piece);
        piece.clear();
    };
    for (auto it = first; it != c.points.end(); ++it) {
        const auto [m, v] = *it;
        if (!IsPresent(v)) {
            flush();
            continue;
        }
        if (!piece.isEmpty() && m - last > kEarlierCurveGap) flush();
        piece << QPoint(x(m), y(-int64_t{v}));
        last = m;
        if (m > toM) break;
    }
    flush();
}

// The dates in the plot's top right corner, each after a stroke of its colour.
void PaintKey(QPainter& p, const std::vector<SEarlierCurve>& curves, const QRect& plot)
{
    const QFontMetrics fm(p.font());
    int wide = 0;
    for (const SEarlierCurve& c : curves) wide = std::max(wide, fm.horizontalAdvance(QString::fromStdString(c.label)));
    const int stroke = fm.height() * 3 / 2, pad = fm.height() / 3, line = fm.height();
    const QRect box(plot.right() - wide - stroke - 3 * pad, plot.top() + pad, wide + stroke + 2 * pad,
                    static_cast<int>(curves.size()) * line + pad);
    p.setPen(QPen(Qt::gray, 1));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(box);
    for (size_t i = 0; i < curves.size(); ++i) {
        const int top = box.top() + pad / 2 + static_cast<int>(i) * line, mid = top + line / 2;
        p.setPen(QPen(PaletteColour(EarlierSurveyColour(curves[i].colour)), 2));
        p.drawLine(box.left() + pad, mid, box.left() + pad + stroke - pad, mid);
        p.setPen(Qt::black);
        p.drawText(QRect(box.left() + pad + stroke, top, wide + pad, line), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(curves[i].label));
    }
}

} // namespace

void PaintEarlierCurves(QPainter& p, const std::vector<SEarlierCurve>& curves, const QRect& plot, double fromM,
                        double toM, const std::function<int(double)>& x, const std::function<int(int64_t)>& y)
{
    if (curves.empty()) return;
    p.save();
    p.setClipRect(plot, Qt::IntersectClip);
    p.setBrush(Qt::NoBrush);
    for (const SEarlierCurve& c : curves) PaintCurve(p, c, fromM, toM, x, y);
    PaintKey(p, curves, plot);
    p.restore();
}
