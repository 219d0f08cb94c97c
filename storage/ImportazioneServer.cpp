// The import on the server, all or nothing: the rows wait in this connection's temporary
// table, sent as JSON batches (QPSQL has no COPY); Conferma hands them to the owner's
// function importa (sql/quorvel.sql), which puts them after the last record in one
// transaction. An import dropped before that leaves no trace but the temporary table,
// which goes with it.
#include "storage/DepositoServer.h"

#include <QDateTime>
#include <QSqlError>
#include <QVariant>

namespace {

// Rows sent per statement: a megabyte or two.
constexpr int Lotto = 4000;

// Appends v to json as a JSON string: quote, backslash and control characters escaped, the
// rest as it is (sent as UTF-8). Written by hand: building QJsonObjects cost most of the
// import's time on this side.
void AccodaStringaJson(QString &json, const QString &v)
{
    static constexpr char16_t Esadecimali[] = u"0123456789abcdef";
    json += u'"';
    for (const QChar c : v) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            json += u'\\';
            json += c;
        } else if (u < 0x20) {
            json += QStringLiteral("\\u00");
            json += QChar(Esadecimali[u >> 4]);
            json += QChar(Esadecimali[u & 0xF]);
        } else {
            json += c;
        }
    }
    json += u'"';
}

class TImportazioneServer : public TDeposito::TImportazione {
public:
    TImportazioneServer(TDepositoServer &deposito, int schede)
        : m_deposito(deposito), m_schede(schede)
    {
        QStringList colonne{QStringLiteral("n integer")};
        for (int i = 0; i < NumeroCampi; ++i)
            colonne << ColonnaServer(static_cast<Campo>(i)) + QStringLiteral(" text");
        // Nothing is sent yet: on a connection found lost, all of it again on a new one.
        m_pid = m_deposito.Tenta(
            [&] {
                Esegui(QStringLiteral("DROP TABLE IF EXISTS pg_temp.importazione"));
                Esegui(QStringLiteral("CREATE TEMPORARY TABLE importazione (%1)")
                           .arg(colonne.join(QStringLiteral(", "))));
                // The owner's function reads it; nobody else sees a temporary table.
                Esegui(
                    QStringLiteral("GRANT SELECT ON pg_temp.importazione TO quorvel_proprietario"));
                return Processo();
            },
            true);
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
        // Every value first: a refused one (a NUL) leaves the batch as it was.
        QString riga = QStringLiteral("{\"n\":%1").arg(m_righe + 1);
        for (int i = 0; i < NumeroCampi; ++i) {
            riga += u',';
            riga += m_chiavi[i];
            AccodaStringaJson(riga, ValoreServer(s, static_cast<Campo>(i)));
        }
        riga += u'}';
        ++m_righe;
        m_lotto += m_nelLotto == 0 ? u'[' : u',';
        m_lotto += riga;
        if (++m_nelLotto >= Lotto)
            Invia();
    }

    bool Conferma(const QList<int> &) override
    {
        Invia();
        if (Interrotta())
            throw ErroreFile(Interruzione());
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
            if (Interrotta())
                throw ErroreFile(Interruzione());
            if (errore.nativeErrorCode() == QLatin1String("55P03"))
                throw ErroreFile(QStringLiteral(
                    "Importazione non riuscita: un'altra postazione sta aggiungendo delle schede "
                    "all'archivio. L'archivio non è stato modificato; ripetere l'importazione "
                    "tra poco."));
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
            // The answer to the commit lost with the connection: the import's own record
            // tells whether it went in.
            if (Interrotta()) {
                if (Registrata())
                    return true;
                throw ErroreFile(Interruzione());
            }
            throw ErroreFile(Messaggio(motivo));
        }
        // The function recorded the import (table importazioni): the last one can be undone.
        return true;
    }

