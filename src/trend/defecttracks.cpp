// SPDX-License-Identifier: GPL-3.0-or-later
#include "defecttracks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace trestrend {

namespace {

struct SCandidate {
    double distance, after, before;
    size_t a, b;
};

// Nearest pairs first; among equals the lower chainage in the later
// survey, then in the earlier, so the result does not depend on the order
// the defects were stored in.
std::vector<std::pair<size_t, size_t>> PairDefects(const STrendSurvey& earlier, const STrendSurvey& later, double match)
{
    std::vector<SCandidate> candidates;
    for (size_t a = 0; a < earlier.defects.size(); ++a)
        for (size_t b = 0; b < later.defects.size(); ++b) {
            const double d = std::fabs(later.defects[b].position - earlier.defects[a].position);
            if (d <= match) candidates.push_back({d, later.defects[b].position, earlier.defects[a].position, a, b});
        }
    std::sort(candidates.begin(), candidates.end(), [](const SCandidate& x, const SCandidate& y) {
        return std::tie(x.distance, x.after, x.before, x.a, x.b) < std::tie(y.distance, y.after, y.before, y.a, y.b);
    });
    std::vector<bool> takenA(earlier.defects.size()), takenB(later.defects.size());
    std::vector<std::pair<size_t, size_t>> pairs;
    for (const SCandidate& c : candidates) {
        if (takenA[c.a] || takenB[c.b]) continue;
        takenA[c.a] = takenB[c.b] = true;
        pairs.emplace_back(c.a, c.b);
    }
    return pairs;
}

ETrackState Continued(const STrendDefect& was, const STrendDefect& is)
{
    if (was.category == 0 || is.category == 0 || was.category == is.category) return ETrackState::Confirmed;
    return is.category > was.category ? ETrackState::Worse : ETrackState::Weaker;
}

bool AssessedNear(const STrendSurvey& s, double position, double match)
{
    return std::any_of(s.rows.begin(), s.rows.end(), [&](const STrendRow& r) {
        return r.status != EVerdictStatus::NotAssessed && std::fabs(r.position - position) <= match;
    });
}

struct SBuilding {
    STrack track;
    size_t startSurvey = 0;
    double startPosition = 0;
    int startRow = 0;
    // The defects it holds, as (survey id, row), for its findings.
    std::vector<std::pair<long long, int>> defects;
};

bool FindingOf(const SBuilding& t, const SDigFinding& f)
{
    return std::find(t.defects.begin(), t.defects.end(), std::pair{f.survey, f.row}) != t.defects.end();
}

bool RepairedBetween(const SBuilding& t, const std::vector<SDigFinding>& findings, const std::string& from,
                     const std::string& to)
{
    return std::any_of(findings.begin(), findings.end(), [&](const SDigFinding& f) {
        return f.repaired && f.date > from && f.date < to && FindingOf(t, f);
    });
}

} // namespace

const char* TrackStateText(ETrackState s)
{
    switch (s) {
    case ETrackState::Recorded: return "erfasst";
    case ETrackState::New: return "neu";
    case ETrackState::Confirmed: return "bestätigt";
    case ETrackState::Worse: return "verschärft";
    case ETrackState::Weaker: return "abgeschwächt";
    case ETrackState::NoLongerShown: return "nicht mehr angezeigt";
    case ETrackState::NotAssessed: return "nicht bewertet";
    case ETrackState::AfterRepair: return "nach Instandsetzung wieder angezeigt";
    }
    return "";
}

const char* TrackStateId(ETrackState s)
{
    switch (s) {
    case ETrackState::Recorded: return "recorded";
    case ETrackState::New: return "new";
    case ETrackState::Confirmed: return "confirmed";
    case ETrackState::Worse: return "worse";
    case ETrackState::Weaker: return "weaker";
    case ETrackState::NoLongerShown: return "noLongerShown";
    case ETrackState::NotAssessed: return "notAssessed";
    case ETrackState::AfterRepair: return "afterRepair";
    }
    return "";
}

std::vector<STrack> DefectTracks(const std::vector<STrendSurvey>& surveys, const std::vector<SDigFinding>& findings,
                                 double match)
{
    std::vector<SBuilding> tracks;
    // The track each defect of the survey before belongs to.
    std::vector<size_t> trackOf;
    auto start = [&](size_t i, size_t d, ETrackState state) {
        const STrendDefect& defect = surveys[i].defects[d];
        SBuilding t;
        t.startSurvey = i;
        t.startPosition = defect.position;
        t.startRow = defect.row;
        t.track.states.push_back({i, state, &defect});
        t.defects.emplace_back(surveys[i].id, defect.row);
        tracks.push_back(std::move(t));
        return tracks.size() - 1;
    };
    for (size_t i = 0; i < surveys.size(); ++i) {
        const STrendSurvey& s = surveys[i];
        std::vector<size_t> next(s.defects.size(), SIZE_MAX);
        if (i == 0) {
            for (size_t d = 0; d < s.defects.size(); ++d) next[d] = start(0, d, ETrackState::Recorded);
        } else {
            const STrendSurvey& before = surveys[i - 1];
            std::vector<bool> continued(before.defects.size());
            for (const auto& [a, b] : PairDefects(before, s, match)) {
                SBuilding& t = tracks[trackOf[a]];
                const ETrackState state = RepairedBetween(t, findings, before.date, s.date)
                                              ? ETrackState::AfterRepair
                                              : Continued(before.defects[a], s.defects[b]);
                t.track.states.push_back({i, state, &s.defects[b]});
                t.defects.emplace_back(s.id, s.defects[b].row);
                next[b] = trackOf[a];
                continued[a] = true;
            }
            for (size_t a = 0; a < before.defects.size(); ++a)
                if (!continued[a])
                    tracks[trackOf[a]].track.states.push_back({i,
                                                               AssessedNear(s, before.defects[a].position, match)
                                                                   ? ETrackState::NoLongerShown
                                                                   : ETrackState::NotAssessed,
                                                               nullptr});
            for (size_t b = 0; b < s.defects.size(); ++b)
                if (next[b] == SIZE_MAX) next[b] = start(i, b, ETrackState::New);
        }
        trackOf = std::move(next);
    }
    std::stable_sort(tracks.begin(), tracks.end(), [](const SBuilding& x, const SBuilding& y) {
        return std::tie(x.startSurvey, x.startPosition, x.startRow)
               < std::tie(y.startSurvey, y.startPosition, y.startRow);
    });
    std::vector<STrack> out;
    out.reserve(tracks.size());
    for (SBuilding& t : tracks) {
        t.track.id = static_cast<int>(out.size()) + 1;
        for (const SDigFinding& f : findings)
            if (FindingOf(t, f)) t.track.findings.push_back(&f);
        std::stable_sort(t.track.findings.begin(), t.track.findings.end(),
                         [](const SDigFinding* x, const SDigFinding* y) { return x->date < y->date; });
        out.push_back(std::move(t.track));
    }
    return out;
}

} // namespace trestrend
