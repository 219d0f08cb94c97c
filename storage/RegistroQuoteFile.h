#pragma once
// The folder's fee register: "Quote.sqlite" beside "Tesserati.pro", through Qt's SQLite
// driver, for the user alone (0600) like every file of the folder. Besides the entries it
// keeps the renewals begun and not yet finished: each payment is written together with the
// record bytes still to be written to the archive, and that mark is cleared once the record
// is on disk, so a kill in between is finished at the next start.
// One connection per register and thread, opened at the first call, closed and removed by
// the destructor; one desk holds the folder (its lock file), so numbers need no more.
#include "storage/Deposito.h"

#include <QSqlDatabase>
#include <QSqlQuery>

class TRegistroQuoteFile {
public:
    explicit TRegistroQuoteFile(const QString &cartella);
    ~TRegistroQuoteFile();
    TRegistroQuoteFile(const TRegistroQuoteFile &) = delete;
    TRegistroQuoteFile &operator=(const TRegistroQuoteFile &) = delete;

    static QString Percorso(const QString &cartella);

    std::vector<TPagamento> PagamentiDi(int posizione);
    void ScorriPagamenti(const QDate &dal, const QDate &al,
                         const std::function<bool(const TPagamento &)> &visita);
    std::vector<TTotalePagamenti> Totali(const QDate &dal, const QDate &al);
    TPagamento Storna(qint64 id, const QDate &data, const QString &causale, const QString &da);

    // A renewal whose record is still to be written.
    struct TSospeso {
        TPagamento pagamento;
        int posizione = 0;
        TScheda scheda;
    };
    // Writes the payments, numbered, each marked with its record still to write: one
    // transaction, on disk when this returns. Returns them as written, in order.
    std::vector<TPagamento> RegistraInSospeso(std::span<const TDeposito::TRinnovo> rinnovi);
    // The renewals marked and not yet cleared, oldest first.
    std::vector<TSospeso> InSospeso();
    // Clears the marks of the payments `id`: their records are on disk.
    void Concludi(std::span<const qint64> id);
    // Whether the file is there at all (nothing is made just to find it empty).
    bool Esiste() const;

private:
    QSqlDatabase Db();
    void Apri();
    void Chiudi();
    [[noreturn]] void Fallisci(const QString &azione, const QSqlQuery &q);
    [[noreturn]] void Fallisci(const QString &azione, const QString &motivo);
    void Prepara(QSqlQuery &q, const QString &sql);
    void Esegui(QSqlQuery &q, const QString &azione);
    void Transazione(const std::function<void()> &lavoro, const QString &azione);

    QString m_cartella;
    QString m_nome;                 // the connection, empty while closed
    const void *m_thread = nullptr; // the thread it belongs to
};
