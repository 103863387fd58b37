// SPDX-License-Identifier: GPL-3.0-or-later
// A report's pages as an A4 portrait PDF file: written under a temporary
// name and renamed over the target only when complete, the system's reason
// said in German when it cannot be.
#pragma once

#include <QString>

#include <functional>

class QPainter;

// `draw(painter, newPage)` paints the pages, calling newPage() before each
// but the first; the painter is at `dpi`. False with the reason in `why`.
bool WriteA4Pdf(const QString& path, const QString& title, int dpi,
                const std::function<void(QPainter&, const std::function<void()>& newPage)>& draw, QString& why);
