// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparealign.h"

#include "numbers.h"
#include "pipelinereader.h"
#include "restation.h"
#include "toolhost.h"
#include "tredoc.h"

namespace {

// Each row's chainage as the pairing takes it: whole m, half away from zero.
std::vector<int32_t> Stations(const trespipeline::SRestation& rs)
{
    std::vector<int32_t> out;
    out.reserve(rs.chainage.size());
    for (double s : rs.chainage) out.push_back(trespipeline::WholeMetre(s).value_or(NO_VALUE));
    return out;
}

bool Restation(const CTreDoc& doc, const trespipeline::SPipelineData& data, const char* which,
               trespipeline::SRestation& out)
{
    out = trespipeline::Restation(doc, data.fixpoints);
    for (const std::string& w : out.warnings) ToolError(std::string(which) + ": " + w);
    for (const std::string& e : out.errors) ToolError(std::string(which) + ": " + e);
    return out.ok;
}

bool AlignByPipeline(const CTreDoc& current, const CTreDoc& earlier, const std::string& path, SAlignment& out)
{
    const trespipeline::SPipelineRead read = trespipeline::ReadPipelineFile(path);
    for (const std::string& w : read.warnings) ToolError(w);
    for (const std::string& e : read.errors) ToolError(e);
    if (!read.ok) return false;
    trespipeline::SRestation cur, ear;
    const bool ok = Restation(current, read.data, "Aktuelle Messung", cur);
    if (!Restation(earlier, read.data, "Vergleichsmessung", ear) || !ok) return false;

    // A fixed point both surveys name ties their rows, as a landmark does.
    std::vector<SAlignTie> ties;
    for (const trespipeline::STie& c : cur.ties)
        for (const trespipeline::STie& e : ear.ties)
            if (c.fixpoint == e.fixpoint)
                ties.push_back({current.GetComment(c.row), c.row, e.row, c.metre, e.metre, NO_VALUE});
    out = AlignByStations(Stations(cur), Stations(ear), std::move(ties));
    return true;
}

} // namespace

bool AlignForCompare(const CTreDoc& current, const CTreDoc& earlier, bool native, const SCompareAlignOptions& options,
                     std::shared_ptr<const SAlignment>& out)
{
    SAlignment a;
    if (!options.pipeline.empty()) {
        if (!AlignByPipeline(current, earlier, options.pipeline, a)) return false;
    } else if (options.align) {
        std::string error;
        if (!AlignSurveys(current, earlier, SAlignOptions{options.reverse, !native}, a, error)) {
            ToolError(error);
            if (error == kReversedSurveyMessage)
                ToolError(
                    "Mit --reverse wird sie gespiegelt zugeordnet; --no-align paart nach den Metern, wie sie sind.");
            else ToolError("--no-align paart nach den Metern, wie sie sind.");
            return false;
        }
        if (a.method == EAlignMethod::Offset && a.offsetPairs == 0)
            ToolError("Kein Versatz lässt sich an mindestens " + std::to_string(kMinOffsetPairs)
                      + " Paaren bestimmen; die Messungen werden nach ihren Metern gepaart.");
        if (a.method == EAlignMethod::None)
            ToolError("Weniger als zwei gemeinsame Landmarken: die Nativmessung wird nach ihren Metern gepaart.");
    }
    out = std::make_shared<const SAlignment>(std::move(a));
    return true;
}
