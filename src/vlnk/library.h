// SPDX-License-Identifier: LGPL-2.1-or-later
// Library-wide state: the channel table, load and unload, and the window
// procedure that routes timers and line notifications to the channels.
#pragma once

#include <array>
#include <atomic>
#include <memory>

#include "linkstate.h"
#include "vlnkw32.h"

namespace vlnk {

inline constexpr int kChannelCount = 8;

struct ChannelSlot {
    explicit ChannelSlot(int channel)
        : nChannel(channel)
        , link(channel)
    { }
    int nChannel;
    std::atomic<bool> bOpen = false;
    LinkState link;
    std::array<char, 256> scratch{};
    std::array<char, 301> scratchLong{};
};

// Load: log and settings, the channel table, "Session started". Runs once per
// Unload; the shared object calls it from its constructor.
void LibraryLoad();
// Unload: closes every open channel, "Session terminated", drops the window.
void LibraryUnload();
bool LibraryLoaded();

// The slot of a channel number; null outside 1..8 (and before load or after
// unload).
ChannelSlot* Slot(int channel);
bool AnySlotOpen();

// Every export that reaches the session runs inside a CallScope. It keeps the
// session from going away under the call: an unload on another thread (a
// process that calls exit() there while this one transfers) waits for the
// calls in progress, and calls that come later find no session. And it keeps
// the channels to the thread that owns them - the one that opened the first
// of the channels now open, whose message window runs them: a call on any
// other thread is refused before it touches anything.
class CallScope {
public:
    // `claim`: a call that may open the first channel and so make its thread
    // the owner.
    explicit CallScope(bool claim = false);
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;
    // 0 to go on; else the call's result: VLNK_WRONG_THREAD on another thread
    // than the owner, VLNK_BAD_CHANNEL once the library is being unloaded
    // (Gone() then).
    int Refusal() const { return m_nRefusal; }
    bool Gone() const { return m_nRefusal == VLNK_BAD_CHANNEL; }

private:
    int m_nRefusal = 0;
    bool m_bOwner = false;
};

// Creates the message window when none exists (logged on failure).
bool EnsureWindow();
// Destroys the window when no channel is open any more; the channels then
// belong to no thread until the next one opens.
void DropWindowIfUnused();

} // namespace vlnk
