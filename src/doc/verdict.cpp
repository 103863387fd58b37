// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdict.h"

#include "commentkey.h"
#include "tredoc.h"

#include <cmath>
#include <cstdlib>

namespace {

// Lengths are whole hundredths of a metre, weights half of them: counted in
// two-hundredths they add up exactly, so a share never depends on the order
// of a floating sum.
constexpr double kUnitsPerMetre = 200.0;
int64_t Units(double metres) { return std::llround(metres * kUnitsPerMetre); }
double Metres(int64_t units) { return static_cast<double>(units) / kUnitsPerMetre; }

bool Worse(EVerdictStatus s, int32_t v, int32_t worst)
{
    if (s == EVerdictStatus::Unprotected) return v > worst;
    if (s == EVerdictStatus::Over) return v < worst;
    return false;
}

// The E_p range and the smallest polarisation of a stretch, point by point.
void FoldCriteria(SVerdictStretch& s, const SVerdictRow& v)
{
    if (IsPresent(v.protection)) {
        if (!IsPresent(s.protectionMin) || v.protection < s.protectionMin) s.protectionMin = v.protection;
        if (!IsPresent(s.protectionMax) || v.protection > s.protectionMax) s.protectionMax = v.protection;
    }
    if (IsPresent(v.polarisation) && (!IsPresent(s.minPolarisation) || v.polarisation < s.minPolarisation))
        s.minPolarisation = v.polarisation;
}

std::vector<SVerdictStretch> Stretches(const CTreDoc& doc, const std::vector<SVerdictRow>& rows)
{
    std::vector<SVerdictStretch> out;
    int64_t units = 0;
    for (size_t k = 0; k < rows.size(); ++k) {
        const SVerdictRow& v = rows[k];
        const bool tracksWorst = v.status == EVerdictStatus::Unprotected || v.status == EVerdictStatus::Over;
        if (k == 0 || v.status != rows[k - 1].status || v.run != rows[k - 1].run) {
            if (!out.empty()) out.back().length = Metres(units);
            SVerdictStretch s;
            s.status = v.status;
            s.firstRow = v.row;
            s.fromMetre = v.metre;
            if (tracksWorst) {
                s.worst = v.value;
                s.worstMetre = v.metre;
                s.worstRow = v.row;
            }
            out.push_back(s);
            units = 0;
        } else if (tracksWorst && Worse(v.status, v.value, out.back().worst)) {
            out.back().worst = v.value;
            out.back().worstMetre = v.metre;
            out.back().worstRow = v.row;
        }
        SVerdictStretch& s = out.back();
        FoldCriteria(s, v);
        s.lastRow = v.row;
        s.toMetre = v.metre;
        ++s.rows;
        units += Units(v.weight);
        if (v.status == EVerdictStatus::NotAssessed && doc.HasComment(v.row)
            && IsLandmarkComment(doc.GetComment(v.row))) {
            if (!s.comments.empty()) s.comments += "; ";
            s.comments += doc.GetComment(v.row);
        }
    }
    if (!out.empty()) out.back().length = Metres(units);
    return out;
}

void Summarise(SVerdict& result)
{
    const std::vector<SVerdictRow>& rows = result.rows;
    std::array<int64_t, kVerdictStatusCount> units{};
    int64_t gapUnits = 0, spanUnits = 0;
    const int64_t gap = LengthSetting(result.settings.gap);
    for (size_t k = 0, runStart = 0; k < rows.size(); ++k) {
        units[static_cast<size_t>(rows[k].status)] += Units(rows[k].weight);
        if (k > 0 && rows[k].run == rows[k - 1].run)
            gapUnits += 2 * std::max<int64_t>(0, std::abs(rows[k].position - rows[k - 1].position) - gap);
        if (k + 1 == rows.size() || rows[k + 1].run != rows[k].run) {
            spanUnits += 2 * std::abs(rows[k].position - rows[runStart].position);
            runStart = k + 1;
        }
    }
    for (const SVerdictStretch& s : result.stretches) ++result.statuses[static_cast<size_t>(s.status)].stretches;

    const int64_t notAssessed = units[static_cast<size_t>(EVerdictStatus::NotAssessed)];
    int64_t total = 0;
    for (int64_t u : units) total += u;
    const int64_t assessed = total - notAssessed;
    SVerdictCoverage& c = result.coverage;
    c.totalLength = Metres(total);
    c.assessedLength = Metres(assessed);
    c.notAssessedLength = Metres(notAssessed);
    c.gapLength = Metres(gapUnits);
    c.surveyedLength = Metres(spanUnits);
    c.assessedShareOfSurveyedTenths = AssessedShareTenths(c, c.surveyedLength);

    for (int i = 0; i < kVerdictStatusCount; ++i) {
        SStatusSummary& s = result.statuses[static_cast<size_t>(i)];
        const int64_t u = units[static_cast<size_t>(i)];
        s.length = Metres(u);
        s.shareTenths = ShareTenths(
            Metres(u), Metres(static_cast<EVerdictStatus>(i) == EVerdictStatus::NotAssessed ? total : assessed));
    }
    result.surveyLength = c.surveyedLength;
}

} // namespace

int32_t ShareTenths(double part, double whole)
{
    const int64_t p = Units(part), w = Units(whole);
    if (w <= 0) return NO_VALUE;
    const int64_t sign = p < 0 ? -1 : 1;
    return static_cast<int32_t>(sign * ((2000 * std::abs(p) + w) / (2 * w)));
}

int32_t AssessedShareTenths(const SVerdictCoverage& coverage, double baseLength)
{
    return ShareTenths(coverage.assessedLength, baseLength);
}

SVerdict AssessProtection(const CTreDoc& doc, const SVerdictSettings& settings, const CTreDoc* native,
                          const SRowOverrides* overrides)
{
    SVerdict result;
    result.settings = settings;
    result.nativeGiven = native != nullptr;
    result.criterion = SurveyProtectionCriterion(doc, settings.protectionPotential, settings.limitPotential);
    result.rows = JudgeRows(doc, settings, result.criterion, native, overrides);
    result.stretches = Stretches(doc, result.rows);
    Summarise(result);
    result.defects = FindDefects(doc, result.rows, settings);
    result.digList = DigList(result.defects);
    result.warnings = FindPlausibilityWarnings(doc, result.rows, settings);
    result.fileNotes = doc.Extras().notes;
    return result;
}
