// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveydrop.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QString DroppedSurvey(const QMimeData* data)
{
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QFileInfo file(url.toLocalFile());
        if (file.suffix().compare(QLatin1String("tsd"), Qt::CaseInsensitive) == 0 && !file.isDir())
            return file.absoluteFilePath();
    }
    return {};
}
