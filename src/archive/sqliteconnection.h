// SPDX-License-Identifier: GPL-3.0-or-later
// The archive in one SQLite file: the default for a desk, a GeoPackage that
// QGIS opens. Several writers may share it (write-ahead log, a busy time-out
// of 30 s), and a statement is prepared once per connection.
#pragma once

#include "connection.h"

#include <memory>
#include <string>

namespace tresarchive {

// Opens `path` (creating it only when `create`). Not SQLite, or cut short:
// NotArchive with the file's name and nothing written; missing or not
// openable: Connect. A file that may only be read opens for reading, and
// any write fails with ReadOnly.
std::unique_ptr<CConnection> OpenSqliteConnection(const std::string& path, bool create);

} // namespace tresarchive
