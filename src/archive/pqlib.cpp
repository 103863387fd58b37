// SPDX-License-Identifier: GPL-3.0-or-later
#include "pqlib.h"

#include "doc/runtimelib.h"

namespace tresarchive {

namespace {

// The libpq the build was configured with (src/archive/CMakeLists.txt).
constexpr const char* kSoname = TRES_PQ_SONAME;
constexpr const char* kPackage = TRES_PQ_PACKAGE;

// The loader's reason, or which function the library lacks.
bool Open(SPqApi& api, std::string& reason)
{
    void* library = tresdoc::OpenRuntimeLibrary(kSoname, reason);
    if (!library) return false;
    std::string missing;
#define TRES_RESOLVE(f) tresdoc::ResolveRuntimeFunction(library, #f, api.f, missing)
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
        tresdoc::CloseRuntimeLibrary(library, missing, reason);
        return false;
    }
    // Never closed: connections may live to the end of the program.
    return true;
}

} // namespace

const SPqApi* LoadPq(std::string& error)
{
    static tresdoc::CRuntimeApi<SPqApi> loaded;
    return loaded.Load(
        [](SPqApi& api, std::string& why) {
            std::string reason;
            if (Open(api, reason)) return true;
            why = tresdoc::RuntimeLibraryError("libpq", kSoname, kPackage, reason);
            return false;
        },
        error);
}

} // namespace tresarchive
