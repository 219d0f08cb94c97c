#pragma once
// The archive on a PostgreSQL server (sql/quorvel.sql), shared by every desk: records,
// photos, attachments, organization data, card options, logo and the reminder log. What
// stays on each desk (print margins, the password file, the export, the lock file, the
// [Archivio] section) never comes here.
//
// Through Qt's QPSQL driver, on the calling thread's connection
// (ConnessioneServer::PerQuestoThread): it ships with Qt on every platform the program
// runs on, over libpq. Its limits, measured, shape this code:
// - a text holding U+0000 cuts the statement short, so such a value is refused here with
//   a plain message, never sent;
// - bytea goes out as hex and comes back in escape format (QPSQL sets bytea_output), so
//   documents are capped at 64 MiB (the table's check says the same);
// - it has no COPY: an import streams its rows into a temporary table with libpq's COPY,
//   on the driver's own connection (QSqlDriver::handle);
// - it hands every field of every row over as a QVariant holding a QString: the list of
//   every record (tens of thousands of rows) is read instead by COPY in binary format,
//   on the same connection (DepositoServerCopia.cpp).
// Values are always bound; column names come only from the field table (CampiScheda, in
// lower case). Records are stored as the folder's file would hold them: each value passes
// the record's field rules (TScheda::Scrivi) before it is sent.
#include "storage/Deposito.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <map>

class TDepositoServer : public TDeposito {
public:
    // `cartella` is the desk's program folder; no connection is made before the first call.
    explicit TDepositoServer(const QString &cartella);
    ~TDepositoServer() override;

    int NumeroSchede() override;
    TScheda LeggiScheda(int posizione) override;
    void ScriviScheda(int posizione, const TScheda &s) override;
    int AccodaScheda(const TScheda &s) override;
    void Scorri(std::span<const Campo> campi, const Visita &visita) override;
    void Cerca(std::span<const TChiaveRicerca> chiavi, std::span<const Campo> campi,
               const Visita &visita) override;
    void ChiudiArchivio() override;

    QImage LeggiFoto(int posizione) override;
    bool EsisteFoto(int posizione) override;
    bool ScriviFoto(int posizione, const QImage &foto) override;

    TDatiEnte LeggiDatiEnte() override;
    void ScriviDatiEnte(const TDatiEnte &dati) override;
    TOpzioniTessera LeggiOpzioniTessera() override;
    void ScriviOpzioniTessera(const TOpzioniTessera &opzioni) override;
    QImage LeggiLogo() override;
    bool SalvaLogo(const QImage &logo) override;

    QHash<QString, QDate> UltimiInvii() override;
    std::unique_ptr<TRegistroInvii> ApriRegistroAvvisi() override;
    std::unique_ptr<TImportazione> IniziaImportazione(int schede) override;
    RipristinoImportazione AnnullaUltimaImportazione() override;

    bool ScriviFotoJpeg(int posizione, const QByteArray &jpeg) override;
    bool FotoLeggibile(int posizione) override;
    bool EsisteDocumento(const QString &nome) override;
    bool StessoDocumento(const QString &nome, const QString &origine) override;
    QString SalvaDocumento(const QString &nome, const QString &origine, bool sostituisci) override;
    QString DocumentoDaAprire(const QString &nome) override;

    TSchedaLetta LeggiSchedaConVersione(int posizione) override;
    qint64 ScriviSchedaSeInvariata(int posizione, qint64 versione, const TScheda &s) override;

    // ---- Appends with their photo; shared settings by compare-and-set
    int AccodaSchedaConFoto(const TScheda &s, const QByteArray &jpeg, bool *fotoScritta) override;
    bool ScriviDatiEnteSeInvariati(const TDatiEnte &letti, const TDatiEnte &dati) override;
    bool ScriviOpzioniTesseraSeInvariate(const TOpzioniTessera &lette,
                                         const TOpzioniTessera &opzioni) override;
    // The append behind AccodaScheda under a request id of the caller's: a save retried
    // with the same id after a lost answer finds its record instead of appending it twice.
    int AccodaRichiesta(const TScheda &s, const QByteArray &jpeg, const QUuid &richiesta);

    // ---- E-mail settings shared by the desks but the password and the CA file
    TImpostazioniPosta LeggiImpostazioniPosta() override;
    void ScriviImpostazioniPosta(const TImpostazioniPosta &p) override;

    // ---- Statistics: grouped by the server (GROUP BY), never fetched record by record
    Statistiche::TConteggiSchede ContaSchede(const TFiltroStatistiche &filtro) override;

    // The statement `sql`, prepared once on this connection and kept for the next call.
    QSqlQuery &Prepara(const QString &sql);
    // Runs a prepared (or plain) query; throws ErroreFile saying what could not be done,
    // or `seOccupato` when the data were held by another desk past the lock timeout.
    void Esegui(QSqlQuery &q, const QString &azione, const QString &seOccupato = QString());
    // Runs `azione`; when it fails because the connection was lost, the connection is
    // opened again and `azione` runs once more if `ripetibile` (a read, or a write whose
    // second run changes nothing more), otherwise `nonFatta` is thrown: never lost, never
    // done twice.
    template <class F>
    auto Tenta(F &&azione, bool ripetibile, const QString &nonFatta = QString())
        -> decltype(azione());
    QSqlDatabase Db();
    const QString &Cartella() const { return m_cartella; }

