// SPDX-License-Identifier: GPL-3.0-or-later
// What every export of an assessed survey is made from: the document, its
// verdict and the pipeline data the survey is tied to. Declared only, so
// the exports' headers name them without pulling in the document.
#pragma once

class CTreDoc;
struct SVerdict;

namespace trespipeline {
struct SSurveyBinding;
}
