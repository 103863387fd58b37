// SPDX-License-Identifier: LGPL-2.1-or-later
// The PC file of a transfer: how a transmit or receive takes its path, and how
// the local file is closed, the same for every command that moves a file.
#pragma once

#include "linkstate.h"

namespace vlnk {

// The start both transfers share: the path kept as the command's argument
// and logged ("Trying to <trying> file"), the line set up at the remembered
// rate, and the name checked. False when the handheld could not take the name
// (logged as "VLNKWDLL:ERROR:<tag>:Cannot <cannot> - invalid filename").
bool BeginTransfer(LinkState& link, const char* pcPath, const char* tag, const char* trying, const char* cannot);

// A local file still open from an earlier command is closed (and logged under
// `tag`) before a new one is opened.
void CloseLeftOpen(LinkState& link, const char* tag);

// Closes the local file; a failed flush means data did not reach the disk.
// A file about to replace the target is made durable first, so that a crash
// after the rename cannot leave an empty or partial file under its name.
bool CloseLocal(LinkState& link, bool durable = false);

} // namespace vlnk
