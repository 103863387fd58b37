// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictpalette.h"

#include <iterator>

SPaletteRgb VerdictStatusColour(EVerdictStatus status)
{
    // Green for what is proven, a paler green where only the 100 mV rule
    // proves it, red for what is not, violet for over-protection (a
    // different risk, not a worse one), grey for what was not assessed.
    switch (status) {
    case EVerdictStatus::Protected: return {60, 170, 60};
    case EVerdictStatus::Protected100: return {150, 205, 90};
    case EVerdictStatus::Unprotected: return {225, 45, 45};
    case EVerdictStatus::Over: return {150, 60, 200};
    case EVerdictStatus::NotAssessed: break;
    }
    return {140, 140, 140};
}

SPaletteRgb CurveOnColour() { return {0, 0, 255}; }
SPaletteRgb CurveOffColour() { return {255, 0, 0}; }
SPaletteRgb CurveDiffColour() { return {0, 255, 0}; }
SPaletteRgb CurveDiffPaperColour() { return {0, 140, 0}; }
SPaletteRgb ComparisonCurveColour() { return {0, 130, 150}; }

SPaletteRgb DefectMarkColour() { return {230, 120, 0}; }
SPaletteRgb ProtectionLineColour() { return {200, 0, 0}; }
SPaletteRgb LimitLineColour() { return {120, 0, 170}; }
// A quiet blue-grey, so the status colours drawn over it stand out; fixed
// points in a blue that is none of the statuses'.
SPaletteRgb TrackLineColour() { return {90, 100, 130}; }
SPaletteRgb FixpointMarkColour() { return {20, 90, 200}; }

SPaletteRgb RowCursorColour() { return {150, 0, 170}; }

SPaletteRgb SurveyColour(size_t index)
{
    // Dark enough for thin lines on white paper; the latest survey, drawn
    // last, is not the red of the criterion line.
    static constexpr SPaletteRgb kColours[kSurveyColourCount]
        = {{0, 90, 200}, {0, 140, 60}, {200, 110, 0}, {130, 40, 170}, {0, 150, 160}, {110, 80, 40}};
    return kColours[index % kSurveyColourCount];
}

SPaletteRgb EarlierSurveyColour(size_t k)
{
    static constexpr size_t kApart[] = {2, 3, 1, 5};
    return SurveyColour(kApart[k % std::size(kApart)]);
}

// A dark red that reads on the window's light grey and on white paper.
SPaletteRgb WarningTextColour() { return {192, 0, 0}; }
