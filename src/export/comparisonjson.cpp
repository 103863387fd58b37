// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparisonjson.h"

#include "alignmentjson.h"
#include "doc/comparison.h"

namespace tresexport {

namespace {

using jsontext::Int;

ojson Delta(int64_t v) { return v == kNoDelta ? ojson(nullptr) : ojson(v); }

ojson StatsJson(const SDeltaStats& s)
{
    return {{"count", s.count}, {"min", Delta(s.min)}, {"max", Delta(s.max)}, {"mean", Delta(s.mean)}};
}

ojson SideJson(const SCompareSide& s)
{
    return {{"row", s.row},
            {"metre", Int(s.metre)},
            {"potOn", Int(s.potOn)},
            {"potOff", Int(s.potOff)},
            {"potIRFree", Int(s.potIRFree)}};
}

} // namespace

ojson ComparisonJson(const SComparison& c, bool withPairs)
{
    const bool native = c.mode == ECompareMode::Native;
    ojson j;
    j["mode"] = CompareModeId(c.mode);
    j["alignment"] = AlignmentJson(*c.alignment);
    ojson& criteria = j["criteria"] = ojson::array();
    for (const SCompareCriterionResult& cr : c.criteria)
        criteria.push_back({{"id", CompareCriterionId(cr.criterion)},
                            {"name", CompareCriterionName(cr.criterion)},
                            {"enabled", cr.enabled},
                            {"limit", cr.limit}});
    ojson& indications = j["indications"] = ojson::array();
    for (const SCompareIndication& i : c.indications)
        indications.push_back({{"criterion", CompareCriterionId(i.criterion)},
                               {"fromMetre", i.fromMetre},
                               {"toMetre", i.toMetre},
                               {"rows", i.rows},
                               {"length", i.length},
                               {"worst", Delta(i.worst)},
                               {"worstMetre", i.worstMetre}});
    const SCompareSummary& s = c.summary;
    ojson summary = {{"matched", s.matched},
                     {"currentUnmatched", s.currentUnmatched},
                     {"earlierUnmatched", s.earlierUnmatched},
                     {"deltaOff", StatsJson(s.deltaOff)}};
    if (native) summary["polarisation"] = StatsJson(s.polarisation);
    j["summary"] = std::move(summary);
    if (withPairs) {
        ojson& pairs = j["pairs"] = ojson::array();
        for (const SComparePair& p : c.pairs) {
            ojson pj = {{"metre", p.metre},
                        {"current", SideJson(p.current)},
                        {"earlier", SideJson(p.earlier)},
                        {"deltaOff", Delta(p.deltaOff)},
                        {"deltaIRFree", Delta(p.deltaIRFree)}};
            if (native) pj["polarisation"] = Delta(p.polarisation);
            pairs.push_back(std::move(pj));
        }
    }
    return j;
}

} // namespace tresexport
