// SPDX-License-Identifier: GPL-3.0-or-later
// What the program gives its main window when it makes it: the folders it
// works with, the one printer every print uses, and whether the splash
// window is wanted. The window reads the folders as they are at each
// command and keeps the last path and port in them for the next one.
#pragma once

#include <QString>

class QPrinter;

struct CAppFolders {
    QString m_strProgramFolder; // folder of the executable
    QString m_strDataFolder;    // working folder at start-up
    QString m_strLastPort;      // serial port that answered last in the transfer dialog
    QString m_strLastFilePath;  // last path opened or saved through a file dialog
    QString m_strLogatoFolder;  // where files from the handheld are received
};

struct SFrameSetup {
    // Null: the current folder stands in, and no recent files are kept.
    CAppFolders* folders = nullptr;
    // Null: the window keeps a printer of its own.
    QPrinter* printer = nullptr;
    bool splash = false;
};
