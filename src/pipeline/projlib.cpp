// SPDX-License-Identifier: GPL-3.0-or-later
#include "projlib.h"

#include "doc/runtimelib.h"

namespace trespipeline {

namespace {

// The PROJ the build was configured with (src/pipeline/CMakeLists.txt).
constexpr const char* kSoname = TRES_PROJ_SONAME;
constexpr const char* kPackage = TRES_PROJ_PACKAGE;

tresdoc::CRuntimeApi<SProjApi>& Loaded()
{
    static tresdoc::CRuntimeApi<SProjApi> api;
    return api;
}

std::string& Soname()
{
    static std::string soname = kSoname;
    return soname;
}

// The loader's reason, or which function the library lacks.
bool Open(const std::string& soname, SProjApi& api, std::string& reason)
{
    void* library = tresdoc::OpenRuntimeLibrary(soname, reason);
    if (!library) return false;
    std::string missing;
#define TRES_RESOLVE(f) tresdoc::ResolveRuntimeFunction(library, #f, api.f, missing)
    const bool ok = TRES_RESOLVE(proj_context_create) && TRES_RESOLVE(proj_context_destroy)
                    && TRES_RESOLVE(proj_log_level) && TRES_RESOLVE(proj_create) && TRES_RESOLVE(proj_create_crs_to_crs)
                    && TRES_RESOLVE(proj_normalize_for_visualization) && TRES_RESOLVE(proj_is_crs)
                    && TRES_RESOLVE(proj_destroy) && TRES_RESOLVE(proj_coord) && TRES_RESOLVE(proj_trans)
                    && TRES_RESOLVE(proj_errno_reset) && TRES_RESOLVE(geod_init) && TRES_RESOLVE(geod_direct)
                    && TRES_RESOLVE(geod_inverse) && TRES_RESOLVE(geod_inverseline) && TRES_RESOLVE(geod_position);
#undef TRES_RESOLVE
    if (!ok) {
        tresdoc::CloseRuntimeLibrary(library, missing, reason);
        return false;
    }
    // Never closed: PROJ keeps state (contexts, its database) that lives to
    // the end of the program.
    return true;
}

} // namespace

const SProjApi* LoadProj(std::string& error)
{
    return Loaded().Load(
        [](SProjApi& api, std::string& why) {
            std::string reason;
            if (Open(Soname(), api, reason)) return true;
            why = tresdoc::RuntimeLibraryError("PROJ", Soname(), kPackage, reason);
            return false;
        },
        error);
}

const SProjApi* Proj()
{
    std::string ignored;
    return LoadProj(ignored);
}

void LoadProjFromForTests(const std::string& soname)
{
    Soname() = soname.empty() ? kSoname : soname;
    Loaded().Forget();
}

} // namespace trespipeline
