#pragma once
// The storage seam: every screen, list, batch, import and the reminders reach the member
// archive and what is kept beside it (photos, organization data and logo) through a
// TDeposito. One lives for one user action, like TArchivio: made by ApriDeposito, closed
// on every path by its destructor. Failures throw ErroreFile with the texts of today.
// The folder (TDepositoFile) is the default; a PostgreSQL server (TDepositoServer) the
// other, chosen per desk, without a change in any screen.
#include "archive/Errori.h"
#include "archive/Pagamento.h"
#include "archive/Scheda.h"
#include "mail/core/RegistroAvvisi.h"
#include "mail/core/Smtp.h"
#include "stats/core/Statistiche.h"
#include "storage/DatiEnteFile.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <memory>
#include <span>
#include <vector>

// A search key: the field and the filter as the user typed it.
struct TChiaveRicerca {
    Campo campo;
    QString testo;
};

class TDeposito {
public:
    using Visita = std::function<bool(int posizione, const TScheda &s)>;

    virtual ~TDeposito() = default;
    TDeposito() = default;
    TDeposito(const TDeposito &) = delete;
    TDeposito &operator=(const TDeposito &) = delete;

    // ---- Records, by 1-based position
    virtual int NumeroSchede() = 0;
    virtual TScheda LeggiScheda(int posizione) = 0;
    virtual void ScriviScheda(int posizione, const TScheda &s) = 0;
    virtual int AccodaScheda(const TScheda &s) = 0; // the new position
    // Positions 1..count in order; the visit returns false to stop. `campi` are the
    // fields the caller reads: a server fetches only those, the folder reads whole
    // records, so the others may hold anything.
    virtual void Scorri(std::span<const Campo> campi, const Visita &visita) = 0;
    // The records not cancelled in which every key, trimmed of blanks and lower-cased A-Z,
    // occurs in its field; keys of blanks alone count neither for nor against a record.
    // The default scans; a server filters on its side.
    virtual void Cerca(std::span<const TChiaveRicerca> chiavi, std::span<const Campo> campi,
                       const Visita &visita);
    virtual void ChiudiArchivio() = 0;

    // ---- Photos, one per position
    // The photo, read as LeggiImmagine reads it; a null image when there is none or it
    // cannot be read.
    virtual QImage LeggiFoto(int posizione) = 0;
    // Whether something is stored as the photo (even a picture this computer cannot read).
    virtual bool EsisteFoto(int posizione) = 0;
    // Stores the picture as the photo; false when it cannot be written (the earlier photo
    // then stays whole).
    virtual bool ScriviFoto(int posizione, const QImage &foto) = 0;

    // ---- Organization data, card options and logo
    virtual TDatiEnte LeggiDatiEnte() = 0;
    virtual void ScriviDatiEnte(const TDatiEnte &dati) = 0;
    virtual TOpzioniTessera LeggiOpzioniTessera() = 0;
    virtual void ScriviOpzioniTessera(const TOpzioniTessera &opzioni) = 0;
    virtual QImage LeggiLogo() = 0;
    virtual bool SalvaLogo(const QImage &logo) = 0;

    // ---- Lists, reminders and import
    // The reminder log: one record per attempt (RegistroAvvisi::TRigaAvviso), each appended and
    // flushed at once. Lives no longer than its TDeposito.
    class TRegistroInvii {
    public:
        virtual ~TRegistroInvii() = default;
        // False when the line could not be written whole.
        virtual bool Scrivi(const RegistroAvvisi::TRigaAvviso &riga) = 0;
    };
    // The date of the last reminder sent to each member, by RegistroAvvisi::Chiave; empty
    // when nothing was sent or the log cannot be read.
    virtual QHash<QString, QDate> UltimiInvii() = 0;
    // The log opened for appending; null when it cannot be opened.
    virtual std::unique_ptr<TRegistroInvii> ApriRegistroAvvisi() = 0;

