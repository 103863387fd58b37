// SPDX-License-Identifier: GPL-3.0-or-later
#include "printcmd.h"
#include "commandline.h"
#include "offscreenapp.h"
#include "tool/outputguard.h"

#include "doc/surveypath.h"
#include "doc/tredoc.h"
#include "print/graphiclayout.h"
#include "print/printjob.h"
#include "print/reportsettings.h"
#include "surveyfile.h"
#include "tool/toolhost.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

const char kUsage[] = "Aufruf: tresmon-tool print --graphic|--table DATEI -o AUSGABE.pdf [--scale N] "
                      "[--start M] [--end M] [--errors] [--no-qm] [--max-pages N]\n";

const char kMaxPagesRange[] = "--max-pages erwartet eine ganze Zahl von 1 bis 1000000";

int Usage(const std::string& why)
{
    if (!why.empty()) std::fprintf(stderr, "print: %s\n", why.c_str());
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

std::optional<int32_t> Number(std::string_view s, int32_t lo, int32_t hi)
{
    if (s.empty() || s.size() > 10) return std::nullopt;
    long long v = 0;
    size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size()) return std::nullopt;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    if (s[0] == '-') v = -v;
    if (v < lo || v > hi) return std::nullopt;
    return static_cast<int32_t>(v);
}

} // namespace

