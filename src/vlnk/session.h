// SPDX-License-Identifier: LGPL-2.1-or-later
// The library's process-lifetime state, with one owner.
//
// A shared object's destructor function runs after the process's exit
// handlers, and those destroy every static object of the library - in an
// order nobody controls, before the unload that still needs them (a process
// that never unloads the library crashed at exit, one that exited with a
// channel open freed its channels twice). So nothing the unload touches lives
// in a static object: all of it belongs to the one session that LibraryLoad
// creates and LibraryUnload tears down, in the order written there. The exit
// handlers see only a plain pointer, which they leave alone.
//
// The layers below reach their part of it through a slot of their own (the
// log through TheLog, the window through TheWindow, ...): the session fills
// every slot when it is created and empties them before it is destroyed, so
// they hold exactly while the session exists.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "logfile.h"
#include "msgwindow.h"

namespace vlnk {

struct ChannelSlot;

struct Session {
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    CLogFile log;
    std::vector<std::unique_ptr<ChannelSlot>> slots;
    std::unique_ptr<CMsgWindow> window;
    bool bSysDirWritable = false;
};

// The session of the loaded library; null before load and after unload, so an
// export called then finds no channel instead of freed memory.
Session* TheSession();

// Only for LibraryLoad and LibraryUnload.
Session& CreateSession();
void DestroySession();

} // namespace vlnk
