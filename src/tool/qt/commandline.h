// SPDX-License-Identifier: GPL-3.0-or-later
// The words of a render or print command, read with QCommandLineParser.
// One dash or two name the same long option ("-pane" is "--pane"), as the
// commands have always taken them; a long option after two dashes may be
// shortened as for every command (optionword.h); "--" ends the options and
// "-" is an operand (standard input or output).
#pragma once

#include <QCommandLineParser>
#include <QString>

#include <optional>

// Why the words could not be read: the word of an unknown option as it was
// typed, or the option a value is missing after, or one given a value it
// does not take, or (Ambiguous) the German message naming the options a
// shortened word could be.
struct CommandLineFault {
    enum Kind { UnknownOption, MissingValue, UnexpectedValue, Ambiguous } kind;
    QString word; // as typed
    QString name; // the option's name, without dashes and value
};

// Parses `argv[0..argc)` (the words after the command's name) with `parser`,
// to which it adds `options`; nothing when they were read.
std::optional<CommandLineFault> ParseCommandWords(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                                                  int argc, char** argv);

// Writes the file `path` to standard output whole; false when it fails.
bool CopyFileToStandardOutput(const QString& path);
