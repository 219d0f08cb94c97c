#include "storage/LibPq.h"

#include "archive/LibreriaDinamica.h"

namespace {
using LibreriaDinamica::Prendi;

const TLibPq *Apri()
{
    // The library stays open for the rest of the run.
    void *lib = dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return nullptr;
    static TLibPq f;
    if (!Prendi(lib, "PQclear", f.PQclear) || !Prendi(lib, "PQerrorMessage", f.PQerrorMessage) ||
        !Prendi(lib, "PQescapeLiteral", f.PQescapeLiteral) || !Prendi(lib, "PQexec", f.PQexec) ||
        !Prendi(lib, "PQfreemem", f.PQfreemem) || !Prendi(lib, "PQgetCopyData", f.PQgetCopyData) ||
        !Prendi(lib, "PQgetResult", f.PQgetResult) ||
        !Prendi(lib, "PQputCopyData", f.PQputCopyData) ||
        !Prendi(lib, "PQputCopyEnd", f.PQputCopyEnd) ||
        !Prendi(lib, "PQresultErrorField", f.PQresultErrorField) ||
        !Prendi(lib, "PQresultErrorMessage", f.PQresultErrorMessage) ||
        !Prendi(lib, "PQresultStatus", f.PQresultStatus) || !Prendi(lib, "PQstatus", f.PQstatus))
        return nullptr;
    return &f;
}
} // namespace

const TLibPq *LibPq()
{
    // Opened at the first call, once, whichever thread makes it.
    static const TLibPq *const funzioni = Apri();
    return funzioni;
}
