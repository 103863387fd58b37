// SPDX-License-Identifier: GPL-3.0-or-later
// The suite's throwaway PostgreSQL server (pgcluster.sh, a CTest fixture):
// its connection strings come in TRES_TEST_PG (the writing role on the
// database with PostGIS), TRES_TEST_PG_READONLY and TRES_TEST_PG_NOGIS.
// Where CMake found no server binaries they are unset and the tests skip
// (fail under CI=true).
#pragma once

#include "missingtool.h"

#include <cstdlib>
#include <string>

inline std::string PgTestLocation(const char* var)
{
    const char* v = std::getenv(var);
    return v ? v : "";
}

#define TRES_PG_LOCATION(out, var)                                                                                     \
    const std::string out = PgTestLocation(var);                                                                       \
    if (out.empty()) TRES_GTEST_SKIP_MISSING("no PostgreSQL server for the tests (postgresql-15)")
