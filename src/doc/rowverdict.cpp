// SPDX-License-Identifier: GPL-3.0-or-later
#include "rowverdict.h"

#include "metreindex.h"
#include "tredoc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

const char* const kStatusIds[] = {"notAssessed", "over", "protected", "protected100", "unprotected"};
const char* const kStatusNames[] = {
    "nicht bewertbar", "Grenzpotential unterschritten", "geschützt", "geschützt (100-mV-Kriterium)", "nicht geschützt",
};
const char* const kBasisIds[] = {"", "irfree", "off"};

// The 100 mV criterion: the native potential at least this far above the
// potential off.
constexpr int64_t kPolarisation = 100; // mV

template <typename T> T Entry(const std::vector<T>& v, int r, T absent)
{
    return v.empty() || static_cast<size_t>(r) > v.size() ? absent : v[static_cast<size_t>(r - 1)];
}

// The IR-free potential is trusted only where the lateral signal is strong
// and its gradients look like current flowing out of one defect: the on
// gradient away from the pipe and the off gradient pointing the same way,
// but clearly weaker. Elsewhere rounding and noise of a few tenths decide it.
bool IRFreeUsable(int32_t gradOn, int32_t gradOff, int64_t d, const SVerdictSettings& s)
{
    if (d < s.irfreeMinDiff) return false;
    const int64_t sign = gradOn < 0 ? -1 : 1;
    const int64_t a = sign * gradOn, b = sign * gradOff;
    return a > 0 && b >= 0 && AtMostTimes(b, s.irfreeMaxRatio, a);
}

// A row's position and readings, and whether they can be assessed.
SVerdictRow ReadRow(const CTreDoc& doc, int r, const SRowOverrides& o)
{
    SVerdictRow v;
    v.row = r;
    v.metre = doc.GetMeter(r);
    const double given = Entry(o.position, r, std::nan(""));
    v.position = std::isfinite(given) ? std::llround(given * 100) : int64_t{v.metre} * 100;
    const int32_t gradOn = doc.GetGradOn(r), gradOff = doc.GetGradOff(r);
    if (IsPresent(gradOn) && IsPresent(gradOff)) v.gradDiff = std::abs(int64_t{gradOn} - gradOff);
    v.validity = RowValidity(doc.GetPotOn(r), doc.GetPotOff(r));
    return v;
}

// |on - off| of a point with both potentials; NO_VALUE without.
int64_t Swing(const CTreDoc& doc, int r)
{
    const int32_t on = doc.GetPotOn(r), off = doc.GetPotOff(r);
    return IsPresent(on) && IsPresent(off) ? std::abs(int64_t{on} - off) : int64_t{NO_VALUE};
}

// Runs of points whose swing is too small for an interrupter that switches
// with the logger (rowverdict.h). Compared in whole numbers: |on - off| <=
// 0.2 M is 10 |on - off| <= 2 M, and twice the median of an even count is
// the sum of its two middle values.
void MarkIRDropSmall(const CTreDoc& doc, std::vector<SVerdictRow>& rows)
{
    std::vector<int64_t> swings;
    for (const SVerdictRow& v : rows)
        if (const int64_t s = Swing(doc, v.row); s != NO_VALUE) swings.push_back(s);
    if (swings.size() < static_cast<size_t>(kIRDropBase)) return;
    const size_t mid = swings.size() / 2;
    std::nth_element(swings.begin(), swings.begin() + static_cast<std::ptrdiff_t>(mid), swings.end());
    int64_t twiceMedian = 2 * swings[mid];
    if (swings.size() % 2 == 0)
        twiceMedian
            = swings[mid] + *std::max_element(swings.begin(), swings.begin() + static_cast<std::ptrdiff_t>(mid));

    auto small = [&](size_t k) {
        if (rows[k].validity != EValidity::Valid) return false;
        const int64_t s = Swing(doc, rows[k].row);
        return s != NO_VALUE && (s <= kIRDropFloor || 10 * s <= twiceMedian);
    };
    for (size_t k = 0; k < rows.size();) {
        size_t end = k;
        while (end < rows.size() && small(end)) ++end;
        if (end - k >= static_cast<size_t>(kIRDropRun))
            for (size_t i = k; i < end; ++i) rows[i].validity = EValidity::IRDropSmall;
        k = end > k ? end : k + 1;
    }
}

