#pragma once
// The four-arrow browse rule shared by every screen that steps through the archive
// one record at a time (first, previous, next, last).
//
// Usage: open the archive, take its record count n, then call
//     const auto d = Scorrimento::Decidi(n, lblPosizione->text(), Scorrimento::Freccia::Avanti);
// and act on the answer in this order:
//   1. d.svuotaPosizione: empty the position label;
//   2. d.destinazione > 0: read that position (1..n) and show it;
//   3. d.archivioVuoto: after closing the archive, show the information message
//      Scorrimento::MessaggioVuoto().
// With none of them set the press does nothing (Previous at the first record,
// Next at the last one): no message, the screen stays as it is.
#include <QString>

namespace Scorrimento {

enum class Freccia { Primo, Indietro, Avanti, Ultimo };

struct Decisione {
    int destinazione = 0;         // position to show, 1..n; 0 = none
    bool archivioVuoto = false;   // tell the user the archive holds no record
    bool svuotaPosizione = false; // empty the position label first
};

// n: record count of the archive; posizione: the position label's text as it stands
// (empty for a new record; surrounding blanks are ignored). A label that is not a
// number counts as empty. The target lies in 1..n, except for Previous from a position
// beyond the end (the archive shrank behind the screen): it is p - 1 all the same, and
// reading it fails like any other access to the archive.
Decisione Decidi(int n, const QString &posizione, Freccia freccia);

// "L'archivio non contiene nessuna scheda."
QString MessaggioVuoto();

} // namespace Scorrimento
