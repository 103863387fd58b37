// tres-gensurvey: writes a made-up survey, for the samples in the repository
// and for trying things out on surveys of any length.
#include "survey.h"
#include "variant.h"

#include "dochost.h"
#include "tredoc.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kUsage[] = "Aufruf: tres-gensurvey [--rows N | --length M] [--spacing S] [--start M]\n"
                      "                       [--seed S] [--older] [--earlier|--native [--variant-seed S]]\n"
                      "                       -o DATEI\n"
                      "  --rows N     Anzahl der Messpunkte (Vorgabe 2401)\n"
                      "  --length M   Länge in Metern; ersetzt --rows (Punkte = M / Abstand + 1)\n"
                      "  --spacing S  Abstand der Messpunkte in Metern (Vorgabe 1)\n"
                      "  --start M    Messmeter des ersten Punkts (Vorgabe 0)\n"
                      "  --seed S     Startwert des Zufallsgenerators (Vorgabe 1)\n"
                      "  --older      ältere Dateiform ohne Abschnitte schreiben\n"
                      "  --earlier    dieselbe Leitung ein Jahr früher (gleiche Meter)\n"
                      "  --native     dieselbe Leitung als Nativmessung (Schutzstrom aus)\n"
                      "  --variant-seed S  Startwert für --earlier/--native (Vorgabe 2)\n";

class CStderrHost : public CDocHost {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "tres-gensurvey: %s\n", text.c_str()); }
};

bool ParseNumber(const char* text, long min, long max, long& out)
{
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < min || v > max) return false;
    out = v;
    return true;
}

int Usage(const std::string& problem)
{
    if (!problem.empty()) std::fprintf(stderr, "tres-gensurvey: %s\n", problem.c_str());
    std::fputs(kUsage, stderr);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    gensurvey::SurveyOptions options;
    long length = -1;
    bool older = false;
    enum class EVariant { None, Earlier, Native } variant = EVariant::None;
    uint32_t variantSeed = 2;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--older") {
            older = true;
            continue;
        }
        if (arg == "--earlier" || arg == "--native") {
            variant = arg == "--earlier" ? EVariant::Earlier : EVariant::Native;
            continue;
        }
        if (i + 1 >= argc) return Usage("Wert fehlt nach " + arg);
        const char* value = argv[++i];
        long v = 0;
        if (arg == "-o") {
            output = value;
        } else if (arg == "--rows" && ParseNumber(value, 1, 50'000'000, v)) {
            options.rows = static_cast<int>(v);
        } else if (arg == "--length" && ParseNumber(value, 0, 50'000'000, v)) {
            length = v;
        } else if (arg == "--spacing" && ParseNumber(value, 1, 1000, v)) {
            options.spacing = static_cast<int>(v);
        } else if (arg == "--start" && ParseNumber(value, -1'000'000, 1'000'000, v)) {
            options.startMeter = static_cast<int>(v);
        } else if (arg == "--seed" && ParseNumber(value, 0, 4294967295L, v)) {
            options.seed = static_cast<uint32_t>(v);
        } else if (arg == "--variant-seed" && ParseNumber(value, 0, 4294967295L, v)) {
            variantSeed = static_cast<uint32_t>(v);
        } else {
            return Usage("Ungültige Angabe: " + arg + " " + value);
        }
    }
    if (output.empty()) return Usage("Keine Ausgabedatei (-o) angegeben");
    if (length >= 0) options.rows = static_cast<int>(length / options.spacing + 1);

    CStderrHost host;
    CTreDoc doc;
    doc.SetHost(&host);
    gensurvey::BuildSurvey(doc, options);
    if (variant == EVariant::Earlier) gensurvey::MakeEarlierYear(doc, variantSeed);
    if (variant == EVariant::Native) gensurvey::MakeNative(doc, variantSeed);

    if (!older) return doc.OnSaveDocument(output) ? 0 : 2;

    const std::string text = gensurvey::OlderLayoutText(doc, options.seed);
    std::FILE* f = std::fopen(output.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "tres-gensurvey: %s: %s\n", output.c_str(), std::strerror(errno));
        return 2;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "tres-gensurvey: %s: Schreibfehler\n", output.c_str());
        return 2;
    }
    return 0;
}