// The native survey for the 100 mV criterion; `doc` nullptr: none.
struct SNative {
    const CTreDoc* doc;
    const std::vector<SMetreRow>& rows; // by metre, unless paired by alignment
    bool byAlignment;                   // the overrides' nativeRow pairs each row
};

// The native potential (its off, else its on) of the row paired with `v`
// minus v's potential off, mV; NO_VALUE without a partner or a value.
int32_t Polarisation(const CTreDoc& doc, const SVerdictRow& v, const SNative& native, const SRowOverrides& o)
{
    if (!native.doc) return NO_VALUE;
    const int nr = native.byAlignment ? Entry(o.nativeRow, v.row, 0) : FirstRowWithMetre(native.rows, v.metre);
    if (nr < 1 || nr > native.doc->GetRowCount()) return NO_VALUE;
    const int32_t nativeOff = native.doc->GetPotOff(nr);
    const int32_t en = IsPresent(nativeOff) ? nativeOff : native.doc->GetPotOn(nr);
    if (!IsPresent(en)) return NO_VALUE;
    const int64_t shift = int64_t{en} - doc.GetPotOff(v.row);
    return shift >= INT32_MIN && shift <= INT32_MAX && shift != NO_VALUE ? static_cast<int32_t>(shift) : NO_VALUE;
}

// The verdict on a valid point: E*, its status and whether it is only just
// protected.
void JudgeRow(const CTreDoc& doc, SVerdictRow& v, const SVerdictSettings& settings,
              const SProtectionCriterion& criterion, const SNative& native, const SRowOverrides& o)
{
    const int r = v.row;
    const int32_t off = doc.GetPotOff(r);
    int32_t irfree = NO_VALUE;
    if (IsPresent(v.gradDiff) && IRFreeUsable(doc.GetGradOn(r), doc.GetGradOff(r), v.gradDiff, settings))
        irfree = doc.GetPotIRFree(r);
    v.irfreeUsable = IsPresent(irfree);
    v.basis = v.irfreeUsable ? EVerdictBasis::IRFree : EVerdictBasis::Off;
    v.value = v.irfreeUsable ? irfree : off;

    const int32_t epGiven = Entry(o.protectionPotential, r, NO_VALUE);
    const int32_t elGiven = Entry(o.limitPotential, r, NO_VALUE);
    v.protection = IsPresent(epGiven) ? epGiven : criterion.protection;
    const int64_t ep = v.protection;
    const int64_t el = IsPresent(elGiven) ? elGiven : criterion.limitPotential;
    const int8_t allow = Entry(o.allow100mV, r, int8_t{-1});
    // Where sulphate-reducing bacteria are expected (the reason for -950 mV)
    // polarisation proves nothing; only a section that says so admits it.
    const bool use100 = allow < 0 ? settings.use100mV && v.protection > kAnaerobicProtection : allow > 0;
    const int64_t margin = std::max<int32_t>(0, settings.margin);
    if (v.value < el) {
        v.status = EVerdictStatus::Over;
        return;
    }
    if (v.value <= ep) {
        v.status = EVerdictStatus::Protected;
        v.marginal = v.value >= ep - margin;
        return;
    }
    v.status = EVerdictStatus::Unprotected;
    // Kept wherever the criterion is asked, admitted or not, so the report
    // can show how far a point was polarised.
    v.polarisation = Polarisation(doc, v, native, o);
    if (!use100 || !IsPresent(v.polarisation) || v.polarisation < kPolarisation) return;
    v.status = EVerdictStatus::Protected100;
    v.marginal = v.polarisation <= kPolarisation + margin;
}

} // namespace

EValidity RowValidity(int32_t on, int32_t off)
{
    if (!IsPresent(off)) return EValidity::OffMissing;
    const bool hasOn = IsPresent(on);
    if (off >= 0 || (hasOn && on >= 0)) return EValidity::Positive;
    if (hasOn && on == off) return EValidity::OnEqualsOff;
    if (hasOn && off < on) return EValidity::OffBelowOn;
    return EValidity::Valid;
}

