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

int SurveyDirection(const std::vector<SVerdictRow>& rows)
{
    return !rows.empty() && rows.back().position < rows.front().position ? -1 : 1;
}

std::vector<SVerdictRow> JudgeRows(const CTreDoc& doc, const SVerdictSettings& settings,
                                   const SProtectionCriterion& criterion, const CTreDoc* native,
                                   const SRowOverrides* overrides)
{
    const SRowOverrides none;
    const SRowOverrides& o = overrides ? *overrides : none;
    // Paired as the alignment of both surveys pairs them; without one, by
    // the recorded metre.
    const bool byAlignment = !o.nativeRow.empty();
    std::vector<SMetreRow> nativeRows;
    if (native && !byAlignment) nativeRows = FirstRowsByMetre(*native);

    std::vector<SVerdictRow> rows;
    const int n = doc.GetRowCount();
    rows.reserve(static_cast<size_t>(n));
    for (int r = 1; r <= n; ++r) {
        const int32_t metre = doc.GetMeter(r);
        if (!IsPresent(metre)) continue;
        SVerdictRow v;
        v.row = r;
        v.metre = metre;
        const double given = Entry(o.position, r, std::nan(""));
        v.position = std::isfinite(given) ? std::llround(given * 100) : int64_t{metre} * 100;

        const int32_t on = doc.GetPotOn(r), off = doc.GetPotOff(r);
        const int32_t gradOn = doc.GetGradOn(r), gradOff = doc.GetGradOff(r);
        if (IsPresent(gradOn) && IsPresent(gradOff)) v.gradDiff = std::abs(int64_t{gradOn} - gradOff);
        v.validity = RowValidity(on, off);
        if (v.validity == EValidity::Valid) {
            int32_t irfree = NO_VALUE;
            if (IsPresent(v.gradDiff) && IRFreeUsable(gradOn, gradOff, v.gradDiff, settings))
                irfree = doc.GetPotIRFree(r);
            v.irfreeUsable = IsPresent(irfree);
            v.basis = v.irfreeUsable ? EVerdictBasis::IRFree : EVerdictBasis::Off;
            v.value = v.irfreeUsable ? irfree : off;

            const int32_t sectionEp = Entry(o.protectionPotential, r, NO_VALUE);
            const int32_t el = Entry(o.limitPotential, r, NO_VALUE);
            const int8_t allow = Entry(o.allow100mV, r, int8_t{-1});
            v.protection = IsPresent(sectionEp) ? sectionEp : criterion.protection;
            const bool use100 = allow < 0 ? settings.use100mV && v.protection > kAnaerobicProtection : allow > 0;
            const int32_t limit = IsPresent(el) ? el : criterion.limitPotential;
            // Only where the 100 mV criterion is asked at all: a point above
            // E_p and not below E_l.
            bool polarised = false; // by at least kPolarisation
            if (native && v.value >= limit && v.value > v.protection) {
                const int nr = byAlignment ? Entry(o.nativeRow, r, 0) : FirstRowWithMetre(nativeRows, metre);
                if (nr >= 1 && nr <= native->GetRowCount()) {
                    const int32_t nativeOff = native->GetPotOff(nr);
                    const int32_t en = IsPresent(nativeOff) ? nativeOff : native->GetPotOn(nr);
                    const int64_t shift = int64_t{en} - off;
                    if (IsPresent(en)) polarised = shift >= kPolarisation;
                    if (IsPresent(en) && shift >= INT32_MIN && shift <= INT32_MAX && shift != NO_VALUE)
                        v.polarisation = static_cast<int32_t>(shift);
                }
            }
            if (v.value < limit) v.status = EVerdictStatus::Over;
            else if (v.value <= v.protection) v.status = EVerdictStatus::Protected;
            else if (use100 && polarised) v.status = EVerdictStatus::Protected100;
            else v.status = EVerdictStatus::Unprotected;
        }
        rows.push_back(v);
    }

    // The zone of influence: half the way to each neighbour, but no point
    // stands for more than half the gap on a side, so a missed stretch is
    // not counted as measured.
    const int64_t gap = LengthSetting(settings.gap);
    for (size_t k = 0; k < rows.size(); ++k) {
        int64_t twice = 0; // hundredths of a metre, twice the weight
        if (k > 0) twice += std::min(std::abs(rows[k].position - rows[k - 1].position), gap);
        if (k + 1 < rows.size()) twice += std::min(std::abs(rows[k + 1].position - rows[k].position), gap);
        rows[k].weight = static_cast<double>(twice) / 200.0;
    }
    return rows;
}
