// SPDX-License-Identifier: GPL-3.0-or-later
#include "a4pdf.h"

#include "doc/fileerror.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cerrno>

bool WriteA4Pdf(const QString& path, const QString& title, int dpi,
                const std::function<void(QPainter&, const std::function<void()>& newPage)>& draw, QString& why)
{
    // Qt's error strings are English; the system's reason is said in German
    // as for every other file.
    auto reason = [] {
        return errno ? QString::fromStdString(tresdoc::FileErrorReason(errno)) : QString::fromUtf8("Schreibfehler");
    };
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) return why = reason(), false;
    QPdfWriter writer(&file);
    writer.setResolution(dpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Tresmon"));
    QPainter p;
    if (!p.begin(&writer)) {
        file.cancelWriting();
        why = QString::fromUtf8("Die PDF-Ausgabe lässt sich nicht beginnen.");
        return false;
    }
    draw(p, [&writer] { writer.newPage(); });
    p.end();
    errno = 0;
    if (!file.commit()) return why = reason(), false;
    return true;
}
