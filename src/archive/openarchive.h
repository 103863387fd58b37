// SPDX-License-Identifier: GPL-3.0-or-later
// The one door to an archive for the tool and the program: a path opens the
// file back end, a connection string the server back end.
#pragma once

#include "connection.h"

#include <memory>
#include <string>

namespace tresarchive {

// Opens `location` (empty: DefaultArchivePath(), its folder made as
// needed); `create` lets a missing file come into being. Faults as
// CArchiveError, the location masked in every message.
std::unique_ptr<CConnection> OpenArchiveConnection(const std::string& location, bool create);

} // namespace tresarchive