const char* VerdictStatusId(EVerdictStatus s) { return kStatusIds[static_cast<int>(s)]; }
const char* VerdictStatusName(EVerdictStatus s) { return kStatusNames[static_cast<int>(s)]; }
const char* VerdictBasisId(EVerdictBasis b) { return kBasisIds[static_cast<int>(b)]; }

int64_t LengthSetting(double metres) { return metres > 0 ? std::llround(metres * 100) : 0; }

// A relative slack of 1e-12 is far below a tenth of a mV on any value a
// survey holds, and far above the error of a decimal factor in binary.
bool AtLeastTimes(int64_t x, double factor, int64_t y)
{
    const double product = factor * static_cast<double>(y);
    return static_cast<double>(x) >= product - 1e-12 * std::abs(product);
}

bool AtMostTimes(int64_t x, double factor, int64_t y)
{
    const double product = factor * static_cast<double>(y);
    return static_cast<double>(x) <= product + 1e-12 * std::abs(product);
}

int SurveyDirection(const std::vector<SVerdictRow>& rows, int64_t gap)
{
    int64_t sum = 0;
    for (size_t k = 1; k < rows.size(); ++k) {
        const int64_t step = rows[k].position - rows[k - 1].position;
        if (std::abs(step) <= gap) sum += step;
    }
    if (sum != 0) return sum < 0 ? -1 : 1;
    return !rows.empty() && rows.back().position < rows.front().position ? -1 : 1;
}

bool StartsRun(const std::vector<SVerdictRow>& rows, size_t k, int direction, int64_t gap)
{
    return k > 0 && (rows[k].position - rows[k - 1].position) * direction < -gap;
}

std::vector<SVerdictRow> JudgeRows(const CTreDoc& doc, const SVerdictSettings& settings,
                                   const SProtectionCriterion& criterion, const CTreDoc* native,
                                   const SRowOverrides* overrides)
{
    const SRowOverrides none;
    const SRowOverrides& o = overrides ? *overrides : none;
    std::vector<SVerdictRow> rows;
    const int n = doc.GetRowCount();
    rows.reserve(static_cast<size_t>(n));
    for (int r = 1; r <= n; ++r)
        if (IsPresent(doc.GetMeter(r))) rows.push_back(ReadRow(doc, r, o));
    MarkIRDropSmall(doc, rows);

    // Paired as the alignment of both surveys pairs them; without one, by
    // the recorded metre.
    const bool byAlignment = !o.nativeRow.empty();
    std::vector<SMetreRow> nativeRows;
    if (native && !byAlignment) nativeRows = FirstRowsByMetre(*native);
    const SNative polarisation{native, nativeRows, byAlignment};
    for (SVerdictRow& v : rows)
        if (v.validity == EValidity::Valid) JudgeRow(doc, v, settings, criterion, polarisation, o);

    const int64_t gap = LengthSetting(settings.gap);
    const int direction = SurveyDirection(rows, gap);
    for (size_t k = 1; k < rows.size(); ++k)
        rows[k].run = rows[k - 1].run + (StartsRun(rows, k, direction, gap) ? 1 : 0);

    // The zone of influence: half the way to each neighbour, but no point
    // stands for more than half the gap on a side, so a missed stretch is
    // not counted as measured; and none across a counter reset, where the
    // neighbour's position belongs to another run.
    for (size_t k = 0; k < rows.size(); ++k) {
        int64_t twice = 0, low = 0, high = 0; // hundredths of a metre, twice the weight and its sides
        for (const size_t n : {k - 1, k + 1}) {
            if (n >= rows.size() || rows[n].run != rows[k].run) continue; // k - 1 wraps round at the first
            const int64_t d = rows[n].position - rows[k].position, reach = std::min(std::abs(d), gap);
            twice += reach;
            if (d < 0) low = std::max(low, reach);
            else if (d > 0) high = std::max(high, reach);
        }
        rows[k].weight = static_cast<double>(twice) / 200.0;
        rows[k].zoneLow = static_cast<double>(low) / 200.0;
        rows[k].zoneHigh = static_cast<double>(high) / 200.0;
    }
    return rows;
}
