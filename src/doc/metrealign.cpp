// SPDX-License-Identifier: GPL-3.0-or-later
#include "metrealign.h"

#include "commentkey.h"
#include "metreindex.h"
#include "tredoc.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <unordered_map>

namespace {

const char* const kMethodIds[] = {"none", "pipeline", "landmarks", "offset"};

// A metre computed in 64 bits, as the metre column can hold it.
int32_t AsMetre(int64_t v)
{
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max() || v == NO_VALUE)
        return NO_VALUE;
    return static_cast<int32_t>(v);
}

// num / den rounded half away from zero, exactly; den != 0. A quotient
// beyond 64 bits comes back as the largest value, which AsMetre() refuses.
int64_t DivideRounded(__int128 num, __int128 den)
{
    if (den < 0) num = -num, den = -den;
    __int128 q = num / den;
    const __int128 r = num % den; // carries the sign of num
    if (2 * (r < 0 ? -r : r) >= den) q += num < 0 ? -1 : 1;
    return q > std::numeric_limits<int64_t>::max() || q < std::numeric_limits<int64_t>::min()
               ? std::numeric_limits<int64_t>::max()
               : static_cast<int64_t>(q);
}

int Sign(int64_t v) { return (v > 0) - (v < 0); }

// ---- ties ----------------------------------------------------------------------

struct SOnce {
    int count = 0;
    int row = 0;
};

std::unordered_map<std::string, SOnce> CommentRows(const CTreDoc& doc)
{
    std::unordered_map<std::string, SOnce> out;
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        if (!doc.HasComment(r)) continue;
        std::string key = CommentKey(doc.GetComment(r));
        if (key.empty()) continue;
        SOnce& o = out[std::move(key)];
        if (++o.count == 1) o.row = r;
    }
    return out;
}

std::vector<SAlignTie> LandmarkTies(const CTreDoc& current, const CTreDoc& earlier)
{
    const auto cur = CommentRows(current), ear = CommentRows(earlier);
    std::vector<SAlignTie> ties;
    for (const auto& [key, c] : cur) {
        const auto e = ear.find(key);
        if (c.count != 1 || e == ear.end() || e->second.count != 1) continue;
        SAlignTie t;
        t.currentRow = c.row;
        t.earlierRow = e->second.row;
        t.currentMetre = current.GetMeter(t.currentRow);
        t.earlierMetre = earlier.GetMeter(t.earlierRow);
        if (!IsPresent(t.currentMetre) || !IsPresent(t.earlierMetre)) continue;
        t.comment = current.GetComment(t.currentRow);
        ties.push_back(std::move(t));
    }
    std::sort(ties.begin(), ties.end(),
              [](const SAlignTie& a, const SAlignTie& b) { return a.currentRow < b.currentRow; });
    return ties;
}

std::string Quoted(const std::string& s) { return "„" + s + "“"; }

// The ties the mapping runs through, in the earlier survey's row order;
// false with a message when they contradict each other.
bool Knots(std::vector<SAlignTie> ties, std::vector<SAlignTie>& knots, bool& reversed, std::string& error)
{
    std::sort(ties.begin(), ties.end(),
              [](const SAlignTie& a, const SAlignTie& b) { return a.earlierRow < b.earlierRow; });
    knots.clear();
    for (const SAlignTie& t : ties)
        if (knots.empty() || t.earlierMetre != knots.back().earlierMetre || t.currentMetre != knots.back().currentMetre)
            knots.push_back(t);
    int earlierDir = 0, currentDir = 0;
    for (size_t k = 0; k + 1 < knots.size(); ++k) {
        const SAlignTie &a = knots[k], &b = knots[k + 1];
        const int de = Sign(int64_t{b.earlierMetre} - a.earlierMetre);
        const int dc = Sign(int64_t{b.currentMetre} - a.currentMetre);
        if (k == 0) earlierDir = de, currentDir = dc;
        if (de == 0 || dc == 0 || de != earlierDir || dc != currentDir) {
            error = "Die Landmarken " + Quoted(a.comment) + " und " + Quoted(b.comment)
                    + " liegen in den beiden Messungen nicht gleich (aktuell bei " + std::to_string(a.currentMetre)
                    + " m und " + std::to_string(b.currentMetre) + " m, in der Vergleichsmessung bei "
                    + std::to_string(a.earlierMetre) + " m und " + std::to_string(b.earlierMetre)
                    + " m); die Messungen lassen sich an ihnen nicht ausrichten.";
            return false;
        }
    }
    reversed = earlierDir != currentDir;
    return true;
}

