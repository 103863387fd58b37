// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include "tool/optionword.h"

#include <QFile>
#include <QStringList>

#include <unistd.h>

namespace {

QString OptionName(const QString& word)
{
    int start = 0;
    while (start < word.size() && start < 2 && word[start] == QLatin1Char('-')) ++start;
    return word.mid(start).section(QLatin1Char('='), 0, 0);
}

} // namespace

std::optional<CommandLineFault> ParseCommandWords(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                                                  int argc, char** argv)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options);
    std::vector<SOptionName> known;
    for (const QCommandLineOption& o : options)
        for (const QString& name : o.names())
            if (name.size() > 1) known.push_back({"--" + name.toStdString(), o.valueName().isEmpty() ? 0 : 1});
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
    if (std::string error; !ExpandOptionWords(args, known, error))
        return CommandLineFault{CommandLineFault::Ambiguous, QString::fromStdString(error), {}};
    QStringList words{QStringLiteral("tresmon-tool")};
    for (const std::string& a : args) words << QString::fromLocal8Bit(a.c_str());
    if (parser.parse(words)) return std::nullopt;

    // The parser names what it did not know without dashes; the user is
    // shown the word as typed, the first one in the line.
    const QStringList unknown = parser.unknownOptionNames();
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& w = words[i];
        if (w == QLatin1String("--")) break;
        if (w.size() > 1 && w.startsWith(QLatin1Char('-')) && unknown.contains(OptionName(w)))
            return CommandLineFault{CommandLineFault::UnknownOption, w, OptionName(w)};
    }
    // A value option reads the next word whatever it is, so a value is
    // missing only after the last word.
    const QString last = words.last();
    if (last.startsWith(QLatin1Char('-')) && !last.contains(QLatin1Char('=')))
        return CommandLineFault{CommandLineFault::MissingValue, last, OptionName(last)};
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (words[i].startsWith(QLatin1Char('-')) && words[i].contains(QLatin1Char('=')))
            return CommandLineFault{CommandLineFault::UnexpectedValue, words[i], OptionName(words[i])};
    }
    return CommandLineFault{CommandLineFault::UnknownOption, last, OptionName(last)};
}

bool CopyFileToStandardOutput(const QString& path)
{
    QFile in(path);
    QFile out;
    if (!in.open(QIODevice::ReadOnly) || !out.open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return false;
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 16);
        if (block.isEmpty() || out.write(block) != block.size()) return false;
    }
    return out.flush();
}
