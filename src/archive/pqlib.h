// SPDX-License-Identifier: GPL-3.0-or-later
// libpq, loaded when the archive first connects to a server. Linked, libpq
// and the twenty libraries under it (Kerberos, LDAP, GnuTLS ...) would be
// mapped at the start of every program that holds the archive layer, also
// of every tresmon-tool command that never touches an archive: 2 ms of
// every start, half the time a `convert` takes.
//
// The library is opened by its SONAME, the one of the libpq found when the
// build was configured, and only the functions the PostgreSQL back end
// calls are resolved, with the types libpq-fe.h gives them. The header
// stays the build's; no program links libpq.
#pragma once

#include <libpq-fe.h>

#include <string>

namespace tresarchive {

struct SPqApi {
    decltype(&::PQconnectdbParams) PQconnectdbParams;
    decltype(&::PQconninfoParse) PQconninfoParse;
    decltype(&::PQconninfoFree) PQconninfoFree;
    decltype(&::PQstatus) PQstatus;
    decltype(&::PQtransactionStatus) PQtransactionStatus;
    decltype(&::PQerrorMessage) PQerrorMessage;
    decltype(&::PQfinish) PQfinish;
    decltype(&::PQsetNoticeProcessor) PQsetNoticeProcessor;
    decltype(&::PQsetClientEncoding) PQsetClientEncoding;
    decltype(&::PQexec) PQexec;
    decltype(&::PQexecParams) PQexecParams;
    decltype(&::PQresultStatus) PQresultStatus;
    decltype(&::PQresultErrorField) PQresultErrorField;
    decltype(&::PQclear) PQclear;
    decltype(&::PQntuples) PQntuples;
    decltype(&::PQnfields) PQnfields;
    decltype(&::PQfname) PQfname;
    decltype(&::PQftype) PQftype;
    decltype(&::PQgetvalue) PQgetvalue;
    decltype(&::PQgetlength) PQgetlength;
    decltype(&::PQgetisnull) PQgetisnull;
    decltype(&::PQunescapeBytea) PQunescapeBytea;
    decltype(&::PQfreemem) PQfreemem;
    decltype(&::PQputCopyData) PQputCopyData;
    decltype(&::PQputCopyEnd) PQputCopyEnd;
    decltype(&::PQgetResult) PQgetResult;
};

// libpq's functions, loaded on the first call; later calls return at once.
// nullptr and a German `error` when the library cannot be opened or lacks
// one of them: "Die Bibliothek libpq (libpq.so.5, Paket libpq5) konnte
// nicht geladen werden: <the loader's reason>." A failure is kept, so a
// caller asks again at no cost. Safe from several threads.
const SPqApi* LoadPq(std::string& error);

} // namespace tresarchive
