// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment.h"

#include "failruns.h"
#include "numtext.h"
#include "tredoc.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

const char* const kCriterionIds[] = {"off", "irfree", "over", "graddiff"};
const char* const kCriterionNames[] = {
    "Aus-Potential zu positiv",
    "IR-freies Potential zu positiv",
    "Überschutz",
    "Fehlstellenverdacht",
};
const char* const kWarningIds[] = {"offBelowOn", "onEqualsOff", "spike", "metreOrder", "gap"};
const char* const kWarningNames[] = {
    "Aus negativer als Ein", "Ein gleich Aus", "Ausreißer", "Meter nicht fortlaufend", "Messlücke",
};

int64_t Distance(int32_t a, int32_t b) { return std::abs(int64_t{a} - b); }

// The value a criterion looks at, from the document's own accessors.
int32_t CriterionValue(const CTreDoc& doc, ECriterion c, int r)
{
    switch (c) {
    case ECriterion::Off:
    case ECriterion::Over: return doc.GetPotOff(r);
    case ECriterion::IRFree: return doc.GetPotIRFree(r);
    case ECriterion::GradDiff: return doc.GetGradDiff(r);
    }
    return NO_VALUE;
}

bool Fails(ECriterion c, int32_t v, int32_t limit)
{
    if (!IsPresent(v)) return false;
    switch (c) {
    case ECriterion::Off:
    case ECriterion::IRFree: return v > limit;
    case ECriterion::Over: return v < limit;
    case ECriterion::GradDiff: return v >= limit;
    }
    return false;
}

// Strictly worse: the first row holding the worst value keeps it.
bool Worse(ECriterion c, int32_t v, int32_t worst) { return c == ECriterion::Over ? v < worst : v > worst; }

int32_t ResolvedLimit(const CTreDoc& doc, ECriterion c, int32_t limit)
{
    if (IsPresent(limit)) return limit;
    switch (c) {
    case ECriterion::Off:
    case ECriterion::IRFree: return SurveyCriterion(doc);
    case ECriterion::Over: return kDefaultOverLimit;
    case ECriterion::GradDiff: return kDefaultGradDiffLimit;
    }
    return NO_VALUE;
}

bool HasMetre(const CTreDoc& doc, int r) { return IsPresent(doc.GetMeter(r)); }

// One pass over the rows: each maximal run of failing rows becomes an
// indication. A row without a metre is no position: it fails nothing and
// ends a run like an absent value.
void FindIndications(const CTreDoc& doc, ECriterion c, int32_t limit, std::vector<SIndication>& out)
{
    auto value = [&](int r) { return CriterionValue(doc, c, r); };
    ForEachFailingRun(
        1, doc.GetRowCount(), [&](int r) { return HasMetre(doc, r) && Fails(c, value(r), limit); },
        [&](int r, int w) { return Worse(c, value(r), value(w)); },
        [&](const SFailRun& run) {
            SIndication ind;
            ind.criterion = c;
            ind.firstRow = run.first;
            ind.lastRow = run.last;
            ind.fromMetre = doc.GetMeter(run.first);
            ind.toMetre = doc.GetMeter(run.last);
            ind.rows = run.last - run.first + 1;
            ind.length = Distance(ind.toMetre, ind.fromMetre);
            ind.worst = value(run.worst);
            ind.worstRow = run.worst;
            ind.worstMetre = doc.GetMeter(run.worst);
            out.push_back(ind);
        });
}

// The commented rows by metre, one entry per metre (its lowest row), so the
// nearest landmark is found by a binary search.
class CLandmarks {
public:
    explicit CLandmarks(const CTreDoc& doc)
        : m_doc(doc)
    {
        const int n = doc.GetRowCount();
        for (int r = 1; r <= n; ++r)
            if (doc.HasComment(r) && HasMetre(doc, r)) m_marks.push_back({doc.GetMeter(r), r});
        std::sort(m_marks.begin(), m_marks.end());
        m_marks.erase(std::unique(m_marks.begin(), m_marks.end(),
                                  [](const Mark& a, const Mark& b) { return a.metre == b.metre; }),
                      m_marks.end());
    }

