// SPDX-License-Identifier: LGPL-2.1-or-later
// The starts of the asynchronous commands that talk to the handheld itself;
// those that move files are in filecommands.h. Each checks its own arguments,
// makes itself the channel's active command with its step, puts its first
// bytes on the line and returns 213, or returns its refusal at once (leaving
// the channel idle). The caller has done the channel and busy checks.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>

#include "linkstate.h"

namespace vlnk {

// Connect probe (command 1) and its synchronous quick form.
int StartCheckConnect(LinkState& link);
int QuickConnect(LinkState& link);

// Framed request/reply commands with a short answer (2-5, 7, 8, 10, 11, 14).
int StartGetPath(LinkState& link);
int StartGetFreeSpace(LinkState& link, int drive);
int StartGetSessionId(LinkState& link);
int StartGetDrives(LinkState& link);
int StartSetDrive(LinkState& link, int drive);
int StartSetDirectory(LinkState& link, const char* dir);
int StartSetHandheldDate(LinkState& link);
int StartSetHandheldTime(LinkState& link);
int StartDeleteFile(LinkState& link, const char* name);
// The data of "Y": day, month, then the year with its high byte first.
std::array<uint8_t, 4> DateRequest(const std::tm& date);

// Commands the handheld answers with a single ACK (9, 15).
int StartSetBaudRate(LinkState& link, const char* baud);
int StartAbortRemote(LinkState& link);

int StartPollUser(LinkState& link, int user); // 17

} // namespace vlnk
