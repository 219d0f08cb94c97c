#pragma once
// Import of members from a spreadsheet (no widgets): which field each column fills,
// the archive screen's save checks on every row, and the append of all the new
// records in one go, through the storage's import (TDeposito::TImportazione).
#include "archive/Avanzamento.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

enum class Campo;

namespace Importazione {

// The index of a record field in the lists of the import.
inline int C(Campo c)
{
    return static_cast<int>(c);
}

// Where a column goes: a record field (0..34, in record order), or one of these.
enum Destinazione : int {
    Nessuna = -1,
    Cognome = 100, // with Nome fills Tesserato, joined by a blank
    Nome,
    ComuneProvNascita,      // "town PR", as the export joins them
    CapComuneProvResidenza, // "CAP town PR"
    Foto,                   // file name of a picture, or a path from the file's folder
};

struct Voce {
    int destinazione;
    QString testo;
};
// The choices offered for each column, "(nessuno)" first.
const QList<Voce> &Destinazioni();
QString NomeDestinazione(int destinazione);

// The destination a header names, or Nessuna.
int DestinazioneDa(const QString &intestazione);
// The destination of each header; each destination is given to its first column only.
// A bare "Prov." takes its meaning from the column before it: after the birth town it
// is the birth province.
QList<int> Abbina(const QStringList &intestazioni);
// The index of the header row among the first rows of a sheet: the first whose cells
// name at least two fields (or one, when nothing better is found); 0 when none does.
int TrovaIntestazione(const QList<QStringList> &righe);
// A key for a set of headers, the same whatever their case, accents and blanks.
QString ChiaveIntestazioni(const QStringList &intestazioni);

// Letters with marks that Windows-1252 cannot hold become their base letter ("Ș" ->
// "S", "Ł" -> "L"); with resto, true when something is still outside Windows-1252.
QString Ripiega(const QString &testo, bool *resto = nullptr);

// Accepts dd/mm/yyyy, d/m/yy and yyyy-mm-dd (with '/', '-' or '.'); empty when the
// text is no real date. Two-digit years: 00-29 are 2000-2029, the rest 1930-1999.
QString NormalizzaData(const QString &testo);
// The same as a date; invalid when the text is no real date.
QDate DataDa(const QString &testo);

struct Riga {
    int numero;
    bool scartata; // false: imported with a warning
    QString motivo;
    QString tesserato = {}; // the member's name, when the row gives one
};

struct Esito {
    int importate = 0;
    int scartate = 0;
    int avvisate = 0; // rows imported with at least one warning
    bool annullata = false;
    bool prova = false;          // checked only: nothing was written
    int rilascioPredefinito = 0; // rows given the default issue date
    int scadenzaPredefinita = 0; // rows given the default expiry date
    QDate rilascio, scadenza;    // the defaults used
    bool senzaCopia = false;     // imported, but the copy to undo it was not recorded
    QList<Riga> righe;           // in row order
    // The summary line, and the line of one row, as the list shows them.
    QString Riepilogo() const;
    static QString Linea(const Riga &r);
};
// The outcome as a CSV file (UTF-8 with BOM, semicolons): the summary, then row, member,
// outcome and reason of each row.
QByteArray CsvEsito(const QString &riepilogo, const QList<Riga> &righe);

struct Richiesta {
    QString percorso; // the spreadsheet
    int foglio = 0;
    QList<int> colonne; // destination of each column
    bool doppi = false; // import rows that match a record already in the archive
    // Set from another thread: the reading stops at once and the run ends as cancelled.
    const std::atomic<bool> *annulla = nullptr;
    // The header's row number in the file; the rows above it and the header itself are
    // not imported. 0: the first row.
    int intestazione = 0;
    // Given to the rows without an issue or expiry date; invalid: such rows are skipped.
    QDate rilascio, scadenza;
};

// Reads the sheet and checks every row. With scrivi the accepted rows are appended
// to the archive of the folder, all or none, after the storage has kept a copy of the
// archive and a copy that lets the import be undone, and their photos written afterwards. Throws
// ErroreFile for an unreadable file or a failed write; the archive is then as it was.
// `avanza` hears the rows read so far every few hundred rows (the total is not known).
Esito Importa(const QString &cartella, const Richiesta &r, bool scrivi,
              const Avanzamento &avanza = {});

} // namespace Importazione
