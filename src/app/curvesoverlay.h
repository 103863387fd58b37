// SPDX-License-Identifier: GPL-3.0-or-later
// The verdict laid over the curve panes ("Bewertung in Kurven") as the
// window builds it from its session: on the panes' axis, the criterion lines
// stepping with the pipeline data's sections, the value axes fitted to the
// survey and the comparison survey shown beside it, and the potential axis
// naming the reference electrode the report names.
#pragma once

#include "views/curvepainter.h"

class CCompareSurvey;
class CTreDoc;
struct SVerdict;
namespace trespipeline {
struct SSurveyBinding;
}

// `binding` null: the recorded metres.
CCurveOverlay CurvesOverlay(const SVerdict& verdict, const CTreDoc& doc, const trespipeline::SSurveyBinding* binding,
                            const CCompareSurvey& compare);