int RunPrintCommand(int argc, char** argv)
{
    QCommandLineParser parser;
    const QCommandLineOption graphicOption(QStringLiteral("graphic"));
    const QCommandLineOption tableOption(QStringLiteral("table"));
    const QCommandLineOption outOption(QStringLiteral("o"), QString(), QStringLiteral("AUSGABE"));
    const QCommandLineOption scaleOption(QStringLiteral("scale"), QString(), QStringLiteral("N"));
    const QCommandLineOption startOption(QStringLiteral("start"), QString(), QStringLiteral("M"));
    const QCommandLineOption endOption(QStringLiteral("end"), QString(), QStringLiteral("M"));
    const QCommandLineOption errorsOption(QStringLiteral("errors"));
    const QCommandLineOption noQmOption(QStringLiteral("no-qm"));
    const QCommandLineOption maxPagesOption(QStringLiteral("max-pages"), QString(), QStringLiteral("N"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QList<QCommandLineOption> options{graphicOption, tableOption,  outOption,  scaleOption,    startOption,
                                            endOption,     errorsOption, noQmOption, maxPagesOption, helpOption};
    if (const auto fault = ParseCommandWords(parser, options, argc, argv)) {
        if (fault->kind == CommandLineFault::Ambiguous) return Usage(fault->word.toStdString());
        if (fault->kind == CommandLineFault::MissingValue) {
            if (fault->name == QLatin1String("o")) return Usage("nach -o fehlt der Name der Ausgabedatei");
            if (fault->name == QLatin1String("scale"))
                return Usage("--scale erwartet eine ganze Zahl von 1 bis 1000000");
            if (fault->name == QLatin1String("start"))
                return Usage("--start erwartet eine ganze Zahl von 0 bis 999999");
            if (fault->name == QLatin1String("end")) return Usage("--end erwartet eine ganze Zahl von 0 bis 999999");
            if (fault->name == QLatin1String("max-pages")) return Usage(kMaxPagesRange);
        }
        if (fault->kind == CommandLineFault::UnexpectedValue)
            return Usage(fault->name.toStdString() + " nimmt keinen Wert");
        return Usage("unbekannte Option " + fault->word.toStdString());
    }
    if (parser.isSet(helpOption)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (parser.isSet(graphicOption) && parser.isSet(tableOption))
        return Usage("--graphic und --table schließen einander aus");
    std::optional<EPrintKind> kind;
    if (parser.isSet(graphicOption)) kind = EPrintKind::Graphic;
    if (parser.isSet(tableOption)) kind = EPrintKind::Table;
    std::optional<int32_t> scale, start, end;
    if (parser.isSet(scaleOption) && !(scale = Number(parser.value(scaleOption).toStdString(), 1, 1000000)))
        return Usage("--scale erwartet eine ganze Zahl von 1 bis 1000000");
    if (parser.isSet(startOption) && !(start = Number(parser.value(startOption).toStdString(), 0, 999999)))
        return Usage("--start erwartet eine ganze Zahl von 0 bis 999999");
    if (parser.isSet(endOption) && !(end = Number(parser.value(endOption).toStdString(), 0, 999999)))
        return Usage("--end erwartet eine ganze Zahl von 0 bis 999999");
    std::optional<int32_t> maxPages;
    if (parser.isSet(maxPagesOption) && !(maxPages = Number(parser.value(maxPagesOption).toStdString(), 1, 1000000)))
        return Usage(kMaxPagesRange);
    const bool errors = parser.isSet(errorsOption), noQm = parser.isSet(noQmOption);
    const QStringList operands = parser.positionalArguments();
    if (operands.size() > 1) return Usage("mehr als eine Eingabedatei");
    if (!kind) return Usage("--graphic oder --table angeben");
    if (operands.isEmpty()) return Usage("keine Eingabedatei angegeben");
    const std::string file = operands[0].toLocal8Bit().toStdString();
    const std::string out = parser.value(outOption).toLocal8Bit().toStdString();
    if (out.empty()) return Usage("keine Ausgabedatei angegeben (-o)");
    if (!OutputIsNoInput(out, {file})) return kExitUsage;

    const auto app = EnsureOffscreenApplication();

    CTreDoc doc;
    CToolHost host;
    if (!OpenCommandSurvey(doc, host, file, "print")) return kExitFile;
    if (scale) doc.m_nPlotScale = *scale;
    if (start) doc.m_nPlotStart = *start;
    if (end) doc.m_nPlotEnd = *end;
    if (errors) doc.m_bTabErrList = true;
    if (noQm) {
        doc.m_bPlotQM = false;
        doc.m_bTabQM = false;
    }
    graphiclayout::ApplyRangeDefaults(doc);

    QImage plotLogo, tableLogo;
    CPrintContext ctx;
    if (plotLogo.load(QStringLiteral("plot.bmp"))) ctx.plotLogo = &plotLogo;
    if (tableLogo.load(QStringLiteral("tabelle.bmp"))) ctx.tableLogo = &tableLogo;
    ctx.installationLabel = DefaultInstallationLabel();
    ctx.company = ReadReportSettings().company; // as the program prints it
    ctx.today = QDate::currentDate();

    // A printer writes a file only: for standard output the PDF is made in
    // a temporary file first and then copied.
    const bool toStdout = tresdoc::IsStandardStream(out);
    QTemporaryDir scratch;
    if (toStdout && !scratch.isValid()) {
        std::fprintf(stderr, "print: Kein Platz für die Zwischendatei: %s\n", qPrintable(scratch.errorString()));
        return kExitFile;
    }
    const QString pdfPath = toStdout ? scratch.filePath(QStringLiteral("druck.pdf")) : QString::fromStdString(out);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(IsLandscape(*kind) ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setColorMode(QPrinter::Color);
    printer.setDocName(QString::fromStdString(file));

    CPrintJob job(*kind, doc, ctx);
    const int allowed = maxPages.value_or(kPageLimit);
    if (const int planned = job.OnPreparePrinting(false); planned > allowed) {
        std::fprintf(stderr, "print: Der Ausdruck hätte %d Seiten, erlaubt sind %d (mehr mit --max-pages N).\n",
                     planned, allowed);
        return kExitUsage;
    }
    const int pages = RunPrintJob(printer, job);
    doc.SetHost(nullptr);
    if (pages < 0 || (toStdout && !CopyFileToStandardOutput(pdfPath))) {
        std::fprintf(stderr, "print: Die Datei %s kann nicht geschrieben werden.\n", out.c_str());
        return kExitFile;
    }
    // Standard output holds the PDF then: the note goes beside it.
    std::fprintf(toStdout ? stderr : stdout, "%d %s nach %s\n", pages, pages == 1 ? "Seite" : "Seiten", out.c_str());
    return kExitOk;
}
