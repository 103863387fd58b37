// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapwriters.h"

#include <algorithm>

namespace tresexport {

void NotePositionless(const SMapFeatures& m, bool waypoints, std::vector<std::string>& notes)
{
    struct SKind {
        EFeatureKind kind;
        const char *one, *many;
    };
    // In the order the features come. GPX holds no stretches and keeps the
    // track whatever it holds: only its waypoints can go missing.
    const SKind kinds[] = {{EFeatureKind::Track, "Die Messspur", ""},
                           {EFeatureKind::Stretch, "Abschnitt", "Abschnitte"},
                           {EFeatureKind::Defect, "Fehlstelle", "Fehlstellen"},
                           {EFeatureKind::Fixpoint, "Festpunkt", "Festpunkte"}};
    for (const SKind& k : kinds) {
        if (waypoints && k.kind != EFeatureKind::Defect && k.kind != EFeatureKind::Fixpoint) continue;
        const long n = std::count_if(m.features.begin(), m.features.end(),
                                     [&k](const SMapFeature& f) { return f.kind == k.kind && f.geometry.empty(); });
        if (n == 0) continue;
        const bool one = n == 1;
        std::string text = k.kind == EFeatureKind::Track
                               ? std::string(k.one) + " liegt ganz"
                               : std::to_string(n) + " " + (one ? k.one : k.many) + (one ? " liegt" : " liegen");
        text += " außerhalb der Trasse und ";
        text += waypoints ? (one ? "fehlt" : "fehlen") : (one ? "steht" : "stehen");
        text += waypoints ? " in der GPX-Datei: ein Wegpunkt braucht eine Position." : " ohne Geometrie in der Datei.";
        notes.push_back(text);
    }
}

} // namespace tresexport
