// SPDX-License-Identifier: GPL-3.0-or-later
#include "defects.h"

#include "commentkey.h"
#include "numtext.h"
#include "tredoc.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <limits>
#include <map>
#include <set>
#include <span>
#include <tuple>

namespace {

const char* const kCategoryNames[] = {"", "I gering", "II mittel", "III erheblich", "IV schwer"};
const char* const kSideIds[] = {"", "L", "R", "LR"};
const char* const kActionNames[] = {
    "umgehend aufgraben", "Aufgrabung planen", "bei nächster Messung beobachten",
    "keine Maßnahme",     "nicht einstufbar",  "Schutz nachstellen und nachmessen",
    "nachmessen",
};
const char* const kActionIds[]
    = {"digNow", "planDig", "observe", "noAction", "notGraded", "adjustProtection", "remeasure"};
static_assert(std::size(kActionNames) == kDigActionCount && std::size(kActionIds) == kDigActionCount);

struct SPoint {
    int run;
    int64_t position;
    int row;
    int64_t d;
    size_t index; // into the rows
    int rank;     // of d among the distinct values, from 1
};

// A multiset of D values with the k-th smallest in O(log N): a Fenwick tree
// over the ranks of the distinct values, so a sliding median over dense
// surveys stays N log N instead of sorting every window.
class COrderStatistics {
public:
    // Gives every point the rank of its D. Values in a narrow range (D is a
    // few hundred tenths on any real survey) are their own ranks; only a
    // wide range is sorted down to its distinct values.
    explicit COrderStatistics(std::span<SPoint> pts)
    {
        int64_t lo = pts.front().d, hi = lo;
        for (const SPoint& p : pts) {
            lo = std::min(lo, p.d);
            hi = std::max(hi, p.d);
        }
        if (hi - lo <= 4 * static_cast<int64_t>(pts.size()) + 1024) {
            for (int64_t v = lo; v <= hi; ++v) m_values.push_back(v);
            for (SPoint& p : pts) p.rank = static_cast<int>(p.d - lo) + 1;
        } else {
            for (const SPoint& p : pts) m_values.push_back(p.d);
            std::sort(m_values.begin(), m_values.end());
            m_values.erase(std::unique(m_values.begin(), m_values.end()), m_values.end());
            for (SPoint& p : pts)
                p.rank
                    = static_cast<int>(std::lower_bound(m_values.begin(), m_values.end(), p.d) - m_values.begin()) + 1;
        }
        m_tree.assign(m_values.size() + 1, 0);
        while ((m_top << 1) <= m_values.size()) m_top <<= 1;
    }

    void Add(int rank, int delta)
    {
        for (size_t k = static_cast<size_t>(rank); k < m_tree.size(); k += k & (~k + 1)) m_tree[k] += delta;
        m_count += delta;
    }

    // Twice the median (so a mean of two middle values stays whole); 0 when empty.
    int64_t TwiceMedian() const
    {
        if (m_count == 0) return 0;
        if (m_count % 2 == 1) return 2 * Kth((m_count + 1) / 2);
        return Kth(m_count / 2) + Kth(m_count / 2 + 1);
    }

private:
    // 1 <= k <= m_count.
    int64_t Kth(int k) const
    {
        size_t pos = 0;
        for (size_t step = m_top; step > 0; step >>= 1) {
            if (pos + step < m_tree.size() && m_tree[pos + step] < k) {
                pos += step;
                k -= m_tree[pos];
            }
        }
        return m_values[pos];
    }

