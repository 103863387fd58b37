// SPDX-License-Identifier: GPL-3.0-or-later
#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace artwork {

namespace {

// A pipe seen from the side with a potential curve riding above it.
void DrawPipeAndCurve(QPainter& p, const QRectF& r)
{
    const double pipeTop = r.top() + r.height() * 0.62;
    const double pipeH = r.height() * 0.16;
    QLinearGradient pipe(0, pipeTop, 0, pipeTop + pipeH);
    pipe.setColorAt(0, QColor(190, 190, 200));
    pipe.setColorAt(0.5, QColor(110, 110, 125));
    pipe.setColorAt(1, QColor(60, 60, 70));
    p.fillRect(QRectF(r.left(), pipeTop, r.width(), pipeH), pipe);
    QPainterPath curve;
    const int steps = 60;
    for (int i = 0; i <= steps; ++i) {
        const double x = r.left() + r.width() * i / steps;
        const double y = r.top() + r.height() * (0.30 + 0.12 * std::sin(i * 0.35) + (i == 40 ? 0.18 : 0.0));
        if (i == 0) curve.moveTo(x, y);
        else curve.lineTo(x, y);
    }
    p.setPen(QPen(QColor(0, 0, 160), std::max(1.0, r.height() / 40)));
    p.drawPath(curve);
}

QPixmap Blank(int w, int h)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

} // namespace

QPixmap SplashPicture()
{
    QPixmap pm(480, 270);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 270);
    sky.setColorAt(0, QColor(226, 236, 248));
    sky.setColorAt(1, QColor(170, 196, 222));
    p.fillRect(pm.rect(), sky);
    p.fillRect(QRect(0, 190, 480, 80), QColor(150, 120, 80)); // the soil the pipe lies in
    DrawPipeAndCurve(p, QRectF(20, 40, 440, 220));
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 40, 110));
    p.drawText(QRect(24, 14, 440, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tresmon"));
    QFont sub(QStringLiteral("Arial"));
    sub.setPixelSize(15);
    p.setFont(sub);
    p.drawText(QRect(26, 66, 440, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8("Auswertung von Intensivmessungen"));
    p.setPen(QColor(40, 40, 40));
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    return pm;
}

QIcon ProgramIcon()
{
    QPixmap pm = Blank(64, 64);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(235, 242, 250));
    p.setPen(QPen(QColor(0, 40, 110), 2));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 8, 8);
    DrawPipeAndCurve(p, QRectF(6, 6, 52, 52));
    return QIcon(pm);
}

QIcon ToolIcon(EToolIcon which)
{
    QPixmap pm = Blank(18, 15);
    QPainter p(&pm);
    const QColor ink(30, 30, 30);
    const QColor paper(255, 255, 255);
    auto page = [&](int x, int y, int w, int h) {
        p.setPen(ink);
        p.setBrush(paper);
        p.drawRect(x, y, w, h);
    };
    auto printer = [&]() {
        p.setPen(ink);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(1, 6, 15, 6);
        page(4, 1, 9, 5);
        p.fillRect(3, 12, 11, 2, QColor(120, 120, 120));
    };
    switch (which) {
    case EToolIcon::New:
        page(4, 1, 9, 12);
        p.drawLine(10, 1, 13, 4);
        break;
    case EToolIcon::Open:
        p.setPen(ink);
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(1, 4, 14, 9);
        p.drawRect(1, 2, 6, 2);
        break;
    case EToolIcon::Save:
        p.setPen(ink);
        p.setBrush(QColor(40, 60, 140));
        p.drawRect(2, 1, 13, 12);
        p.fillRect(5, 2, 8, 4, paper);
        p.fillRect(5, 9, 7, 4, QColor(180, 180, 180));
        break;
    case EToolIcon::Cut:
        p.setPen(ink);
        p.drawLine(5, 1, 10, 9);
        p.drawLine(12, 1, 7, 9);
        p.drawEllipse(3, 9, 4, 4);
        p.drawEllipse(10, 9, 4, 4);
        break;
    case EToolIcon::Copy:
        page(2, 1, 8, 9);
        page(7, 4, 8, 9);
        break;
    case EToolIcon::Paste:
        p.setPen(ink);
        p.setBrush(QColor(170, 120, 60));
        p.drawRect(2, 2, 10, 11);
        page(7, 5, 8, 8);
        break;
    case EToolIcon::PrintSetup:
        printer();
        p.setPen(QPen(QColor(160, 0, 0), 2));
        p.drawLine(13, 2, 16, 5);
        break;
    case EToolIcon::PrintTable:
        printer();
        p.setPen(QColor(0, 0, 160));
        p.drawLine(6, 3, 11, 3);
        p.drawLine(8, 1, 8, 5);
        break;
    case EToolIcon::PrintGraphic:
        printer();
        p.setPen(QColor(0, 0, 160));
        p.drawLine(5, 4, 7, 2);
        p.drawLine(7, 2, 9, 4);
        p.drawLine(9, 4, 12, 2);
        break;
    case EToolIcon::Undo:
    case EToolIcon::Redo: {
        // A bent arrow pointing back (undo) or forward (redo).
        if (which == EToolIcon::Redo) {
            p.translate(18, 0);
            p.scale(-1, 1);
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 70, 160), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 3, 11, 9), 90 * 16, -200 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 70, 160));
        p.drawPolygon(QPolygonF({QPointF(1, 3), QPointF(8, 0), QPointF(8, 7)}));
        break;
    }
    case EToolIcon::Transfer:
        p.setPen(ink);
        p.setBrush(QColor(90, 90, 90));
        p.drawRoundedRect(1, 1, 7, 13, 2, 2);
        p.fillRect(2, 2, 5, 4, QColor(180, 220, 180));
        p.setPen(QPen(QColor(0, 120, 0), 2));
        p.drawLine(10, 7, 16, 7);
        p.drawLine(13, 4, 16, 7);
        p.drawLine(13, 10, 16, 7);
        break;
    }
    return QIcon(pm);
}

} // namespace artwork
