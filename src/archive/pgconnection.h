// SPDX-License-Identifier: GPL-3.0-or-later
// The archive on a PostgreSQL server, through libpq: a team's shared
// archive, PostGIS geometry columns where the database has the extension.
#pragma once

#include "connection.h"

#include <memory>
#include <string>

namespace tresarchive {

// Connects to the server `conninfo` names (a URI, key=value pairs or
// service=NAME; the password from libpq's own places). A server that does
// not answer fails within connect_timeout, 10 s unless `conninfo` sets one.
// Throws CArchiveError (Connect) with libpq's message and the location
// masked.
std::unique_ptr<CConnection> OpenPgConnection(const std::string& conninfo);

} // namespace tresarchive