    std::vector<int64_t> m_values; // by rank: distinct, ascending
    std::vector<int> m_tree;       // 1-based counts by rank
    size_t m_top = 1;              // highest power of two within the ranks
    int m_count = 0;
};

// Twice the background of the points (sorted by position) for which `wanted`
// holds, 0 for the others: the median of D over the points more than
// `window` and at most `reach` away, kept as two sliding ranges on either side.
std::vector<int64_t> TwiceBackgrounds(std::span<SPoint> pts, const std::vector<bool>& wanted, int64_t window,
                                      int64_t reach)
{
    const size_t m = pts.size();
    std::vector<int64_t> out(m, 0);
    if (window >= reach || std::none_of(wanted.begin(), wanted.end(), [](bool b) { return b; })) return out;
    COrderStatistics set(pts);
    size_t leftFrom = 0, leftTo = 0, rightFrom = 0, rightTo = 0; // [from, to)
    for (size_t i = 0; i < m; ++i) {
        const int64_t at = pts[i].position;
        for (; rightTo < m && pts[rightTo].position <= at + reach; ++rightTo) set.Add(pts[rightTo].rank, +1);
        for (; rightFrom < m && pts[rightFrom].position <= at + window; ++rightFrom) set.Add(pts[rightFrom].rank, -1);
        for (; leftTo < m && pts[leftTo].position < at - window; ++leftTo) set.Add(pts[leftTo].rank, +1);
        for (; leftFrom < m && pts[leftFrom].position < at - reach; ++leftFrom) set.Add(pts[leftFrom].rank, -1);
        if (wanted[i]) out[i] = set.TwiceMedian();
    }
    return out;
}

// Whether each point (sorted by position) holds the largest D within
// `window` of it, an equal D counting as larger at a lower row.
std::vector<bool> LocalPeaks(std::span<const SPoint> pts, int64_t window)
{
    auto above
        = [&](size_t a, size_t b) { return pts[a].d > pts[b].d || (pts[a].d == pts[b].d && pts[a].row < pts[b].row); };
    const size_t m = pts.size();
    std::vector<bool> out(m, false);
    std::deque<size_t> best; // in the window, each above all after it
    size_t from = 0, to = 0;
    for (size_t i = 0; i < m; ++i) {
        const int64_t at = pts[i].position;
        for (; to < m && pts[to].position <= at + window; ++to) {
            while (!best.empty() && above(to, best.back())) best.pop_back();
            best.push_back(to);
        }
        while (pts[from].position < at - window) ++from;
        while (best.front() < from) best.pop_front();
        out[i] = best.front() == i;
    }
    return out;
}

// %IR in tenths of a per cent, half away from zero: 100 D / (10 |on - off| + D),
// both terms in tenths of a mV.
int32_t IRPercentTenths(int64_t d, int32_t on, int32_t off)
{
    const int64_t whole = 10 * std::abs(int64_t{on} - off) + d;
    if (whole <= 0) return NO_VALUE;
    return static_cast<int32_t>((2000 * d + whole) / (2 * whole));
}

int Category(int32_t irTenths, const std::array<double, 3>& bounds)
{
    if (!IsPresent(irTenths)) return 0;
    const double ir = irTenths / 10.0; // the same double as the decimal text of the bound
    for (int c = 0; c < 3; ++c)
        if (ir <= bounds[static_cast<size_t>(c)]) return c + 1;
    return 4;
}

EDefectSide Side(const CTreDoc& doc, int r)
{
    const int32_t onL = doc.GetGradOnL(r), offL = doc.GetGradOffL(r);
    const int32_t onR = doc.GetGradOnR(r), offR = doc.GetGradOffR(r);
    const bool left = IsPresent(onL) && IsPresent(offL), right = IsPresent(onR) && IsPresent(offR);
    if (!left) return right ? EDefectSide::Right : EDefectSide::None;
    if (!right) return EDefectSide::Left;
    const int64_t l = std::abs(int64_t{onL} - offL), rr = std::abs(int64_t{onR} - offR);
    return l > rr ? EDefectSide::Left : rr > l ? EDefectSide::Right : EDefectSide::Both;
}

// The commented points by counter run and position, one per position (its
// lowest row), and which comments stand at more than one place.
class CLandmarks {
public:
    CLandmarks(const CTreDoc& doc, const std::vector<SVerdictRow>& rows, int64_t gap)
        : m_doc(doc)
        , m_direction(SurveyDirection(rows, gap))
    {
        std::set<std::tuple<std::string, int, int64_t>> places; // key, run, position
        for (const SVerdictRow& v : rows) {
            if (!doc.HasComment(v.row) || !IsLandmarkComment(doc.GetComment(v.row))) continue;
            m_marks.push_back({v.run, v.position, v.row, v.metre});
            places.emplace(CommentKey(doc.GetComment(v.row)), v.run, v.position);
        }
        for (const auto& place : places) ++m_places[std::get<0>(place)];
        std::sort(m_marks.begin(), m_marks.end());
        m_marks.erase(
            std::unique(m_marks.begin(), m_marks.end(),
                        [](const Mark& a, const Mark& b) { return a.run == b.run && a.position == b.position; }),
            m_marks.end());
    }

