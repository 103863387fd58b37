// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line: an optional survey to open and --no-splash,
// plus --help and --version, which answer before any window (or display)
// is needed. Qt's own options (-platform, -style, ...) are known here too,
// so they are no unknown options; QApplication takes them as always.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct CStartOptions {
    bool splash = true;
    QString file;       // empty: a new survey
    QString screenshot; // a picture of the window goes there, then the program ends
};

// Reads `words` (the program's name first). Returns the exit code when the
// program is to end at once: 0 after the usage (--help) or the version on
// standard output, 1 after a German message and the usage on standard
// error. Otherwise nothing, and `out` holds what was asked for.
std::optional<int> ReadStartOptions(const QStringList& words, CStartOptions& out);

// The program's words from main()'s argv, as the system passed them.
QStringList StartWords(int argc, char** argv);
