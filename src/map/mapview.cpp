// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapview.h"

#include "doc/verdictpalette.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace tresmap {

namespace {

constexpr double kFitMargin = 30; // pixels

QColor Colour(SPaletteRgb c) { return QColor(c.r, c.g, c.b); }

// The lines of a polyline that can show in `area`: a segment far outside
// would only cost time (and zoomed in, huge coordinates).
QVector<QLineF> VisibleLines(const std::vector<QPointF>& points, const QRectF& area)
{
    QVector<QLineF> lines;
    for (size_t i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1], b = points[i];
        const QRectF box = QRectF(a, b).normalized();
        if (box.right() < area.left() || box.left() > area.right() || box.bottom() < area.top()
            || box.top() > area.bottom())
            continue;
        lines.push_back(QLineF(a, b));
    }
    return lines;
}

} // namespace

QColor CMapView::HighlightColour() { return QColor(255, 214, 0); }

CMapView::CMapView(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(120, 100);
    setMouseTracking(false);
    setAutoFillBackground(false);
    setToolTip(QString::fromUtf8("Mausrad: vergrößern und verkleinern, Ziehen: verschieben,\n"
                                 "Klick auf ein Dreieck: die Fehlstelle in Tabelle und Kurven zeigen"));
}

CMapView::~CMapView() = default;

void CMapView::SetScene(std::shared_ptr<const SMapScene> scene)
{
    const bool newRoute
        = scene
          && (!m_scene || m_scene->route.size() != scene->route.size()
              || !std::equal(scene->route.begin(), scene->route.end(), m_scene->route.begin(),
                             [](const SGroundPoint& a, const SGroundPoint& b) { return a.e == b.e && a.n == b.n; }));
    m_scene = std::move(scene);
    if (newRoute) {
        m_bFitPending = true;
        if (width() > 1 && height() > 1) Fit();
    }
    update();
}

void CMapView::SetMessage(const QString& text)
{
    m_strMessage = text;
    update();
}

void CMapView::SetHighlight(std::vector<std::pair<int, int>> rows)
{
    m_highlight = std::move(rows);
    update();
}

void CMapView::Fit()
{
    m_transform.SetViewport(width(), height());
    if (m_scene) m_transform.Fit(m_scene->Bounds(), kFitMargin);
    m_bFitPending = false;
    m_bFitted = m_scene != nullptr;
    update();
}

QPointF CMapView::ToWidget(const SGroundPoint& p) const
{
    const SScreenPoint s = m_transform.ToScreen(p);
    return {s.x, s.y};
}

void CMapView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The centre stays where it is; the scale too.
    m_transform.SetViewport(width(), height());
    if (m_bFitPending || m_bFitted) Fit();
}