    SDefectLandmark Nearest(int run, int64_t position) const
    {
        SDefectLandmark lm;
        const auto from
            = std::lower_bound(m_marks.begin(), m_marks.end(), Mark{run, std::numeric_limits<int64_t>::min(), 0, 0});
        const auto to = std::lower_bound(from, m_marks.end(), Mark{run + 1, std::numeric_limits<int64_t>::min(), 0, 0});
        if (from == to) return lm;
        auto it = std::lower_bound(from, to, Mark{run, position, 0, 0});
        const Mark* best = it != to ? &*it : nullptr;
        if (it != from) {
            const Mark& below = *(it - 1);
            const int64_t dBelow = position - below.position;
            if (!best || dBelow < best->position - position
                || (dBelow == best->position - position && below.row < best->row))
                best = &below;
        }
        lm.found = true;
        lm.row = best->row;
        lm.metre = best->metre;
        lm.position = best->position;
        lm.comment = m_doc.GetComment(best->row);
        lm.ahead = (position - best->position) * m_direction;
        lm.repeated = m_places.at(CommentKey(lm.comment)) > 1;
        lm.text = DefectLandmarkText(lm);
        return lm;
    }

private:
    struct Mark {
        int run;
        int64_t position;
        int row;
        int32_t metre;
        auto operator<=>(const Mark&) const = default;
    };
    const CTreDoc& m_doc;
    int m_direction;
    std::vector<Mark> m_marks;
    std::map<std::string, int> m_places; // places per comment key
};

int CategoryRank(int category) { return category == 0 ? 4 : 4 - category; }

// Marginal points are acted on as not protected, so they are listed with them.
int StatusRank(const SCoatingDefect& d)
{
    switch (d.status) {
    case EVerdictStatus::Unprotected: return 0;
    case EVerdictStatus::Over: return 2;
    case EVerdictStatus::NotAssessed: return 3;
    case EVerdictStatus::Protected100: return d.marginal ? 1 : 4;
    case EVerdictStatus::Protected: return d.marginal ? 1 : 5;
    }
    return 6;
}

// The peaks of one counter run's points (sorted by position), each as its
// index into the rows with twice its background.
void RunPeaks(std::span<SPoint> pts, const SVerdictSettings& settings, std::vector<std::pair<size_t, int64_t>>& found)
{
    const int64_t window = LengthSetting(settings.defectWindow);
    // Peaks lie more than the window apart: few points need a background.
    std::vector<bool> candidate = LocalPeaks(pts, window);
    for (size_t i = 0; i < pts.size(); ++i) candidate[i] = candidate[i] && pts[i].d >= settings.defectMin;
    const std::vector<int64_t> twiceB = TwiceBackgrounds(pts, candidate, window, LengthSetting(settings.background));
    for (size_t i = 0; i < pts.size(); ++i)
        if (candidate[i] && AtLeastTimes(2 * pts[i].d, settings.defectFactor, twiceB[i]))
            found.emplace_back(pts[i].index, twiceB[i]);
}

} // namespace

const char* DefectCategoryName(int category) { return category >= 1 && category <= 4 ? kCategoryNames[category] : ""; }
const char* DefectSideId(EDefectSide s) { return kSideIds[static_cast<int>(s)]; }
const char* DigActionName(EDigAction a) { return kActionNames[static_cast<int>(a)]; }
const char* DigActionId(EDigAction a) { return kActionIds[static_cast<int>(a)]; }

std::string DefectLandmarkText(const SDefectLandmark& lm)
{
    if (!lm.found) return {};
    const std::string quoted = "„" + lm.comment + "“";
    const std::string place = tresnum::HundredthsText(lm.position) + " m";
    if (lm.ahead == 0) return "bei " + quoted + (lm.repeated ? " (" + place + ")" : "");
    return tresnum::HundredthsText(std::abs(lm.ahead)) + (lm.ahead > 0 ? " m nach " : " m vor ") + quoted
           + (lm.repeated ? " bei " + place : "");
}

