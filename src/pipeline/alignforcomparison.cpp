// SPDX-License-Identifier: GPL-3.0-or-later
#include "alignforcomparison.h"

#include "doc/tredoc.h"
#include "numbers.h"

namespace trespipeline {

namespace {

// Each row's chainage as the pairing takes it: whole m, half away from zero.
std::vector<int32_t> Stations(const SRestation& rs)
{
    std::vector<int32_t> out;
    out.reserve(rs.chainage.size());
    for (double s : rs.chainage) out.push_back(WholeMetre(s).value_or(NO_VALUE));
    return out;
}

bool RestationFor(const CTreDoc& doc, const SComparisonAlignRequest& request, const char* which, SRestation& out,
                  SComparisonAlignResult& result)
{
    out = Restation(doc, request.pipeline->fixpoints, request.stretchTolerance);
    for (const std::string& w : out.warnings) result.notes.push_back(std::string(which) + ": " + w);
    for (const std::string& e : out.errors) result.errors.push_back(std::string(which) + ": " + e);
    return out.ok;
}

bool AlignByPipeline(const CTreDoc& current, const CTreDoc& earlier, const SComparisonAlignRequest& request,
                     SAlignment& out, SComparisonAlignResult& result)
{
    SRestation cur, ear;
    const bool ok = RestationFor(current, request, "Aktuelle Messung", cur, result);
    if (!RestationFor(earlier, request, "Vergleichsmessung", ear, result) || !ok) return false;

    // A fixed point both surveys name ties their rows, as a landmark does.
    std::vector<SAlignTie> ties;
    for (const STie& c : cur.ties)
        for (const STie& e : ear.ties)
            if (c.fixpoint == e.fixpoint)
                ties.push_back({current.GetComment(c.row), c.row, e.row, c.metre, e.metre, NO_VALUE});
    out = AlignByStations(Stations(cur), Stations(ear), std::move(ties));
    return true;
}

} // namespace

SComparisonAlignResult AlignForComparison(const CTreDoc& current, const CTreDoc& earlier, bool native,
                                          const SComparisonAlignRequest& request)
{
    SComparisonAlignResult result;
    SAlignment a;
    if (request.pipeline) {
        if (!AlignByPipeline(current, earlier, request, a, result)) return result;
    } else if (!request.align) {
        a = AlignByRecordedMetres(current, earlier);
    } else {
        tresdoc::SOutcome refusal;
        if (!AlignSurveys(current, earlier, SAlignOptions{request.reverse, !native}, a, refusal)) {
            result.errors.push_back(refusal.text);
            result.refusal = refusal.code;
            return result;
        }
        if (a.method == EAlignMethod::Offset && a.offsetPairs == 0)
            result.notes.push_back("Kein Versatz lässt sich an mindestens " + std::to_string(kMinOffsetPairs)
                                   + " Paaren bestimmen; die Messungen werden nach ihren Metern gepaart.");
        if (a.method == EAlignMethod::None)
            result.notes.push_back(
                "Weniger als zwei gemeinsame Landmarken: die Nativmessung wird nach ihren Metern gepaart.");
    }
    result.ok = true;
    result.alignment = std::make_shared<const SAlignment>(std::move(a));
    return result;
}

} // namespace trespipeline
