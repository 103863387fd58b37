// SPDX-License-Identifier: GPL-3.0-or-later
#include "plausibility.h"

#include "tredoc.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

const char* const kIds[] = {
    "metreMissing", "offMissing",    "positive",         "onEqualsOff",  "offBelowOn",
    "irDropSmall",  "spike",         "gradientNegative", "metreOrder",   "gap",
    "counterReset", "gpsInaccurate", "gpsInterpolated",  "outsideRoute", "gpsOffRoute",
};
const char* const kNames[] = {
    "Meter fehlt",
    "Aus-Potential fehlt",
    "Potential positiv (Anschluss prüfen)",
    "Ein gleich Aus (Unterbrecher prüfen)",
    "Aus negativer als Ein",
    "Ein-Aus-Differenz zu klein (Unterbrecher prüfen)",
    "Ausreißer",
    "Gradient negativ (Elektroden vertauscht?)",
    "Meter nicht fortlaufend",
    "Messlücke",
    "Zählerstand zurückgesetzt",
    "GPS ungenau",
    "GPS interpoliert",
    "außerhalb der Trasse",
    "GPS-Position neben der Trasse",
};
static_assert(std::size(kIds) == kPlausibilityCount && std::size(kNames) == kPlausibilityCount);

// A spike can be one to three points wide; wider, it is a stretch.
constexpr size_t kLongestSpike = 3;

class CWarnings {
public:
    CWarnings(const std::vector<SVerdictRow>& rows, std::vector<SPlausibilityWarning>& out)
        : m_rows(rows)
        , m_out(out)
    { }

    // Points first..last (indices into the rows).
    void Add(EPlausibility kind, size_t first, size_t last)
    {
        const SVerdictRow &a = m_rows[first], &b = m_rows[last];
        m_out.push_back({kind, a.row, b.row, a.metre, b.metre, static_cast<int>(last - first + 1)});
    }

    // Every maximal run of points for which `hit(k)` holds.
    template <typename Hit> void Runs(EPlausibility kind, Hit hit)
    {
        const size_t m = m_rows.size();
        for (size_t k = 0; k < m;) {
            if (!hit(k)) {
                ++k;
                continue;
            }
            size_t last = k;
            while (last + 1 < m && hit(last + 1)) ++last;
            Add(kind, k, last);
            k = last + 1;
        }
    }

private:
    const std::vector<SVerdictRow>& m_rows;
    std::vector<SPlausibilityWarning>& m_out;
};

struct SSpan {
    size_t first, last;
};

// Scanning upwards, the shortest run of 1-3 points standing out by more
// than `s` from both its neighbours, all above or all below them; the scan
// goes on behind it.
std::vector<SSpan> Spikes(const std::vector<int32_t>& v, int64_t s)
{
    std::vector<SSpan> out;
    const size_t m = v.size();
    for (size_t r = 1; r + 1 < m;) {
        // Every point of a spike stands out from the one before it: most
        // points fail here already.
        if (!IsPresent(v[r - 1]) || !IsPresent(v[r]) || std::abs(int64_t{v[r]} - v[r - 1]) <= s) {
            ++r;
            continue;
        }
        bool found = false;
        for (size_t last = r; last < r + kLongestSpike && last + 1 < m && IsPresent(v[last]); ++last) {
            const int32_t before = v[r - 1], after = v[last + 1];
            if (!IsPresent(before) || !IsPresent(after)) continue;
            const int64_t high = std::max(before, after), low = std::min(before, after);
            bool above = true, below = true;
            for (size_t k = r; k <= last; ++k) {
                above = above && v[k] > high + s;
                below = below && v[k] < low - s;
            }
            if (above || below) {
                out.push_back({r, last});
                r = last + 1;
                found = true;
                break;
            }
        }
        if (!found) ++r;
    }
    return out;
}

} // namespace

const char* PlausibilityId(EPlausibility w) { return kIds[static_cast<int>(w)]; }
const char* PlausibilityName(EPlausibility w) { return kNames[static_cast<int>(w)]; }

std::string PlausibilityLabel(const SPlausibilityWarning& w)
{
    if (w.kind == EPlausibility::GpsOffRoute && IsPresent(w.offset))
        return "GPS-Position " + std::to_string(w.offset) + " m neben der Trasse";
    return PlausibilityName(w.kind);
}

