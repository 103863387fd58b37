// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveybinding.h"

#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "gpsbinding.h"
#include "pipelineidentity.h"
#include "pipelinereader.h"
#include "sections.h"

namespace trespipeline {

namespace {

// Runs of consecutive rows with a chainage (rows without one take no part,
// as everywhere in the assessment) that have no place.
std::vector<SPlausibilityWarning> OutsideRuns(const CTreDoc& doc, const SSurveyBinding& b)
{
    std::vector<SPlausibilityWarning> out;
    bool open = false;
    for (size_t i = 0; i < b.chainage.size(); ++i) {
        if (!HasChainage(b.chainage[i])) continue;
        const int row = static_cast<int>(i) + 1;
        if (b.places[i]) {
            open = false;
            continue;
        }
        if (!open) out.push_back({EPlausibility::OutsideRoute, row, row, doc.GetMeter(row), doc.GetMeter(row), 0});
        open = true;
        SPlausibilityWarning& w = out.back();
        w.lastRow = row;
        w.toMetre = doc.GetMeter(row);
        ++w.rows;
    }
    return out;
}

} // namespace

::SRowOverrides AssessmentOverrides(const std::vector<double>& chainage, const std::vector<SSection>& sections)
{
    const SRowOverrides bySection = CSectionIndex(sections).ForRows(chainage);
    ::SRowOverrides o;
    o.position = chainage;
    o.protectionPotential = bySection.protectionPotential;
    o.limitPotential = bySection.limitPotential;
    o.allow100mV.reserve(chainage.size());
    for (const std::optional<bool>& a : bySection.allow100mV) o.allow100mV.push_back(a ? (*a ? 1 : 0) : -1);
    return o;
}

SSurveyBinding BindSurvey(const CTreDoc& doc, const SPipelineData& data, double stretchTolerance, int gridEpsg)
{
    SSurveyBinding b;
    SRestation r = Restation(doc, data.fixpoints, stretchTolerance);
    if (!r.ok) {
        b.errors = std::move(r.errors);
        // No fixed point named in the survey: most often the data of
        // another pipeline, which the user sees at once by both names.
        if (r.ties.empty()) b.errors.push_back(PipelinesNamed(data.route, doc));
        return b;
    }
    std::string error;
    b.locator = CRouteLocator::Create(data.route, gridEpsg, error);
    if (!b.locator) {
        b.errors.push_back(error);
        return b;
    }
    b.ok = true;
    b.pipeline = data;
    b.gridEpsg = b.locator->GridEpsg();
    b.stretchTolerance = stretchTolerance;
    b.warnings = std::move(r.warnings);
    b.routeCheck = CheckRouteLength(b.locator->Path(), data.fixpoints, r);
    if (!b.routeCheck.warning.empty()) b.warnings.push_back(b.routeCheck.warning);

    b.places = b.locator->ForRows(r.chainage);
    b.overrides = AssessmentOverrides(r.chainage, data.sections);
    for (const STie& t : r.ties)
        b.fixpoints.push_back({t.fixpoint, t.row, t.metre, t.chainage, b.places[static_cast<size_t>(t.row - 1)]});
    b.chainage = std::move(r.chainage);
    b.ties = std::move(r.ties);
    b.factors = std::move(r.factors);
    b.unmatched = std::move(r.unmatched);
    b.outsideRoute = OutsideRuns(doc, b);
    b.gpsOffRoute = GpsOffRouteRuns(doc, b);
    return b;
}

namespace {

SSurveyBinding BindRead(const CTreDoc& doc, SPipelineRead read, const std::string& name, double stretchTolerance,
                        int gridEpsg)
{
    if (!read.ok) {
        SSurveyBinding b;
        b.errors = std::move(read.errors);
        return b;
    }
    SSurveyBinding b = BindSurvey(doc, read.data, stretchTolerance, gridEpsg);
    if (b.ok) b.warnings.insert(b.warnings.begin(), read.warnings.begin(), read.warnings.end());
    b.file = name;
    return b;
}

} // namespace

SSurveyBinding BindSurveyToFile(const CTreDoc& doc, const std::string& path, double stretchTolerance, int gridEpsg)
{
    return BindRead(doc, ReadPipelineFile(path), path, stretchTolerance, gridEpsg);
}

SSurveyBinding BindSurveyToText(const CTreDoc& doc, std::string_view text, const std::string& name,
                                double stretchTolerance, int gridEpsg)
{
    return BindRead(doc, ParsePipelineText(text, name), name, stretchTolerance, gridEpsg);
}

std::vector<SPlacedDefect> PlacedDefects(const SVerdict& verdict, const SSurveyBinding& binding)
{
    std::vector<SPlacedDefect> out;
    for (const SDigItem& item : verdict.digList) {
        const SCoatingDefect& d = verdict.defects[static_cast<size_t>(item.defect)];
        if (d.row < 1 || static_cast<size_t>(d.row) > binding.places.size()) continue;
        out.push_back({&item, &d, binding.places[static_cast<size_t>(d.row - 1)]});
    }
    return out;
}

} // namespace trespipeline
