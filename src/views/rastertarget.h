// SPDX-License-Identifier: GPL-3.0-or-later
// Where a painter's pixels can be written directly: a 32-bit image painted
// without transform, opacity or blending tricks, with the part the clip
// leaves open. The curve panes write their lines and texts there themselves
// (the same pixels the painter would set, without its per-call cost).
#pragma once

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRect>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <cstdint>
#include <cwchar>

struct CRasterTarget {
    uchar* bits = nullptr; // null: draw through the painter
    qsizetype bytesPerLine = 0;
    QRect bounds; // the clip, within the image

    // Taken when painting starts; the painter's clip must not change afterwards.
    // The painter may be moved by whole pixels (a widget inside its window,
    // a picture beside its scroll bar): the bits then start at the painter's
    // origin, and the bounds are in the painter's coordinates.
    static CRasterTarget Of(QPainter& painter)
    {
        CRasterTarget t;
        QPaintEngine* engine = painter.paintEngine();
        // A widget's painter paints into its window's image; the raster
        // engine names that image as its device.
        QPaintDevice* device
            = engine && engine->type() == QPaintEngine::Raster ? engine->paintDevice() : painter.device();
        QImage* image = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
        const QTransform move = painter.deviceTransform();
        const int dx = static_cast<int>(move.dx()), dy = static_cast<int>(move.dy());
        const bool plain = move.type() <= QTransform::TxTranslate && move.dx() == dx && move.dy() == dy
                           && painter.opacity() == 1.0
                           && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
        const bool rgb32 = image
                           && (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32
                               || image->format() == QImage::Format_ARGB32_Premultiplied);
        if (!plain || !rgb32 || image->devicePixelRatio() != 1.0 || dx < 0 || dy < 0) return t;
        QRect open = image->rect();
        // The part of the window this paint may touch (a widget's dirty
        // region); pixels outside it may belong to other widgets. A region
        // of several pieces is left to the painter.
        const QRegion system = engine->systemClip();
        if (!system.isEmpty()) {
            if (system.rectCount() != 1) return t;
            open &= system.boundingRect();
        }
        open.translate(-dx, -dy);
        if (painter.hasClipping()) open &= painter.clipBoundingRect().toAlignedRect();
        if (open.isEmpty()) return t;
        // The painter has already detached the image: this is the memory it
        // paints into.
        t.bits = image->bits() + static_cast<qsizetype>(dy) * image->bytesPerLine() + static_cast<qsizetype>(dx) * 4;
        t.bytesPerLine = image->bytesPerLine();
        t.bounds = open;
        return t;
    }

    bool Direct() const { return bits != nullptr; }
    uint32_t* Line(int y) const { return reinterpret_cast<uint32_t*>(bits + y * bytesPerLine); }
    // An opaque colour as the image holds it.
    static uint32_t Pixel(const QColor& c) { return 0xff000000u | (c.rgb() & 0xffffffu); }
    // x .. x + w - 1 on row y, clipped to the bounds.
    void Span(int x, int y, int w, uint32_t pixel) const
    {
        if (y < bounds.top() || y > bounds.bottom()) return;
        const int from = std::max(x, bounds.left()), to = std::min(x + w - 1, bounds.right());
        if (from > to) return;
        Fill(Line(y) + from, to - from + 1, pixel);
    }
    // The C library's wide fill is several times faster than a plain loop
    // over the pixels, and a repaint is mostly filling.
    static void Fill(uint32_t* at, int count, uint32_t pixel)
    {
        static_assert(sizeof(wchar_t) == sizeof(uint32_t));
        std::wmemset(reinterpret_cast<wchar_t*>(at), static_cast<wchar_t>(pixel), static_cast<size_t>(count));
    }
};
