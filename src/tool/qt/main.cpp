// SPDX-License-Identifier: GPL-3.0-or-later
// tresmon-tool-qt: the Qt half of tresmon-tool. tresmon-tool replaces itself
// by this program for "render", "print" and "report" with its own
// arguments, so what the user sees - messages, output, exit code - comes
// from here unchanged.
#include "printcmd.h"
#include "render.h"
#include "reportcmd.h"
#include "tool/importoptions.h"
#include "tool/toolhost.h"

#include "tresversion.h"

#include <QCommandLineParser>

#include <cstdio>

namespace {

const char kUsage[] = "Aufruf: tresmon-tool render|print|report ...\n"
                      "(tresmon-tool-qt ist ein Teil von tresmon-tool und wird von ihm aufgerufen.)\n";

// Qt's own warnings are English and say again what our German message
// says ("QPainter::begin(): Returned false" before "kann nicht geschrieben
// werden"), or speak of the machine rather than the survey (a root user's
// XDG_RUNTIME_DIR); every failure of a command has a message of its own.
void QuietQtWarnings(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(QuietQtWarnings);
    // Only the words before the command are this program's; the command
    // reads the rest itself.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({help, version});
    QStringList words;
    for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
    const bool parsed = parser.parse(words);
    if (parsed && parser.isSet(help)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (parsed && parser.isSet(version)) {
        std::fputs("tresmon-tool-qt " TRES_VERSION "\n", stdout);
        return kExitOk;
    }
    const QStringList rest = parser.positionalArguments();
    if (parsed && !rest.isEmpty()) {
        const int at = argc - static_cast<int>(rest.size()); // where the command's name is
        std::vector<char*> words(argv + at + 1, argv + argc);
        if (const int code = TakeImportOptions(words); code >= 0) return code;
        words.push_back(nullptr); // as argv ends
        const int n = static_cast<int>(words.size()) - 1;
        if (rest[0] == QLatin1String("render")) return RunRenderCommand(n, words.data());
        if (rest[0] == QLatin1String("print")) return RunPrintCommand(n, words.data());
        if (rest[0] == QLatin1String("report")) return RunReportCommand(n, words.data());
    }
    std::fputs(kUsage, stderr);
    return kExitUsage;
}
