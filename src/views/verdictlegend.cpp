// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictlegend.h"

#include "verdictpaint.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kSwatch = 14, kGap = 4, kAfter = 12, kMargin = 4;

QString DefectEntry() { return QString::fromUtf8("Fehlstellenverdacht (I–IV)"); }
QString ProtectionEntry() { return QString::fromUtf8("Schutzkriterium"); }
QString LimitEntry() { return QString::fromUtf8("Grenzpotential"); }

// The curves after the marks, in the palette's colours; the comparison as
// the report's sheets name it.
struct SCurveEntry {
    const char* text;
    SPaletteRgb (*colour)();
};
constexpr SCurveEntry kCurveEntries[] = {{"Ein (Potential, Gradient)", CurveOnColour},
                                         {"Aus (Potential, Gradient)", CurveOffColour},
                                         {"Differenz D (Gradient)", CurveDiffColour}};
constexpr size_t kMarkEntries = std::size(kVerdictStatusOrder) + 3;

} // namespace

CVerdictLegend::CVerdictLegend(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("verdictLegend"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setToolTip(QString::fromUtf8("Legende der Bewertung in den Kurven"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(sizeHint().height());
}

void CVerdictLegend::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A narrow pane gets more lines; the height follows the width only, so
    // this settles at once.
    const int h = heightForWidth(width());
    if (h != height()) setFixedHeight(h);
}

void CVerdictLegend::SetComparison(EComparison c)
{
    if (c == m_comparison) return;
    m_comparison = c;
    setFixedHeight(heightForWidth(width()));
    update();
}

QStringList CVerdictLegend::Entries(EComparison c)
{
    QStringList out;
    for (EVerdictStatus s : kVerdictStatusOrder) out << QString::fromUtf8(VerdictStatusName(s));
    out << DefectEntry() << ProtectionEntry() << LimitEntry();
    for (const SCurveEntry& e : kCurveEntries) out << QString::fromUtf8(e.text);
    if (c == EComparison::Earlier) out << QString::fromUtf8("Potential Aus früher");
    else if (c == EComparison::Native) out << QString::fromUtf8("Nativpotential");
    return out;
}

std::vector<QPoint> CVerdictLegend::Layout(int width) const
{
    // Entries flow into as many lines as the pane's width needs.
    const QFontMetrics fm(font());
    std::vector<QPoint> at;
    int x = kMargin, y = 0;
    for (const QString& e : Entries(m_comparison)) {
        const int w = kSwatch + kGap + fm.horizontalAdvance(e);
        if (x > kMargin && x + w > width - kMargin) {
            x = kMargin;
            y += fm.height() + 2;
        }
        at.emplace_back(x, y);
        x += w + kAfter;
    }
    return at;
}

int CVerdictLegend::heightForWidth(int width) const
{
    const QFontMetrics fm(font());
    return Layout(width).back().y() + fm.height() + 4;
}

QSize CVerdictLegend::sizeHint() const
{
    const QFontMetrics fm(font());
    int width = kMargin;
    for (const QString& e : Entries(m_comparison)) width += kSwatch + kGap + fm.horizontalAdvance(e) + kAfter;
    return {width, fm.height() + 4};
}

void CVerdictLegend::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QFontMetrics fm(font());
    const std::vector<QPoint> at = Layout(width());
    const QStringList entries = Entries(m_comparison);
    for (size_t i = 0; i < at.size(); ++i) {
        const int x = at[i].x(), top = at[i].y() + 2, mid = top + fm.height() / 2;
        const QRect swatch(x, mid - 5, kSwatch, 10);
        if (i < std::size(kVerdictStatusOrder)) {
            PaintVerdictShade(p, swatch, kVerdictStatusOrder[i], kVerdictShadeAlpha);
            p.setPen(PaletteColour(VerdictStatusColour(kVerdictStatusOrder[i])));
            p.drawRect(swatch.adjusted(0, 0, -1, -1));
        } else if (i == std::size(kVerdictStatusOrder)) {
            PaintDefectTriangle(p, x + kSwatch / 2, swatch.bottom());
        } else if (i < kMarkEntries) {
            const bool protection = i == std::size(kVerdictStatusOrder) + 1;
            p.setPen(QPen(PaletteColour(protection ? ProtectionLineColour() : LimitLineColour()), 1, Qt::DashLine));
            p.drawLine(x, mid, x + kSwatch, mid);
        } else if (i < kMarkEntries + std::size(kCurveEntries)) {
            p.setPen(QPen(PaletteColour(kCurveEntries[i - kMarkEntries].colour()), 1));
            p.drawLine(x, mid, x + kSwatch, mid);
        } else {
            QPen pen(PaletteColour(ComparisonCurveColour()), kComparisonCurveWidth,
                     m_comparison == EComparison::Native ? Qt::DashLine : Qt::DotLine);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            p.drawLine(x, mid, x + kSwatch, mid);
        }
        p.setPen(palette().color(QPalette::Text));
        p.drawText(x + kSwatch + kGap, top + fm.ascent(), entries[static_cast<int>(i)]);
    }
}

CVerdictLegendArea::CVerdictLegendArea(CVerdictLegend* legend, QWidget* parent)
    : QScrollArea(parent)
    , m_pLegend(legend)
{
    setObjectName(QStringLiteral("verdictLegendArea"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setWidget(legend);
}

QSize CVerdictLegendArea::sizeHint() const
{
    const int full = m_pLegend->heightForWidth(std::max(1, width()));
    const int line = QFontMetrics(m_pLegend->font()).height() + 2;
    const QWidget* around = parentWidget();
    const int cap = std::max(2 * line + 4, around ? around->height() / 4 : full);
    return {m_pLegend->sizeHint().width(), std::min(full, cap)};
}

void CVerdictLegendArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    // The height follows the width and the pane's height; settles at once.
    const int h = sizeHint().height();
    if (h != height()) setFixedHeight(h);
}
