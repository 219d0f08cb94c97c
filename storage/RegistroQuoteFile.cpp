#include "storage/RegistroQuoteFile.h"

#include "archive/FileSicuro.h"
#include "storage/RegistroQuote.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QThread>
#include <QVariant>

namespace {

const QString NomeRegistro = QStringLiteral("Quote.sqlite");

// Entries are never changed nor deleted: the file itself refuses it.
const char *const Schema[] = {
    "CREATE TABLE IF NOT EXISTS pagamenti ("
    " id INTEGER PRIMARY KEY,"
    " anno INTEGER NOT NULL, numero INTEGER NOT NULL CHECK (numero >= 1),"
    " data TEXT NOT NULL, posizione INTEGER NOT NULL CHECK (posizione >= 1),"
    " tessera TEXT NOT NULL DEFAULT '', nominativo TEXT NOT NULL DEFAULT '',"
    " centesimi INTEGER NOT NULL, metodo TEXT NOT NULL DEFAULT '', dal TEXT, al TEXT,"
    " causale TEXT NOT NULL DEFAULT '', inserito_da TEXT NOT NULL DEFAULT '',"
    " annulla INTEGER UNIQUE REFERENCES pagamenti (id),"
    " registrato_il TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ', 'now')),"
    " UNIQUE (anno, numero))",
    "CREATE INDEX IF NOT EXISTS pagamenti_posizione ON pagamenti (posizione, id)",
    "CREATE INDEX IF NOT EXISTS pagamenti_data ON pagamenti (data, anno, numero)",
    "CREATE TRIGGER IF NOT EXISTS pagamenti_fissi BEFORE UPDATE ON pagamenti BEGIN"
    " SELECT RAISE(ABORT, 'le voci del registro delle quote non si cambiano'); END",
    "CREATE TRIGGER IF NOT EXISTS pagamenti_restano BEFORE DELETE ON pagamenti BEGIN"
    " SELECT RAISE(ABORT, 'le voci del registro delle quote non si cancellano'); END",
    // A renewal begun: its payment is written, its record (bytes as the archive holds
    // them) perhaps not yet.
    "CREATE TABLE IF NOT EXISTS rinnovi_in_corso ("
    " pagamento INTEGER PRIMARY KEY REFERENCES pagamenti (id),"
    " posizione INTEGER NOT NULL, scheda BLOB NOT NULL)",
};

// The next receipt number of the year, in the inserting transaction.
const QString Numero =
    QStringLiteral("(SELECT coalesce(max(numero), 0) + 1 FROM pagamenti WHERE anno = :anno_n)");

QAtomicInteger<quint64> Connessioni;

} // namespace

TRegistroQuoteFile::TRegistroQuoteFile(const QString &cartella) : m_cartella(cartella) {}

TRegistroQuoteFile::~TRegistroQuoteFile()
{
    Chiudi();
}

QString TRegistroQuoteFile::Percorso(const QString &cartella)
{
    return QDir(cartella).filePath(NomeRegistro);
}

bool TRegistroQuoteFile::Esiste() const
{
    return QFileInfo::exists(Percorso(m_cartella));
}

void TRegistroQuoteFile::Chiudi()
{
    if (m_nome.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_nome, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_nome);
    m_nome.clear();
    m_thread = nullptr;
}

void TRegistroQuoteFile::Fallisci(const QString &azione, const QString &motivo)
{
    throw ErroreFile(QStringLiteral("Impossibile %1 il registro delle quote %2: %3")
                         .arg(azione, QDir::toNativeSeparators(Percorso(m_cartella)), motivo));
}

void TRegistroQuoteFile::Fallisci(const QString &azione, const QSqlQuery &q)
{
    const QSqlError e = q.lastError();
    Fallisci(azione, e.databaseText().isEmpty() ? e.text() : e.databaseText());
}

void TRegistroQuoteFile::Prepara(QSqlQuery &q, const QString &sql)
{
    if (!q.prepare(sql))
        Fallisci(QStringLiteral("leggere"), q);
}

void TRegistroQuoteFile::Esegui(QSqlQuery &q, const QString &azione)
{
    if (!q.exec())
        Fallisci(azione, q);
}

