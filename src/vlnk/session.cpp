// SPDX-License-Identifier: LGPL-2.1-or-later
#include "session.h"

#include "libdir.h"
#include "library.h"

namespace vlnk {
namespace {

// A plain pointer: no exit handler destroys what it points to.
Session* g_pSession = nullptr;

// Lends the layers below their parts of the session, or (null) takes them back.
void FillSlots(Session* session)
{
    SetTheLog(session ? &session->log : nullptr);
    SetWindowSlot(session ? &session->window : nullptr);
    SetSystemDirFlag(session ? &session->bSysDirWritable : nullptr);
}

} // namespace

Session::Session() = default;
Session::~Session() = default;

Session* TheSession() { return g_pSession; }

Session& CreateSession()
{
    if (!g_pSession) {
        g_pSession = new Session;
        FillSlots(g_pSession);
    }
    return *g_pSession;
}

void DestroySession()
{
    Session* session = g_pSession;
    g_pSession = nullptr;
    FillSlots(nullptr);
    delete session;
}

} // namespace vlnk
