// SPDX-License-Identifier: GPL-3.0-or-later
// The map widget: the route, the survey track coloured by status (the
// verdict's palette), defects as triangles with their dig-list priority,
// fixed points as squares with their names, a scale bar and a north arrow,
// drawn with Qt in the binding's grid (no tiles: it works offline). The
// wheel zooms about the pointer, dragging pans, a click on a defect tells
// which row it is; rows chosen elsewhere (the table's selection) are
// highlighted. Without a scene it shows a message instead.
#pragma once

#include "mapgeometry.h"
#include "mapscene.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

namespace tresmap {

class CMapView : public QWidget {
    Q_OBJECT
public:
    // The colour of highlighted rows, drawn under the track.
    static QColor HighlightColour();
    // How far from a defect's mark a click still hits it, pixels.
    static constexpr double kHitRadius = 10;

    explicit CMapView(QWidget* parent = nullptr);
    ~CMapView() override;

    // Shows `scene` (null: the message). The view is fitted to it when it
    // is the first one or its route differs from the last one's; otherwise
    // the view stays where the user left it. Until the user zooms or pans,
    // a fitted view fits again when the widget changes its size.
    void SetScene(std::shared_ptr<const SMapScene> scene);
    const SMapScene* Scene() const { return m_scene.get(); }
    void SetMessage(const QString& text);
    const QString& Message() const { return m_strMessage; }
    // Rows first..last (1-based, inclusive) to highlight; empty: none.
    void SetHighlight(std::vector<std::pair<int, int>> rows);
    const std::vector<std::pair<int, int>>& Highlight() const { return m_highlight; }
    // The whole scene in view.
    void Fit();

    const CMapTransform& Transform() const { return m_transform; }
    // Where a ground point is drawn, in widget coordinates.
    QPointF ToWidget(const SGroundPoint& p) const;

signals:
    // A click hit the mark of the defect on survey row `row`.
    void DefectClicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintScaleBar(QPainter& p) const;
    void PaintNorthArrow(QPainter& p) const;
    void PaintHighlight(QPainter& p) const;

    std::shared_ptr<const SMapScene> m_scene;
    QString m_strMessage;
    std::vector<std::pair<int, int>> m_highlight;
    CMapTransform m_transform;
    bool m_bFitPending = false; // fitted once the widget has its size
    bool m_bFitted = false;     // as fitted, no zoom or pan since: a resize fits again
    QPoint m_pressAt, m_lastAt;
    bool m_bPressed = false, m_bDragging = false;
};

} // namespace tresmap
