// SPDX-License-Identifier: GPL-3.0-or-later
#include "restationwarnings.h"

#include "doc/surveyimage.h"
#include "doc/tredoc.h"
#include "surveybinding.h"
#include "tiedassessment.h"

#include <algorithm>
#include <optional>
#include <set>
#include <tuple>

namespace trespipeline {

namespace {

using SKey = std::tuple<int, int, int>; // kind, first row, last row

SKey Key(const SPlausibilityWarning& w) { return {static_cast<int>(w.kind), w.firstRow, w.lastRow}; }

// The survey's rows, header and limits in a document of its own, with the
// new metres; rows without a metre keep none, as SetMetres leaves them.
void CopyWithMetres(const CTreDoc& doc, const std::vector<int32_t>& metres, CTreDoc& out)
{
    CSurveyImage image;
    image.header = doc.m_header;
    image.qm = doc.m_qm;
    image.rows.reserve(static_cast<size_t>(doc.GetRowCount()));
    for (int r = 1; r <= doc.GetRowCount(); ++r) image.rows.push_back(*doc.GetRow(r));
    out.Replace(std::move(image));
    out.m_limits = doc.m_limits;
    out.m_bEmpty = doc.m_bEmpty;
    for (int r = 1; r <= out.GetRowCount(); ++r) {
        const size_t i = static_cast<size_t>(r - 1);
        if (i < metres.size() && IsPresent(metres[i]) && IsPresent(out.GetMeter(r))) out.SetMeter(r, metres[i]);
    }
}

} // namespace

SRestationWarnings RestationWarnings(const CTreDoc& doc, const SSurveyBinding& binding,
                                     const SVerdictSettings& settings, const std::vector<int32_t>& metres,
                                     const SVerdict* current)
{
    SRestationWarnings out;
    CTreDoc moved;
    CopyWithMetres(doc, metres, moved);
    const SSurveyBinding again = BindSurvey(moved, binding.pipeline, binding.stretchTolerance, binding.gridEpsg);
    if (!again.ok) {
        out.bindErrors = again.errors;
        return out;
    }
    // The native survey decides statuses, not warnings: both assessed without.
    std::optional<SVerdict> assessed;
    if (!current) current = &assessed.emplace(AssessTied(doc, settings, nullptr, &binding));
    const SVerdict after = AssessTied(moved, settings, nullptr, &again);
    std::set<SKey> known;
    for (const SPlausibilityWarning& w : current->warnings) known.insert(Key(w));
    std::vector<int> counts(kPlausibilityCount, 0);
    for (const SPlausibilityWarning& w : after.warnings)
        if (!known.count(Key(w))) ++counts[static_cast<size_t>(w.kind)];
    for (int k = 0; k < kPlausibilityCount; ++k)
        if (counts[static_cast<size_t>(k)] > 0)
            out.added.push_back({static_cast<EPlausibility>(k), counts[static_cast<size_t>(k)]});
    return out;
}

std::string NewWarningsText(const SNewWarnings& w)
{
    return std::to_string(w.count) + (w.count == 1 ? " neue Warnung „" : " neue Warnungen „") + PlausibilityName(w.kind)
           + "“";
}

} // namespace trespipeline