void CMapView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!m_scene || m_scene->Empty()) {
        p.setPen(QColor(80, 80, 80));
        p.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, m_strMessage);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF area = QRectF(rect()).adjusted(-20, -20, 20, 20);
    const auto polyline = [&](const std::vector<SGroundPoint>& ground) {
        std::vector<QPointF> points;
        points.reserve(ground.size());
        for (const SGroundPoint& g : ground) points.push_back(ToWidget(g));
        return VisibleLines(points, area);
    };

    // The route wide and pale, the highlight over it, the track on top.
    p.setPen(QPen(QColor(205, 205, 205), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLines(polyline(m_scene->route));
    PaintHighlight(p);
    // What is not protected wider and on top: a stretch of a few metres
    // still shows as a dot on a map of kilometres.
    for (const bool findings : {false, true})
        for (const SMapTrackRun& run : m_scene->track) {
            const bool finding
                = run.judged && run.status != EVerdictStatus::Protected && run.status != EVerdictStatus::Protected100;
            if (finding != findings) continue;
            const QColor c = Colour(run.judged ? VerdictStatusColour(run.status) : TrackLineColour());
            p.setPen(QPen(c, finding ? 5 : 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLines(polyline(run.points));
            if (run.points.size() == 1) p.drawPoint(ToWidget(run.points.front()));
        }

    QFont small = font();
    small.setPointSizeF(std::max(6.0, font().pointSizeF() - 1));
    p.setFont(small);
    const QFontMetrics fm(small);
    // Where a label goes: beside its mark (left aligned) or centred above it.
    const auto labelBox = [&](const QPointF& at, const QString& text, bool beside) {
        QRectF box = fm.boundingRect(text).adjusted(-2, 0, 2, 0);
        if (beside) box.moveTopLeft(QPointF(at.x() + 7, at.y() - box.height() / 2));
        else box.moveBottomLeft(QPointF(at.x() - box.width() / 2, at.y() - 10));
        // A name that would run off the right edge goes to the mark's left.
        if (beside && box.right() > width() - 2) box.moveRight(at.x() - 7);
        return box;
    };
    // A label on white, so it reads over any line.
    const auto label = [&](const QRectF& box, const QString& text) {
        p.fillRect(box, QColor(255, 255, 255, 220));
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignCenter, text);
    };
    // The defects' numbers always show; a fixed point's name only where it
    // covers no other label, so a zoomed-out map stays readable.
    std::vector<QRectF> taken;
    struct SDefectMark {
        QPointF at;
        QRectF box;
        QString number;
    };
    std::vector<SDefectMark> defects;
    for (const SMapDefect& d : m_scene->defects) {
        const QPointF at = ToWidget(d.at);
        if (!area.contains(at)) continue;
        const QString number = QString::number(d.priority);
        defects.push_back({at, labelBox(at, number, false), number});
        taken.push_back(defects.back().box);
    }
    const QColor fixColour = Colour(FixpointMarkColour());
    for (const SMapFixpoint& f : m_scene->fixpoints) {
        const QPointF at = ToWidget(f.at);
        if (!area.contains(at)) continue;
        p.setPen(QPen(fixColour, 2));
        p.setBrush(f.found ? QBrush(fixColour) : QBrush(Qt::white));
        p.drawRect(QRectF(at.x() - 4, at.y() - 4, 8, 8));
        const QString name = QString::fromStdString(f.name);
        const QRectF box = labelBox(at, name, true);
        if (std::any_of(taken.begin(), taken.end(), [&](const QRectF& r) { return r.intersects(box); })) continue;
        taken.push_back(box);
        label(box, name);
    }
    // The dig list's first priorities drawn last, on top.
    for (size_t i = defects.size(); i-- > 0;) {
        const QPointF at = defects[i].at;
        QPainterPath triangle;
        triangle.moveTo(at + QPointF(0, -9));
        triangle.lineTo(at + QPointF(7, 4));
        triangle.lineTo(at + QPointF(-7, 4));
        triangle.closeSubpath();
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Colour(DefectMarkColour()));
        p.drawPath(triangle);
    }
    for (size_t i = defects.size(); i-- > 0;) label(defects[i].box, defects[i].number);
    p.setBrush(Qt::NoBrush);
    PaintScaleBar(p);
    PaintNorthArrow(p);
    if (m_scene->gridEpsg > 0) {
        p.setPen(QColor(90, 90, 90));
        p.drawText(rect().adjusted(4, 4, -6, -4), Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("EPSG:%1").arg(m_scene->gridEpsg));
    }
}

void CMapView::PaintHighlight(QPainter& p) const
{
    if (m_highlight.empty()) return;
    const QColor c = HighlightColour();
    p.setPen(QPen(c, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const int n = static_cast<int>(m_scene->rows.size());
    for (const auto& [first, last] : m_highlight) {
        // Runs of placed rows within the range; a single row as a dot.
        std::vector<QPointF> run;
        const auto flush = [&] {
            if (run.size() == 1) p.drawPoint(run.front());
            else if (run.size() > 1) p.drawPolyline(run.data(), static_cast<int>(run.size()));
            run.clear();
        };
        for (int r = std::max(1, first); r <= std::min(last, n); ++r) {
            if (const auto& at = m_scene->rows[static_cast<size_t>(r - 1)]) run.push_back(ToWidget(*at));
            else flush();
        }
        flush();
    }
}

void CMapView::PaintScaleBar(QPainter& p) const
{
    const double mpp = m_transform.MetresPerPixel();
    const double metres = ScaleBarLength(mpp, std::min(160.0, width() / 3.0));
    const double px = metres / mpp;
    const QRectF bar(12, height() - 18, px, 5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    p.fillRect(QRectF(bar.left(), bar.top(), px / 2, bar.height()), Qt::black);
    p.fillRect(QRectF(bar.left() + px / 2, bar.top(), px / 2, bar.height()), Qt::white);
    p.drawRect(bar);
    p.drawText(QRectF(bar.left(), bar.top() - 18, std::max(px, 80.0), 16), Qt::AlignLeft | Qt::AlignBottom,
               QString::fromStdString(ScaleBarLabel(metres)));
    p.setRenderHint(QPainter::Antialiasing, true);
}

void CMapView::PaintNorthArrow(QPainter& p) const
{
    p.save();
    p.translate(width() - 22, 34);
    p.rotate(m_scene->northBearing);
    QPainterPath arrow;
    arrow.moveTo(0, -16);
    arrow.lineTo(7, 10);
    arrow.lineTo(0, 5);
    arrow.lineTo(-7, 10);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
    p.drawPath(arrow);
    p.setBrush(Qt::NoBrush);
    p.drawText(QRectF(-10, -32, 20, 14), Qt::AlignCenter, QStringLiteral("N"));
    p.restore();
}

void CMapView::wheelEvent(QWheelEvent* event)
{
    if (!m_scene) return;
    // One notch (120) zooms by √2.
    const double factor = std::pow(2.0, event->angleDelta().y() / 240.0);
    m_transform.ZoomAbout({event->position().x(), event->position().y()}, factor);
    m_bFitted = false;
    update();
    event->accept();
}

void CMapView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    m_bPressed = true;
    m_bDragging = false;
    m_pressAt = m_lastAt = event->position().toPoint();
}

void CMapView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bPressed) return;
    const QPoint at = event->position().toPoint();
    if (!m_bDragging && (at - m_pressAt).manhattanLength() < 4) return;
    if (!m_bDragging) setCursor(Qt::ClosedHandCursor);
    m_bDragging = true;
    m_bFitted = false;
    m_transform.Pan(at.x() - m_lastAt.x(), at.y() - m_lastAt.y());
    m_lastAt = at;
    update();
}

void CMapView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_bPressed) return;
    m_bPressed = false;
    if (m_bDragging) {
        m_bDragging = false;
        unsetCursor();
        return;
    }
    if (!m_scene) return;
    std::vector<SScreenPoint> marks;
    marks.reserve(m_scene->defects.size());
    for (const SMapDefect& d : m_scene->defects) {
        const SScreenPoint s = m_transform.ToScreen(d.at);
        // The triangle's middle lies a little above the row's point.
        marks.push_back({s.x, s.y - 2});
    }
    const int hit = HitTest(marks, {event->position().x(), event->position().y()}, kHitRadius);
    if (hit >= 0) emit DefectClicked(m_scene->defects[static_cast<size_t>(hit)].row);
}

} // namespace tresmap
