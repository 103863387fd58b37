// SPDX-License-Identifier: GPL-3.0-or-later
// What the status bar says of the row under the pointer in a curve pane:
// its metre (and chainage with pipeline data), then the values the pane
// draws at that row - the potentials on, off and IR-free against the
// reference electrode, or the gradients on, off and their difference -
// each with its unit and decimal comma, an absent one as "–".
#pragma once

#include <QString>

class CTreDoc;

// `chainage`: the row's chainage in m, NaN without one (or without
// pipeline data, `bound` false).
QString CursorStatusText(const CTreDoc& doc, int row, bool gradient, bool bound, double chainage,
                         const QString& electrode);
