// SPDX-License-Identifier: GPL-3.0-or-later
#include "curvesoverlay.h"

#include "comparesurvey.h"
#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "pipeline/surveybinding.h"
#include "print/reportfigures.h"
#include "print/reportsettings.h"
#include "views/curveoverlay.h"

CCurveOverlay CurvesOverlay(const SVerdict& verdict, const CTreDoc& doc, const trespipeline::SSurveyBinding* binding,
                            const CCompareSurvey& compare)
{
    const std::vector<double>* positions = binding ? &binding->chainage : nullptr;
    CCurveOverlay o = VerdictOverlay(verdict, positions, binding ? &binding->pipeline.sections : nullptr);
    // Where the panes draw the comparison: at its chainages with pipeline data.
    const CTreDoc* shown = compare.IsShown() ? compare.Doc() : nullptr;
    const std::vector<int32_t> metres = binding ? compare.CurveChainages() : compare.CurveMetres();
    FitOverlayAxes(o, doc, positions, shown, &metres);
    o.electrode = reportfigures::ReferenceElectrode(reportfigures::DeviceEntries(doc),
                                                    ReadReportSettings().electrode.toStdString());
    return o;
}
