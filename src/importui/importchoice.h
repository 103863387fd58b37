// SPDX-License-Identifier: GPL-3.0-or-later
// The import of one file as the main window starts it: the file read, the
// dialog started from the map its header line already asks for (one
// remembered or built in), and the user's map remembered, so the program's
// opener reads the file with it.
#pragma once

#include <QString>

class QWidget;
namespace tresimport {
struct CCsvOptions;
}

// False when the user cancelled or the file cannot be read (said); else
// `chosen` is what the dialog set for this file.
bool ChooseImportMap(QWidget* parent, const QString& path, tresimport::CCsvOptions& chosen);

// Whether `path` names a file of the kind the import dialog reads by its
// name (.csv, .txt).
bool IsImportName(const QString& path);