    // ---- Renewals and the fee register: table pagamenti, numbered by the server
    std::vector<TPagamento> PagamentiDi(int posizione) override;
    void ScorriPagamenti(const QDate &dal, const QDate &al,
                         const std::function<bool(const TPagamento &)> &visita) override;
    std::vector<TTotalePagamenti> TotaliPagamenti(const QDate &dal, const QDate &al) override;
    TPagamento StornaPagamentoIl(qint64 id, const QDate &data, const QString &causale,
                                 const QString &da) override;
    // All the renewals in one transaction, each record and its payment under a savepoint
    // of their own: a record changed by another desk since it was read is left out alone.
    std::vector<TEsitoRinnovo> Rinnova(std::span<const TRinnovo> rinnovi) override;
    // ---- Door check: tables chiave_verifica (one row) and ingressi (appended only)
    QByteArray ChiaveVerifica() override;
    void RegistraIngresso(const TIngresso &ingresso) override;
    std::vector<TIngresso> IngressiDel(const QDate &giorno) override;
    // ---- Export grid: a page of records in one query
    void ScorriIntervallo(int primo, int ultimo, std::span<const Campo> campi,
                          const Visita &visita) override;

private:
    using Valori = QList<std::pair<QString, QString>>;
    QHash<QString, QString> LeggiSezione(const QString &sezione);
    void ScriviValori(const Valori &valori);
    bool ScriviValoriSeInvariati(const Valori &letti, const Valori &valori);
    // Whether the connection still answers; when not, it is opened again once.
    bool Riconnetti();
    void Dimentica();
    // The rows of `sql` (positions after :dopo, at most :quante, then the `campi`) handed
    // to `visita` page by page.
    // With `copia`, the pages come by COPY, the values written into the statement as
    // literals: for statements without the user's text (their values are numbers and
    // fixed words).
    void Pagine(const QString &sql, const QList<std::pair<QString, QVariant>> &valori,
                std::span<const Campo> campi, const Visita &visita, const QString &azione,
                bool copia = false);
    static constexpr int RighePerPagina = 2000;
    // Versions of the record equal to what this desk wrote at `versione`: a save whose
    // answer was lost counts as done.
    bool GiaScritta(int posizione, qint64 versione, const TScheda &s);
    // One try of each action, without reconnecting.
    TSchedaLetta LeggiUna(int posizione);
    void ScriviUna(int posizione, const TScheda &s);
    qint64 ScriviSeInvariata(int posizione, qint64 versione, const TScheda &s);

    int m_riaperture = 0;           // connections opened again after a loss
    const void *m_driver = nullptr; // the driver of the connection statements were prepared on
    int m_scansioni = 0;            // scans open on this connection (a visit may scan again)

    QString m_cartella;
    QString m_nome; // the connection the statements below were prepared on
    std::map<QString, QSqlQuery> m_query;

    // ---- Scans read by COPY (DepositoServerCopia.cpp)
public:
    // A page of a scan: each row's position, and each asked field of it stored as the
    // record holds it (length byte, then the Windows-1252 bytes).
    struct TPagina {
        std::vector<int> posizioni;
        std::vector<unsigned char> campi;
    };

private:
    // Reads the rows of `sql` (the position, then the `campi`) into `pagina` through
    // COPY in binary format on the connection's libpq handle; COPY takes no parameters,
    // so the `valori` go into the text as literals (numbers, or texts escaped by libpq).
    void LeggiCopia(const QString &sql, const QList<std::pair<QString, QVariant>> &valori,
                    std::span<const Campo> campi, TPagina &pagina, const QString &azione);
    static constexpr int RighePerCopia = 20000;
};

// The record's text of a field for a statement: refuses a NUL, which QPSQL cannot send.
QString ValoreServer(const TScheda &s, Campo c);
// A text for a statement: QPSQL sends a null QString as NULL, never as ''.
inline QString TestoServer(const QString &t)
{
    return t.isNull() ? QStringLiteral("") : t;
}
// The field's column, from the field table in lower case.
QString ColonnaServer(Campo c);
// A picture stored on the server, read as LeggiImmagine reads a file; null when unreadable.
QImage ImmagineServer(const QByteArray &byte);

template <class F>
auto TDepositoServer::Tenta(F &&azione, bool ripetibile, const QString &nonFatta)
    -> decltype(azione())
{
    try {
        return azione();
    } catch (const ErroreConflitto &) {
        throw;
    } catch (const ErroreFile &) {
        // Failures of a connection still alive (a refusal, a lock held elsewhere) stand.
        if (!Riconnetti())
            throw;
        if (!ripetibile)
            throw ErroreFile(nonFatta);
    }
    return azione();
}

// ---- Migration: the shared settings as the server keeps them (table impostazioni)
// The keys and values of the section "Dati Ente" that a desk writes for `dati` and `opzioni`.
QList<std::pair<QString, QString>> ValoriImpostazioniServer(const TDatiEnte &dati,
                                                            const TOpzioniTessera &opzioni);
// The organization data and card options read back from those keys.
TDatiEnte DatiEnteDaServer(const QHash<QString, QString> &valori);
TOpzioniTessera OpzioniDaServer(const QHash<QString, QString> &valori);
