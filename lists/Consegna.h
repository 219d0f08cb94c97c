#pragma once
// Hands a chosen record to the screen that opened the search, named by the mode word:
// "anagrafica" (archive screen), "tessera" (single card), "tessere_01".."tessere_09"
// (card slots A..I of the nine-card sheet). Any other word delivers nothing.
#include <QString>

class QWidget;

namespace Consegna {

// Reads the record at `posizione` from the archive as it is now and writes it into the
// receiver's controls. `escluso` is the search screen itself, whose filter boxes share
// names with the receiver's controls. Throws when the record cannot be read.
void ConsegnaScheda(QWidget *ricevente, const QString &modo, int posizione, const QWidget *escluso);

// Slot letter of a "tessere_NN" word ('A'..'I'), or 0 for any other word.
char Slot(const QString &modo);

} // namespace Consegna
