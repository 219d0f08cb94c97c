#pragma once
// The list "Riepilogo quote": the fee register's entries of a period, one fixed-pitch line
// each, then the totals by method of payment and by month; and the same as a spreadsheet
// file written like the members' export. No widgets.
#include "archive/Pagamento.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

class TDeposito;

inline const QString NomeEsportazioneQuote = QStringLiteral("Quote.xls");

struct TSomma {
    qint64 centesimi = 0;
    int quanti = 0;
};

// The totals of a period, gathered one entry at a time.
struct TRiepilogoQuote {
    QDate dal, al;
    std::vector<TPagamento> voci;                  // in the register's order: date, then receipt
    std::map<QString, TSomma> perMetodo;           // by method's name
    std::map<std::pair<int, int>, TSomma> perMese; // by (year, month)
    TSomma totale;

    // Counts one entry: a counter-entry with its own (negative) amount.
    void Aggiungi(const TPagamento &p);
    // The sums as the register gives them, month by month and method by method.
    std::vector<TTotalePagamenti> Totali() const;
};

namespace RiepilogoQuote {

// "Riepilogo quote dal 01/01/2026 al 31/12/2026".
QString Titolo(const QDate &dal, const QDate &al);
// The entries dated in [dal, al] and their totals, read through the storage seam.
TRiepilogoQuote Leggi(TDeposito &deposito, const QDate &dal, const QDate &al);
// The printed lines: a heading, one line per entry, then the totals by method, by month
// and in all. Columns line up in a fixed-pitch font.
QStringList Righe(const TRiepilogoQuote &r);
// The same one at a time, for a list that shows only the lines in view: the heading, the
// line of entry i, and the lines of the totals that close the list.
QString Intestazione();
QString Riga(const TPagamento &p);
QStringList Coda(const TRiepilogoQuote &r);
// "dicembre 2026".
QString NomeMese(int anno, int mese);
// Writes the spreadsheet: the entries, then the totals. Throws ErroreFile on failure; an
// earlier file is replaced only when the new one is complete.
void ScriviEsportazione(const QString &percorso, const TRiepilogoQuote &r);

} // namespace RiepilogoQuote
