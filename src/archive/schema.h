// SPDX-License-Identifier: GPL-3.0-or-later
// The archive's one schema, written once for both databases: what differs
// (key columns, byte strings, geometry) is filled in per dialect. A file
// archive is also a GeoPackage 1.3 whose four feature tables QGIS shows.
#pragma once

#include "connection.h"

#include <string>
#include <vector>

namespace tresarchive {

// Raised by one whenever a table or column changes; an archive of an older
// schema is migrated, one of a newer is only read.
inline constexpr int kSchemaVersion = 1;

// The feature tables a GIS shows, in the order they are created.
inline constexpr const char* kFeatureTables[] = {"tres_defects", "tres_stretches", "tres_routes", "tres_fixpoints"};

// The statements that create the schema on `dialect`, one a string; with
// `geometry` false (PostgreSQL without PostGIS) points are lat/lon columns
// and lines have no geometry column.
std::vector<std::string> SchemaStatements(EDialect dialect, bool geometry);

struct SSchemaState {
    bool created = false;  // init made it now
    bool readOnly = false; // a newer schema: `note` says so
    int version = 0;
    std::string note; // German, for the user; empty when nothing to say
    // German: what the new archive lacks (a server without PostGIS).
    std::string warning;
};

// Creates the schema in an empty database in one transaction. On an
// archive of this schema nothing changes and `note` says "ist bereits ein
// Tresmon-Archiv"; a database of anything else: NotArchive, nothing
// written.
SSchemaState InitSchema(CConnection& db);

// Checks an existing archive before use: another program's database or an
// empty one is NotArchive; an older schema is migrated in one transaction
// (a file first copied to ARCHIVE.bak-<n>); a newer one is marked read
// only with its message.
SSchemaState OpenSchema(CConnection& db);

} // namespace tresarchive
