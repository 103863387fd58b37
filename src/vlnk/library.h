// SPDX-License-Identifier: LGPL-2.1-or-later
// Library-wide state: the channel table, load and unload, and the window
// procedure that routes timers and line notifications to the channels.
#pragma once

#include <array>
#include <memory>

#include "linkstate.h"

namespace vlnk {

inline constexpr int kChannelCount = 8;

struct ChannelSlot {
    explicit ChannelSlot(int channel)
        : nChannel(channel)
        , link(channel)
    { }
    int nChannel;
    bool bOpen = false;
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

// Creates the message window when none exists (logged on failure).
bool EnsureWindow();
// Destroys the window when no channel is open any more.
void DropWindowIfUnused();

} // namespace vlnk
