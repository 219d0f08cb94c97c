#include "storage/ConnessioneServer.h"

#include "archive/Errori.h"
#include "archive/Impostazioni.h"
#include "storage/DatiEnteFile.h"
#include "storage/LibPq.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>

#include <map>

namespace {

const QString Sezione = QStringLiteral("Archivio");

QString FileIni(const QString &cartella)
{
    return QDir(cartella).filePath(NomeFileIni);
}

// libpq's option syntax: a value in single quotes, with ' and \ escaped.
QString Opzione(const QString &valore)
{
    QString v = valore;
    v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

struct Desk {
    QMutex mutex;
    bool impostato = false;
    TParametriServer parametri;
    QString password;
    std::map<QThread *, QString> connessioni; // thread -> connection name
};

Desk &Scrivania()
{
    static Desk d;
    return d;
}

} // namespace

namespace ConnessioneServer {

bool ArchivioSulServer(const QString &cartella)
{
    return TFileIni(FileIni(cartella)).Leggi(Sezione, QStringLiteral("Tipo")).trimmed().toLower() ==
           QLatin1String("postgresql");
}

TParametriServer LeggiParametri(const QString &cartella)
{
    const TFileIni ini(FileIni(cartella));
    TParametriServer p;
    p.server = ini.Leggi(Sezione, QStringLiteral("Server")).trimmed();
    bool ok = false;
    const int porta = ini.Leggi(Sezione, QStringLiteral("Porta")).trimmed().toInt(&ok);
    if (ok && porta > 0 && porta < 65536)
        p.porta = porta;
    const QString db = ini.Leggi(Sezione, QStringLiteral("Database")).trimmed();
    if (!db.isEmpty())
        p.database = db;
    p.utente = ini.Leggi(Sezione, QStringLiteral("Utente")).trimmed();
    p.certificatoCA = ini.Leggi(Sezione, QStringLiteral("CertificatoCA")).trimmed();
    return p;
}

void ScriviParametri(const QString &cartella, const TParametriServer &p, bool sulServer)
{
    TFileIni ini(FileIni(cartella));
    ini.Imposta(Sezione, QStringLiteral("Tipo"),
                sulServer ? QStringLiteral("postgresql") : QStringLiteral("file"));
    ini.Imposta(Sezione, QStringLiteral("Server"), p.server);
    ini.Imposta(Sezione, QStringLiteral("Porta"), QString::number(p.porta));
    ini.Imposta(Sezione, QStringLiteral("Database"), p.database);
    ini.Imposta(Sezione, QStringLiteral("Utente"), p.utente);
    ini.Imposta(Sezione, QStringLiteral("CertificatoCA"), p.certificatoCA);
    ini.Salva();
}

Causa Classifica(const QString &messaggio, const QString &sqlstate)
{
    const QString m = messaggio.toLower();
    const auto contiene = [&m](std::initializer_list<const char *> frasi) {
        for (const char *f : frasi)
            if (m.contains(QString::fromUtf8(f)))
                return true;
        return false;
    };
    // libpq's own messages first: they come before any answer of the server.
    if (contiene({"root certificate file", "certificato radice"}))
        return Causa::CertificatoMancante;
    if (contiene({"certificate verify failed"}))
        return Causa::CertificatoNonAttendibile;
    if (contiene({"does not match host name", "non combacia col nome host"}))
        return Causa::NomeNonNelCertificato;
    if (contiene({"no password supplied", "nessuna password"}))
        return Causa::PasswordMancante;
    if (contiene({"connection refused", "connessione rifiutata", "timeout expired",
                  "timeout scaduto", "could not translate host name", "conversione del nome host",
                  "no route to host", "network is unreachable", "could not connect to server"}))
        return Causa::ServerIrraggiungibile;
    if (sqlstate == QLatin1String("28P01") ||
        contiene({"password authentication failed", "autenticazione con password fallita"}))
        return Causa::PasswordErrata;
    if (sqlstate == QLatin1String("3D000") ||
        (m.contains(QLatin1String("database \"")) && contiene({"does not exist", "non esiste"})))
        return Causa::DatabaseMancante;
    if (contiene({"pg_hba.conf"}))
        return Causa::AccessoNegato;
    if (sqlstate == QLatin1String("42501") || contiene({"permission denied", "permesso negato"}))
        return Causa::SenzaPermessi;
    if (sqlstate == QLatin1String("42P01"))
        return Causa::NonQuorvel;
    return Causa::Altro;
}

QString TestoCausa(Causa causa, const TParametriServer &p, const QString &dettaglio)
{
    switch (causa) {
    case Causa::DriverMancante:
        return QStringLiteral(
            "Il driver PostgreSQL di Qt non \u00E8 installato (pacchetto libqt6sql6-psql).");
    case Causa::CertificatoMancante:
        if (p.certificatoCA.isEmpty())
            return QStringLiteral(
                "Manca il certificato dell'autorit\u00E0 (CA) del server: senza, il collegamento "
                "non sarebbe protetto.");
        return QStringLiteral("Il file del certificato dell'autorit\u00E0 (CA) \"%1\" non si "
                              "trova.")
            .arg(p.certificatoCA);
    case Causa::PasswordMancante:
        return QStringLiteral("Il server chiede la password dell'utente \"%1\".").arg(p.utente);
    case Causa::PasswordErrata:
        return QStringLiteral("Password errata: il server non ha accettato l'utente \"%1\" con "
                              "questa password.")
            .arg(p.utente);
    case Causa::CertificatoNonAttendibile:
        return QStringLiteral(
            "Il certificato del server non \u00E8 firmato dall'autorit\u00E0 (CA) indicata: il "
            "server non \u00E8 attendibile e il collegamento \u00E8 stato interrotto.");
    case Causa::NomeNonNelCertificato:
        return QStringLiteral("Il nome \"%1\" non \u00E8 tra quelli del certificato del "
                              "server: indicare il server con il nome scritto nel certificato.")
            .arg(p.server);
    case Causa::ServerIrraggiungibile:
        return QStringLiteral("Il server \"%1\" non risponde sulla porta %2: verificare che sia "
                              "acceso, il nome, la porta e la rete.")
            .arg(p.server)
            .arg(p.porta);
    case Causa::AccessoNegato:
        return QStringLiteral("Il server non accetta il collegamento dell'utente \"%1\" da "
                              "questo computer (pg_hba.conf).")
            .arg(p.utente);
    case Causa::SenzaPermessi:
        return QStringLiteral("L'utente \"%1\" non ha accesso all'archivio: va aggiunto al "
                              "ruolo quorvel_sportello.")
            .arg(p.utente);
    case Causa::DatabaseMancante:
        return QStringLiteral("Sul server non esiste il database \"%1\".").arg(p.database);
    case Causa::NonQuorvel:
        return QStringLiteral("Il database \"%1\" non \u00E8 un archivio di Quorvel.")
            .arg(p.database);
    case Causa::AltraVersione:
        return QStringLiteral("L'archivio sul server ha lo schema versione %1; questo "
                              "programma usa la versione %2.")
            .arg(dettaglio)
            .arg(VersioneSchema);
    case Causa::Altro:
        break;
    }
    return QStringLiteral("Impossibile collegarsi al server dell'archivio: %1").arg(dettaglio);
}

QString ChiavePassword(const TParametriServer &p)
{
    return QStringLiteral("%1@%2:%3/%4").arg(p.utente, p.server).arg(p.porta).arg(p.database);
}

} // namespace ConnessioneServer

namespace {

using namespace ConnessioneServer;

QSqlDatabase ApriConnessione(const TParametriServer &p, const QString &password,
                             const QString &nome)
{
    const auto errore = [&p](Causa c, const QString &dettaglio = QString()) {
        return ErroreServer(c, TestoCausa(c, p, dettaglio));
    };
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
    if (!db.isValid())
        throw errore(Causa::DriverMancante);
    // No name would mean libpq's local socket, without TLS: never for a desk.
    if (p.server.trimmed().isEmpty())
        throw ErroreServer(Causa::Altro, QStringLiteral("Manca il nome del server dell'archivio."));
    const bool socket = QFileInfo(p.server).isAbsolute();
    QStringList opzioni{QStringLiteral("connect_timeout=5")};
    if (!socket) {
        if (p.certificatoCA.isEmpty() || !QFileInfo(p.certificatoCA).isFile())
            throw errore(Causa::CertificatoMancante);
        opzioni << QStringLiteral("sslmode=verify-full")
                << QStringLiteral("sslrootcert=") + Opzione(p.certificatoCA);
    }
    db.setConnectOptions(opzioni.join(QLatin1Char(';')));
    db.setHostName(p.server);
    db.setPort(p.porta);
    db.setDatabaseName(p.database);
    db.setUserName(p.utente);
    db.setPassword(password);
    if (!db.open()) {
        const QSqlError e = db.lastError();
        const QString motivo =
            e.databaseText().trimmed().isEmpty() ? e.text() : e.databaseText().trimmed();
        throw errore(Classifica(motivo, e.nativeErrorCode()), motivo);
    }
    QSqlQuery q(db);
    for (const char *impostazione :
         {"SET search_path = quorvel", "SET lock_timeout = '5s'", "SET statement_timeout = '60s'",
          "SET idle_in_transaction_session_timeout = '30s'"})
        if (!q.exec(QString::fromLatin1(impostazione)))
            throw ErroreServer(Causa::Altro,
                               QStringLiteral("Impossibile preparare il collegamento al server: %1")
                                   .arg(q.lastError().databaseText()));
    if (!q.exec(QStringLiteral("SELECT versione FROM quorvel.versione_schema"))) {
        const QSqlError e = q.lastError();
        const Causa c = Classifica(e.databaseText(), e.nativeErrorCode());
        throw errore(c == Causa::SenzaPermessi ? c : Causa::NonQuorvel);
    }
    if (!q.next())
        throw errore(Causa::NonQuorvel);
    const int versione = q.value(0).toInt();
    if (versione != VersioneSchema)
        throw errore(Causa::AltraVersione, QString::number(versione));
    return db;
}

} // namespace

namespace ConnessioneServer {

QSqlDatabase Apri(const TParametriServer &p, const QString &password, const QString &nome)
{
    Chiudi(nome);
    try {
        return ApriConnessione(p, password, nome);
    } catch (...) {
        // A connection that failed is not left behind under its name.
        Chiudi(nome);
        throw;
    }
}

TEsitoProva Prova(const TParametriServer &p, const QString &password)
{
    const QString nome =
        QStringLiteral("quorvel-prova-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    TEsitoProva esito;
    try {
        QSqlDatabase db = Apri(p, password, nome);
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SHOW server_version")) && q.next())
            esito.versioneServer = q.value(0).toString().section(u' ', 0, 0);
        if (q.exec(QStringLiteral("SELECT version FROM pg_stat_ssl WHERE pid = pg_backend_pid() "
                                  "AND ssl")) &&
            q.next())
            esito.versioneTls = q.value(0).toString();
        if (!q.exec(QStringLiteral("SELECT count(*) FROM schede")) || !q.next()) {
            const QSqlError e = q.lastError();
            const Causa c = Classifica(e.databaseText(), e.nativeErrorCode());
            throw ErroreServer(c, TestoCausa(c, p, e.databaseText()));
        }
        esito.schede = q.value(0).toInt();
    } catch (...) {
        Chiudi(nome);
        throw;
    }
    Chiudi(nome);
    return esito;
}

QString TestoEsito(const TEsitoProva &e)
{
    const QString tls = e.versioneTls.isEmpty()
                            ? QStringLiteral("senza cifratura (solo per le prove)")
                            : QStringLiteral("protetto con %1").arg(e.versioneTls);
    const QString schede =
        e.schede == 1 ? QStringLiteral("1 scheda") : QStringLiteral("%1 schede").arg(e.schede);
    return QStringLiteral("Collegamento riuscito: server PostgreSQL %1, collegamento %2. "
                          "L'archivio contiene %3.")
        .arg(e.versioneServer, tls, schede);
}

void Chiudi(const QString &nome)
{
    if (!QSqlDatabase::contains(nome))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(nome, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(nome);
}

void Imposta(const TParametriServer &p, const QString &password)
{
    Dimentica();
    Desk &d = Scrivania();
    QMutexLocker blocco(&d.mutex);
    d.parametri = p;
    d.password = password;
    d.impostato = true;
}

bool Impostato()
{
    Desk &d = Scrivania();
    QMutexLocker blocco(&d.mutex);
    return d.impostato;
}

QSqlDatabase PerQuestoThread()
{
    Desk &d = Scrivania();
    QThread *thread = QThread::currentThread();
    TParametriServer p;
    QString password;
    QString nome;
    {
        QMutexLocker blocco(&d.mutex);
        if (!d.impostato)
            throw ErroreFile(QStringLiteral("Nessun server dell'archivio impostato."));
        p = d.parametri;
        password = d.password;
        auto it = d.connessioni.find(thread);
        if (it != d.connessioni.end()) {
            nome = it->second;
        } else {
            nome = QStringLiteral("quorvel-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
            d.connessioni[thread] = nome;
            // A worker thread's connection goes with the thread.
            if (thread != QCoreApplication::instance()->thread())
                QObject::connect(
                    thread, &QThread::finished, thread,
                    [thread, nome] {
                        Chiudi(nome);
                        Desk &dd = Scrivania();
                        QMutexLocker b(&dd.mutex);
                        dd.connessioni.erase(thread);
                    },
                    Qt::DirectConnection);
        }
    }
    if (QSqlDatabase::contains(nome)) {
        QSqlDatabase db = QSqlDatabase::database(nome, false);
        if (db.isOpen())
            return db;
    }
    return Apri(p, password, nome);
}

void Dimentica()
{
    Desk &d = Scrivania();
    std::map<QThread *, QString> connessioni;
    {
        QMutexLocker blocco(&d.mutex);
        connessioni.swap(d.connessioni);
        d.impostato = false;
        d.password.clear();
    }
    for (const auto &[thread, nome] : connessioni)
        if (thread == QThread::currentThread())
            Chiudi(nome);
}

PGconn *Libpq(const QSqlDatabase &db)
{
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    if (!LibPq())
        return nullptr;
    // Qt names the type by the struct behind libpq's typedef.
    if (!h.isValid() ||
        (qstrcmp(h.typeName(), "pg_conn*") != 0 && qstrcmp(h.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(h.constData());
}

} // namespace ConnessioneServer
