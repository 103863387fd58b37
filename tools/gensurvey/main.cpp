// SPDX-License-Identifier: GPL-3.0-or-later
// tres-gensurvey: writes a made-up survey, for the samples in the repository
// and for trying things out on surveys of any length.
#include "pipeline.h"
#include "survey.h"
#include "variant.h"

#include "dochost.h"
#include "surveypath.h"
#include "tredoc.h"
#include "tresversion.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>

namespace {

const char kUsage[] = "Aufruf: tres-gensurvey [--rows N | --length M] [--spacing S] [--start M]\n"
                      "                       [--seed S] [--older] [--earlier|--native|--pipeline\n"
                      "                       [--variant-seed S]] -o DATEI\n"
                      "  --rows N     Anzahl der Messpunkte (Vorgabe 2401)\n"
                      "  --length M   Länge in Metern; ersetzt --rows (Punkte = M / Abstand + 1)\n"
                      "  --spacing S  Abstand der Messpunkte in Metern (Vorgabe 1)\n"
                      "  --start M    Messmeter des ersten Punkts (Vorgabe 0)\n"
                      "  --seed S     Startwert des Zufallsgenerators (Vorgabe 1)\n"
                      "  --older      ältere Dateiform ohne Abschnitte schreiben\n"
                      "  --earlier    dieselbe Leitung ein Jahr früher (gleiche Meter)\n"
                      "  --native     dieselbe Leitung als Nativmessung (Schutzstrom aus)\n"
                      "  --pipeline   Leitungsdaten (GeoJSON) zu dieser Messung statt der Messung\n"
                      "  --variant-seed S  Startwert für --earlier/--native/--pipeline (Vorgabe 2)\n"
                      "  -o DATEI     Ausgabedatei; - ist die Standardausgabe\n"
                      "  --help       diese Hilfe\n"
                      "  --version    Name und Version des Programms\n";

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
    enum class EVariant { None, Earlier, Native, Pipeline } variant = EVariant::None;
    uint32_t variantSeed = 2;
    std::string output;
    enum {
        kRows = 256,
        kLength,
        kSpacing,
        kStart,
        kSeed,
        kOlder,
        kEarlier,
        kNative,
        kPipeline,
        kVariantSeed,
        kHelp,
        kVersion
    };
    static const option kOptions[] = {
        {"rows", required_argument, nullptr, kRows},
        {"length", required_argument, nullptr, kLength},
        {"spacing", required_argument, nullptr, kSpacing},
        {"start", required_argument, nullptr, kStart},
        {"seed", required_argument, nullptr, kSeed},
        {"older", no_argument, nullptr, kOlder},
        {"earlier", no_argument, nullptr, kEarlier},
        {"native", no_argument, nullptr, kNative},
        {"pipeline", no_argument, nullptr, kPipeline},
        {"variant-seed", required_argument, nullptr, kVariantSeed},
        {"help", no_argument, nullptr, kHelp},
        {"version", no_argument, nullptr, kVersion},
        {nullptr, 0, nullptr, 0},
    };
    opterr = 0; // the messages are ours, in German
    int c;
    while ((c = getopt_long(argc, argv, ":ho:", kOptions, nullptr)) != -1) {
        const std::string word = argv[optind - 1];
        long v = 0;
        switch (c) {
        case 'h':
        case kHelp: std::fputs(kUsage, stdout); return 0;
        case kVersion: std::fputs("tres-gensurvey " TRES_VERSION "\n", stdout); return 0;
        case kOlder: older = true; break;
        case 'o': output = optarg; break;
        case kRows:
            if (!ParseNumber(optarg, 1, 50'000'000, v)) return Usage("Ungültige Angabe: --rows " + std::string(optarg));
            options.rows = static_cast<int>(v);
            break;
        case kLength:
            if (!ParseNumber(optarg, 0, 50'000'000, v))
                return Usage("Ungültige Angabe: --length " + std::string(optarg));
            length = v;
            break;
        case kSpacing:
            if (!ParseNumber(optarg, 1, 1000, v)) return Usage("Ungültige Angabe: --spacing " + std::string(optarg));
            options.spacing = static_cast<int>(v);
            break;
        case kStart:
            if (!ParseNumber(optarg, -1'000'000, 1'000'000, v))
                return Usage("Ungültige Angabe: --start " + std::string(optarg));
            options.startMeter = static_cast<int>(v);
            break;
        case kSeed:
            if (!ParseNumber(optarg, 0, 4294967295L, v))
                return Usage("Ungültige Angabe: --seed " + std::string(optarg));
            options.seed = static_cast<uint32_t>(v);
            break;
        case kEarlier: variant = EVariant::Earlier; break;
        case kNative: variant = EVariant::Native; break;
        case kPipeline: variant = EVariant::Pipeline; break;
        case kVariantSeed:
            if (!ParseNumber(optarg, 0, 4294967295L, v))
                return Usage("Ungültige Angabe: --variant-seed " + std::string(optarg));
            variantSeed = static_cast<uint32_t>(v);
            break;
        case ':': return Usage("Wert fehlt nach " + word);
        default: {
            // A letter of its own, or the whole word (up to '=') of a long option.
            const std::string typed
                = optopt > 0 && optopt < kRows ? std::string("-") + static_cast<char>(optopt) : word;
            return Usage("Unbekannte Option: " + typed.substr(0, typed.find('=')));
        }
        }
    }
    if (optind < argc) return Usage("Unerwartetes Argument: " + std::string(argv[optind]));
    if (output.empty()) return Usage("Keine Ausgabedatei (-o) angegeben");
    if (length >= 0) options.rows = static_cast<int>(length / options.spacing + 1);

    CStderrHost host;
    CTreDoc doc;
    doc.SetHost(&host);
    gensurvey::BuildSurvey(doc, options);
    if (variant == EVariant::Earlier) gensurvey::MakeEarlierYear(doc, variantSeed);
    if (variant == EVariant::Native) gensurvey::MakeNative(doc, variantSeed);

    if (!older && variant != EVariant::Pipeline) return tresdoc::SaveSurveyPath(doc, output) ? 0 : 2;

    const std::string text = variant == EVariant::Pipeline ? gensurvey::PipelineGeoJson(doc, variantSeed)
                                                           : gensurvey::OlderLayoutText(doc, options.seed);
    if (tresdoc::IsStandardStream(output)) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return 0;
        std::fputs("tres-gensurvey: Die Standardausgabe konnte nicht beschrieben werden.\n", stderr);
        return 2;
    }
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
