// SPDX-License-Identifier: GPL-3.0-or-later
#include "limitruns.h"

#include "sections.h"

#include <algorithm>

namespace trespipeline {

std::vector<SLimitRun> LimitRuns(const std::vector<SSection>& sections, double from, double to, int32_t value,
                                 bool limit)
{
    // Between two section ends every chainage lies in the same sections:
    // the middle of each piece decides it.
    std::vector<double> cuts = {from, to};
    for (const SSection& s : sections)
        for (const double c : {s.from, s.to})
            if (c > from && c < to) cuts.push_back(c);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    const CSectionIndex index(sections);
    std::vector<SLimitRun> runs;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const SOverride o = index.At((cuts[i] + cuts[i + 1]) / 2);
        const int32_t own = limit ? o.limitPotential : o.protectionPotential;
        const SLimitRun run{cuts[i], cuts[i + 1], IsPresent(own) ? own : value, IsPresent(own)};
        if (!runs.empty() && runs.back().mv == run.mv && runs.back().section == run.section) runs.back().to = run.to;
        else runs.push_back(run);
    }
    if (runs.empty()) runs.push_back({from, to, value, false});
    return runs;
}

} // namespace trespipeline
