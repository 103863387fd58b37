// SPDX-License-Identifier: GPL-3.0-or-later
#include "archivefactory.h"

#include "pgconnection.h"
#include "sqliteconnection.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

std::string BackEndName(EBackEnd backEnd) { return backEnd == EBackEnd::Sqlite ? "Sqlite" : "Postgres"; }

std::string FreshArchiveLocation(EBackEnd backEnd, std::string& why)
{
    if (backEnd == EBackEnd::Postgres) {
        const char* conninfo = std::getenv("TRES_TEST_PG");
        if (!conninfo || !*conninfo) {
            why = "TRES_TEST_PG ist nicht gesetzt";
            return {};
        }
        // A schema of its own per archive, so every case starts empty on the
        // one test database (PostGIS stays reachable in public).
        static std::atomic<int> schemas{0};
        const std::string schema = "t" + std::to_string(::getpid()) + "_" + std::to_string(++schemas);
        tresarchive::OpenPgConnection(conninfo)->Execute("CREATE SCHEMA " + schema);
        return std::string(conninfo) + " options='-c search_path=" + schema + ",public'";
    }
    static std::atomic<int> serial{0};
    const auto dir = std::filesystem::temp_directory_path() / ("archive-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / ("a" + std::to_string(++serial) + ".gpkg");
    std::filesystem::remove(path);
    return path.string();
}

std::unique_ptr<tresarchive::CConnection> OpenTestArchive(EBackEnd backEnd, const std::string& location)
{
    if (backEnd == EBackEnd::Sqlite) return tresarchive::OpenSqliteConnection(location, true);
    return tresarchive::OpenPgConnection(location);
}
