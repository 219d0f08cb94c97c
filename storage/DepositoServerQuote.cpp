// The server's fee register (table pagamenti) and renewals: a record and its payment in
// one transaction, receipt numbers given by the server's trigger without gaps across desks.
#include "storage/DepositoServer.h"
#include "storage/RegistroQuote.h"

#include <QSqlError>

namespace {

const QString Registro = QStringLiteral("leggere il registro delle quote");

// Runs `sql` as it is (savepoints, which take no values); false when refused.
bool Diretta(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql);
}

} // namespace

std::vector<TPagamento> TDepositoServer::PagamentiDi(int posizione)
{
    return Tenta(
        [&] {
            std::vector<TPagamento> voci;
            QSqlQuery &q =
                Prepara(QStringLiteral("SELECT %1 FROM pagamenti WHERE posizione = :p ORDER BY id")
                            .arg(RegistroQuote::Colonne));
            q.bindValue(QStringLiteral(":p"), posizione);
            Esegui(q, Registro);
            while (q.next())
                voci.push_back(RegistroQuote::Leggi(q));
            q.finish();
            return voci;
        },
        true);
}

void TDepositoServer::ScorriPagamenti(const QDate &dal, const QDate &al,
                                      const std::function<bool(const TPagamento &)> &visita)
{
    // Page by page, so that a long period needs no more memory than a short one.
    constexpr int Pagina = 2000;
    QString dopoData = QStringLiteral("0001-01-01");
    int dopoAnno = 0;
    int dopoNumero = 0;
    for (;;) {
        std::vector<TPagamento> voci = Tenta(
            [&] {
                std::vector<TPagamento> v;
                QSqlQuery &q = Prepara(
                    QStringLiteral("SELECT %1 FROM pagamenti WHERE data BETWEEN :dal AND :al "
                                   "AND (data, anno, numero) > (CAST(:d AS date), :a, :n) "
                                   "ORDER BY data, anno, numero LIMIT %2")
                        .arg(RegistroQuote::Colonne)
                        .arg(Pagina));
                q.bindValue(QStringLiteral(":dal"), dal.toString(Qt::ISODate));
                q.bindValue(QStringLiteral(":al"), al.toString(Qt::ISODate));
                q.bindValue(QStringLiteral(":d"), dopoData);
                q.bindValue(QStringLiteral(":a"), dopoAnno);
                q.bindValue(QStringLiteral(":n"), dopoNumero);
                Esegui(q, Registro);
                while (q.next())
                    v.push_back(RegistroQuote::Leggi(q));
                q.finish();
                return v;
            },
            true);
        for (const TPagamento &p : voci)
            if (!visita(p))
                return;
        if (voci.size() < Pagina)
            return;
        dopoData = voci.back().data.toString(Qt::ISODate);
        dopoAnno = voci.back().anno;
        dopoNumero = voci.back().numero;
    }
}

std::vector<TTotalePagamenti> TDepositoServer::TotaliPagamenti(const QDate &dal, const QDate &al)
{
    return Tenta(
        [&] {
            std::vector<TTotalePagamenti> totali;
            QSqlQuery &q = Prepara(QStringLiteral(
                "SELECT CAST(extract(year FROM data) AS integer), CAST(extract(month FROM data) "
                "AS integer), metodo, sum(centesimi), count(*) FROM pagamenti WHERE data "
                "BETWEEN :dal AND :al GROUP BY 1, 2, 3 ORDER BY 1, 2, 3"));
            q.bindValue(QStringLiteral(":dal"), dal.toString(Qt::ISODate));
            q.bindValue(QStringLiteral(":al"), al.toString(Qt::ISODate));
            Esegui(q, Registro);
            while (q.next())
                totali.push_back({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString(),
                                  q.value(3).toLongLong(), q.value(4).toInt()});
            q.finish();
            return totali;
        },
        true);
}

