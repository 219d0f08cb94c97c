// The server's door check: the signing key in chiave_verifica (one row, made by the first
// desk that needs it) and the entrance log in ingressi, appended to by every desk.
#include "cards/core/CodiceVerifica.h"
#include "storage/DepositoServer.h"

QByteArray TDepositoServer::ChiaveVerifica()
{
    return Tenta(
        [&] {
            // Two desks making it at once: the row of the first stays, both read it.
            QSqlQuery &nuova =
                Prepara(QStringLiteral("INSERT INTO chiave_verifica (chiave) VALUES (:c) "
                                       "ON CONFLICT DO NOTHING"));
            QSqlQuery &leggi = Prepara(QStringLiteral("SELECT chiave FROM chiave_verifica"));
            leggi.finish();
            Esegui(leggi, QStringLiteral("leggere la chiave di verifica delle tessere"));
            QByteArray chiave = leggi.next() ? leggi.value(0).toByteArray() : QByteArray();
            leggi.finish();
            if (chiave.isEmpty()) {
                nuova.bindValue(QStringLiteral(":c"), CodiceVerifica::NuovaChiave());
                Esegui(nuova, QStringLiteral("creare la chiave di verifica delle tessere"));
                nuova.finish();
                Esegui(leggi, QStringLiteral("leggere la chiave di verifica delle tessere"));
                chiave = leggi.next() ? leggi.value(0).toByteArray() : QByteArray();
                leggi.finish();
            }
            if (chiave.size() != CodiceVerifica::ByteChiave)
                throw ErroreFile(QStringLiteral("Attenzione: la chiave di verifica delle "
                                                "tessere sul server non \u00E8 valida."));
            return chiave;
        },
        true);
}

void TDepositoServer::RegistraIngresso(const TIngresso &i)
{
    // A line of the log is no idempotent write: after a lost connection it is reported as
    // not written, never written twice.
    Tenta(
        [&] {
            QSqlQuery &q = Prepara(
                QStringLiteral("INSERT INTO ingressi (quando, tessera, tesserato, posizione, "
                               "esito) VALUES (:q, :n, :t, :p, :e)"));
            q.bindValue(QStringLiteral(":q"), i.quando);
            q.bindValue(QStringLiteral(":n"), TestoServer(QString(i.tessera).remove(QChar())));
            q.bindValue(QStringLiteral(":t"), TestoServer(QString(i.tesserato).remove(QChar())));
            q.bindValue(QStringLiteral(":p"), i.posizione);
            q.bindValue(QStringLiteral(":e"), TestoServer(i.esito));
            Esegui(q, QStringLiteral("scrivere il registro degli ingressi"));
            q.finish();
        },
        false,
        QStringLiteral("Il collegamento al server si \u00E8 interrotto: l'ingresso non \u00E8 "
                       "stato registrato."));
}

std::vector<TDeposito::TIngresso> TDepositoServer::IngressiDel(const QDate &giorno)
{
    return Tenta(
        [&] {
            std::vector<TIngresso> r;
            QSqlQuery &q =
                Prepara(QStringLiteral("SELECT quando, tessera, tesserato, posizione, esito FROM "
                                       "ingressi WHERE quando >= :da AND quando < :a ORDER BY id"));
            q.bindValue(QStringLiteral(":da"), QDateTime(giorno, QTime(0, 0)));
            q.bindValue(QStringLiteral(":a"), QDateTime(giorno.addDays(1), QTime(0, 0)));
            Esegui(q, QStringLiteral("leggere il registro degli ingressi"));
            while (q.next())
                r.push_back({q.value(0).toDateTime(), q.value(1).toString(), q.value(2).toString(),
                             q.value(3).toInt(), q.value(4).toString()});
            q.finish();
            return r;
        },
        true);
}
