// SPDX-License-Identifier: GPL-3.0-or-later
#include "sections.h"

#include "doc/verdictsettings.h"
#include "numbers.h"

#include <algorithm>
#include <cmath>

namespace trespipeline {

namespace {

SOverride Resolve(const std::vector<SSection>& sections, double lo, double hi)
{
    // Every chainage of [lo, hi] lies in the same sections (no breakpoint
    // inside), so the sections covering the whole of it decide.
    SOverride o;
    bool anaerobic = false;
    for (const SSection& s : sections) {
        if (s.from > lo || s.to < hi) continue;
        if (!IsPresent(o.protectionPotential)) o.protectionPotential = s.protectionPotential;
        if (!IsPresent(o.limitPotential)) o.limitPotential = s.limitPotential;
        const SSectionAdmission a = SectionAdmission(s);
        if (a.reason == EAdmission100::Anaerobic) anaerobic = true;
        else if (!o.allow100mV) o.allow100mV = a.allow;
    }
    if (anaerobic) o.allow100mV = false;
    return o;
}

} // namespace

const char* Admission100Id(EAdmission100 a)
{
    switch (a) {
    case EAdmission100::Data: return "Leitungsdaten";
    case EAdmission100::Anaerobic: return "anaerob";
    case EAdmission100::None: break;
    }
    return "";
}

SSectionAdmission SectionAdmission(const SSection& s)
{
    if (s.allow100mV) return {s.allow100mV, EAdmission100::Data};
    if (IsPresent(s.protectionPotential) && s.protectionPotential <= kAnaerobicProtection)
        return {false, EAdmission100::Anaerobic};
    return {};
}

std::string SectionName(const SSection& s)
{
    std::string t = "Merkmal " + std::to_string(s.feature);
    if (!s.name.empty()) t += " „" + s.name + "“";
    return t + ", " + GermanNumber(s.from, 2) + " bis " + GermanNumber(s.to, 2) + " m";
}

std::string SectionText(const SSection& s)
{
    const std::string t = SectionName(s) + ":";
    std::string what;
    const auto add = [&what](const std::string& part) { what += (what.empty() ? " " : "; ") + part; };
    if (IsPresent(s.protectionPotential)) add("Schutzpotential " + std::to_string(s.protectionPotential) + " mV");
    if (IsPresent(s.limitPotential)) add("Grenzpotential " + std::to_string(s.limitPotential) + " mV");
    const SSectionAdmission a = SectionAdmission(s);
    if (a.allow)
        add(std::string(*a.allow ? "100-mV-Kriterium zulässig" : "100-mV-Kriterium nicht zulässig")
            + (a.reason == EAdmission100::Anaerobic ? " (anaerob)" : ""));
    return t + (what.empty() ? " keine Vorgabe" : what);
}

size_t SectionRows(const SSection& s, const std::vector<double>& chainage)
{
    return static_cast<size_t>(
        std::count_if(chainage.begin(), chainage.end(), [&s](double c) { return c >= s.from && c <= s.to; }));
}

CSectionIndex::CSectionIndex(const std::vector<SSection>& sections)
{
    for (const SSection& s : sections) {
        m_points.push_back(s.from);
        m_points.push_back(s.to);
    }
    std::sort(m_points.begin(), m_points.end());
    m_points.erase(std::unique(m_points.begin(), m_points.end()), m_points.end());
    for (size_t i = 0; i < m_points.size(); ++i) {
        m_atPoint.push_back(Resolve(sections, m_points[i], m_points[i]));
        if (i + 1 < m_points.size()) m_between.push_back(Resolve(sections, m_points[i], m_points[i + 1]));
    }
}

SOverride CSectionIndex::At(double chainage) const
{
    if (std::isnan(chainage) || m_points.empty()) return {};
    const auto it = std::lower_bound(m_points.begin(), m_points.end(), chainage);
    const size_t i = static_cast<size_t>(it - m_points.begin());
    if (it != m_points.end() && *it == chainage) return m_atPoint[i];
    if (i == 0 || it == m_points.end()) return {}; // before the first or after the last breakpoint
    return m_between[i - 1];
}

SRowOverrides CSectionIndex::ForRows(const std::vector<double>& chainage) const
{
    SRowOverrides out;
    out.protectionPotential.reserve(chainage.size());
    out.limitPotential.reserve(chainage.size());
    out.allow100mV.reserve(chainage.size());
    for (double s : chainage) {
        const SOverride o = At(s);
        out.protectionPotential.push_back(o.protectionPotential);
        out.limitPotential.push_back(o.limitPotential);
        out.allow100mV.push_back(o.allow100mV);
    }
    return out;
}

} // namespace trespipeline