TPagamento TDepositoServer::StornaPagamentoIl(qint64 id, const QDate &data, const QString &causale,
                                              const QString &da)
{
    const QString azione = QStringLiteral("annullare la ricevuta");
    QSqlDatabase db = Db();
    if (!db.transaction())
        throw ErroreFile(QStringLiteral("Impossibile %1 sul server dell'archivio: %2")
                             .arg(azione, db.lastError().text()));
    try {
        // Two desks voiding the same entry at once: the register's unique "annulla" lets
        // one through.
        QSqlQuery &q = Prepara(QStringLiteral("SELECT %1, EXISTS (SELECT FROM pagamenti s WHERE "
                                              "s.annulla = pagamenti.id) FROM pagamenti WHERE "
                                              "id = :id")
                                   .arg(RegistroQuote::Colonne));
        q.bindValue(QStringLiteral(":id"), id);
        Esegui(q, azione);
        if (!q.next())
            throw ErroreFile(RegistroQuote::NonEsiste(id));
        const TPagamento voce = RegistroQuote::Leggi(q);
        const bool annullata = q.value(14).toBool();
        q.finish();
        if (voce.annulla)
            throw ErroreFile(RegistroQuote::StornoDiStorno(voce));
        if (annullata)
            throw ErroreFile(RegistroQuote::GiaAnnullata(voce));
        TPagamento storno = voce;
        storno.data = data;
        storno.centesimi = -voce.centesimi;
        storno.causale = causale;
        storno.inseritoDa = da;
        storno.annulla = voce.id;
        QSqlQuery &i = Prepara(RegistroQuote::Inserisci(QStringLiteral("0")));
        RegistroQuote::Lega(i, storno);
        Esegui(i, azione);
        if (!i.next())
            throw ErroreFile(
                QStringLiteral("Impossibile %1 sul server dell'archivio.").arg(azione));
        storno = RegistroQuote::Leggi(i);
        i.finish();
        if (!db.commit())
            throw ErroreFile(QStringLiteral("Impossibile %1 sul server dell'archivio: %2")
                                 .arg(azione, db.lastError().text()));
        return storno;
    } catch (...) {
        db.rollback();
        throw;
    }
}

std::vector<TDeposito::TEsitoRinnovo> TDepositoServer::Rinnova(std::span<const TRinnovo> rinnovi)
{
    std::vector<TEsitoRinnovo> esiti(rinnovi.size());
    if (rinnovi.empty())
        return esiti;
    const QString azione = QStringLiteral("registrare i rinnovi");
    QSqlDatabase db = Db();
    if (!db.transaction())
        throw ErroreFile(QStringLiteral("Impossibile %1 sul server dell'archivio: %2")
                             .arg(azione, db.lastError().text()));
    try {
        for (size_t k = 0; k < rinnovi.size(); ++k) {
            const TRinnovo &r = rinnovi[k];
            if (!Diretta(db, QStringLiteral("SAVEPOINT rinnovo")))
                throw ErroreFile(QStringLiteral("Impossibile %1 sul server dell'archivio: %2")
                                     .arg(azione, db.lastError().text()));
            try {
                ScriviSeInvariata(r.posizione, r.versione, r.scheda);
                TPagamento p = r.pagamento;
                p.posizione = r.posizione;
                p.annulla = 0;
                QSqlQuery &i = Prepara(RegistroQuote::Inserisci(QStringLiteral("0")));
                RegistroQuote::Lega(i, p);
                Esegui(i, azione);
                if (!i.next())
                    throw ErroreFile(
                        QStringLiteral("Impossibile %1 sul server dell'archivio.").arg(azione));
                esiti[k].pagamento = RegistroQuote::Leggi(i);
                i.finish();
                Diretta(db, QStringLiteral("RELEASE SAVEPOINT rinnovo"));
            } catch (const ErroreFile &e) {
                // This member alone is left out: the record and its payment both undone.
                if (!Diretta(db, QStringLiteral("ROLLBACK TO SAVEPOINT rinnovo")))
                    throw;
                esiti[k] = TEsitoRinnovo();
                esiti[k].errore = e.testo();
            }
        }
        if (!db.commit())
            throw ErroreFile(QStringLiteral("Impossibile %1 sul server dell'archivio: %2")
                                 .arg(azione, db.lastError().text()));
    } catch (...) {
        db.rollback();
        throw;
    }
    return esiti;
}
