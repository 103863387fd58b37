// SPDX-License-Identifier: GPL-3.0-or-later
#include "routecheck.h"

#include "numbers.h"

#include <cmath>

namespace trespipeline {

SRouteLengthCheck CheckRouteLength(const CRoutePath& path, const std::vector<SFixpoint>& fixpoints,
                                   const SRestation& restation, double tolerance)
{
    SRouteLengthCheck out;
    const STie* first = nullptr;
    const STie* last = nullptr;
    for (const STie& t : restation.ties) {
        if (!fixpoints[t.fixpoint].point) continue;
        if (!first) first = &t;
        last = &t;
    }
    if (!first || first == last) return out;
    const SFixpoint &a = fixpoints[first->fixpoint], &b = fixpoints[last->fixpoint];
    out.checked = true;
    out.tieSpan = std::fabs(last->chainage - first->chainage);
    out.routeLength = std::fabs(path.Nearest(*b.point).chainage - path.Nearest(*a.point).chainage);
    const double deviation = out.tieSpan > 0 ? std::fabs(out.routeLength - out.tieSpan) / out.tieSpan : 0;
    if (deviation > tolerance)
        out.warning = "Die Trasse ist zwischen „" + a.name + "“ und „" + b.name + "“ " + GermanFixed(out.routeLength, 2)
                      + " m lang, ihre Stationen liegen " + GermanFixed(out.tieSpan, 2) + " m auseinander ("
                      + GermanFixed(deviation * 100, 1) + " % Abweichung, mehr als " + GermanNumber(tolerance * 100, 2)
                      + " %)";
    return out;
}

} // namespace trespipeline
