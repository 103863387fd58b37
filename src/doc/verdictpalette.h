// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of the protection verdict: one palette for the curve marks and
// their legend strip on screen, the report's sheets and legends and the
// styles of the map exports, so a stretch has the same colour wherever an
// engineer meets it. It lives with the document, without Qt, so the panes,
// the printing code and the exports all reach it.
#pragma once

#include "rowverdict.h"

#include <cstddef>
#include <cstdint>

struct SPaletteRgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const SPaletteRgb&) const = default;
};

// The shading of a stretch by its status. "nicht bewertbar" is drawn
// hatched in this grey rather than filled: it is no finding, only a hole in
// the evidence.
SPaletteRgb VerdictStatusColour(EVerdictStatus status);
inline constexpr bool VerdictStatusHatched(EVerdictStatus status) { return status == EVerdictStatus::NotAssessed; }

// The order an engineer reads the statuses in, what is proven first: the
// window's summary, the legends and the report's tables all list them so.
inline constexpr EVerdictStatus kVerdictStatusOrder[]
    = {EVerdictStatus::Protected, EVerdictStatus::Protected100, EVerdictStatus::Unprotected, EVerdictStatus::Over,
       EVerdictStatus::NotAssessed};

// The curves: gradient (or potential) on in blue, off in red, their
// difference D in green - on the report's sheets a darker green that shows
// on white paper - and a comparison survey's curve in a dark cyan, wider
// than the survey's own: none of the statuses' shades, the curves' or the
// criterion lines' colours, so it reads on the green and red shading.
SPaletteRgb CurveOnColour();
SPaletteRgb CurveOffColour();
SPaletteRgb CurveDiffColour();
SPaletteRgb CurveDiffPaperColour();
SPaletteRgb ComparisonCurveColour();
inline constexpr int kComparisonCurveWidth = 2; // px

// Defect triangles, and the lines of the protection potential E_p and the
// limiting potential E_l.
SPaletteRgb DefectMarkColour();
SPaletteRgb ProtectionLineColour();
SPaletteRgb LimitLineColour();
// On the map: the survey's track under the stretches, and the fixed points.
SPaletteRgb TrackLineColour();
SPaletteRgb FixpointMarkColour();

// The curve panes' cursor: the row under the pointer or chosen in the
// table, a colour none of the curves or marks has.
SPaletteRgb RowCursorColour();

// The surveys of one pipeline drawn over each other (the trend report's
// sheets): each in its own colour, the first kSurveyColourCount apart from
// one another and from the criterion lines, then again from the first.
inline constexpr size_t kSurveyColourCount = 6;
SPaletteRgb SurveyColour(size_t index);
// The k-th earlier survey behind the window's potential curves: of the
// survey colours those that the on curve's blue, the off curve's red and the
// comparison's teal do not hide (orange, purple, green, brown, then again).
SPaletteRgb EarlierSurveyColour(size_t k);

// Text that warns: a criterion not taken from the header (set by an
// option), a default standing in for an unreadable header entry.
SPaletteRgb WarningTextColour();

// Shading is laid under the curves: on screen and on paper it is drawn with
// this opacity (0..255) so the curves above stay readable.
inline constexpr int kVerdictShadeAlpha = 70;
