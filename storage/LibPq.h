#pragma once
// libpq's functions for what the QPSQL driver lacks (COPY), found in the library the
// driver has already loaded: linking libpq would load it, and the TLS, Kerberos and LDAP
// libraries it pulls in, at every start of the program, server or not.
#include <libpq-fe.h>

struct TLibPq {
    decltype(&::PQclear) PQclear;
    decltype(&::PQerrorMessage) PQerrorMessage;
    decltype(&::PQescapeLiteral) PQescapeLiteral;
    decltype(&::PQexec) PQexec;
    decltype(&::PQfreemem) PQfreemem;
    decltype(&::PQgetCopyData) PQgetCopyData;
    decltype(&::PQgetResult) PQgetResult;
    decltype(&::PQputCopyData) PQputCopyData;
    decltype(&::PQputCopyEnd) PQputCopyEnd;
    decltype(&::PQresultErrorField) PQresultErrorField;
    decltype(&::PQresultErrorMessage) PQresultErrorMessage;
    decltype(&::PQresultStatus) PQresultStatus;
    decltype(&::PQstatus) PQstatus;
};

// The functions, the library opened once for the run; nullptr when it cannot be opened.
const TLibPq *LibPq();
// The same, where a libpq connection is already in hand (so the library is there).
inline const TLibPq &Pq()
{
    return *LibPq();
}