// The earlier survey's metres on the current survey's scale, per row.
std::vector<int32_t> MapByKnots(const CTreDoc& earlier, const std::vector<SAlignTie>& knots, bool reversed)
{
    const int n = earlier.GetRowCount();
    std::vector<int32_t> out(static_cast<size_t>(n), NO_VALUE);
    const int64_t outside = reversed ? -1 : 1;
    const size_t last = knots.size() - 1;
    size_t k = 0; // the knot at or before the row, once the first is passed
    for (int r = 1; r <= n; ++r) {
        while (k < last && knots[k + 1].earlierRow <= r) ++k;
        const int32_t m = earlier.GetMeter(r);
        if (!IsPresent(m)) continue;
        const SAlignTie& a = knots[k];
        const int64_t from = int64_t{m} - a.earlierMetre;
        int64_t v;
        if (r < knots[0].earlierRow || k == last) {
            v = a.currentMetre + from * outside;
        } else {
            // Rounded as a whole, not the step from the tie: -100 + 0.5 is
            // -99.5 and goes to -100.
            const SAlignTie& b = knots[k + 1];
            const int64_t de = int64_t{b.earlierMetre} - a.earlierMetre;
            v = DivideRounded(static_cast<__int128>(a.currentMetre) * de
                                  + static_cast<__int128>(from) * (int64_t{b.currentMetre} - a.currentMetre),
                              de);
        }
        out[static_cast<size_t>(r - 1)] = AsMetre(v);
    }
    return out;
}

// ---- offset --------------------------------------------------------------------

struct SMetreOff {
    int32_t metre, off;
};

// The first row of each metre, where it has its potential off.
std::vector<SMetreOff> OffByMetre(const CTreDoc& doc)
{
    std::vector<SMetreOff> out;
    for (const SMetreRow& mr : FirstRowsByMetre(doc))
        if (IsPresent(doc.GetPotOff(mr.row))) out.push_back({mr.metre, doc.GetPotOff(mr.row)});
    return out;
}

struct SOffsetFit {
    int32_t offset = 0;
    int pairs = 0;
};

SOffsetFit FitOffset(const CTreDoc& current, const CTreDoc& earlier)
{
    const std::vector<SMetreOff> cur = OffByMetre(current), ear = OffByMetre(earlier);
    SOffsetFit best;
    int64_t bestSum = 0;
    // 0, -1, 1, -2, 2 ...: only a strictly smaller mean displaces the best, so
    // equal means keep the smaller |o|, then the negative one.
    for (int step = 0; step <= 2 * kMaxAlignOffset; ++step) {
        const int32_t o = step % 2 == 1 ? -(step + 1) / 2 : step / 2;
        int64_t sum = 0;
        int count = 0;
        auto c = cur.begin(), e = ear.begin();
        while (c != cur.end() && e != ear.end()) {
            const int64_t shifted = int64_t{e->metre} + o;
            if (c->metre < shifted) ++c;
            else if (shifted < c->metre) ++e;
            else sum += std::abs(int64_t{(c++)->off} - (e++)->off), ++count;
        }
        if (count < kMinOffsetPairs) continue;
        if (best.pairs == 0 || static_cast<__int128>(sum) * best.pairs < static_cast<__int128>(bestSum) * count) {
            best = {o, count};
            bestSum = sum;
        }
    }
    return best;
}

// ---- residuals -----------------------------------------------------------------

int32_t Aligned(const std::vector<int32_t>& metres, int32_t recorded, int row)
{
    if (metres.empty()) return recorded;
    return row >= 1 && static_cast<size_t>(row) <= metres.size() ? metres[static_cast<size_t>(row - 1)] : NO_VALUE;
}

void SetResiduals(SAlignment& a)
{
    a.maxResidual = NO_VALUE;
    for (SAlignTie& t : a.ties) {
        const int32_t c = Aligned(a.currentMetres, t.currentMetre, t.currentRow);
        const int32_t e = Aligned(a.earlierMetres, t.earlierMetre, t.earlierRow);
        t.residual = IsPresent(c) && IsPresent(e) ? AsMetre(std::abs(int64_t{e} - c)) : NO_VALUE;
        if (IsPresent(t.residual) && (!IsPresent(a.maxResidual) || t.residual > a.maxResidual))
            a.maxResidual = t.residual;
    }
}

} // namespace

const char* AlignMethodId(EAlignMethod m) { return kMethodIds[static_cast<int>(m)]; }

