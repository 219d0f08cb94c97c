// The import on the server, all or nothing: the rows stream into this connection's
// temporary table through one COPY kept open while the sheet is read (QPSQL has no COPY:
// libpq's, on the driver's own connection), so the server stores them while this side reads
// the next ones; Conferma hands them to the owner's function importa (sql/quorvel.sql),
// which puts them after the last record in one transaction. An import dropped before that
// leaves no trace but the temporary table, which goes with it.
#include "storage/ConnessioneServer.h"
#include "storage/DepositoServer.h"
#include "storage/LibPq.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlError>
#include <QVariant>

namespace {

// Text handed to the COPY at a time: a few hundred rows.
constexpr qsizetype Blocco = 256 * 1024;
// A COPY is one statement, and the connection's statement timeout is a minute: a slow
// sheet (photos to check, a large XLSX) gets a new COPY after this long.
constexpr qint64 DurataCopia = 20000;

// Appends v to riga as a field of COPY's text format: backslash, tab, newline and carriage
// return escaped, the rest as it is (sent as UTF-8).
void AccodaCampoCopia(QString &riga, const QString &v)
{
    for (const QChar c : v) {
        switch (c.unicode()) {
        case u'\\':
            riga += QLatin1String("\\\\");
            break;
        case u'\t':
            riga += QLatin1String("\\t");
            break;
        case u'\n':
            riga += QLatin1String("\\n");
            break;
        case u'\r':
            riga += QLatin1String("\\r");
            break;
        default:
            riga += c;
        }
    }
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
        // A COPY still open ends refused: the server throws away what it had.
        FineCopia("importazione annullata");
        try {
            QSqlQuery q(m_deposito.Db());
            q.exec(QStringLiteral("DROP TABLE IF EXISTS pg_temp.importazione"));
        } catch (const ErroreFile &) {
            // The connection is gone, and the table with it.
        }
    }

    void Accoda(const TScheda &s) override
    {
        // Every value first: a refused one (a NUL) leaves the text to send as it was.
        const qsizetype prima = m_testo.size();
        try {
            m_testo += QString::number(m_righe + 1);
            for (int i = 0; i < NumeroCampi; ++i) {
                m_testo += u'\t';
                AccodaCampoCopia(m_testo, ValoreServer(s, static_cast<Campo>(i)));
            }
        } catch (const ErroreFile &) {
            m_testo.truncate(prima);
            throw;
        }
        m_testo += u'\n';
        ++m_righe;
        if (m_testo.size() >= Blocco || (m_copia && m_aperta.hasExpired(DurataCopia)))
            Invia();
    }

    bool Conferma(const QList<int> &) override
    {
        Invia();
        const QString motivo = FineCopia(nullptr);
        if (!motivo.isEmpty())
            throw ErroreFile(Interrotta() ? Interruzione() : Messaggio(motivo));
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

    // Hands the text so far to the COPY, opening it at the first rows. libpq sends without
    // waiting for the server, which stores them meanwhile.
    void Invia()
    {
        if (m_testo.isEmpty())
            return;
        PGconn *c = ConnessioneServer::Libpq(m_deposito.Db());
        if (!c)
            throw ErroreFile(Messaggio(QStringLiteral("collegamento non disponibile")));
        if (!m_copia) {
            PGresult *r = Pq().PQexec(c, "COPY pg_temp.importazione FROM STDIN");
            const bool aperta = Pq().PQresultStatus(r) == PGRES_COPY_IN;
            Pq().PQclear(r);
            if (!aperta) {
                const QString motivo = QString::fromUtf8(Pq().PQerrorMessage(c));
                Scarta(c);
                throw ErroreFile(Interrotta() ? Interruzione() : Messaggio(motivo));
            }
            m_copia = true;
            m_aperta.start();
        }
        const QByteArray dati = m_testo.toUtf8();
        m_testo.clear();
        if (Pq().PQputCopyData(c, dati.constData(), int(dati.size())) != 1) {
            // The server refused or the connection broke: its reason, after the COPY ends.
            QString motivo = FineCopia("importazione interrotta");
            if (motivo.isEmpty())
                motivo = QString::fromUtf8(Pq().PQerrorMessage(c));
            throw ErroreFile(Interrotta() ? Interruzione() : Messaggio(motivo));
        }
        if (m_aperta.hasExpired(DurataCopia)) {
            const QString motivo = FineCopia(nullptr);
            if (!motivo.isEmpty())
                throw ErroreFile(Interrotta() ? Interruzione() : Messaggio(motivo));
        }
    }

    // Ends an open COPY, refused with `rifiuto` or, without, kept; returns the server's
    // reason when it did not take the rows.
    QString FineCopia(const char *rifiuto)
    {
        if (!m_copia)
            return QString();
        m_copia = false;
        PGconn *c = nullptr;
        try {
            c = ConnessioneServer::Libpq(m_deposito.Db());
        } catch (const ErroreFile &) {
            return QStringLiteral("collegamento non disponibile");
        }
        if (!c)
            return QStringLiteral("collegamento non disponibile");
        QString motivo;
        if (Pq().PQputCopyEnd(c, rifiuto) != 1)
            motivo = QString::fromUtf8(Pq().PQerrorMessage(c));
        const QString risposta = Scarta(c);
        return motivo.isEmpty() ? risposta : motivo;
    }

    // Reads every answer left on the connection, so that QPSQL finds it idle; returns the
    // first error among them.
    static QString Scarta(PGconn *c)
    {
        QString motivo;
        while (PGresult *r = Pq().PQgetResult(c)) {
            const ExecStatusType stato = Pq().PQresultStatus(r);
            if (motivo.isEmpty() && stato != PGRES_COMMAND_OK && stato != PGRES_TUPLES_OK &&
                stato != PGRES_COPY_IN) {
                const char *primario = Pq().PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY);
                motivo = QString::fromUtf8(primario ? primario : Pq().PQresultErrorMessage(r));
            }
            Pq().PQclear(r);
            if (stato == PGRES_COPY_IN) // refused at once: end it, then read on
                Pq().PQputCopyEnd(c, "importazione interrotta");
            if (Pq().PQstatus(c) == CONNECTION_BAD)
                break;
        }
        if (motivo.isEmpty() && Pq().PQstatus(c) == CONNECTION_BAD)
            motivo = QString::fromUtf8(Pq().PQerrorMessage(c));
        return motivo;
    }

    TDepositoServer &m_deposito;
    int m_schede;
    int m_righe = 0;
    int m_pid = 0;
    // The rows in COPY's text format not sent yet, and whether the COPY is open.
    QString m_testo;
    bool m_copia = false;
    QElapsedTimer m_aperta; // since the COPY opened
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
