// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveydrop.h"

#include "import/surveyopen.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QString DroppedSurvey(const QMimeData* data)
{
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QFileInfo file(url.toLocalFile());
        if (!file.isDir() && tresimport::IdentifyFile(file.absoluteFilePath().toStdString()))
            return file.absoluteFilePath();
    }
    return {};
}
