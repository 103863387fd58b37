// SPDX-License-Identifier: GPL-3.0-or-later
#include "recentfiles.h"

#include "appsettings.h"

namespace {
constexpr int kRecentFiles = 8;
} // namespace

QStringList RecentFiles()
{
    auto settings = AppSettings();
    QStringList files;
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString f = settings->value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
        if (!f.isEmpty()) files << f;
    }
    return files;
}

void AddToRecentFiles(const QString& path)
{
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFiles) files.removeLast();
    auto settings = AppSettings();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString key = QStringLiteral("Recent File List/File%1").arg(i);
        if (i <= files.size()) settings->setValue(key, files[i - 1]);
        else settings->remove(key);
    }
}
