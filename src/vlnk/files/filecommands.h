// SPDX-License-Identifier: LGPL-2.1-or-later
// The starts of the asynchronous commands that move files: the listing, both
// transfers and the firmware download. They behave as those of
// linkcommands.h: 213 with the command running, or the refusal at once.
#pragma once

#include <string>

#include "linkstate.h"

namespace vlnk {

int StartGetDirectory(LinkState& link, const char* spec);   // 6
int StartTransmitFile(LinkState& link, const char* pcPath); // 12
int StartReceiveFile(LinkState& link, const char* pcPath);  // 13
int StartSoftwareDownload(LinkState& link, int machine);    // 16
// The firmware image of a machine (1-4); null for any other number.
const char* DownloadImageName(int machine);

// The last directory line received, library-wide: a repeated entry frame can
// only be told by its text. The line belongs to the session, which lends it
// here when the library loads and takes it back (null) before it goes.
void SetLastDirLineSlot(std::string* line);

} // namespace vlnk
