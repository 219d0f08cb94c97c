#pragma once
// The record lists of the search and the renewal screens: the fixed-width record
// line, its order, the scans that fill the lists and the find inside a list.
// Every line keeps the position of its record, so the record behind a chosen
// line is read again by position, never guessed from the text.
#include "archive/Scheda.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <vector>

struct VoceElenco {
    QString riga;
    int posizione = 0; // 1-based position in the archive file
};
using Elenco = std::vector<VoceElenco>;

namespace Elenchi {

inline constexpr int NumeroFiltri = 10;
using Filtri = std::array<QString, NumeroFiltri>;

// The record fields the ten filters compare against, in the order of the filter boxes.
extern const std::array<Campo, NumeroFiltri> CampiFiltro;

// Tesserato(30) "  Tessera n. " NumTessera(20) "  Scad. " DataScade(10) "  Tel. "
// Recapito(12) "  " Note.
QString RigaScheda(const TScheda &s);
// The parts of the line up to the expiry date, and where it ends: a column inserted
// there keeps the columns after it aligned.
inline constexpr int LarghezzaTesserato = 30, LarghezzaTessera = 20, LarghezzaScadenza = 10;
inline constexpr QLatin1String EtichettaTessera("  Tessera n. "), EtichettaScadenza("  Scad. ");
inline constexpr qsizetype FineScadenza = LarghezzaTesserato + EtichettaTessera.size() +
                                          LarghezzaTessera + EtichettaScadenza.size() +
                                          LarghezzaScadenza;

// Character codes with a-z taken as A-Z; a line that begins another comes first.
bool PrimaDi(const QString &a, const QString &b);
void Ordina(Elenco &e);

// Filters whose text, trimmed, is not empty.
int FiltriAttivi(const Filtri &filtri);
// Not cancelled: Annullata is exactly "No".
bool Valida(const TScheda &s);
// Scans the archive of the folder and lists, sorted, every valid record in which each
// active filter, as typed and lower-cased A-Z, occurs in its field.
// Throws ErroreFile when the archive cannot be opened or read.
Elenco Cerca(const QString &cartella, const Filtri &filtri);

// Expiry date minus the notice days on or before today, and not cancelled.
// A record whose expiry date or notice cannot be read is not due.
bool DaRinnovare(const TScheda &s, const QDate &oggi);
// Scans the archive into `elenco` (sorted also when the scan stops on an error,
// which is then thrown as ErroreFile).
void InRinnovo(const QString &cartella, const QDate &oggi, Elenco &elenco);

// Lists, sorted, the records at the given positions, read in one pass over the archive.
// Throws ErroreFile (the records read so far stay listed, sorted).
void Posizioni(const QString &cartella, const QList<int> &posizioni, Elenco &elenco);

// Find inside a list: returns the line to select, or -1 to keep the selection.
// Both keys are already lower-cased A-Z. A key equal to the last one continues after
// the selected line, wrapping; a new key searches from the top.
int Trova(const Elenco &e, int selezionata, const QString &chiave, const QString &ultimaChiave);

} // namespace Elenchi