    // An import: new records after the existing ones, all or none. Nothing counts until
    // Conferma; an import dropped before that leaves the archive as it was. The records
    // stay closed while one is open. Failures throw ErroreFile.
    class TImportazione {
    public:
        virtual ~TImportazione() = default;
        virtual void Accoda(const TScheda &s) = 0;
        // Puts the new records in place together with the copy that lets this import be
        // undone, which keeps the photos at `foto` as they were. False when the new
        // records are in place but that copy could not be completed.
        virtual bool Conferma(const QList<int> &foto) = 0;
    };
    // Begins an import after the `schede` records there are now, first keeping a copy of
    // the archive as it is.
    virtual std::unique_ptr<TImportazione> IniziaImportazione(int schede) = 0;
    struct RipristinoImportazione {
        bool riuscito;
        QString testo; // for the user
    };
    // Puts back the archive and photos as they were before the last import, when the
    // archive is still as that import left it; otherwise says why not.
    virtual RipristinoImportazione AnnullaUltimaImportazione() = 0;
    // ---- Archive screen, cards and attachments
    // Stores the JPEG bytes, as encoded by the caller, as the photo; false when they
    // cannot be written (the earlier photo then stays whole).
    virtual bool ScriviFotoJpeg(int posizione, const QByteArray &jpeg) = 0;
    // Whether the stored photo looks readable, telling by its header alone: a long run of
    // cards asks for every member before any photo is read.
    virtual bool FotoLeggibile(int posizione) = 0;
    // Whether a document is stored under the plain name; false for any other name.
    virtual bool EsisteDocumento(const QString &nome) = 0;
    // Whether the chosen file is the very document stored under the name: storing it
    // again does nothing and asks nothing.
    virtual bool StessoDocumento(const QString &nome, const QString &origine) = 0;
    // Stores a copy of the local file `origine` under the name; a document already there
    // is replaced only with `sostituisci`, and stays whole when the copy fails. Returns
    // the message saying what failed, or an empty text.
    virtual QString SalvaDocumento(const QString &nome, const QString &origine,
                                   bool sostituisci) = 0;
    // A local path of the document for the system to open; empty when the name is no
    // plain name of a document here.
    virtual QString DocumentoDaAprire(const QString &nome) = 0;

    // ---- Several desks: versions and conflicts
    // A record with the version it was read at; the folder, which one desk holds at a
    // time, has no versions (0).
    struct TSchedaLetta {
        TScheda scheda;
        qint64 versione = 0;
    };
    virtual TSchedaLetta LeggiSchedaConVersione(int posizione)
    {
        return {LeggiScheda(posizione), 0};
    }
    // Writes the record unless another desk saved it after `versione` was read: then
    // throws ErroreConflitto and writes nothing. Returns the record's new version.
    virtual qint64 ScriviSchedaSeInvariata(int posizione, qint64 versione, const TScheda &s)
    {
        (void)versione;
        ScriviScheda(posizione, s);
        return 0;
    }

    // ---- Appends with their photo; shared settings by compare-and-set
    // Appends the record together with its photo (JPEG bytes as the caller encoded them;
    // none when empty). `fotoScritta`, when given, tells whether the photo was stored. A
    // server does both in one statement; the folder writes the photo after the record.
    virtual int AccodaSchedaConFoto(const TScheda &s, const QByteArray &jpeg, bool *fotoScritta)
    {
        const int p = AccodaScheda(s);
        const bool scritta = jpeg.isEmpty() || ScriviFotoJpeg(p, jpeg);
        if (fotoScritta)
            *fotoScritta = scritta;
        return p;
    }
    // Writes what changed from `letti` (what this desk showed) where it is still as read:
    // a key another desk changed since stays as that desk left it, and the answer is false.
    // The folder, which one desk holds at a time, writes them all.
    virtual bool ScriviDatiEnteSeInvariati(const TDatiEnte &letti, const TDatiEnte &dati)
    {
        (void)letti;
        ScriviDatiEnte(dati);
        return true;
    }
    virtual bool ScriviOpzioniTesseraSeInvariate(const TOpzioniTessera &lette,
                                                 const TOpzioniTessera &opzioni)
    {
        (void)lette;
        ScriviOpzioniTessera(opzioni);
        return true;
    }

    // ---- Several desks: the logo written only when changed
    // Stores `nuovo` as the logo when it differs from `letto`, as the screen showed it when
    // read: a logo not changed is not encoded again. False when it cannot be written. The
    // folder writes it every time, as the card screen always has.
    virtual bool SalvaLogoCambiato(const QImage &letto, const QImage &nuovo)
    {
        return nuovo == letto || SalvaLogo(nuovo);
    }

    // ---- E-mail settings
    // The settings for sending reminders, the password as the scrambled fallback copy of
    // the desk's Quorvel.ini (the secret store is the screen's business). The folder keeps
    // them in that Quorvel.ini (TImpostazioniPosta::Carica/Salva); a server shares them
    // among its desks, all but the password and the CA file, which stay on the desk (each
    // desk keeps its own until one saves them there). Writing throws ErroreFile.
    virtual TImpostazioniPosta LeggiImpostazioniPosta() = 0;
    virtual void ScriviImpostazioniPosta(const TImpostazioniPosta &p) = 0;

