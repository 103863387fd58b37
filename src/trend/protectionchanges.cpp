// SPDX-License-Identifier: GPL-3.0-or-later
#include "protectionchanges.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace trestrend {

namespace {

bool Protected(EVerdictStatus s) { return s == EVerdictStatus::Protected || s == EVerdictStatus::Protected100; }

bool Failing(EVerdictStatus s) { return s == EVerdictStatus::Unprotected || s == EVerdictStatus::Over; }

// The rows by position, walked along the metres in order: the nearest row
// to each metre is found by moving forward only.
class CStatusAlong {
public:
    explicit CStatusAlong(const STrendSurvey& s)
    {
        for (const STrendRow& r : s.rows) m_rows.push_back({r.position, r.status});
        std::stable_sort(m_rows.begin(), m_rows.end(),
                         [](const SAt& a, const SAt& b) { return a.position < b.position; });
    }
    bool Empty() const { return m_rows.empty(); }
    double First() const { return m_rows.front().position; }
    double Last() const { return m_rows.back().position; }

    // For metres in increasing order.
    std::optional<EVerdictStatus> At(double c)
    {
        while (m_next + 1 < m_rows.size() && m_rows[m_next + 1].position <= c) ++m_next;
        // m_next is the last row at or before c (or the first row); the
        // nearest is it or the one after, the lower on a tie.
        size_t best = m_next;
        if (m_next + 1 < m_rows.size()
            && std::fabs(m_rows[m_next + 1].position - c) < std::fabs(m_rows[m_next].position - c))
            best = m_next + 1;
        if (std::fabs(m_rows[best].position - c) > kStatusReach) return std::nullopt;
        return m_rows[best].status;
    }

private:
    struct SAt {
        double position;
        EVerdictStatus status;
    };
    std::vector<SAt> m_rows;
    size_t m_next = 0;
};

void Add(SMetreRuns& runs, long long c)
{
    ++runs.length;
    if (!runs.intervals.empty() && runs.intervals.back().second == c) runs.intervals.back().second = c + 1;
    else runs.intervals.emplace_back(c, c + 1);
}

} // namespace

SProtectionChange ProtectionChange(const STrendSurvey& before, const STrendSurvey& after)
{
    SProtectionChange out;
    CStatusAlong was(before), is(after);
    if (was.Empty() || is.Empty()) return out;
    const long long first = static_cast<long long>(std::ceil(std::max(was.First(), is.First())));
    const long long last = static_cast<long long>(std::floor(std::min(was.Last(), is.Last())));
    for (long long c = first; c <= last; ++c) {
        const std::optional<EVerdictStatus> a = was.At(static_cast<double>(c));
        const std::optional<EVerdictStatus> b = is.At(static_cast<double>(c));
        if (!a || !b || *a == EVerdictStatus::NotAssessed || *b == EVerdictStatus::NotAssessed) continue;
        ++out.compared;
        if (Protected(*a) && Failing(*b)) Add(out.newlyUnprotected, c);
        else if (Failing(*a) && Protected(*b)) Add(out.reprotected, c);
    }
    return out;
}

} // namespace trestrend
