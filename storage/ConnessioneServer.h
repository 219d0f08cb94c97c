#pragma once
// The way to the archive on a PostgreSQL server: the desk's settings ([Archivio] in its
// Quorvel.ini, the password never there) and connections that always check the server's
// certificate and host name (sslmode=verify-full) and never block a window for long.
#include "archive/Errori.h"

#include <QSqlDatabase>
#include <QString>

struct TParametriServer {
    QString server; // the host name as the certificate names it; a folder is a Unix socket (tests)
    int porta = 5432;
    QString database = QStringLiteral("quorvel");
    QString utente;
    QString certificatoCA; // the CA file that signed the server's certificate
};

struct pg_conn;

namespace ConnessioneServer {

// Why a connection failed, told to the user in plain Italian (TestoCausa).
enum class Causa {
    Altro,
    DriverMancante,            // Qt's QPSQL plugin is not installed
    CertificatoMancante,       // no CA file given, or the file is not there
    PasswordMancante,          // the server asks a password and none was given
    PasswordErrata,            // SQLSTATE 28P01: wrong password (or unknown user)
    CertificatoNonAttendibile, // the server's certificate is not signed by the CA file
    NomeNonNelCertificato,     // the host name is not among the certificate's names
    ServerIrraggiungibile,     // refused, timed out, unknown host
    AccessoNegato,             // pg_hba.conf: not from here, not this user, or without TLS
    SenzaPermessi,             // SQLSTATE 42501: the login is no desk of this archive
    DatabaseMancante,          // SQLSTATE 3D000
    NonQuorvel,                // no versione_schema table
    AltraVersione,             // versione_schema holds another version
};

// A failed connection: the cause, and its text (ErroreFile::testo) for the user.
class ErroreServer : public ErroreFile {
public:
    ErroreServer(Causa causa, const QString &testo) : ErroreFile(testo), m_causa(causa) {}
    Causa causa() const { return m_causa; }

private:
    Causa m_causa;
};

// The cause from libpq's message (English or Italian) and, when known, the SQLSTATE.
Causa Classifica(const QString &messaggio, const QString &sqlstate = QString());
// What the user reads for a cause; `dettaglio` is the server's own message, shown for
// Altro only.
QString TestoCausa(Causa causa, const TParametriServer &p, const QString &dettaglio = QString());

// The key of a desk's password in the desktop's secret store: utente@host:porta/database.
QString ChiavePassword(const TParametriServer &p);

// What a trial connection found.
struct TEsitoProva {
    QString versioneServer; // "15.18"
    QString versioneTls;    // "TLSv1.3"; empty without TLS (a socket, in tests)
    int schede = 0;
};
// Connects as a desk would, reads what it found and closes. Throws ErroreServer.
TEsitoProva Prova(const TParametriServer &p, const QString &password);
// The sentence the connection screen shows for a trial that worked.
QString TestoEsito(const TEsitoProva &e);

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
// Quorvel archive of VersioneSchema. Throws ErroreServer with the reason in plain Italian.
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

// libpq's connection under the QPSQL one, for what the driver lacks (COPY); null for
// another driver.
pg_conn *Libpq(const QSqlDatabase &db);

} // namespace ConnessioneServer