std::string PlausibilityText(const SPlausibilityWarning& w)
{
    std::string text = PlausibilityLabel(w) + " (";
    text += w.firstRow == w.lastRow ? "Zeile " + std::to_string(w.firstRow)
                                    : "Zeilen " + std::to_string(w.firstRow) + " bis " + std::to_string(w.lastRow);
    const bool placed = w.kind != EPlausibility::MetreMissing && w.kind != EPlausibility::CounterReset
                        && IsPresent(w.fromMetre) && IsPresent(w.toMetre);
    if (placed) {
        text += ", " + std::to_string(w.fromMetre);
        if (w.toMetre != w.fromMetre || w.firstRow != w.lastRow) text += " bis " + std::to_string(w.toMetre);
        text += " m";
    }
    return text + ")";
}

std::vector<SPlausibilityWarning> FindPlausibilityWarnings(const CTreDoc& doc, const std::vector<SVerdictRow>& rows,
                                                           const SVerdictSettings& settings)
{
    std::vector<SPlausibilityWarning> out;
    const int n = doc.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        if (IsPresent(doc.GetMeter(r))) continue;
        if (!out.empty() && out.back().lastRow == r - 1) {
            out.back().lastRow = r;
            ++out.back().rows;
        } else {
            out.push_back({EPlausibility::MetreMissing, r, r, NO_VALUE, NO_VALUE, 1});
        }
    }

    CWarnings w(rows, out);
    const std::pair<EPlausibility, EValidity> kinds[] = {
        {EPlausibility::OffMissing, EValidity::OffMissing},   {EPlausibility::Positive, EValidity::Positive},
        {EPlausibility::OnEqualsOff, EValidity::OnEqualsOff}, {EPlausibility::OffBelowOn, EValidity::OffBelowOn},
        {EPlausibility::IRDropSmall, EValidity::IRDropSmall},
    };
    for (const auto& [kind, validity] : kinds)
        w.Runs(kind, [&, validity = validity](size_t k) { return rows[k].validity == validity; });

    const size_t m = rows.size();
    std::vector<int32_t> off(m), on(m);
    for (size_t k = 0; k < m; ++k) {
        off[k] = doc.GetPotOff(rows[k].row);
        on[k] = doc.GetPotOn(rows[k].row);
    }
    std::vector<SSpan> spikes = Spikes(off, settings.spike);
    std::vector<bool> offSpike(m, false);
    for (const SSpan& s : spikes) std::fill(offSpike.begin() + s.first, offSpike.begin() + s.last + 1, true);
    for (const SSpan& s : Spikes(on, settings.spike))
        if (std::none_of(offSpike.begin() + s.first, offSpike.begin() + s.last + 1, [](bool b) { return b; }))
            spikes.push_back(s);
    std::sort(spikes.begin(), spikes.end(), [](const SSpan& a, const SSpan& b) { return a.first < b.first; });
    for (const SSpan& s : spikes) w.Add(EPlausibility::Spike, s.first, s.last);

    // Swapped electrodes turn every on gradient negative; one side alone may
    // be a real current flowing toward the pipe.
    w.Runs(EPlausibility::GradientNegative, [&](size_t k) {
        const int32_t left = doc.GetGradOnL(rows[k].row), right = doc.GetGradOnR(rows[k].row);
        return (IsPresent(left) || IsPresent(right)) && (!IsPresent(left) || left < 0)
               && (!IsPresent(right) || right < 0);
    });

    const int64_t gap = LengthSetting(settings.gap);
    const int direction = SurveyDirection(rows, gap);
    const auto step = [&](size_t k) { return rows[k].position - rows[k - 1].position; };
    w.Runs(EPlausibility::MetreOrder,
           [&](size_t k) { return k > 0 && step(k) * direction <= 0 && !StartsRun(rows, k, direction, gap); });
    // A run of gap steps k..last (each from the point before): the points
    // k - 1 .. last, so the warning names where the measuring stopped and
    // where it went on.
    const auto gapStep = [&](size_t k) { return k > 0 && step(k) * direction > gap; };
    for (size_t k = 1; k < m; ++k) {
        if (!gapStep(k)) continue;
        size_t last = k;
        while (last + 1 < m && gapStep(last + 1)) ++last;
        w.Add(EPlausibility::Gap, k - 1, last);
        k = last;
    }
    for (size_t k = 1; k < m; ++k)
        if (StartsRun(rows, k, direction, gap)) w.Add(EPlausibility::CounterReset, k, k);
    // Another logger's fixes that the file itself doubts.
    const auto fix = [&](size_t k) -> const CRowExtra* {
        const CRowExtra* e = doc.RowExtra(rows[k].row);
        return e && e->HasPosition() ? e : nullptr;
    };
    w.Runs(EPlausibility::GpsInaccurate, [&](size_t k) { return fix(k) && fix(k)->pdop > kMaxPdop; });
    w.Runs(EPlausibility::GpsInterpolated, [&](size_t k) { return fix(k) && fix(k)->interpolated; });
    return out;
}
