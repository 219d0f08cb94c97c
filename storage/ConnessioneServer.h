#pragma once
// The way to the archive on a PostgreSQL server: the desk's settings ([Archivio] in its
// Quorvel.ini, the password never there) and connections that always check the server's
// certificate and host name (sslmode=verify-full) and never block a window for long.
#include <QSqlDatabase>
#include <QString>

struct TParametriServer {
    QString server; // the host name as the certificate names it; a folder is a Unix socket (tests)
    int porta = 5432;
    QString database = QStringLiteral("quorvel");
    QString utente;
    QString certificatoCA; // the CA file that signed the server's certificate
};

namespace ConnessioneServer {

// The schema version this program reads and writes (table versione_schema).
inline constexpr int VersioneSchema = 1;

// Whether the desk whose program folder is `cartella` works on a server ([Archivio] Tipo).
bool ArchivioSulServer(const QString &cartella);
TParametriServer LeggiParametri(const QString &cartella);
// Writes the [Archivio] section: the parameters and Tipo ("postgresql" or "file").
void ScriviParametri(const QString &cartella, const TParametriServer &p, bool sulServer);

// Opens a connection named `nome` (replacing one of that name): TLS with verify-full against
// the CA file (a socket folder as server skips TLS, for tests), a 5-second connect timeout,
// search_path quorvel and lock, statement and idle timeouts. Checks that the database is a
// Quorvel archive of VersioneSchema. Throws ErroreFile with the reason in plain Italian.
QSqlDatabase Apri(const TParametriServer &p, const QString &password, const QString &nome);
// Closes and forgets the connection named `nome`.
void Chiudi(const QString &nome);

// The desk's server for this process: set at start once the password is known, then
// used by ApriDeposito on any thread (each thread gets a connection of its own).
void Imposta(const TParametriServer &p, const QString &password);
bool Impostato();
// The connection for the calling thread, opened on first use and opened again once when
// it was lost. Throws ErroreFile.
QSqlDatabase PerQuestoThread();
// Closes every connection opened by PerQuestoThread and forgets the server.
void Dimentica();

} // namespace ConnessioneServer
