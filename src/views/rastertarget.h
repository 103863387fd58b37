// Where a painter's pixels can be written directly: a 32-bit image painted
// without transform, opacity or blending tricks, with the part the clip
// leaves open. The curve panes write their lines and texts there themselves
// (the same pixels the painter would set, without its per-call cost).
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <cstdint>

struct CRasterTarget {
    uchar* bits = nullptr; // null: draw through the painter
    qsizetype bytesPerLine = 0;
    QRect bounds; // the clip, within the image

    // Taken when painting starts; the painter's clip must not change afterwards.
    static CRasterTarget Of(QPainter& painter)
    {
        CRasterTarget t;
        QPaintDevice* device = painter.device();
        QImage* image = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
        const bool plain = painter.transform().isIdentity() && painter.opacity() == 1.0
                           && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
        const bool rgb32 = image
                           && (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32
                               || image->format() == QImage::Format_ARGB32_Premultiplied);
        if (!plain || !rgb32 || image->devicePixelRatio() != 1.0) return t;
        // The painter has already detached the image: this is the memory it paints into.
        t.bits = image->bits();
        t.bytesPerLine = image->bytesPerLine();
        t.bounds = image->rect();
        if (painter.hasClipping()) t.bounds &= painter.clipBoundingRect().toAlignedRect();
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
        uint32_t* line = Line(y);
        std::fill(line + from, line + to + 1, pixel);
    }
};
