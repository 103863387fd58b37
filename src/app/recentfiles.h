// SPDX-License-Identifier: GPL-3.0-or-later
// The recent-file list in the program settings: 8 entries, newest first.
#pragma once

#include <QString>
#include <QStringList>

QStringList RecentFiles();
void AddToRecentFiles(const QString& path);
