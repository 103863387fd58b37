// SPDX-License-Identifier: GPL-3.0-or-later
// Defect tracks: an indication followed from survey to survey. Consecutive
// surveys' defects are paired nearest first within the match distance,
// each at most once; a defect left unpaired starts a track, a track whose
// defect is not seen again ends with the reason the later survey gives.
#pragma once

#include "trendinput.h"

#include <vector>

namespace trestrend {

enum class ETrackState {
    Recorded,      // "erfasst": in the first survey compared
    New,           // "neu"
    Confirmed,     // "bestätigt"
    Worse,         // "verschärft"
    Weaker,        // "abgeschwächt"
    NoLongerShown, // "nicht mehr angezeigt"
    NotAssessed,   // "nicht bewertet"
    AfterRepair,   // "nach Instandsetzung wieder angezeigt"
};

const char* TrackStateText(ETrackState s);
// "recorded", "new", ...: for scripts.
const char* TrackStateId(ETrackState s);

struct STrackState {
    size_t survey = 0; // index into the surveys compared
    ETrackState state = ETrackState::Recorded;
    // The defect the track has in that survey; null where it ends.
    const STrendDefect* defect = nullptr;
};

struct STrack {
    int id = 0; // from 1
    std::vector<STrackState> states;
    std::vector<const SDigFinding*> findings; // at the track's defects, in date order
};

// `surveys` in date order (same date: lower id first); `match` in m. The
// tracks point into `surveys` and `findings`, which must outlive them.
std::vector<STrack> DefectTracks(const std::vector<STrendSurvey>& surveys, const std::vector<SDigFinding>& findings,
                                 double match);

} // namespace trestrend