std::string DefectStatusText(const SCoatingDefect& d)
{
    std::string t = VerdictStatusName(d.status);
    if (d.marginal) t += std::string(", ") + kMarginalMark;
    return t;
}

EDigAction DigActionFor(int category, EVerdictStatus status, bool marginal)
{
    if (status == EVerdictStatus::NotAssessed) return EDigAction::Remeasure;
    if (category < 1 || category > 4) return EDigAction::NotGraded;
    const bool protectedOnlyJust
        = marginal && (status == EVerdictStatus::Protected || status == EVerdictStatus::Protected100);
    if (status == EVerdictStatus::Unprotected || protectedOnlyJust)
        return category == 1 ? EDigAction::AdjustProtection : EDigAction::DigNow;
    switch (category) {
    case 4: return EDigAction::DigNow;
    case 3: return EDigAction::PlanDig;
    case 2: return EDigAction::Observe;
    default: return EDigAction::NoAction;
    }
}

std::vector<SCoatingDefect> FindDefects(const CTreDoc& doc, const std::vector<SVerdictRow>& rows,
                                        const SVerdictSettings& settings)
{
    std::vector<SPoint> pts;
    for (size_t k = 0; k < rows.size(); ++k)
        if (IsPresent(rows[k].gradDiff) && rows[k].validity != EValidity::IRDropSmall)
            pts.push_back({rows[k].run, rows[k].position, rows[k].row, rows[k].gradDiff, k, 0});
    auto byPosition = [](const SPoint& a, const SPoint& b) {
        return std::tie(a.run, a.position, a.row) < std::tie(b.run, b.position, b.row);
    };
    if (!std::is_sorted(pts.begin(), pts.end(), byPosition)) std::sort(pts.begin(), pts.end(), byPosition);
    std::vector<std::pair<size_t, int64_t>> found; // index into the rows, twice the background
    for (size_t from = 0, to = 0; from < pts.size(); from = to) {
        while (to < pts.size() && pts[to].run == pts[from].run) ++to;
        RunPeaks(std::span<SPoint>(pts).subspan(from, to - from), settings, found);
    }
    std::sort(found.begin(), found.end());

    std::vector<SCoatingDefect> out;
    if (found.empty()) return out;
    const CLandmarks landmarks(doc, rows, LengthSetting(settings.gap));
    for (const auto& [index, twiceB] : found) {
        const SVerdictRow& v = rows[index];
        SCoatingDefect d;
        d.row = v.row;
        d.metre = v.metre;
        d.gradDiff = v.gradDiff;
        d.background = static_cast<double>(twiceB) / 2.0;
        d.potOn = doc.GetPotOn(v.row);
        d.potOff = doc.GetPotOff(v.row);
        // An interrupter that did not switch would read as a 100 % defect:
        // %IR only on assessed readings.
        if (v.validity == EValidity::Valid && IsPresent(d.potOn))
            d.irPercentTenths = IRPercentTenths(v.gradDiff, d.potOn, d.potOff);
        d.category = Category(d.irPercentTenths, settings.categories);
        d.side = Side(doc, v.row);
        if (v.irfreeUsable) d.potIRFree = doc.GetPotIRFree(v.row);
        d.status = v.status;
        d.marginal = v.marginal;
        d.landmark = landmarks.Nearest(v.run, v.position);
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<SDigItem> DigList(const std::vector<SCoatingDefect>& defects)
{
    std::vector<int> order(defects.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    auto key = [&](int i) {
        const SCoatingDefect& d = defects[static_cast<size_t>(i)];
        const int32_t ir = IsPresent(d.irPercentTenths) ? d.irPercentTenths : 0;
        return std::make_tuple(CategoryRank(d.category), StatusRank(d), -ir, d.row);
    };
    std::sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    std::vector<SDigItem> out;
    out.reserve(order.size());
    for (int i : order) {
        const SCoatingDefect& d = defects[static_cast<size_t>(i)];
        out.push_back({static_cast<int>(out.size()) + 1, i, DigActionFor(d.category, d.status, d.marginal)});
    }
    return out;
}
