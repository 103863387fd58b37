#include "printcmd.h"
#include "offscreenapp.h"

#include "graphiclayout.h"
#include "printjob.h"
#include "tredoc.h"

#include <QApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

class CPrintHost : public CDocHost {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

int Usage(const std::string& why)
{
    if (!why.empty()) std::fprintf(stderr, "print: %s\n", why.c_str());
    std::fprintf(stderr, "Aufruf: tresmon-tool print --graphic|--table DATEI -o AUSGABE.pdf [--scale N] "
                         "[--start M] [--end M] [--errors] [--no-qm]\n");
    return 1;
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
    std::optional<EPrintKind> kind;
    std::string file, out;
    std::optional<int32_t> scale, start, end;
    bool errors = false, noQm = false;
    for (int i = 0; i < argc; ++i) {
        const std::string_view a = argv[i] ? argv[i] : "";
        auto value = [&]() -> const char* { return i + 1 < argc && argv[i + 1] ? argv[++i] : nullptr; };
        if (a == "--graphic" || a == "--table") {
            const EPrintKind k = a == "--graphic" ? EPrintKind::Graphic : EPrintKind::Table;
            if (kind && *kind != k) return Usage("--graphic und --table schließen einander aus");
            kind = k;
        } else if (a == "-o") {
            const char* v = value();
            if (!v) return Usage("nach -o fehlt der Name der Ausgabedatei");
            out = v;
        } else if (a == "--scale") {
            const char* v = value();
            if (!v || !(scale = Number(v, 1, 1000000)))
                return Usage("--scale erwartet eine ganze Zahl von 1 bis 1000000");
        } else if (a == "--start") {
            const char* v = value();
            if (!v || !(start = Number(v, 0, 999999)))
                return Usage("--start erwartet eine ganze Zahl von 0 bis 999999");
        } else if (a == "--end") {
            const char* v = value();
            if (!v || !(end = Number(v, 0, 999999))) return Usage("--end erwartet eine ganze Zahl von 0 bis 999999");
        } else if (a == "--errors") {
            errors = true;
        } else if (a == "--no-qm") {
            noQm = true;
        } else if (!a.empty() && a[0] == '-') {
            return Usage("unbekannte Option " + std::string(a));
        } else if (file.empty()) {
            file = a;
        } else {
            return Usage("mehr als eine Eingabedatei");
        }
    }
    if (!kind) return Usage("--graphic oder --table angeben");
    if (file.empty()) return Usage("keine Eingabedatei angegeben");
    if (out.empty()) return Usage("keine Ausgabedatei angegeben (-o)");

    const auto app = EnsureOffscreenApplication();

    CTreDoc doc;
    CPrintHost host;
    doc.SetHost(&host);
    if (!doc.OnOpenDocument(file)) {
        std::fprintf(stderr, "print: Die Datei %s kann nicht gelesen werden.\n", file.c_str());
        return 2;
    }
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
    ctx.today = QDate::currentDate();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(out));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(IsLandscape(*kind) ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setColorMode(QPrinter::Color);
    printer.setDocName(QString::fromStdString(file));

    CPrintJob job(*kind, doc, ctx);
    const int pages = RunPrintJob(printer, job);
    doc.SetHost(nullptr);
    if (pages < 0) {
        std::fprintf(stderr, "print: Die Datei %s kann nicht geschrieben werden.\n", out.c_str());
        return 2;
    }
    std::printf("%d %s nach %s\n", pages, pages == 1 ? "Seite" : "Seiten", out.c_str());
    return 0;
}
