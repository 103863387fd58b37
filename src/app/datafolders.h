// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program keeps what it writes for the user: the files fetched
// from the handheld. A build tree keeps them beside the program, as the
// program always did; an installed program never writes below /usr.
#pragma once

#include <QString>

// True for a program folder that belongs to the system's installation
// (/usr, /usr/local, /opt and below).
bool IsInstalledProgramFolder(const QString& programFolder);

// The folder for files from the handheld, created if needed:
// <program>/Logato where that may be written and the program is not
// installed; otherwise $XDG_DATA_HOME/Norvaken/Tresmon/Logato (with
// ~/.local/share standing in for an unset XDG_DATA_HOME).
QString LogatoFolder(const QString& programFolder);
