#pragma once
// The first rows of a sheet for the import screen's preview, read within bounds: only
// the columns that hold something, up to a ceiling, and cells cut for the eye.
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

namespace Importazione {

// Columns shown at most, and characters shown of a cell.
inline constexpr int MassimoColonneAnteprima = 100;
inline constexpr qsizetype MassimoTestoAnteprima = 500;

struct Anteprima {
    QList<QStringList> righe; // the shown columns of each row, in row order
    QList<int> numeri;        // each row's number in the file
    QList<int> colonne;       // the file column (0-based) of each shown column
    int tralasciate = 0;      // columns with a header or data left out
};

// Reads up to `righe` non-empty rows of a sheet and stops there. Throws ErroreFile, with
// Foglio::MessaggioAnnullato once annulla is set.
Anteprima LeggiAnteprima(const QString &percorso, int foglio, int righe,
                         const std::atomic<bool> *annulla);

} // namespace Importazione
