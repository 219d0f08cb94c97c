#include "storage/ConnessioneServer.h"

#include "archive/Errori.h"
#include "archive/Impostazioni.h"
#include "storage/DatiEnteFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
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

QSqlDatabase Apri(const TParametriServer &p, const QString &password, const QString &nome)
{
    Chiudi(nome);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
    if (!db.isValid())
        throw ErroreFile(QStringLiteral(
            "Il driver PostgreSQL di Qt non è installato (pacchetto libqt6sql6-psql)."));
    const bool socket = QFileInfo(p.server).isAbsolute();
    QStringList opzioni{QStringLiteral("connect_timeout=5")};
    if (!socket) {
        if (p.certificatoCA.isEmpty())
            throw ErroreFile(QStringLiteral(
                "Manca il certificato dell'autorità (CA) del server: senza, il collegamento "
                "non sarebbe protetto."));
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
        const QString motivo = db.lastError().databaseText().trimmed();
        throw ErroreFile(QStringLiteral("Impossibile collegarsi al server dell'archivio: %1")
                             .arg(motivo.isEmpty() ? db.lastError().text() : motivo));
    }
    QSqlQuery q(db);
    for (const char *impostazione :
         {"SET search_path = quorvel", "SET lock_timeout = '5s'", "SET statement_timeout = '60s'",
          "SET idle_in_transaction_session_timeout = '30s'"})
        if (!q.exec(QString::fromLatin1(impostazione)))
            throw ErroreFile(QStringLiteral("Impossibile preparare il collegamento al server: %1")
                                 .arg(q.lastError().databaseText()));
    if (!q.exec(QStringLiteral("SELECT versione FROM versione_schema")) || !q.next())
        throw ErroreFile(
            QStringLiteral("Il database \"%1\" non è un archivio di Quorvel.").arg(p.database));
    const int versione = q.value(0).toInt();
    if (versione != VersioneSchema)
        throw ErroreFile(QStringLiteral("L'archivio sul server ha lo schema versione %1; questo "
                                        "programma usa la versione %2.")
                             .arg(versione)
                             .arg(VersioneSchema));
    return db;
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

} // namespace ConnessioneServer
