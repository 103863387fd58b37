// SPDX-License-Identifier: GPL-3.0-or-later
#include "pqlib.h"

#include <atomic>
#include <dlfcn.h>
#include <mutex>

namespace tresarchive {

namespace {

// The libpq the build was configured with (src/archive/CMakeLists.txt).
constexpr const char* kSoname = TRES_PQ_SONAME;
constexpr const char* kPackage = TRES_PQ_PACKAGE;

struct SLoader {
    std::mutex mutex;
    bool tried = false;
    std::string error;
    SPqApi api{};
};

SLoader& Loader()
{
    static SLoader loader;
    return loader;
}

// Set once the library and all its functions are there; read without the
// lock on every call.
std::atomic<const SPqApi*> g_loaded{nullptr};

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
bool Open(SPqApi& api, std::string& reason)
{
    // RTLD_NOW: a library under libpq that lacks a symbol fails here with
    // the loader's reason, not in the middle of a transaction.
    void* library = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* e = dlerror();
        reason = e ? e : "unbekannter Grund";
        return false;
    }
    std::string missing;
#define TRES_RESOLVE(f) Resolve(library, #f, api.f, missing)
    const bool ok = TRES_RESOLVE(PQconnectdbParams) && TRES_RESOLVE(PQconninfoParse) && TRES_RESOLVE(PQconninfoFree)
                    && TRES_RESOLVE(PQstatus) && TRES_RESOLVE(PQtransactionStatus) && TRES_RESOLVE(PQerrorMessage)
                    && TRES_RESOLVE(PQfinish) && TRES_RESOLVE(PQsetNoticeProcessor) && TRES_RESOLVE(PQsetClientEncoding)
                    && TRES_RESOLVE(PQexec) && TRES_RESOLVE(PQexecParams) && TRES_RESOLVE(PQresultStatus)
                    && TRES_RESOLVE(PQresultErrorField) && TRES_RESOLVE(PQclear) && TRES_RESOLVE(PQntuples)
                    && TRES_RESOLVE(PQnfields) && TRES_RESOLVE(PQfname) && TRES_RESOLVE(PQftype)
                    && TRES_RESOLVE(PQgetvalue) && TRES_RESOLVE(PQgetlength) && TRES_RESOLVE(PQgetisnull)
                    && TRES_RESOLVE(PQunescapeBytea) && TRES_RESOLVE(PQfreemem) && TRES_RESOLVE(PQputCopyData)
                    && TRES_RESOLVE(PQputCopyEnd) && TRES_RESOLVE(PQgetResult);
#undef TRES_RESOLVE
    if (!ok) {
        reason = "ihr fehlt die Funktion " + missing;
        dlclose(library);
        return false;
    }
    // Never closed: connections may live to the end of the program.
    return true;
}

} // namespace

const SPqApi* LoadPq(std::string& error)
{
    if (const SPqApi* api = g_loaded.load(std::memory_order_acquire)) return api;
    SLoader& l = Loader();
    std::lock_guard lock(l.mutex);
    if (!l.tried) {
        l.tried = true;
        std::string reason;
        if (Open(l.api, reason)) g_loaded.store(&l.api, std::memory_order_release);
        else
            l.error = std::string("Die Bibliothek libpq (") + kSoname + ", Paket " + kPackage
                      + ") konnte nicht geladen werden: " + reason + ".";
    }
    if (const SPqApi* api = g_loaded.load(std::memory_order_acquire)) return api;
    error = l.error;
    return nullptr;
}

} // namespace tresarchive
