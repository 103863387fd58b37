// SPDX-License-Identifier: GPL-3.0-or-later
#include "nativepairing.h"

#include "doc/metreindex.h"
#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "sections.h"
#include "surveybinding.h"

namespace trespipeline {

namespace {

// The aligned metre of row r (1..N): the alignment's, else the recorded one.
int32_t AlignedMetre(const CTreDoc& doc, const std::vector<int32_t>& aligned, int r)
{
    if (aligned.empty()) return doc.GetMeter(r);
    return static_cast<size_t>(r) <= aligned.size() ? aligned[static_cast<size_t>(r - 1)] : NO_VALUE;
}

std::vector<int> PairedRows(const CTreDoc& doc, const CTreDoc& native, const SAlignment& a)
{
    std::vector<SMetreRow> nativeRows;
    nativeRows.reserve(static_cast<size_t>(native.GetRowCount()));
    for (int r = 1; r <= native.GetRowCount(); ++r)
        if (const int32_t m = AlignedMetre(native, a.earlierMetres, r); IsPresent(m)) nativeRows.push_back({m, r});
    const std::vector<SMetreRow> index = FirstRowsByMetre(std::move(nativeRows));
    std::vector<int> out(static_cast<size_t>(doc.GetRowCount()), 0);
    for (int r = 1; r <= doc.GetRowCount(); ++r)
        if (const int32_t m = AlignedMetre(doc, a.currentMetres, r); IsPresent(m))
            out[static_cast<size_t>(r - 1)] = FirstRowWithMetre(index, m);
    return out;
}

std::string Mv(int32_t v) { return std::to_string(v) + " mV"; }

// Whether the 100 mV criterion is admitted where no section says otherwise.
bool SurveyAdmits(const SVerdict& v) { return v.settings.use100mV && v.criterion.protection > kAnaerobicProtection; }

// The sections whose rows are judged otherwise than the survey's, with why.
std::string SectionExceptions(const SVerdict& v, const SSurveyBinding& b, bool surveyAdmits)
{
    std::string out;
    for (const SSection& s : b.pipeline.sections) {
        const SSectionAdmission a = SectionAdmission(s);
        std::string why = Admission100Id(a.reason);
        bool admits = surveyAdmits;
        if (a.allow) admits = *a.allow;
        else if (IsPresent(s.protectionPotential)) {
            admits = v.settings.use100mV && s.protectionPotential > kAnaerobicProtection;
            why = "Schutzpotential " + Mv(s.protectionPotential);
        }
        if (admits == surveyAdmits) continue;
        out += (out.empty() ? "" : ", ") + SectionName(s) + " (" + why + ")";
    }
    return out;
}

} // namespace

SNativeRequest NativeRequestFor(const SSurveyBinding* binding, bool reverse)
{
    SNativeRequest r;
    r.reverse = reverse;
    if (binding) {
        r.pipeline = &binding->pipeline;
        r.stretchTolerance = binding->stretchTolerance;
    }
    return r;
}

SNativePairing NativePairingOf(const CTreDoc& doc, const CTreDoc& native, const SComparisonAlignResult& aligned)
{
    SNativePairing p;
    p.ok = aligned.ok;
    p.errors = aligned.errors;
    p.refusal = aligned.refusal;
    p.alignment = aligned.alignment;
    if (!p.ok || !p.alignment) {
        p.ok = false;
        p.warning = std::string("100-mV-Kriterium nicht angewandt: ")
                    + (p.errors.empty() ? "Nativmessung nicht zuzuordnen" : p.errors.front());
        return p;
    }
    // The comparison's note says it pairs by the recorded metres; the
    // criterion does not.
    if (p.alignment->method == EAlignMethod::None) {
        p.warning = kNativeNotPairedWarning;
        return p;
    }
    p.notes = aligned.notes;
    p.applied = true;
    p.rows = PairedRows(doc, native, *p.alignment);
    return p;
}

SNativePairing PairNativeSurvey(const CTreDoc& doc, const CTreDoc& native, const SNativeRequest& request)
{
    return NativePairingOf(doc, native, AlignForComparison(doc, native, true, request));
}

std::string NativePairingText(const SVerdict& v)
{
    if (!v.nativeGiven) return {};
    if (!v.nativeWarning.empty()) return v.nativeWarning;
    if (!v.nativeAlignment) return "Zuordnung der Nativmessung: nach Metern";
    const SAlignment& a = *v.nativeAlignment;
    std::string t = "Zuordnung der Nativmessung: " + AlignmentText(a);
    if (IsPresent(a.maxResidual))
        t += ", größte Abweichung an einem gemeinsamen Punkt " + std::to_string(a.maxResidual) + " m";
    return t;
}

std::string Admission100mVText(const SVerdict& v, const SSurveyBinding* binding)
{
    if (!v.nativeGiven) return "100-mV-Kriterium nicht angewandt: keine Nativmessung.";
    if (!v.nativeWarning.empty()) return v.nativeWarning + ".";
    const bool admits = SurveyAdmits(v);
    std::string t = "100-mV-Kriterium (Polarisation gegen die Nativmessung mindestens 100 mV): ";
    if (!v.settings.use100mV) t += "abgeschaltet";
    else if (!admits)
        t += "nicht zulässig bei einem Schutzpotential von " + Mv(v.criterion.protection)
             + " (anaerober Boden, DIN EN ISO 15589-1)";
    else t += "zulässig";
    const std::string exceptions = binding ? SectionExceptions(v, *binding, admits) : std::string();
    if (!exceptions.empty()) t += (admits ? " außer in " : ", zulässig nur in ") + exceptions;
    return t + ".";
}

} // namespace trespipeline
