// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapscene.h"

#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "pipeline/route.h"
#include "pipeline/surveybinding.h"

#include <algorithm>
#include <cmath>

namespace tresmap {

namespace {

using trespipeline::SPlace;

std::optional<SGroundPoint> Ground(const std::optional<SPlace>& p)
{
    if (!p || !std::isfinite(p->easting) || !std::isfinite(p->northing)) return std::nullopt;
    return SGroundPoint{p->easting, p->northing};
}

// The route's vertices in the grid: each at its chainage along the path.
std::vector<SGroundPoint> RouteInGrid(const trespipeline::SSurveyBinding& b)
{
    std::vector<SGroundPoint> out;
    const std::vector<trespipeline::SLonLat>& v = b.pipeline.route.vertices;
    const trespipeline::CRoutePath& path = b.locator->Path();
    double s = path.StartChainage();
    for (size_t i = 0; i < v.size(); ++i) {
        if (i > 0) s += trespipeline::GeodesicDistance(v[i - 1], v[i]);
        // The sum of the segments may land a hair beyond the path's end.
        if (auto g = Ground(b.locator->At(std::min(s, path.EndChainage())))) out.push_back(*g);
    }
    return out;
}

double NorthBearing(const trespipeline::SSurveyBinding& b)
{
    const trespipeline::CRoutePath& path = b.locator->Path();
    const double mid = path.StartChainage() + path.Length() / 2;
    const double half = std::min(100.0, path.Length() / 2);
    const std::optional<SPlace> p1 = b.locator->At(mid - half), p2 = b.locator->At(mid + half);
    const auto g1 = Ground(p1), g2 = Ground(p2);
    if (!g1 || !g2) return 0;
    return TrueNorthGridBearing(p1->lat, p1->lon, *g1, p2->lat, p2->lon, *g2);
}

void AddTrack(SMapScene& scene, const CTreDoc& doc, const SVerdict* verdict)
{
    // The status of every row with a metre (the verdict lists exactly those).
    std::vector<int> status(static_cast<size_t>(doc.GetRowCount()), -1);
    if (verdict)
        for (const SVerdictRow& r : verdict->rows)
            if (r.row >= 1 && r.row <= doc.GetRowCount())
                status[static_cast<size_t>(r.row - 1)] = static_cast<int>(r.status);
    bool open = false;
    int last = -1; // the status of the run being drawn
    SGroundPoint previous;
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        const size_t i = static_cast<size_t>(r - 1);
        if (!IsPresent(doc.GetMeter(r))) continue; // no chainage: takes no part
        const std::optional<SGroundPoint>& at = scene.rows[i];
        if (!at) {
            open = false; // beyond the route: the line breaks
            continue;
        }
        const int s = status[i];
        if (open && s == last) {
            scene.track.back().points.push_back(*at);
        } else {
            SMapTrackRun run;
            run.judged = s >= 0;
            run.status = s >= 0 ? static_cast<EVerdictStatus>(s) : EVerdictStatus::NotAssessed;
            if (open) {
                const SGroundPoint half{(previous.e + at->e) / 2, (previous.n + at->n) / 2};
                scene.track.back().points.push_back(half);
                run.points.push_back(half);
            }
            run.points.push_back(*at);
            scene.track.push_back(std::move(run));
        }
        open = true;
        last = s;
        previous = *at;
    }
}

} // namespace

SGroundBox SMapScene::Bounds() const
{
    SGroundBox box;
    for (const SGroundPoint& p : route) box.Add(p);
    for (const std::optional<SGroundPoint>& p : rows)
        if (p) box.Add(*p);
    return box;
}

SMapScene BuildMapScene(const CTreDoc& doc, const SVerdict* verdict, const trespipeline::SSurveyBinding& binding)
{
    SMapScene scene;
    if (!binding.ok || !binding.locator || binding.places.size() != static_cast<size_t>(doc.GetRowCount()))
        return scene;
    scene.gridEpsg = binding.gridEpsg;
    scene.route = RouteInGrid(binding);
    scene.northBearing = NorthBearing(binding);
    scene.rows.reserve(binding.places.size());
    for (const std::optional<SPlace>& p : binding.places) scene.rows.push_back(Ground(p));
    AddTrack(scene, doc, verdict);

    if (verdict)
        for (const trespipeline::SPlacedDefect& p : trespipeline::PlacedDefects(*verdict, binding)) {
            if (const auto at = Ground(p.place))
                scene.defects.push_back({*at, p.item->priority, p.defect->category, p.defect->row, p.defect->metre});
            else ++scene.defectsOffRoute;
        }

    std::vector<bool> found(binding.pipeline.fixpoints.size(), false);
    for (const trespipeline::SFoundFixpoint& f : binding.fixpoints)
        if (f.fixpoint < found.size()) found[f.fixpoint] = true;
    for (size_t i = 0; i < binding.pipeline.fixpoints.size(); ++i) {
        const trespipeline::SFixpoint& fp = binding.pipeline.fixpoints[i];
        if (const auto at = Ground(binding.locator->At(fp.chainage)))
            scene.fixpoints.push_back({*at, fp.name, found[i]});
    }
    return scene;
}

} // namespace tresmap
