// SPDX-License-Identifier: GPL-3.0-or-later
// How two surveys were paired, as JSON: `compare`'s `alignment` object and
// `assess --native`'s `native.alignment` are one and the same, so a script
// reads both alike.
#pragma once

#include "doc/metrealign.h"
#include "jsontext.h"

// method, reversed, offset, offsetPairs, ties (comment, current and earlier
// with row and metre, residual), maxResidual.
namespace tresexport {

ojson AlignmentJson(const SAlignment& a);

} // namespace tresexport
