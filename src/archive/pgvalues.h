// SPDX-License-Identifier: GPL-3.0-or-later
// Values as PostgreSQL's text forms carry them: numbers that read back to
// the same double, geometries as hex EWKB (which PostGIS takes for a
// geometry column), rows for COPY's text format.
#pragma once

#include "connection.h"

#include <string>

namespace tresarchive {

// The shortest decimal text that reads back to `v` (NaN, Infinity as the
// server writes them).
std::string PgRealText(double v);

// A Point or Line value as hex EWKB with SRID 4326; throws CArchiveError
// (Other) for a point without exactly one position or a line with fewer
// than two.
std::string PgGeometryHex(const SValue& value);

// The text parameter for a non-Null, non-Blob value; throws CArchiveError
// (Other) for a text holding a NUL byte, which the server cannot store.
std::string PgParamText(const SValue& value);

// Appends one value as a field of COPY's text format (\N for NULL, bytea
// as escaped hex).
void AppendCopyField(std::string& out, const SValue& value);

} // namespace tresarchive
