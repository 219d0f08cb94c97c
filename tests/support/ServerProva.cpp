#include "support/ServerProva.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace ServerProva {

bool Disponibile()
{
    return !qEnvironmentVariableIsEmpty("QUORVEL_PG_DIR");
}

bool Amministra(const QString &db, const QString &sql, QString *errore)
{
    const QString nome = QStringLiteral("amministrazione-prova");
    bool riuscito = false;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
        c.setHostName(qEnvironmentVariable("QUORVEL_PG_DIR"));
        c.setPort(qEnvironmentVariableIntValue("PGPORT"));
        c.setUserName(QStringLiteral("postgres"));
        c.setDatabaseName(db);
        if (c.open()) {
            QSqlQuery q(c);
            riuscito = q.exec(sql);
            if (!riuscito && errore)
                *errore = q.lastError().databaseText();
        } else if (errore) {
            *errore = c.lastError().databaseText();
        }
        c.close();
    }
    QSqlDatabase::removeDatabase(nome);
    return riuscito;
}

QString NuovoDatabase()
{
    static std::atomic<int> numero{0};
    const QString nome =
        QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++numero);
    QString errore;
    if (!Amministra(QStringLiteral("postgres"),
                    QStringLiteral("CREATE DATABASE %1 TEMPLATE quorvel OWNER quorvel_proprietario")
                        .arg(nome),
                    &errore))
        qFatal("CREATE DATABASE %s: %s", qPrintable(nome), qPrintable(errore));
    Amministra(
        nome,
        QStringLiteral("GRANT CONNECT, TEMPORARY ON DATABASE %1 TO quorvel_sportello").arg(nome));
    return nome;
}

void CreaUtente(const QString &nome, const QString &password, bool responsabile)
{
    QString sql =
        QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '%1') "
                       "THEN CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE quorvel_sportello; "
                       "ELSE ALTER ROLE %1 PASSWORD '%2'; END IF; END $$")
            .arg(nome, password);
    QString errore;
    if (!Amministra(QStringLiteral("postgres"), sql, &errore))
        qFatal("CREATE ROLE %s: %s", qPrintable(nome), qPrintable(errore));
    // The role is set either way: another program may have made the same login before.
    Amministra(QStringLiteral("postgres"),
               (responsabile ? QStringLiteral("GRANT quorvel_responsabile TO %1")
                             : QStringLiteral("REVOKE quorvel_responsabile FROM %1"))
                   .arg(nome));
}

TParametriServer Parametri(const QString &database, const QString &utente)
{
    TParametriServer p;
    p.server = QStringLiteral("localhost");
    p.porta = qEnvironmentVariableIntValue("PGPORT");
    p.database = database;
    p.utente = utente;
    p.certificatoCA = qEnvironmentVariable("QUORVEL_PG_CA");
    return p;
}

QString Password(const QString &utente)
{
    return QStringLiteral("segreta-") + utente;
}

void Sportello(const QString &cartella, const QString &database, const QString &utente)
{
    const TParametriServer p = Parametri(database, utente);
    ConnessioneServer::ScriviParametri(cartella, p, true);
    ConnessioneServer::Imposta(p, Password(utente));
}

} // namespace ServerProva
