// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line: an optional survey to open, --no-splash, the
// demo's --pipeline, --show-assessment and --size, plus --help and --version, which answer before any window (or display)
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
    QString pipeline;   // pipeline data loaded for the survey; empty: none
    // The "Bewertung" window with its dig list, the verdict in the curves
    // and, with pipeline data, the map: what the program is for at a glance.
    bool showAssessment = false;
    int width = 0, height = 0; // the window's size; 0: as the program chooses
};

// Reads `words` (the program's name first). Returns the exit code when the
// program is to end at once: 0 after the usage (--help) or the version on
// standard output, 1 after a German message and the usage on standard
// error. Otherwise nothing, and `out` holds what was asked for.
std::optional<int> ReadStartOptions(const QStringList& words, CStartOptions& out);

// The program's words from main()'s argv, as the system passed them.
QStringList StartWords(int argc, char** argv);
