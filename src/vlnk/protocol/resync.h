// SPDX-License-Identifier: LGPL-2.1-or-later
// Bringing the link back into step after a failed command.
//
// A command that gave up (retries used up, a cancel, a refused frame) leaves
// the handheld where it was: still sending a file's blocks, still waiting for
// the rest of one, or halfway through a listing, its last frame perhaps still
// on the line. The next request would be answered from that state - a stale
// one-byte data block taken for an entry count kept a receive going for many
// minutes. So the next command first drains the line until it has been quiet
// for the inter-frame time, then ends the transfer the handheld may still be
// in by the protocol's own ending (a receive: the final 0xFF frame; a
// transmit: the empty last frame, its reply answered with EOT), then asks
// ENQ until the handheld answers it.
#pragma once

#include "linkstate.h"

namespace vlnk {

// Runs synchronously inside a command's start (the line's bytes are read
// directly, other channels' messages are pumped meanwhile). True when the
// handheld answered ENQ, which clears the link's m_bResync; the command goes
// ahead either way and its own retries decide.
bool ReestablishLink(LinkState& link);

} // namespace vlnk
