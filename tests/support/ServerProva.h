#pragma once
// The tests' private PostgreSQL server (scripts/pg_prova.sh, started by scripts/test.sh):
// a new database per case from the template "quorvel", logins made on the spot, and the
// parameters a desk uses to reach it over TLS on 127.0.0.1.
#include "storage/ConnessioneServer.h"

#include <QString>
#include <QtTest>

namespace ServerProva {

// Whether the server is there (QUORVEL_PG_DIR set by scripts/pg_prova.sh).
bool Disponibile();
// Runs `sql` as the superuser on database `db`, through the server's Unix socket; false
// (with the server's message in `errore`) when it fails.
bool Amministra(const QString &db, const QString &sql, QString *errore = nullptr);
// A new empty archive database made from the template; its name is unique in this run.
QString NuovoDatabase();
// A login with a password, member of the desks' role (and of the responsible one).
void CreaUtente(const QString &nome, const QString &password, bool responsabile = false);
// How a desk reaches `database` as `utente`: host "localhost" (the name in the server's
// certificate), the server's port, and the CA file of this run.
TParametriServer Parametri(const QString &database, const QString &utente);

// The password the tests give `utente`.
QString Password(const QString &utente);
// The desk whose program folder is `cartella` works on `database` as `utente` (with
// Password(utente)) from now on: its [Archivio] section says so and the server is set up.
void Sportello(const QString &cartella, const QString &database, const QString &utente);

} // namespace ServerProva

// Skips a server test when the server is not there, but fails it under CI, where
// scripts/test.sh always starts one.
#define SERVER_RICHIESTO()                                                                         \
    do {                                                                                           \
        if (!ServerProva::Disponibile()) {                                                         \
            if (!qEnvironmentVariableIsEmpty("CI"))                                                \
                QFAIL("QUORVEL_PG_DIR manca: il server PostgreSQL di prova non è avviato");        \
            QSKIP("nessun server PostgreSQL di prova (scripts/pg_prova.sh)");                      \
        }                                                                                          \
    } while (false)