void TRegistroQuoteFile::Apri()
{
    const QString percorso = Percorso(m_cartella);
    // The folder's guards: a regular file only, never through a link, 0600 when made.
    {
        QFile file(percorso);
        if (!Scrivibile(percorso) || !ApriRegolare(file, QIODevice::ReadWrite))
            Fallisci(QStringLiteral("aprire"),
                     QStringLiteral("non \u00E8 un file che si possa scrivere."));
    }
    const QString nome = QStringLiteral("quote-%1").arg(++Connessioni);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(percorso);
        // Another program holding the file waits a little, never for ever.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            const QString motivo = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(nome);
            Fallisci(QStringLiteral("aprire"), motivo);
        }
    }
    m_nome = nome;
    m_thread = QThread::currentThread();
    QSqlQuery q(QSqlDatabase::database(m_nome, false));
    // Every commit reaches the disk before it returns.
    for (const char *sql : {"PRAGMA foreign_keys = ON", "PRAGMA synchronous = FULL"})
        if (!q.exec(QString::fromLatin1(sql)))
            Fallisci(QStringLiteral("aprire"), q);
    for (const char *sql : Schema)
        if (!q.exec(QString::fromLatin1(sql)))
            Fallisci(QStringLiteral("preparare"), q);
}

QSqlDatabase TRegistroQuoteFile::Db()
{
    // A connection belongs to the thread that opened it: another thread opens its own.
    if (!m_nome.isEmpty() && m_thread != QThread::currentThread())
        Chiudi();
    if (m_nome.isEmpty())
        Apri();
    return QSqlDatabase::database(m_nome, false);
}

void TRegistroQuoteFile::Transazione(const std::function<void()> &lavoro, const QString &azione)
{
    QSqlDatabase db = Db();
    if (!db.transaction())
        Fallisci(azione, db.lastError().text());
    try {
        lavoro();
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QString motivo = db.lastError().text();
        db.rollback();
        Fallisci(azione, motivo);
    }
}

std::vector<TPagamento> TRegistroQuoteFile::PagamentiDi(int posizione)
{
    std::vector<TPagamento> voci;
    if (!Esiste())
        return voci;
    QSqlQuery q(Db());
    Prepara(q, QStringLiteral("SELECT %1 FROM pagamenti WHERE posizione = :p ORDER BY id")
                   .arg(RegistroQuote::Colonne));
    q.bindValue(QStringLiteral(":p"), posizione);
    Esegui(q, QStringLiteral("leggere"));
    while (q.next())
        voci.push_back(RegistroQuote::Leggi(q));
    return voci;
}

void TRegistroQuoteFile::ScorriPagamenti(const QDate &dal, const QDate &al,
                                         const std::function<bool(const TPagamento &)> &visita)
{
    if (!Esiste())
        return;
    QSqlQuery q(Db());
    q.setForwardOnly(true);
    Prepara(q, QStringLiteral("SELECT %1 FROM pagamenti WHERE data BETWEEN :dal AND :al "
                              "ORDER BY data, anno, numero")
                   .arg(RegistroQuote::Colonne));
    q.bindValue(QStringLiteral(":dal"), dal.toString(Qt::ISODate));
    q.bindValue(QStringLiteral(":al"), al.toString(Qt::ISODate));
    Esegui(q, QStringLiteral("leggere"));
    while (q.next())
        if (!visita(RegistroQuote::Leggi(q)))
            break;
}

std::vector<TTotalePagamenti> TRegistroQuoteFile::Totali(const QDate &dal, const QDate &al)
{
    std::vector<TTotalePagamenti> totali;
    if (!Esiste())
        return totali;
    QSqlQuery q(Db());
    Prepara(q,
            QStringLiteral(
                "SELECT CAST(substr(data, 1, 4) AS INTEGER), CAST(substr(data, 6, 2) AS INTEGER), "
                "metodo, sum(centesimi), count(*) FROM pagamenti WHERE data BETWEEN :dal AND :al "
                "GROUP BY 1, 2, 3 ORDER BY 1, 2, 3"));
    q.bindValue(QStringLiteral(":dal"), dal.toString(Qt::ISODate));
    q.bindValue(QStringLiteral(":al"), al.toString(Qt::ISODate));
    Esegui(q, QStringLiteral("leggere"));
    while (q.next())
        totali.push_back({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString(),
                          q.value(3).toLongLong(), q.value(4).toInt()});
    return totali;
}