    SLandmark Nearest(int32_t metre) const
    {
        SLandmark lm;
        if (m_marks.empty()) return lm;
        auto it = std::lower_bound(m_marks.begin(), m_marks.end(), Mark{metre, 0});
        const Mark* best = nullptr;
        if (it != m_marks.end()) best = &*it;
        if (it != m_marks.begin()) {
            const Mark& below = *(it - 1);
            if (!best) best = &below;
            else {
                const int64_t dBelow = Distance(below.metre, metre), dAbove = Distance(best->metre, metre);
                if (dBelow < dAbove || (dBelow == dAbove && below.row < best->row)) best = &below;
            }
        }
        lm.found = true;
        lm.row = best->row;
        lm.metre = best->metre;
        lm.comment = m_doc.GetComment(best->row);
        lm.distance = int64_t{best->metre} - metre;
        return lm;
    }

private:
    struct Mark {
        int32_t metre;
        int row;
        auto operator<=>(const Mark&) const = default;
    };
    const CTreDoc& m_doc;
    std::vector<Mark> m_marks;
};

SDefect MakeDefect(const CTreDoc& doc, const SIndication& ind, const CLandmarks& landmarks)
{
    const int r = ind.worstRow;
    SDefect d;
    d.row = r;
    d.metre = doc.GetMeter(r);
    d.gradDiff = doc.GetGradDiff(r);
    d.gradOn = doc.GetGradOn(r);
    d.gradOff = doc.GetGradOff(r);
    d.potOn = doc.GetPotOn(r);
    d.potOff = doc.GetPotOff(r);
    d.potIRFree = doc.GetPotIRFree(r);
    d.landmark = landmarks.Nearest(d.metre);
    return d;
}

SWarning MakeWarning(const CTreDoc& doc, EWarning kind, int first, int last)
{
    return {kind, first, last, doc.GetMeter(first), doc.GetMeter(last)};
}

// Runs of rows where both potentials are present and `test(on, off)` holds.
template <typename Test>
void FindPotentialRuns(const CTreDoc& doc, EWarning kind, Test test, std::vector<SWarning>& out)
{
    const int n = doc.GetRowCount();
    int first = 0;
    for (int r = 1; r <= n + 1; ++r) {
        const int32_t on = doc.GetPotOn(r), off = doc.GetPotOff(r);
        const bool hit = r <= n && HasMetre(doc, r) && IsPresent(on) && IsPresent(off) && test(on, off);
        if (hit && first == 0) first = r;
        if (!hit && first != 0) {
            out.push_back(MakeWarning(doc, kind, first, r - 1));
            first = 0;
        }
    }
}

// Row r stands out from both neighbours by more than s, in the same direction.
bool IsSpike(int32_t before, int32_t v, int32_t after, int32_t s)
{
    if (!IsPresent(before) || !IsPresent(v) || !IsPresent(after)) return false;
    const int64_t a = int64_t{v} - before, b = int64_t{v} - after;
    if (std::abs(a) <= s || std::abs(b) <= s) return false;
    return (a > 0 && b > 0) || (a < 0 && b < 0);
}

