// SPDX-License-Identifier: GPL-3.0-or-later
// A shared library opened when it is first needed rather than linked: what
// is linked is mapped, with everything under it, at every start of every
// program that holds the layer. The layers that do so (PROJ for pipeline
// data, libpq for a server archive) open it by the SONAME the build found
// and resolve only the functions they call, with the types of its header.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

namespace tresdoc {

// The library opened for good (RTLD_NOW: a library under it that lacks a
// symbol fails here, not in the middle of the work); nullptr with the
// loader's reason.
void* OpenRuntimeLibrary(const std::string& soname, std::string& reason);
// One function of it into `out`; false with its name in `missing`.
bool ResolveRuntimeSymbol(void* library, const char* name, void*& out, std::string& missing);
template <class F> bool ResolveRuntimeFunction(void* library, const char* name, F& out, std::string& missing)
{
    void* symbol = nullptr;
    if (!ResolveRuntimeSymbol(library, name, symbol, missing)) return false;
    out = reinterpret_cast<F>(symbol);
    return true;
}
// Closes a library that lacked a function; `reason` says which.
void CloseRuntimeLibrary(void* library, const std::string& missing, std::string& reason);

// "Die Bibliothek PROJ (libproj.so.25, Paket libproj25) konnte nicht
// geladen werden: <reason>."
std::string RuntimeLibraryError(const std::string& what, const std::string& soname, const std::string& package,
                                const std::string& reason);

// The functions of one library, loaded once per process on the first call
// and kept to its end; a failure is kept too, so a caller asks again at no
// cost. Safe from several threads.
template <class Api> class CRuntimeApi {
public:
    // `open(api, error)` fills the functions or says why not.
    template <class Open> const Api* Load(Open&& open, std::string& error)
    {
        if (const Api* api = m_loaded.load(std::memory_order_acquire)) return api;
        std::lock_guard lock(m_mutex);
        if (!m_tried) {
            m_tried = true;
            if (open(m_api, m_error)) m_loaded.store(&m_api, std::memory_order_release);
        }
        if (const Api* api = m_loaded.load(std::memory_order_acquire)) return api;
        error = m_error;
        return nullptr;
    }
    // For tests: counts as not loaded again. Not while others use it.
    void Forget()
    {
        std::lock_guard lock(m_mutex);
        m_tried = false;
        m_error.clear();
        m_loaded.store(nullptr, std::memory_order_release);
    }

private:
    std::mutex m_mutex;
    bool m_tried = false;
    std::string m_error;
    Api m_api{};
    std::atomic<const Api*> m_loaded{nullptr};
};

} // namespace tresdoc
