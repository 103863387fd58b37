// SPDX-License-Identifier: GPL-3.0-or-later
// PROJ, loaded when pipeline data first need it. Linked, PROJ and the forty
// libraries it pulls in (curl, TLS, tiff, sqlite ...) would be mapped at the
// start of every program that holds this layer, also of every tresmon-tool
// command that never touches pipeline data: four times the tool's start.
//
// The library is opened by its SONAME, the one of the PROJ found when the
// build was configured, and only the functions this layer calls are
// resolved, with the types proj.h and geodesic.h give them. The headers stay
// the build's; no program links PROJ.
#pragma once

#include <geodesic.h>
#include <proj.h>

#include <string>

namespace trespipeline {

struct SProjApi {
    decltype(&::proj_context_create) proj_context_create;
    decltype(&::proj_context_destroy) proj_context_destroy;
    decltype(&::proj_log_level) proj_log_level;
    decltype(&::proj_create) proj_create;
    decltype(&::proj_create_crs_to_crs) proj_create_crs_to_crs;
    decltype(&::proj_normalize_for_visualization) proj_normalize_for_visualization;
    decltype(&::proj_is_crs) proj_is_crs;
    decltype(&::proj_destroy) proj_destroy;
    decltype(&::proj_coord) proj_coord;
    decltype(&::proj_trans) proj_trans;
    decltype(&::proj_errno_reset) proj_errno_reset;
    decltype(&::geod_init) geod_init;
    decltype(&::geod_direct) geod_direct;
    decltype(&::geod_inverse) geod_inverse;
    decltype(&::geod_inverseline) geod_inverseline;
    decltype(&::geod_position) geod_position;
};

// PROJ's functions, loaded on the first call; later calls return at once.
// nullptr and a German `error` when the library cannot be opened or lacks
// one of them: "Die Bibliothek PROJ (libproj.so.25, Paket libproj25) konnte
// nicht geladen werden: <the loader's reason>." A failure is kept, so a
// caller asks again at no cost. Safe from several threads.
const SProjApi* LoadProj(std::string& error);

// The same for functions without an error path of their own (route.h). They
// run after a caller with one (the reader, CRouteLocator::Create,
// CCrsTransform::Create) has loaded PROJ, and without it give no result
// rather than a wrong one.
const SProjApi* Proj();

// For tests only: the next load opens `soname` instead ("" restores PROJ's),
// and PROJ counts as not loaded until then. Not while other threads use the
// layer.
void LoadProjFromForTests(const std::string& soname);

} // namespace trespipeline
