// SPDX-License-Identifier: LGPL-2.1-or-later
// Load and unload of the shared object: runs exactly once per process (or per
// dlopen/dlclose pair).
#include "library.h"

namespace {

__attribute__((constructor)) void OnLoad()
{
    try {
        vlnk::LibraryLoad();
    } catch (...) { }
}

__attribute__((destructor)) void OnUnload()
{
    try {
        vlnk::LibraryUnload();
    } catch (...) { }
}

} // namespace
