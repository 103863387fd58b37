// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparison.h"

#include "failruns.h"
#include "metreindex.h"
#include "tredoc.h"

#include <algorithm>
#include <cstdlib>

namespace {

const char* const kCriterionIds[] = {"worse", "shift"};
const char* const kCriterionNames[] = {"Schutz verschlechtert", "Polarisation unter Grenzwert"};
const char* const kModeIds[] = {"earlier", "native"};

SCompareSide Side(const CTreDoc& doc, int r)
{
    return {r, doc.GetPotOn(r), doc.GetPotOff(r), doc.GetPotIRFree(r), doc.GetMeter(r)};
}

// The first row of each aligned metre; an alignment made for more or fewer
// rows than the survey now has gives the rows beyond it no metre.
std::vector<SMetreRow> PairingIndex(const CTreDoc& doc, const std::vector<int32_t>& aligned)
{
    if (aligned.empty()) return FirstRowsByMetre(doc);
    std::vector<SMetreRow> rows;
    const int n = std::min(doc.GetRowCount(), static_cast<int>(aligned.size()));
    rows.reserve(static_cast<size_t>(n));
    for (int r = 1; r <= n; ++r)
        if (IsPresent(aligned[static_cast<size_t>(r - 1)])) rows.push_back({aligned[static_cast<size_t>(r - 1)], r});
    return FirstRowsByMetre(std::move(rows));
}

int64_t Difference(int32_t a, int32_t b) { return IsPresent(a) && IsPresent(b) ? int64_t{a} - b : kNoDelta; }

SComparePair MakePair(const CTreDoc& current, const CTreDoc& earlier, const SMetreRow& c, const SMetreRow& e,
                      bool native)
{
    SComparePair p;
    p.metre = c.metre;
    p.current = Side(current, c.row);
    p.earlier = Side(earlier, e.row);
    p.deltaOff = Difference(p.current.potOff, p.earlier.potOff);
    p.deltaIRFree = Difference(p.current.potIRFree, p.earlier.potIRFree);
    if (native) {
        const int32_t nativePot = IsPresent(p.earlier.potOff) ? p.earlier.potOff : p.earlier.potOn;
        p.polarisation = Difference(nativePot, p.current.potOff);
    }
    return p;
}

int64_t CriterionValue(const SComparePair& p, ECompareCriterion c)
{
    return c == ECompareCriterion::Worse ? p.deltaOff : p.polarisation;
}

bool Fails(ECompareCriterion c, int64_t v, int32_t limit)
{
    if (v == kNoDelta) return false;
    return c == ECompareCriterion::Worse ? v >= limit : v < limit;
}

void FindIndications(const std::vector<SComparePair>& pairs, const SCompareCriterionResult& cr,
                     std::vector<SCompareIndication>& out)
{
    const ECompareCriterion c = cr.criterion;
    auto value = [&](int i) { return CriterionValue(pairs[static_cast<size_t>(i)], c); };
    ForEachFailingRun(
        0, static_cast<int>(pairs.size()) - 1, [&](int i) { return Fails(c, value(i), cr.limit); },
        [&](int i, int w) { return c == ECompareCriterion::Worse ? value(i) > value(w) : value(i) < value(w); },
        [&](const SFailRun& run) {
            const SComparePair& first = pairs[static_cast<size_t>(run.first)];
            const SComparePair& last = pairs[static_cast<size_t>(run.last)];
            SCompareIndication ind;
            ind.criterion = c;
            ind.firstPair = run.first;
            ind.lastPair = run.last;
            ind.firstRow = first.current.row;
            ind.lastRow = last.current.row;
            ind.fromMetre = first.metre;
            ind.toMetre = last.metre;
            ind.rows = run.last - run.first + 1;
            ind.length = std::abs(int64_t{ind.toMetre} - ind.fromMetre);
            ind.worst = value(run.worst);
            ind.worstMetre = pairs[static_cast<size_t>(run.worst)].metre;
            out.push_back(ind);
        });
}

template <typename Member> SDeltaStats Stats(const std::vector<SComparePair>& pairs, Member member)
{
    SDeltaStats s;
    int64_t sum = 0;
    for (const SComparePair& p : pairs) {
        const int64_t v = p.*member;
        if (v == kNoDelta) continue;
        s.min = s.count == 0 ? v : std::min(s.min, v);
        s.max = s.count == 0 ? v : std::max(s.max, v);
        sum += v;
        ++s.count;
    }
    if (s.count > 0) s.mean = sum / s.count; // C++ division truncates toward zero
    return s;
}

} // namespace

const char* CompareCriterionId(ECompareCriterion c) { return kCriterionIds[static_cast<int>(c)]; }
const char* CompareCriterionName(ECompareCriterion c) { return kCriterionNames[static_cast<int>(c)]; }
const char* CompareModeId(ECompareMode m) { return kModeIds[static_cast<int>(m)]; }

SComparison Compare(const CTreDoc& current, const CTreDoc& earlier, const SCompareSettings& settings)
{
    SComparison result;
    result.mode = settings.mode;
    const bool native = settings.mode == ECompareMode::Native;
    result.criteria[0] = {ECompareCriterion::Worse, !native, settings.worseLimit};
    result.criteria[1] = {ECompareCriterion::Shift, native, settings.shiftLimit};

    static const auto kRecorded = std::make_shared<const SAlignment>();
    result.alignment = settings.alignment ? settings.alignment : kRecorded;
    const std::vector<SMetreRow> cur = PairingIndex(current, result.alignment->currentMetres);
    const std::vector<SMetreRow> ear = PairingIndex(earlier, result.alignment->earlierMetres);
    result.pairs.reserve(std::min(cur.size(), ear.size()));
    auto c = cur.begin(), e = ear.begin();
    while (c != cur.end() && e != ear.end()) {
        if (c->metre < e->metre) ++c;
        else if (e->metre < c->metre) ++e;
        else result.pairs.push_back(MakePair(current, earlier, *c++, *e++, native));
    }

    for (const SCompareCriterionResult& cr : result.criteria)
        if (cr.enabled) FindIndications(result.pairs, cr, result.indications);

    SCompareSummary& s = result.summary;
    s.matched = static_cast<int>(result.pairs.size());
    s.currentUnmatched = current.GetRowCount() - s.matched;
    s.earlierUnmatched = earlier.GetRowCount() - s.matched;
    s.deltaOff = Stats(result.pairs, &SComparePair::deltaOff);
    s.polarisation = Stats(result.pairs, &SComparePair::polarisation);
    return result;
}
