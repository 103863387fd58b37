// SPDX-License-Identifier: GPL-3.0-or-later
#include "geotext.h"

#include "doc/numtext.h"
#include "pipeline/numbers.h"

namespace tresexport {

std::string FixedText(double v, int decimals)
{
    const double r = trespipeline::RoundHalfAway(v, decimals);
    return tresnum::FormatFixed(r == 0 ? 0.0 : r, decimals);
}

std::string DegreesText(double v) { return FixedText(v, trespipeline::kLatLonDecimals); }

} // namespace tresexport
