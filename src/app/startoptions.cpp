// SPDX-License-Identifier: GPL-3.0-or-later
#include "startoptions.h"

#include "tresversion.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QRegularExpression>

#include <cstdio>

namespace {

const char kUsage[] = "Aufruf: tresmon [--no-splash] [--screenshot BILD.png] [--pipeline DATEI.geojson]\n"
                      "               [--show-assessment] [--size BREITExHÖHE] [DATEI.tsd]\n"
                      "  DATEI.tsd     diese Messdatei öffnen (sonst eine neue Messung)\n"
                      "  --no-splash   ohne Startbild beginnen\n"
                      "  --screenshot BILD.png\n"
                      "                ein Bild des Fensters speichern und beenden\n"
                      "  --pipeline DATEI.geojson\n"
                      "                diese Leitungsdaten zur Messung laden\n"
                      "  --show-assessment\n"
                      "                das Fenster „Bewertung“ mit der Aufgrabungsliste, die\n"
                      "                Bewertung in den Kurven und mit Leitungsdaten die Karte zeigen\n"
                      "  --size BREITExHÖHE\n"
                      "                das Fenster in dieser Größe öffnen, z. B. 1280x800\n"
                      "  --help        diese Hilfe\n"
                      "  --version     Name und Version des Programms\n";

// Options QGuiApplication and QApplication take out of the command line.
const char* const kQtValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry", "qwindowicon",  "qwindowtitle",
    "display",  "geometry",           "style",         "stylesheet", "session",         "qmljsdebugger"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

int Refuse(const QString& why)
{
    std::fprintf(stderr, "tresmon: %s\n", qPrintable(why));
    std::fputs(kUsage, stderr);
    return 1;
}

} // namespace

QStringList StartWords(int argc, char** argv)
{
    QStringList words;
    for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
    return words;
}

std::optional<int> ReadStartOptions(const QStringList& words, CStartOptions& out)
{
    QCommandLineParser parser;
    // One dash or two: "-nosplash" has been taken since the first versions,
    // and Qt's options are written with one.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption noSplash(QStringList{QStringLiteral("no-splash"), QStringLiteral("nosplash")});
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("BILD"));
    const QCommandLineOption pipeline(QStringLiteral("pipeline"), QString(), QStringLiteral("DATEI"));
    const QCommandLineOption showAssessment(QStringLiteral("show-assessment"));
    const QCommandLineOption size(QStringLiteral("size"), QString(), QStringLiteral("GROESSE"));
    parser.addOptions({noSplash, help, version, screenshot, pipeline, showAssessment, size});
    for (const char* name : kQtValueOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("WERT")));
    for (const char* name : kQtFlagOptions) parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

    if (!parser.parse(words)) {
        // The parser names what it did not know without dashes; the user
        // sees the word as typed.
        const QStringList unknown = parser.unknownOptionNames();
        for (qsizetype i = 1; i < words.size() && words[i] != QLatin1String("--"); ++i) {
            const QString& w = words[i];
            const QString name = w.mid(w.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);
            if (w.size() > 1 && w.startsWith(QLatin1Char('-')) && unknown.contains(name))
                return Refuse(QStringLiteral("Unbekannte Option: ") + w);
        }
        // A value option takes the next word whatever it is: only the last
        // can lack one. Otherwise a flag was given a value.
        const QString& last = words.last();
        if (last.startsWith(QLatin1Char('-')) && !last.contains(QLatin1Char('=')))
            return Refuse(QStringLiteral("Nach ") + last + QStringLiteral(" fehlt ein Wert."));
        return Refuse(QStringLiteral("Diese Option nimmt keinen Wert: ")
                      + words.filter(QRegularExpression(QStringLiteral("^-.*="))).value(0));
    }
    if (parser.isSet(help)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::fputs("tresmon " TRES_VERSION "\n", stdout);
        return 0;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return Refuse(QStringLiteral("Es lässt sich nur eine Messdatei auf einmal öffnen."));
    out.splash = !parser.isSet(noSplash);
    out.file = files.value(0);
    out.screenshot = parser.value(screenshot);
    out.pipeline = parser.value(pipeline);
    out.showAssessment = parser.isSet(showAssessment);
    if (parser.isSet(size)) {
        const QRegularExpressionMatch m
            = QRegularExpression(QStringLiteral("^([0-9]{3,5})[xX×]([0-9]{3,5})$")).match(parser.value(size));
        if (!m.hasMatch())
            return Refuse(QString::fromUtf8("--size erwartet Breite und Höhe in Pixeln wie 1280x800, nicht „%1“.")
                              .arg(parser.value(size)));
        out.width = m.captured(1).toInt();
        out.height = m.captured(2).toInt();
    }
    // A picture of the window is no time for the start picture.
    if (!out.screenshot.isEmpty()) out.splash = false;
    return std::nullopt;
}