    // ---- Renewals and the fee register
    // The member's entries, oldest first.
    virtual std::vector<TPagamento> PagamentiDi(int posizione) = 0;
    // Every entry whose date falls in [dal, al], by date then receipt; the visit returns
    // false to stop.
    virtual void ScorriPagamenti(const QDate &dal, const QDate &al,
                                 const std::function<bool(const TPagamento &)> &visita) = 0;
    // The sums by month and method of the entries dated in [dal, al].
    virtual std::vector<TTotalePagamenti> TotaliPagamenti(const QDate &dal, const QDate &al) = 0;
    // Voids the entry `id` with a counter-entry that names it; returns the counter-entry.
    // Throws ErroreFile when it cannot be written or the entry is already void.
    virtual TPagamento StornaPagamento(qint64 id, const QString &causale, const QString &da)
    {
        return StornaPagamentoIl(id, QDate::currentDate(), causale, da);
    }

    // ---- Renewals: both or neither
    // One member's renewal: the record as it will be (new expiry and issue date), read at
    // `versione`, and its payment (anno and numero are given by the register).
    struct TRinnovo {
        int posizione = 0;
        qint64 versione = 0;
        TScheda scheda;
        TPagamento pagamento;
    };
    // What became of one renewal: the payment as written (id, receipt number), or why
    // nothing of it was written.
    struct TEsitoRinnovo {
        TPagamento pagamento;
        QString errore; // empty when both the record and the payment were written
    };
    // Writes each record together with its payment: for every member both or neither,
    // also when the program is killed half way (the next CompletaRinnovi finishes what
    // was begun). One answer per renewal, in order. A record another desk saved after it
    // was read is not renewed, and its answer says so. Throws ErroreFile when the register
    // cannot be written at all.
    virtual std::vector<TEsitoRinnovo> Rinnova(std::span<const TRinnovo> rinnovi) = 0;
    // Finishes the renewals a kill left half done (payment written, record not yet):
    // returns the payments it completed, for the user to be told; none in the usual case.
    virtual std::vector<TPagamento> CompletaRinnovi() { return {}; }
    // StornaPagamento on the day `data`. The counter-entry is a receipt of its own: it takes
    // the next number of its year (so the numbers stay without gaps and every document in
    // the register has one), holds the amount with the opposite sign and the voided
    // entry's member and period, and names the voided entry in `annulla`. The member's
    // record is left as it is. A counter-entry cannot itself be voided.
    virtual TPagamento StornaPagamentoIl(qint64 id, const QDate &data, const QString &causale,
                                         const QString &da) = 0;
    // ---- Door check
    // The secret key (32 bytes) that signs the cards' verification codes, made at first use
    // and kept with the archive, never printed. Throws ErroreFile when it cannot be read or
    // made.
    virtual QByteArray ChiaveVerifica() = 0;
    // One check at the entrance: when, the card read, the member found (position 0 when
    // none) and the verdict as shown.
    struct TIngresso {
        QDateTime quando;
        QString tessera;
        QString tesserato;
        int posizione = 0;
        QString esito;
    };
    // Appends the check to the entrance log; throws ErroreFile when it cannot be written.
    virtual void RegistraIngresso(const TIngresso &ingresso) = 0;
    // The checks made on the day, in the order they were made; empty when there is no log.
    virtual std::vector<TIngresso> IngressiDel(const QDate &giorno) = 0;
    // ---- Statistics
    // The record counts of the statistics screen under the filter. The default is one pass
    // over the records with only the fields counted; a server groups them on its side.
    virtual Statistiche::TConteggiSchede ContaSchede(const TFiltroStatistiche &filtro)
    {
        return Statistiche::ContaScorrendo(*this, filtro);
    }
    // ---- Export grid
    // The records at positions primo..ultimo that exist, in order, as Scorri hands them;
    // the visit returns false to stop. The default reads them one by one; a server
    // fetches them in one query.
    virtual void ScorriIntervallo(int primo, int ultimo, std::span<const Campo> campi,
                                  const Visita &visita)
    {
        (void)campi;
        const int fine = std::min(ultimo, NumeroSchede());
        for (int p = std::max(primo, 1); p <= fine; ++p)
            if (!visita(p, LeggiScheda(p)))
                return;
    }
};

// Another desk saved the record after this one read it: nothing was written. The text
// names who and when; `attuale` is the record as it is now, at version `versione`.
class ErroreConflitto : public ErroreFile {
public:
    ErroreConflitto(int posizione, qint64 versione, const QString &da, const QDateTime &il,
                    const TScheda &attuale);
    int posizione;
    qint64 versione;
    QString da;
    QDateTime il;
    TScheda attuale;
};

// A plain document name: no folder, no "..", not absolute.
bool NomeDocumentoSemplice(const QString &nome);

// Opens the archive that the settings of the folder choose: the server when its
// Quorvel.ini says [Archivio] Tipo=postgresql (the server set up for this process by
// ConnessioneServer::Imposta), otherwise the folder itself; throws ErroreFile when it
// cannot be opened. Neither opens anything before the first call: the folder opens its
// archive file at the first record asked for (photos, documents and organization data
// need none), the server connects at the first question.
std::unique_ptr<TDeposito> ApriDeposito(const QString &cartella);
