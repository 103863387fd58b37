// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixpointplace.h"

#include "numbers.h"

#include <cmath>

namespace trespipeline {

namespace {

std::string Quoted(const std::string& s) { return "„" + s + "“"; }

} // namespace

SFixpointPlace PlaceByFixpoints(const std::vector<SFixpoint>& fixpoints, double chainage)
{
    SFixpointPlace p;
    if (std::isnan(chainage)) return p;
    for (size_t i = 0; i < fixpoints.size(); ++i) {
        const double c = fixpoints[i].chainage;
        // Distances as they are printed, so "bei" means what the text shows.
        const double d = RoundHalfAway(std::fabs(chainage - c), kChainageDecimals);
        if (c <= chainage || d == 0) {
            if (!p.before || c > p.before->chainage) p.before = SFixpointSide{i, c, d};
        } else if (!p.after || c < p.after->chainage) {
            p.after = SFixpointSide{i, c, d};
        }
    }
    p.at = p.before && p.before->distance == 0;
    const auto name = [&](const std::optional<SFixpointSide>& s) { return Quoted(fixpoints[s->fixpoint].name); };
    const auto metres = [](double d) { return GermanFixed(d, kChainageDecimals) + " m"; };
    if (p.at) p.text = "bei " + name(p.before);
    else if (p.before && p.after)
        p.text = "zwischen " + name(p.before) + " (" + GermanSignedFixed(p.before->distance, 2, true) + " m) und "
                 + name(p.after) + " (" + GermanSignedFixed(-p.after->distance, 2) + " m)";
    else if (p.before) p.text = metres(p.before->distance) + " nach " + name(p.before);
    else if (p.after) p.text = metres(p.after->distance) + " vor " + name(p.after);
    return p;
}

} // namespace trespipeline
