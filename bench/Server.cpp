#include "bench/Server.h"

#include "bench/Dati.h"
#include "storage/Deposito.h"
#include "storage/DepositoServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <stdexcept>

namespace ServerBench {

namespace {
const QString Login = QStringLiteral("quorvel_bench");
const QString Password = QStringLiteral("bench-Quorvel-1");

QString Esegui(const QString &db, const QStringList &istruzioni)
{
    const QString nome = QStringLiteral("amministrazione-bench");
    QString valore, errore;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
        c.setHostName(qEnvironmentVariable("QUORVEL_PG_DIR"));
        c.setPort(qEnvironmentVariableIntValue("PGPORT"));
        c.setUserName(QStringLiteral("postgres"));
        c.setDatabaseName(db);
        if (c.open()) {
            QSqlQuery q(c);
            for (const QString &sql : istruzioni) {
                if (!q.exec(sql)) {
                    errore = sql.left(60) + QStringLiteral(": ") + q.lastError().databaseText();
                    break;
                }
                valore = q.next() ? q.value(0).toString() : QString();
            }
        } else {
            errore = c.lastError().text();
        }
        c.close();
    }
    QSqlDatabase::removeDatabase(nome);
    if (!errore.isEmpty())
        throw std::runtime_error(errore.toStdString());
    return valore;
}

bool Esiste(const QString &db)
{
    return Amministra(
               QStringLiteral("postgres"),
               QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = '%1'").arg(db)) ==
           QLatin1String("1");
}

// The 100,000 synthetic members through the storage's own import, as a desk imports.
void Riempi(const QString &db, int n)
{
    Collega(db);
    {
        const std::unique_ptr<TDeposito> d = ApriDeposito(CartellaServer());
        const std::unique_ptr<TDeposito::TImportazione> i = d->IniziaImportazione(0);
        for (int k = 0; k < n; ++k)
            i->Accoda(SchedaSintetica(k));
        i->Conferma({});
    }
    ConnessioneServer::Dimentica();
    // As autovacuum leaves a table after a load: statistics, and the visibility map that
    // lets the list of every record be read from its index alone.
    Amministra(db, QStringLiteral("VACUUM ANALYZE quorvel.schede"));
}

// `volte` - 1 more copies of the rows there, with card numbers of seven digits, the
// search indexes built again once at the end.
void Moltiplica(const QString &db, int base, int volte)
{
    QStringList colonne, valori;
    for (int i = 0; i < NumeroCampi; ++i) {
        const Campo c = static_cast<Campo>(i);
        colonne << ColonnaServer(c);
        valori
            << (c == Campo::NumTessera
                    ? QStringLiteral("'T' || lpad((s.posizione + k * %1)::text, 7, '0')").arg(base)
                    : QStringLiteral("s.") + ColonnaServer(c));
    }
    const QString indici = Esegui(
        db, {QStringLiteral("SELECT string_agg(pg_get_indexdef(indexrelid), ';') FROM pg_index "
                            "WHERE indrelid = 'quorvel.schede'::regclass AND "
                            "indexrelid::regclass::text LIKE '%trgm'")});
    QStringList passi{QStringLiteral("SET maintenance_work_mem = '256MB'"),
                      QStringLiteral("SET session_replication_role = replica")};
    for (const QString &indice : indici.split(u';')) {
        const QString nome = indice.section(u' ', 2, 2);
        passi << QStringLiteral("DROP INDEX quorvel.%1").arg(nome);
    }
    passi << QStringLiteral("INSERT INTO quorvel.schede (posizione, %1) SELECT s.posizione + k * "
                            "%2, %3 FROM quorvel.schede s, generate_series(1, %4) k")
                 .arg(colonne.join(QStringLiteral(", ")))
                 .arg(base)
                 .arg(valori.join(QStringLiteral(", ")))
                 .arg(volte - 1)
          << QStringLiteral("UPDATE quorvel.contatore SET ultima = (SELECT max(posizione) FROM "
                            "quorvel.schede)");
    passi << indici.split(u';') << QStringLiteral("ANALYZE quorvel.schede");
    Esegui(db, passi);
}
} // namespace

bool Disponibile()
{
    return !qEnvironmentVariableIsEmpty("QUORVEL_PG_DIR");
}

QString Amministra(const QString &db, const QString &sql)
{
    return Esegui(db, {sql});
}

void CreaLogin(const QString &nome, const QString &password)
{
    Amministra(QStringLiteral("postgres"),
               QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = "
                              "'%1') THEN CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE "
                              "quorvel_sportello; ELSE ALTER ROLE %1 PASSWORD '%2'; END IF; "
                              "END $$")
                   .arg(nome, password));
}

TParametriServer Parametri(const QString &db, const QString &utente)
{
    TParametriServer p;
    p.server = QStringLiteral("localhost");
    p.porta = qEnvironmentVariableIntValue("PGPORT");
    p.database = db;
    p.utente = utente;
    p.certificatoCA = qEnvironmentVariable("QUORVEL_PG_CA");
    return p;
}

QString CartellaServer()
{
    static const QString cartella = [] {
        const QString c = QDir(QDir::tempPath())
                              .filePath(QStringLiteral("quorvel-bench-server-%1")
                                            .arg(QCoreApplication::applicationPid()));
        QDir().mkpath(c);
        ConnessioneServer::ScriviParametri(c, Parametri(QStringLiteral("quorvel"), Login), true);
        return c;
    }();
    return cartella;
}

void Collega(const QString &db)
{
    static const bool fatto = [] {
        CreaLogin(Login, Password);
        return true;
    }();
    (void)fatto;
    ConnessioneServer::Imposta(Parametri(db, Login), Password);
}

QString ArchivioDi(int n)
{
    const QString nome = QStringLiteral("bench_%1").arg(n);
    if (Esiste(nome))
        return nome;
    constexpr int Base = 100000;
    const QString parziale = nome + QStringLiteral("_parziale");
    Elimina(parziale);
    if (n <= Base) {
        Copia(QStringLiteral("quorvel"), parziale);
        Riempi(parziale, n);
    } else {
        Copia(ArchivioDi(Base), parziale);
        Moltiplica(parziale, Base, n / Base);
    }
    // Renamed only once whole, so a run cut short leaves nothing to be taken for it.
    Amministra(QStringLiteral("postgres"),
               QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(parziale, nome));
    return nome;
}

QString Copia(const QString &modello, const QString &nome)
{
    ConnessioneServer::Dimentica(); // a template must have no connection
    Amministra(QStringLiteral("postgres"),
               QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 OWNER quorvel_proprietario")
                   .arg(nome, modello));
    Amministra(
        nome,
        QStringLiteral("GRANT CONNECT, TEMPORARY ON DATABASE %1 TO quorvel_sportello").arg(nome));
    return nome;
}

void Elimina(const QString &db)
{
    ConnessioneServer::Dimentica();
    Amministra(QStringLiteral("postgres"),
               QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(db));
}

} // namespace ServerBench