CAlignedToRecorded::CAlignedToRecorded(const CTreDoc& current, const SAlignment& a)
{
    if (a.currentMetres.empty()) return;
    for (size_t i = 0; i < a.currentMetres.size() && i < static_cast<size_t>(current.GetRowCount()); ++i) {
        const int32_t recorded = current.GetMeter(static_cast<int>(i) + 1);
        if (IsPresent(a.currentMetres[i]) && IsPresent(recorded)) m_knots.push_back({a.currentMetres[i], recorded});
    }
    // The first row of each aligned metre, as the pairing takes it.
    std::stable_sort(m_knots.begin(), m_knots.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    m_knots.erase(
        std::unique(m_knots.begin(), m_knots.end(), [](const auto& x, const auto& y) { return x.first == y.first; }),
        m_knots.end());
    if (m_knots.empty()) m_knots.push_back({0, 0}); // no row to carry over by: the identity
    else if (m_knots.back().second < m_knots.front().second) m_slope = -1;
}

int32_t CAlignedToRecorded::operator()(int32_t aligned) const
{
    if (m_knots.empty() || !IsPresent(aligned)) return aligned;
    const auto hi = std::lower_bound(m_knots.begin(), m_knots.end(), aligned,
                                     [](const auto& k, int32_t v) { return k.first < v; });
    if (hi != m_knots.end() && hi->first == aligned) return hi->second;
    if (hi == m_knots.begin()) return AsMetre(int64_t{hi->second} - int64_t{m_slope} * (hi->first - int64_t{aligned}));
    const auto lo = hi - 1;
    if (hi == m_knots.end()) return AsMetre(int64_t{lo->second} + int64_t{m_slope} * (int64_t{aligned} - lo->first));
    // Between two rows: exact in integers, half away from zero.
    const __int128 num = __int128{int64_t{aligned} - lo->first} * (int64_t{hi->second} - lo->second);
    return AsMetre(lo->second + DivideRounded(num, int64_t{hi->first} - lo->first));
}

std::vector<int32_t> EarlierOnCurrentMetres(const CTreDoc& current, const CTreDoc& earlier, const SAlignment& a)
{
    const CAlignedToRecorded toRecorded(current, a);
    const int n = earlier.GetRowCount();
    std::vector<int32_t> out(static_cast<size_t>(n), NO_VALUE);
    for (int r = 1; r <= n; ++r) {
        const size_t i = static_cast<size_t>(r - 1);
        const int32_t aligned = a.earlierMetres.empty()      ? earlier.GetMeter(r)
                                : i < a.earlierMetres.size() ? a.earlierMetres[i]
                                                             : NO_VALUE;
        out[i] = toRecorded(aligned);
    }
    return out;
}

std::string AlignmentText(const SAlignment& a)
{
    switch (a.method) {
    case EAlignMethod::Pipeline: return "Festpunkte der Leitungsdaten";
    case EAlignMethod::Landmarks:
        return "Orientierungspunkte (" + std::to_string(a.ties.size()) + ")"
               + (a.reversed ? ", in umgekehrter Richtung gemessen" : "");
    case EAlignMethod::Offset:
        if (a.offsetPairs == 0) return "nach Metern (kein Versatz bestimmbar)";
        return "Versatz " + std::to_string(a.offset) + " m";
    case EAlignMethod::None: break;
    }
    return "nach Metern";
}

bool AlignSurveys(const CTreDoc& current, const CTreDoc& earlier, const SAlignOptions& options, SAlignment& out,
                  tresdoc::SOutcome& refusal)
{
    SAlignment a;
    a.ties = LandmarkTies(current, earlier);
    std::vector<SAlignTie> knots;
    if (std::string error; !Knots(a.ties, knots, a.reversed, error)) {
        refusal = tresdoc::SOutcome::Refused(std::move(error));
        return false;
    }
    if (knots.size() >= 2) {
        if (a.reversed && !options.reverse) {
            refusal = tresdoc::SOutcome::Refused(kReversedSurveyMessage, tresdoc::ERefusal::Reversed);
            return false;
        }
        a.method = EAlignMethod::Landmarks;
        a.earlierMetres = MapByKnots(earlier, knots, a.reversed);
    } else if (options.fitOffset) {
        a.method = EAlignMethod::Offset;
        a.reversed = false;
        const SOffsetFit fit = FitOffset(current, earlier);
        a.offset = fit.offset;
        a.offsetPairs = fit.pairs;
        if (a.offset != 0) {
            a.earlierMetres.assign(static_cast<size_t>(earlier.GetRowCount()), NO_VALUE);
            for (int r = 1; r <= earlier.GetRowCount(); ++r)
                if (IsPresent(earlier.GetMeter(r)))
                    a.earlierMetres[static_cast<size_t>(r - 1)] = AsMetre(int64_t{earlier.GetMeter(r)} + a.offset);
        }
    } else {
        a.reversed = false;
    }
    SetResiduals(a);
    out = std::move(a);
    return true;
}

SAlignment AlignByRecordedMetres(const CTreDoc& current, const CTreDoc& earlier)
{
    SAlignment a;
    a.ties = LandmarkTies(current, earlier);
    SetResiduals(a);
    return a;
}

SAlignment AlignByStations(std::vector<int32_t> currentStations, std::vector<int32_t> earlierStations,
                           std::vector<SAlignTie> ties)
{
    SAlignment a;
    a.method = EAlignMethod::Pipeline;
    a.ties = std::move(ties);
    a.currentMetres = std::move(currentStations);
    a.earlierMetres = std::move(earlierStations);
    SetResiduals(a);
    return a;
}