void FindWarnings(const CTreDoc& doc, const SAssessSettings& settings, std::vector<SWarning>& out)
{
    const int n = doc.GetRowCount();
    FindPotentialRuns(
        doc, EWarning::OffBelowOn, [](int32_t on, int32_t off) { return off < on; }, out);
    FindPotentialRuns(
        doc, EWarning::OnEqualsOff, [](int32_t on, int32_t off) { return off == on; }, out);

    for (int r = 2; r < n; ++r) {
        if (!HasMetre(doc, r - 1) || !HasMetre(doc, r) || !HasMetre(doc, r + 1)) continue;
        const bool offSpike = IsSpike(doc.GetPotOff(r - 1), doc.GetPotOff(r), doc.GetPotOff(r + 1), settings.spike);
        if (offSpike || IsSpike(doc.GetPotOn(r - 1), doc.GetPotOn(r), doc.GetPotOn(r + 1), settings.spike))
            out.push_back(MakeWarning(doc, EWarning::Spike, r, r));
    }

    // Order and gaps between the rows that have a metre, each with the one
    // before it that has one.
    const int first = doc.FirstRowWithMetre();
    if (first == 0) return;
    const int64_t overall = int64_t{doc.GetMeter(doc.LastRowWithMetre())} - doc.GetMeter(first);
    const int64_t d = overall < 0 ? -1 : 1;
    std::vector<SWarning> gaps;
    for (int before = first, r = first + 1; r <= n; ++r) {
        if (!HasMetre(doc, r)) continue;
        if ((int64_t{doc.GetMeter(r)} - doc.GetMeter(before)) * d <= 0)
            out.push_back(MakeWarning(doc, EWarning::MetreOrder, r, r));
        if (Distance(doc.GetMeter(r), doc.GetMeter(before)) > settings.gap)
            gaps.push_back(MakeWarning(doc, EWarning::Gap, r, r));
        before = r;
    }
    out.insert(out.end(), gaps.begin(), gaps.end());
}

} // namespace

const char* CriterionId(ECriterion c) { return kCriterionIds[static_cast<int>(c)]; }
const char* CriterionName(ECriterion c) { return kCriterionNames[static_cast<int>(c)]; }

bool CriterionFromId(const std::string& id, ECriterion& c)
{
    for (int i = 0; i < kCriterionCount; ++i) {
        if (id == kCriterionIds[i]) {
            c = static_cast<ECriterion>(i);
            return true;
        }
    }
    return false;
}

const char* WarningId(EWarning w) { return kWarningIds[static_cast<int>(w)]; }
const char* WarningName(EWarning w) { return kWarningNames[static_cast<int>(w)]; }

int32_t CriterionFromHeaderText(const std::string& text)
{
    // A number begins, after blanks and a sign, with a digit or with a point
    // followed by one; anything else ("ohne", "-", ".") has none, and atof's
    // 0 for it would make every potential fail.
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    auto digit = [&](size_t k) { return k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])); };
    if (!digit(i) && !(i < text.size() && text[i] == '.' && digit(i + 1))) return kDefaultCriterion;
    return tresnum::TruncScaled(tresnum::ParseDoublePrefix(text), 1.0).value_or(kDefaultCriterion);
}

int32_t SurveyCriterion(const CTreDoc& doc) { return CriterionFromHeaderText(doc.m_header[2]); }

SAssessment Assess(const CTreDoc& doc, const SAssessSettings& settings)
{
    SAssessment result;
    for (int i = 0; i < kCriterionCount; ++i) {
        const ECriterion c = static_cast<ECriterion>(i);
        result.criteria[static_cast<size_t>(i)] = {c, settings[c].enabled, ResolvedLimit(doc, c, settings[c].limit)};
    }

    for (const SCriterionResult& cr : result.criteria)
        if (cr.enabled) FindIndications(doc, cr.criterion, cr.limit, result.indications);

    bool anyDefect = false;
    for (const SIndication& ind : result.indications) anyDefect = anyDefect || ind.criterion == ECriterion::GradDiff;
    if (anyDefect) {
        const CLandmarks landmarks(doc);
        for (const SIndication& ind : result.indications)
            if (ind.criterion == ECriterion::GradDiff) result.defects.push_back(MakeDefect(doc, ind, landmarks));
    }

    FindWarnings(doc, settings, result.warnings);

    SAssessSummary& s = result.summary;
    if (const int first = doc.FirstRowWithMetre())
        s.surveyLength = Distance(doc.GetMeter(doc.LastRowWithMetre()), doc.GetMeter(first));
    for (const SIndication& ind : result.indications) {
        const size_t k = static_cast<size_t>(ind.criterion);
        s.indicationLength[k] += ind.length;
        ++s.indicationCount[k];
    }
    s.defectCount = static_cast<int>(result.defects.size());
    for (const SWarning& w : result.warnings) ++s.warningCount[static_cast<size_t>(w.kind)];
    return result;
}
