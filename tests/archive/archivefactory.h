// SPDX-License-Identifier: GPL-3.0-or-later
// Where the store's test cases get a fresh, empty archive: a file always,
// and PostgreSQL when TRES_TEST_PG holds a connection string. The same
// cases then run against both back ends.
#pragma once

#include "connection.h"

#include <memory>
#include <ostream>
#include <string>

enum class EBackEnd { Sqlite, Postgres };

std::string BackEndName(EBackEnd backEnd);
inline void PrintTo(EBackEnd backEnd, std::ostream* os) { *os << BackEndName(backEnd); }

// An empty archive's location for one test (a new file under TMPDIR); empty
// when the back end is not available here, and `why` says so.
std::string FreshArchiveLocation(EBackEnd backEnd, std::string& why);

std::unique_ptr<tresarchive::CConnection> OpenTestArchive(EBackEnd backEnd, const std::string& location);
