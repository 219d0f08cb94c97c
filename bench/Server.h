#pragma once
// The private PostgreSQL cluster of scripts/pg_prova.sh for the benchmarks and the load
// program: administration through its Unix socket, desk logins, and archives of N
// synthetic members kept in the cluster for the rest of the run.
#include "storage/ConnessioneServer.h"

#include <QString>

namespace ServerBench {

// Whether the cluster is there (QUORVEL_PG_DIR set by scripts/pg_prova.sh).
bool Disponibile();
// Runs `sql` as the superuser on `db`; the first value of the last result (empty when
// none). Throws std::runtime_error with the server's message on failure.
QString Amministra(const QString &db, const QString &sql);
// A login of the desks' role with this password (made, or its password set again).
void CreaLogin(const QString &nome, const QString &password);
// How a desk reaches `db` as `utente`: "localhost" over TLS with the run's CA.
TParametriServer Parametri(const QString &db, const QString &utente);
// A program folder whose Quorvel.ini sends the archive to the server (kept for the run).
QString CartellaServer();
// Points this process's desk at `db` with the benchmarks' own login.
void Collega(const QString &db);
// The name of an archive database of `n` synthetic members (SchedaSintetica), made once
// and kept in the cluster: 100,000 through the storage's own import, larger ones by
// repeating those rows on the server.
QString ArchivioDi(int n);
// A new database copied from `modello` (another archive, or the empty "quorvel").
QString Copia(const QString &modello, const QString &nome);
void Elimina(const QString &db);

} // namespace ServerBench
