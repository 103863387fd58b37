// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafolders.h"

#include <QDir>
#include <QFileInfo>

bool IsInstalledProgramFolder(const QString& programFolder)
{
    const QString folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath()) + QLatin1Char('/');
    for (const char* prefix : {"/usr/", "/opt/"})
        if (folder.startsWith(QLatin1String(prefix))) return true;
    return false;
}

namespace {

// The XDG rule by hand: QStandardPaths would add the organisation only on
// some platforms, and a relative XDG_DATA_HOME must be ignored.
QString UserDataFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    const QString base
        = !xdg.isEmpty() && QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base) + QStringLiteral("/Norvaken/Tresmon");
}

} // namespace

QString LogatoFolder(const QString& programFolder)
{
    if (!IsInstalledProgramFolder(programFolder)) {
        QDir program(programFolder);
        const QString beside = program.filePath(QStringLiteral("Logato"));
        if (program.mkpath(QStringLiteral("Logato")) && QFileInfo(beside).isWritable()) return beside;
    }
    const QString folder = UserDataFolder() + QStringLiteral("/Logato");
    QDir().mkpath(folder);
    return folder;
}
