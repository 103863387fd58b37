// SPDX-License-Identifier: GPL-3.0-or-later
// A paint device that records what a print page draws: texts with their
// reference point, lines and images, each with the pen colour in force, so
// tests can ask for "the text 'Nummer'" rather than for pixels.
#pragma once

#include "printframe.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <vector>

struct CRecText {
    QString text;
    QPointF pos; // baseline start, device coordinates
    QColor colour;
    bool rotated = false;
};
struct CRecLine {
    QLineF line; // device coordinates
    QColor colour;
    Qt::PenStyle style = Qt::SolidLine;
};
struct CRecPolyline {
    QPolygonF points; // device coordinates
    QColor colour;
    Qt::PenStyle style;
};

class CRecordingEngine : public QPaintEngine {
public:
    CRecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    { }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyTransform) m_transform = state.transform();
        if (state.state() & DirtyPen) m_pen = state.pen();
        if (state.state() & DirtyBrush) m_brush = state.brush();
    }
    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override
    {
        images.push_back(m_transform.mapRect(r));
    }
    void drawImage(const QRectF& r, const QImage&, const QRectF&, Qt::ImageConversionFlags) override
    {
        images.push_back(m_transform.mapRect(r));
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        texts.push_back({item.text(), m_transform.map(p), m_pen.color(), m_transform.isRotating()});
    }
    void drawLines(const QLineF* lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            this->lines.push_back({m_transform.map(lines[i]), m_pen.color(), m_pen.style()});
    }
    void drawLines(const QLine* lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            this->lines.push_back({m_transform.map(QLineF(lines[i])), m_pen.color(), m_pen.style()});
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i) fills.push_back({m_transform.mapRect(rects[i]), m_brush.color()});
    }
    void drawRects(const QRect* rects, int count) override
    {
        for (int i = 0; i < count; ++i) fills.push_back({m_transform.mapRect(QRectF(rects[i])), m_brush.color()});
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        QPolygonF poly;
        for (int i = 0; i < count; ++i) poly.append(m_transform.map(points[i]));
        if (mode == PolylineMode) polylines.push_back({poly, m_pen.color(), m_pen.style()});
        else polygons.push_back({poly, m_brush.color(), m_pen.style()});
    }
    void drawPath(const QPainterPath&) override { }
    Type type() const override { return QPaintEngine::User; }

    struct CFill {
        QRectF rect;
        QColor colour;
    };
    std::vector<CRecText> texts;
    std::vector<CRecLine> lines;
    std::vector<CRecPolyline> polylines;
    std::vector<CRecPolyline> polygons; // filled shapes, with the brush's colour
    std::vector<QRectF> images;
    std::vector<CFill> fills;

private:
    QTransform m_transform;
    QPen m_pen;
    QBrush m_brush;
};

class CRecordingDevice : public QPaintDevice {
public:
    explicit CRecordingDevice(const CPrintMetrics& m)
        : m_metrics(m)
    { }
    QPaintEngine* paintEngine() const override { return &m_engine; }
    CRecordingEngine& Engine() { return m_engine; }

    // The first text equal to `s`, or nullptr.
    const CRecText* Text(const QString& s) const
    {
        for (const CRecText& t : m_engine.texts)
            if (t.text == s) return &t;
        return nullptr;
    }
    int Count(const QString& s) const
    {
        int n = 0;
        for (const CRecText& t : m_engine.texts) n += t.text == s;
        return n;
    }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return m_metrics.physWidth;
        case PdmHeight: return m_metrics.physHeight;
        case PdmWidthMM: return m_metrics.physWidth * 254 / (10 * m_metrics.dpx);
        case PdmHeightMM: return m_metrics.physHeight * 254 / (10 * m_metrics.dpy);
        case PdmNumColors: return m_metrics.bMonochrome ? 2 : 0x7fffffff;
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmPhysicalDpiX: return m_metrics.dpx;
        case PdmDpiY:
        case PdmPhysicalDpiY: return m_metrics.dpy;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return 1 * QPaintDevice::devicePixelRatioFScale();
        default: return 0;
        }
    }

private:
    CPrintMetrics m_metrics;
    mutable CRecordingEngine m_engine;
};