TPagamento TRegistroQuoteFile::Storna(qint64 id, const QDate &data, const QString &causale,
                                      const QString &da)
{
    TPagamento storno;
    const QString azione = QStringLiteral("scrivere");
    Transazione(
        [&] {
            QSqlQuery q(Db());
            Prepara(q, QStringLiteral("SELECT %1, (SELECT count(*) FROM pagamenti s WHERE "
                                      "s.annulla = pagamenti.id) FROM pagamenti WHERE id = :id")
                           .arg(RegistroQuote::Colonne));
            q.bindValue(QStringLiteral(":id"), id);
            Esegui(q, QStringLiteral("leggere"));
            if (!q.next())
                throw ErroreFile(RegistroQuote::NonEsiste(id));
            const TPagamento voce = RegistroQuote::Leggi(q);
            if (voce.annulla)
                throw ErroreFile(RegistroQuote::StornoDiStorno(voce));
            if (q.value(14).toInt() > 0)
                throw ErroreFile(RegistroQuote::GiaAnnullata(voce));
            q.finish();
            storno = voce;
            storno.data = data;
            storno.centesimi = -voce.centesimi;
            storno.causale = causale;
            storno.inseritoDa = da;
            storno.annulla = voce.id;
            QSqlQuery i(Db());
            Prepara(i, RegistroQuote::Inserisci(Numero));
            RegistroQuote::Lega(i, storno);
            i.bindValue(QStringLiteral(":anno_n"), data.year());
            Esegui(i, azione);
            if (!i.next())
                Fallisci(azione, i);
            storno = RegistroQuote::Leggi(i);
        },
        azione);
    return storno;
}

std::vector<TPagamento>
TRegistroQuoteFile::RegistraInSospeso(std::span<const TDeposito::TRinnovo> rinnovi)
{
    std::vector<TPagamento> scritti;
    scritti.reserve(rinnovi.size());
    const QString azione = QStringLiteral("scrivere");
    Transazione(
        [&] {
            QSqlQuery i(Db());
            Prepara(i, RegistroQuote::Inserisci(Numero));
            QSqlQuery s(Db());
            Prepara(s, QStringLiteral("INSERT INTO rinnovi_in_corso (pagamento, posizione, "
                                      "scheda) VALUES (:id, :p, :s)"));
            for (const TDeposito::TRinnovo &r : rinnovi) {
                TPagamento p = r.pagamento;
                p.posizione = r.posizione;
                p.annulla = 0;
                RegistroQuote::Lega(i, p);
                i.bindValue(QStringLiteral(":anno_n"), p.data.year());
                Esegui(i, azione);
                if (!i.next())
                    Fallisci(azione, i);
                scritti.push_back(RegistroQuote::Leggi(i));
                i.finish();
                s.bindValue(QStringLiteral(":id"), scritti.back().id);
                s.bindValue(QStringLiteral(":p"), r.posizione);
                s.bindValue(QStringLiteral(":s"),
                            QByteArray(reinterpret_cast<const char *>(r.scheda.byte.data()),
                                       DimensioneScheda));
                Esegui(s, azione);
            }
        },
        azione);
    return scritti;
}

std::vector<TRegistroQuoteFile::TSospeso> TRegistroQuoteFile::InSospeso()
{
    std::vector<TSospeso> sospesi;
    if (!Esiste())
        return sospesi;
    QSqlQuery q(Db());
    Prepara(q, QStringLiteral("SELECT %1, rp, rs FROM pagamenti JOIN (SELECT pagamento, "
                              "posizione AS rp, scheda AS rs FROM rinnovi_in_corso) ON id = "
                              "pagamento ORDER BY id")
                   .arg(RegistroQuote::Colonne));
    Esegui(q, QStringLiteral("leggere"));
    while (q.next()) {
        TSospeso s{RegistroQuote::Leggi(q), q.value(14).toInt(), TScheda()};
        const QByteArray byte = q.value(15).toByteArray();
        // Bytes of another length are no record of ours: never written.
        if (byte.size() != DimensioneScheda)
            Fallisci(QStringLiteral("leggere"),
                     QStringLiteral("il rinnovo della ricevuta %1 \u00E8 illeggibile.")
                         .arg(s.pagamento.Ricevuta()));
        std::copy(byte.begin(), byte.end(), reinterpret_cast<char *>(s.scheda.byte.data()));
        sospesi.push_back(s);
    }
    return sospesi;
}

void TRegistroQuoteFile::Concludi(std::span<const qint64> id)
{
    const QString azione = QStringLiteral("scrivere");
    Transazione(
        [&] {
            QSqlQuery q(Db());
            Prepara(q, QStringLiteral("DELETE FROM rinnovi_in_corso WHERE pagamento = :id"));
            for (qint64 i : id) {
                q.bindValue(QStringLiteral(":id"), i);
                Esegui(q, azione);
            }
        },
        azione);
}
