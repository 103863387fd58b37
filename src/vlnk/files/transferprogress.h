// SPDX-License-Identifier: LGPL-2.1-or-later
// What a poll of a running transmit or receive reports: the percentage done
// and "<done> of <size>" bytes, renewed every five blocks and at the end.
#pragma once

namespace vlnk {

struct LinkState;

// `block` is the file bytes a block carries on this line; during the first
// five cable blocks (`earlyBytes`) the text reads "0 of <size>".
void ReportTransferProgress(LinkState& link, unsigned long block, unsigned long earlyBytes, int* value, char* text);
// The same for `done` of `size` bytes given by the caller (a receive that
// reads the file more than once counts all its reads).
void ReportTransferProgress(LinkState& link, unsigned long done, unsigned long size, unsigned long block,
                            unsigned long earlyBytes, int* value, char* text);

} // namespace vlnk
