// SPDX-License-Identifier: LGPL-2.1-or-later
// CtrlCommand: one framed request and its reply, with acknowledgements,
// checksums, time-outs and bounded retries.
//
// The request is built into the link's transmit buffer first (BuildFrame).
// The exchange then runs through its phases - wait for ACK, wait for STX, wait
// for the length, wait for payload and checksum - on the link's line
// notifications and timer, and asks again (the request in the first phase, NAK
// afterwards) on every fault until RetryLimit retries are used up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "frame.h"
#include "linkstate.h"

namespace vlnk {

// Start: sends the request (returns 213). CommsEvent, TimerEvent: advance the
// exchange (return 0). Poll: 213 while it runs, 210 when the channel's command
// ended meanwhile, 211 when the retries ran out, else 0 with the payload copied
// to `reply` (when not null; it must hold kReplyPayloadMax + 1 bytes) and
// NUL-terminated.
int CtrlCommand(LinkState& link, StepEvent event, char* reply = nullptr);

// The payload lengths a reply may have; any other is a bad frame, answered by
// NAK like a bad checksum: a stale frame of another stage is never data.
struct ReplySize {
    size_t min = 0;
    size_t max = kReplyPayloadMax;
};
inline constexpr ReplySize kAnyReply{};
inline constexpr ReplySize kWordReply{2, 2};                  // one 16-bit number: a count or a transfer status
inline constexpr ReplySize kStatusReply{2, kReplyPayloadMax}; // a 16-bit status or number first

// Starts an exchange (CtrlCommand's Start) whose reply must have `size`.
int CtrlRequest(LinkState& link, ReplySize size);

// The reply of a completed exchange.
const uint8_t* ReplyPayload(const LinkState& link);
size_t ReplyLength(const LinkState& link);

// Waits for one more reply frame without a new request (the handheld sends
// several in a row): second phase, flags and retry count cleared. After a
// repeat (`repeat`: the frame just taken was the one before, sent again as
// the handheld missed our ACK) the retry count goes on instead, so a handheld
// that repeats for ever still fails the command.
void CtrlAwaitNextFrame(LinkState& link, unsigned timeoutMs, bool repeat = false);

// Sends the request in the transmit buffer as it is, without an exchange: the
// timer runs with StartBlockTimeout and the line is armed for one byte.
void SendDirect(LinkState& link);

// The answer to such a request, on a line notification: empty while no byte
// has come (the line armed and the timer started again, as SendDirect left
// them), else whether the byte is ACK.
std::optional<bool> TakeDirectAnswer(LinkState& link);

// Whether the line showed garbage since the last good ACK; shared by all channels.
bool GarbageSeen();

} // namespace vlnk
