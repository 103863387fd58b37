// SPDX-License-Identifier: GPL-3.0-or-later
#include "render.h"
#include "commandline.h"
#include "offscreenapp.h"
#include "tool/outputguard.h"

#include "doc/surveypath.h"
#include "doc/tredoc.h"
#include "surveyfile.h"
#include "tool/toolhost.h"
#include "views/curvepane.h"
#include "views/viewhub.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int kMaxSide = 16384;

// The reader's message is said as every command says it, and once.
class CRenderHost : public CTreViewHub {
public:
    void ShowMessage(const std::string& text) override
    {
        m_hadMessage = true;
        ToolError(text);
    }
    bool HadMessage() const { return m_hadMessage; }

private:
    bool m_hadMessage = false;
};

const char kUsage[] = "Aufruf: tresmon-tool render DATEI -o AUSGABE.png [--pane gradient|potential] "
                      "[--size BREITExHÖHE]\n";

int Usage(const char* why)
{
    if (why) std::fprintf(stderr, "render: %s\n", why);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

bool ParseSize(std::string_view s, int& w, int& h)
{
    const size_t x = s.find('x');
    if (x == std::string_view::npos || x == 0 || x + 1 >= s.size()) return false;
    auto number = [](std::string_view d, int& out) {
        if (d.size() > 6) return false;
        int v = 0;
        for (char c : d) {
            if (c < '0' || c > '9') return false;
            v = v * 10 + (c - '0');
        }
        out = v;
        return true;
    };
    return number(s.substr(0, x), w) && number(s.substr(x + 1), h) && w >= 1 && h >= 1 && w <= kMaxSide
           && h <= kMaxSide;
}

// "-" is standard output, which QImage writes through a QFile on it.
bool SavePicture(const QImage& picture, const std::string& out)
{
    if (!tresdoc::IsStandardStream(out)) return picture.save(QString::fromLocal8Bit(out.c_str()), "PNG");
    QFile stdoutFile;
    return stdoutFile.open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)
           && picture.save(&stdoutFile, "PNG") && stdoutFile.flush();
}

} // namespace

int RunRenderCommand(int argc, char** argv)
{
    QCommandLineParser parser;
    const QCommandLineOption outOption(QStringLiteral("o"), QString(), QStringLiteral("AUSGABE"));
    const QCommandLineOption paneOption(QStringLiteral("pane"), QString(), QStringLiteral("FENSTER"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QString(), QStringLiteral("GRÖSSE"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    if (const auto fault = ParseCommandWords(parser, {outOption, paneOption, sizeOption, helpOption}, argc, argv)) {
        if (fault->kind == CommandLineFault::Ambiguous) return Usage(fault->word.toStdString().c_str());
        if (fault->kind == CommandLineFault::MissingValue && fault->name == QLatin1String("o"))
            return Usage("nach -o fehlt der Name der Ausgabedatei");
        if (fault->kind == CommandLineFault::MissingValue && fault->name == QLatin1String("pane"))
            return Usage("nach --pane fehlt gradient oder potential");
        if (fault->kind == CommandLineFault::MissingValue && fault->name == QLatin1String("size"))
            return Usage("nach --size fehlt BREITExHÖHE");
        if (fault->kind == CommandLineFault::UnexpectedValue)
            return Usage((fault->name.toStdString() + " nimmt keinen Wert").c_str());
        return Usage(("unbekannte Option " + fault->word.toStdString()).c_str());
    }
    if (parser.isSet(helpOption)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    bool potential = true;
    int width = 800, height = 400;
    if (parser.isSet(paneOption)) {
        const QString p = parser.value(paneOption);
        if (p == QLatin1String("gradient")) potential = false;
        else if (p == QLatin1String("potential")) potential = true;
        else return Usage("--pane erwartet gradient oder potential");
    }
    if (parser.isSet(sizeOption) && !ParseSize(parser.value(sizeOption).toStdString(), width, height))
        return Usage("ungültige Größe (BREITExHÖHE, je 1 bis 16384)");
    const QStringList operands = parser.positionalArguments();
    if (operands.size() > 1) return Usage("mehr als eine Eingabedatei");
    if (operands.isEmpty()) return Usage("keine Eingabedatei angegeben");
    const std::string file = operands[0].toLocal8Bit().toStdString();
    const std::string out = parser.value(outOption).toLocal8Bit().toStdString();
    if (out.empty()) return Usage("keine Ausgabedatei angegeben (-o)");
    if (!OutputIsNoInput(out, {file})) return kExitUsage;

    const auto app = EnsureOffscreenApplication();

    CTreDoc doc;
    CRenderHost host;
    if (!OpenCommandSurvey(doc, host, file, "render")) return kExitFile;

    // Both panes in the main window's order, so that each takes its kind
    // from the document's view counter exactly as it does there.
    CTrePrintView gradient(doc);
    CTrePrintView potentialPane(doc);
    host.AddView(&gradient);
    host.AddView(&potentialPane);
    host.InitialUpdateAll();

    CTrePrintView& pane = potential ? potentialPane : gradient;
    pane.resize(width, height);
    pane.ComposeBacking(QRect(0, 0, width, height));
    const QImage picture = pane.BackingImage().copy(0, 0, width, height);
    doc.SetHost(nullptr);
    if (!SavePicture(picture, out)) {
        std::fprintf(stderr, "render: Die Datei %s kann nicht geschrieben werden.\n", out.c_str());
        return kExitFile;
    }
    return kExitOk;
}
