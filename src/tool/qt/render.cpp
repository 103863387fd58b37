#include "render.h"
#include "offscreenapp.h"

#include "curvepane.h"
#include "tredoc.h"
#include "viewhub.h"

#include <QApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr int kMaxSide = 16384;

class CRenderHost : public CTreViewHub {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

int Usage(const char* why)
{
    if (why) std::fprintf(stderr, "render: %s\n", why);
    std::fprintf(stderr, "Aufruf: tresmon-tool render DATEI -o AUSGABE.png [--pane gradient|potential] "
                         "[--size BREITExHÖHE]\n");
    return 1;
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

} // namespace

int RunRenderCommand(int argc, char** argv)
{
    std::string file, out;
    bool potential = true;
    int width = 800, height = 400;
    for (int i = 0; i < argc; ++i) {
        const std::string_view a = argv[i] ? argv[i] : "";
        auto value = [&](const char* what) -> const char* {
            if (i + 1 >= argc || !argv[i + 1]) {
                Usage(what);
                return nullptr;
            }
            return argv[++i];
        };
        if (a == "-o") {
            const char* v = value("nach -o fehlt der Name der Ausgabedatei");
            if (!v) return 1;
            out = v;
        } else if (a == "--pane") {
            const char* v = value("nach --pane fehlt gradient oder potential");
            if (!v) return 1;
            const std::string_view p = v;
            if (p == "gradient") potential = false;
            else if (p == "potential") potential = true;
            else return Usage("--pane erwartet gradient oder potential");
        } else if (a == "--size") {
            const char* v = value("nach --size fehlt BREITExHÖHE");
            if (!v) return 1;
            if (!ParseSize(v, width, height)) return Usage("ungültige Größe (BREITExHÖHE, je 1 bis 16384)");
        } else if (!a.empty() && a[0] == '-') {
            return Usage(("unbekannte Option " + std::string(a)).c_str());
        } else if (file.empty()) {
            file = a;
        } else {
            return Usage("mehr als eine Eingabedatei");
        }
    }
    if (file.empty()) return Usage("keine Eingabedatei angegeben");
    if (out.empty()) return Usage("keine Ausgabedatei angegeben (-o)");

    const auto app = EnsureOffscreenApplication();

    CTreDoc doc;
    CRenderHost host;
    doc.SetHost(&host);
    if (!doc.OnOpenDocument(file)) {
        std::fprintf(stderr, "render: Die Datei %s kann nicht gelesen werden.\n", file.c_str());
        return 2;
    }

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
    if (!picture.save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "render: Die Datei %s kann nicht geschrieben werden.\n", out.c_str());
        return 2;
    }
    return 0;
}
