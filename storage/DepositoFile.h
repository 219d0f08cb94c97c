#pragma once
// The archive folder: "Tesserati.pro", "<n>.jpg", "Quorvel.ini" and "Logo.jpg", read and
// written byte for byte as the program always has.
#include "archive/Archivio.h"
#include "storage/Deposito.h"
#include "storage/RegistroQuoteFile.h"

#include <optional>

class TDepositoFile : public TDeposito {
public:
    // "Tesserati.pro" in the folder is opened (created when missing) at the first record
    // asked for; that throws ErroreFile.
    explicit TDepositoFile(const QString &cartella);

    int NumeroSchede() override;
    TScheda LeggiScheda(int posizione) override;
    void ScriviScheda(int posizione, const TScheda &s) override;
    int AccodaScheda(const TScheda &s) override;
    void Scorri(std::span<const Campo> campi, const Visita &visita) override;
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

    const QString &Cartella() const { return m_cartella; }

    // ---- Lists, reminders and import: "Avvisi.csv", and "Tesserati.pro.bak" with the
    // dated copies of "Copie importazioni"
    QHash<QString, QDate> UltimiInvii() override;
    std::unique_ptr<TRegistroInvii> ApriRegistroAvvisi() override;
    std::unique_ptr<TImportazione> IniziaImportazione(int schede) override;
    RipristinoImportazione AnnullaUltimaImportazione() override;

    // ---- Archive screen, cards and attachments
    bool ScriviFotoJpeg(int posizione, const QByteArray &jpeg) override;
    bool FotoLeggibile(int posizione) override;
    // Documents live in "Documenti_Allegati", each for the user alone (0600).
    bool EsisteDocumento(const QString &nome) override;
    bool StessoDocumento(const QString &nome, const QString &origine) override;
    QString SalvaDocumento(const QString &nome, const QString &origine, bool sostituisci) override;
    QString DocumentoDaAprire(const QString &nome) override;
    QString CartellaDocumenti() const;

    // ---- The logo: one desk holds the folder, and the card screen writes its logo at
    // every close, changed or not (first use leaves the placeholder logo).
    bool SalvaLogoCambiato(const QImage &letto, const QImage &nuovo) override
    {
        (void)letto;
        return SalvaLogo(nuovo);
    }

    // ---- E-mail settings: the folder's Quorvel.ini, as always
    TImpostazioniPosta LeggiImpostazioniPosta() override
    {
        return TImpostazioniPosta::Carica(m_cartella);
    }
    void ScriviImpostazioniPosta(const TImpostazioniPosta &p) override { p.Salva(m_cartella); }

    // ---- Renewals and the fee register: "Quote.sqlite" (TRegistroQuoteFile)
    ~TDepositoFile() override;
    std::vector<TPagamento> PagamentiDi(int posizione) override;
    void ScorriPagamenti(const QDate &dal, const QDate &al,
                         const std::function<bool(const TPagamento &)> &visita) override;
    std::vector<TTotalePagamenti> TotaliPagamenti(const QDate &dal, const QDate &al) override;
    TPagamento StornaPagamentoIl(qint64 id, const QDate &data, const QString &causale,
                                 const QString &da) override;
    // The payments go to the register first, each marked with its record still to write;
    // then the records (one wait for the disk), then the marks are cleared.
    std::vector<TEsitoRinnovo> Rinnova(std::span<const TRinnovo> rinnovi) override;
    std::vector<TPagamento> CompletaRinnovi() override;
    // For the tests that kill a renewal half way: called after the payments are written
    // (1) and after the records are (2).
    static inline void (*PuntoRinnovo)(int fase) = nullptr;
    // ---- Door check: "ChiaveVerifica.bin" (the key, 0600) and "Ingressi.csv" (the log)
    QByteArray ChiaveVerifica() override;
    void RegistraIngresso(const TIngresso &ingresso) override;
    std::vector<TIngresso> IngressiDel(const QDate &giorno) override;

private:
    TArchivio &Archivio();
    TRegistroQuoteFile &Quote();
    std::unique_ptr<TRegistroQuoteFile> m_quote;

    QString m_cartella;
    std::optional<TArchivio> m_archivio;
};
