// SPDX-License-Identifier: GPL-3.0-or-later
#include "alignmentjson.h"

namespace tresexport {

using jsontext::Int;

ojson AlignmentJson(const SAlignment& a)
{
    ojson ties = ojson::array();
    for (const SAlignTie& t : a.ties)
        ties.push_back({{"comment", t.comment},
                        {"current", {{"row", t.currentRow}, {"metre", t.currentMetre}}},
                        {"earlier", {{"row", t.earlierRow}, {"metre", t.earlierMetre}}},
                        {"residual", Int(t.residual)}});
    const bool offset = a.method == EAlignMethod::Offset;
    return {{"method", AlignMethodId(a.method)},
            {"reversed", a.reversed},
            {"offset", offset ? ojson(a.offset) : ojson(nullptr)},
            {"offsetPairs", offset ? ojson(a.offsetPairs) : ojson(nullptr)},
            {"ties", std::move(ties)},
            {"maxResidual", Int(a.maxResidual)}};
}

} // namespace tresexport