private:
    static QString Interruzione()
    {
        return QStringLiteral("Importazione non riuscita: il collegamento al server "
                              "dell'archivio si è interrotto. L'archivio non è stato "
                              "modificato; ripetere l'importazione.");
    }

    // This connection's server process: another one means the connection was lost, and
    // the temporary table with it.
    int Processo()
    {
        QSqlQuery q(m_deposito.Db());
        if (!q.exec(QStringLiteral("SELECT pg_backend_pid()")) || !q.next())
            throw ErroreFile(Messaggio(q.lastError().databaseText()));
        return q.value(0).toInt();
    }

    bool Interrotta()
    {
        try {
            return Processo() != m_pid;
        } catch (const ErroreFile &) {
            return true;
        }
    }

    // Whether this import is recorded as done (by this login, right after the records
    // there were).
    bool Registrata()
    {
        try {
            QSqlQuery q(m_deposito.Db());
            q.prepare(QStringLiteral("SELECT 1 FROM importazioni WHERE prima = :p AND ultima = "
                                     ":u AND fatta_da = session_user"));
            q.bindValue(QStringLiteral(":p"), m_schede + 1);
            q.bindValue(QStringLiteral(":u"), m_schede + m_righe);
            return q.exec() && q.next();
        } catch (const ErroreFile &) {
            return false;
        }
    }

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
            throw ErroreFile(m_pid != 0 && Interrotta() ? Interruzione()
                                                        : Messaggio(q.lastError().databaseText()));
    }

    void Invia()
    {
        if (m_nelLotto == 0)
            return;
        QSqlQuery *istruzione = nullptr;
        try {
            istruzione = &m_deposito.Prepara(QStringLiteral(
                "INSERT INTO pg_temp.importazione SELECT * FROM json_populate_recordset(NULL::"
                "pg_temp.importazione, CAST(:righe AS json))"));
        } catch (const ErroreFile &) {
            if (Interrotta())
                throw ErroreFile(Interruzione());
            throw;
        }
        QSqlQuery &q = *istruzione;
        m_lotto += u']';
        q.bindValue(QStringLiteral(":righe"), m_lotto);
        m_lotto.clear();
        m_nelLotto = 0;
        if (!q.exec()) {
            const QString motivo = q.lastError().databaseText();
            throw ErroreFile(Interrotta() ? Interruzione() : Messaggio(motivo));
        }
        q.finish();
    }

    TDepositoServer &m_deposito;
    int m_schede;
    int m_righe = 0;
    int m_pid = 0;
    // The batch's JSON text so far, and its rows.
    QString m_lotto;
    int m_nelLotto = 0;
    // Each field's key, quoted, then the colon.
    const QStringList m_chiavi = [] {
        QStringList k;
        for (int i = 0; i < NumeroCampi; ++i)
            k << QStringLiteral("\"%1\":").arg(ColonnaServer(static_cast<Campo>(i)));
        return k;
    }();
};

} // namespace

std::unique_ptr<TDeposito::TImportazione> TDepositoServer::IniziaImportazione(int schede)
{
    return std::make_unique<TImportazioneServer>(*this, schede);
}

TDeposito::RipristinoImportazione TDepositoServer::AnnullaUltimaImportazione()
{
    // The owner's function decides and undoes in one transaction. Not sent twice: a second
    // run would undo the import before.
    struct Esito {
        QString esito;
        QDateTime il;
        int posizione = 0;
    };
    Esito e;
    try {
        e = Tenta(
            [&] {
                QSqlQuery &q = Prepara(QStringLiteral(
                    "SELECT esito, il, posizione FROM annulla_ultima_importazione()"));
                Esegui(q, QStringLiteral("annullare l'importazione"));
                Esito r;
                if (q.next())
                    r = {q.value(0).toString(), q.value(1).toDateTime(), q.value(2).toInt()};
                q.finish();
                return r;
            },
            false,
            QStringLiteral("Il collegamento al server dell'archivio si \u00E8 interrotto mentre "
                           "si annullava l'importazione: riaprire l'elenco delle schede per "
                           "vedere se \u00E8 stata annullata."));
    } catch (const ErroreFile &errore) {
        return {false, errore.testo()};
    }
    const QString quando = e.il.toLocalTime().toString(QStringLiteral("dd/MM/yyyy 'alle' HH:mm"));
    const auto rifiuto = [&quando](const QString &perche) {
        return RipristinoImportazione{
            false, QStringLiteral("Impossibile annullare l'importazione del %1: l'archivio \u00E8 "
                                  "stato modificato dopo l'importazione.\n\r\n\r%2")
                       .arg(quando, perche)};
    };
    if (e.esito == QLatin1String("annullata"))
        return {true, QStringLiteral("Importazione del %1 annullata: l'archivio \u00E8 tornato "
                                     "com'era prima.")
                          .arg(quando)};
    if (e.esito == QLatin1String("aggiunte"))
        return rifiuto(QStringLiteral("Dopo l'importazione sono state aggiunte altre schede, "
                                      "dalla n. %1.")
                           .arg(e.posizione));
    if (e.esito == QLatin1String("modificata"))
        return rifiuto(QStringLiteral("La scheda n. %1, importata, \u00E8 stata modificata.")
                           .arg(e.posizione));
    if (e.esito == QLatin1String("avvisata"))
        return rifiuto(QStringLiteral("Alla scheda n. %1, importata, \u00E8 gi\u00E0 stato "
                                      "inviato un avviso.")
                           .arg(e.posizione));
    return {false, QStringLiteral("Non c'\u00E8 nessuna importazione da annullare.")};
}
