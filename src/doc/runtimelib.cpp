// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtimelib.h"

#include <dlfcn.h>

namespace tresdoc {

void* OpenRuntimeLibrary(const std::string& soname, std::string& reason)
{
    void* library = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* e = dlerror();
        reason = e ? e : "unbekannter Grund";
    }
    return library;
}

bool ResolveRuntimeSymbol(void* library, const char* name, void*& out, std::string& missing)
{
    out = dlsym(library, name);
    if (!out) missing = name;
    return out != nullptr;
}

void CloseRuntimeLibrary(void* library, const std::string& missing, std::string& reason)
{
    reason = "ihr fehlt die Funktion " + missing;
    dlclose(library);
}

std::string RuntimeLibraryError(const std::string& what, const std::string& soname, const std::string& package,
                                const std::string& reason)
{
    return "Die Bibliothek " + what + " (" + soname + ", Paket " + package + ") konnte nicht geladen werden: " + reason
           + ".";
}

} // namespace tresdoc
