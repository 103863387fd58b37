// SPDX-License-Identifier: GPL-3.0-or-later
#include "projlib.h"

#include <atomic>
#include <dlfcn.h>
#include <mutex>

namespace trespipeline {

namespace {

// The PROJ the build was configured with (src/pipeline/CMakeLists.txt).
constexpr const char* kSoname = TRES_PROJ_SONAME;
constexpr const char* kPackage = TRES_PROJ_PACKAGE;

struct SLoader {
    std::mutex mutex;
    std::string soname = kSoname;
    bool tried = false;
    std::string error;
    SProjApi api{};
};

SLoader& Loader()
{
    static SLoader loader;
    return loader;
}

// Set once the library and all its functions are there; read without the
// lock on every call.
std::atomic<const SProjApi*> g_loaded{nullptr};

template <class F> bool Resolve(void* library, const char* name, F& out, std::string& missing)
{
    void* symbol = dlsym(library, name);
    if (!symbol) {
        missing = name;
        return false;
    }
    out = reinterpret_cast<F>(symbol);
    return true;
}

// The loader's reason, or which function the library lacks.
bool Open(const std::string& soname, SProjApi& api, std::string& reason)
{
    // RTLD_NOW: where PROJ or a library under it lacks a symbol, the open
    // fails here with the loader's reason, instead of the loader ending the
    // program in the middle of a transformation (about 0.5 ms, once).
    void* library = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* e = dlerror();
        reason = e ? e : "unbekannter Grund";
        return false;
    }
    std::string missing;
#define TRES_RESOLVE(f) Resolve(library, #f, api.f, missing)
    const bool ok = TRES_RESOLVE(proj_context_create) && TRES_RESOLVE(proj_context_destroy)
                    && TRES_RESOLVE(proj_log_level) && TRES_RESOLVE(proj_create) && TRES_RESOLVE(proj_create_crs_to_crs)
                    && TRES_RESOLVE(proj_normalize_for_visualization) && TRES_RESOLVE(proj_is_crs)
                    && TRES_RESOLVE(proj_destroy) && TRES_RESOLVE(proj_coord) && TRES_RESOLVE(proj_trans)
                    && TRES_RESOLVE(proj_errno_reset) && TRES_RESOLVE(geod_init) && TRES_RESOLVE(geod_direct)
                    && TRES_RESOLVE(geod_inverse) && TRES_RESOLVE(geod_inverseline) && TRES_RESOLVE(geod_position);
#undef TRES_RESOLVE
    if (!ok) {
        reason = "ihr fehlt die Funktion " + missing;
        dlclose(library);
        return false;
    }
    // Never closed: PROJ keeps state (contexts, its database) that lives to
    // the end of the program.
    return true;
}

} // namespace

const SProjApi* LoadProj(std::string& error)
{
    if (const SProjApi* api = g_loaded.load(std::memory_order_acquire)) return api;
    SLoader& l = Loader();
    std::lock_guard lock(l.mutex);
    if (!l.tried) {
        l.tried = true;
        std::string reason;
        if (Open(l.soname, l.api, reason)) {
            g_loaded.store(&l.api, std::memory_order_release);
        } else {
            l.error = "Die Bibliothek PROJ (" + l.soname + ", Paket " + kPackage
                      + ") konnte nicht geladen werden: " + reason + ".";
        }
    }
    if (const SProjApi* api = g_loaded.load(std::memory_order_acquire)) return api;
    error = l.error;
    return nullptr;
}

const SProjApi* Proj()
{
    std::string ignored;
    return LoadProj(ignored);
}

void LoadProjFromForTests(const std::string& soname)
{
    SLoader& l = Loader();
    std::lock_guard lock(l.mutex);
    l.soname = soname.empty() ? kSoname : soname;
    l.tried = false;
    l.error.clear();
    g_loaded.store(nullptr, std::memory_order_release);
}

} // namespace trespipeline
