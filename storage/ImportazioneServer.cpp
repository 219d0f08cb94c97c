// The import on the server, all or nothing: the rows wait in this connection's temporary
// table, sent as JSON batches (QPSQL has no COPY); Conferma hands them to the owner's
// function importa (sql/quorvel.sql), which puts them after the last record in one
// transaction. An import dropped before that leaves no trace but the temporary table,
// which goes with it.
#include "storage/DepositoServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QVariant>

namespace {

// Rows sent per statement: a few hundred kilobytes.
constexpr int Lotto = 1000;

class TImportazioneServer : public TDeposito::TImportazione {
public:
    TImportazioneServer(TDepositoServer &deposito, int schede)
        : m_deposito(deposito), m_schede(schede)
    {
        QStringList colonne{QStringLiteral("n integer")};
        for (int i = 0; i < NumeroCampi; ++i)
            colonne << ColonnaServer(static_cast<Campo>(i)) + QStringLiteral(" text");
        Esegui(QStringLiteral("DROP TABLE IF EXISTS pg_temp.importazione"));
        Esegui(QStringLiteral("CREATE TEMPORARY TABLE importazione (%1)")
                   .arg(colonne.join(QStringLiteral(", "))));
        // The owner's function reads it; nobody else sees a temporary table.
        Esegui(QStringLiteral("GRANT SELECT ON pg_temp.importazione TO quorvel_proprietario"));
    }

    ~TImportazioneServer() override
    {
        try {
            QSqlQuery q(m_deposito.Db());
            q.exec(QStringLiteral("DROP TABLE IF EXISTS pg_temp.importazione"));
        } catch (const ErroreFile &) {
            // The connection is gone, and the table with it.
        }
    }

    void Accoda(const TScheda &s) override
    {
        QJsonObject riga;
        riga.insert(QStringLiteral("n"), ++m_righe);
        for (int i = 0; i < NumeroCampi; ++i) {
            const Campo c = static_cast<Campo>(i);
            riga.insert(ColonnaServer(c), ValoreServer(s, c));
        }
        m_lotto.append(riga);
        if (m_lotto.size() >= Lotto)
            Invia();
    }

    bool Conferma(const QList<int> &) override
    {
        Invia();
        QSqlDatabase db = m_deposito.Db();
        if (!db.transaction())
            throw ErroreFile(Messaggio(db.lastError().databaseText()));
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT importa(:attese)"));
        q.bindValue(QStringLiteral(":attese"), m_schede);
        if (!q.exec() || !q.next()) {
            const QSqlError errore = q.lastError();
            db.rollback(); // first: the statement is freed only outside the failed transaction
            q = QSqlQuery();
            if (errore.nativeErrorCode() == QLatin1String("QV001"))
                throw ErroreFile(QStringLiteral(
                    "Importazione non riuscita: mentre si importava, un'altra postazione ha "
                    "aggiunto delle schede all'archivio. L'archivio non è stato modificato; "
                    "ripetere l'importazione."));
            throw ErroreFile(Messaggio(errore.databaseText()));
        }
        q = QSqlQuery();
        if (!db.commit()) {
            const QString motivo = db.lastError().databaseText();
            db.rollback();
            throw ErroreFile(Messaggio(motivo));
        }
        // No dated copy on the server: undoing an import is not offered there.
        return true;
    }

private:
    static QString Messaggio(const QString &motivo)
    {
        return QStringLiteral("Importazione non riuscita sul server dell'archivio: %1. "
                              "L'archivio non è stato modificato.")
            .arg(motivo.trimmed());
    }

    void Esegui(const QString &sql)
    {
        QSqlQuery q(m_deposito.Db());
        if (!q.exec(sql))
            throw ErroreFile(Messaggio(q.lastError().databaseText()));
    }

    void Invia()
    {
        if (m_lotto.isEmpty())
            return;
        QSqlQuery &q = m_deposito.Prepara(QStringLiteral(
            "INSERT INTO pg_temp.importazione SELECT * FROM json_populate_recordset(NULL::"
            "pg_temp.importazione, CAST(:righe AS json))"));
        q.bindValue(QStringLiteral(":righe"),
                    QString::fromUtf8(QJsonDocument(m_lotto).toJson(QJsonDocument::Compact)));
        m_lotto = QJsonArray();
        if (!q.exec())
            throw ErroreFile(Messaggio(q.lastError().databaseText()));
        q.finish();
    }

    TDepositoServer &m_deposito;
    int m_schede;
    int m_righe = 0;
    QJsonArray m_lotto;
};

} // namespace

std::unique_ptr<TDeposito::TImportazione> TDepositoServer::IniziaImportazione(int schede)
{
    return std::make_unique<TImportazioneServer>(*this, schede);
}

TDeposito::RipristinoImportazione TDepositoServer::AnnullaUltimaImportazione()
{
    return {false, QStringLiteral("Nell'archivio sul server non è possibile annullare "
                                  "l'ultima importazione: le schede importate vanno corrette o "
                                  "annullate una per una.")};
}
