// SPDX-License-Identifier: GPL-3.0-or-later
#include "openarchive.h"

#include "location.h"
#include "pgconnection.h"
#include "sqliteconnection.h"

#include <filesystem>

namespace tresarchive {

std::unique_ptr<CConnection> OpenArchiveConnection(const std::string& location, bool create)
{
    if (IsConnectionString(location)) return OpenPgConnection(location);
    std::string path = location;
    if (path.empty()) {
        path = DefaultArchivePath();
        if (path.empty())
            throw CArchiveError(EArchiveFault::Connect,
                                "Kein Archiv angegeben, und weder XDG_DATA_HOME noch HOME ist gesetzt.");
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        create = true; // the default archive needs no set-up
    }
    return OpenSqliteConnection(path, create);
}

} // namespace tresarchive
