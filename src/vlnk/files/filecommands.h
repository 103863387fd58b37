// SPDX-License-Identifier: LGPL-2.1-or-later
// The starts of the asynchronous commands that move files: the listing, both
// transfers and the firmware download. They behave as those of
// linkcommands.h: 213 with the command running, or the refusal at once.
#pragma once

#include "linkstate.h"

namespace vlnk {

int StartGetDirectory(LinkState& link, const char* spec);   // 6
int StartTransmitFile(LinkState& link, const char* pcPath); // 12
int StartReceiveFile(LinkState& link, const char* pcPath);  // 13
int StartSoftwareDownload(LinkState& link, int machine);    // 16
// The firmware image of a machine (1-4); null for any other number.
const char* DownloadImageName(int machine);

} // namespace vlnk
