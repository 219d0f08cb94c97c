#pragma once
// Hands a chosen record to the screen that opened the search, named by the mode word:
// "anagrafica" (archive screen), "tessera" (single card), "tessere_01".."tessere_09"
// (card slots A..I of the nine-card sheet). Any other word delivers nothing.
#include "archive/Scheda.h"

#include <QImage>
#include <QString>

class QWidget;

// Takes the record chosen in the search and writes it into its own controls.
class TRiceventeScheda {
public:
    virtual ~TRiceventeScheda() = default;
    // The record at `posizione`, as the archive holds it now.
    virtual void RiceviScheda(const TScheda &scheda, int posizione) = 0;
};

// A screen that opens the search: names the receiver of the mode word it gave it.
class TApritoreRicerca {
public:
    virtual ~TApritoreRicerca() = default;
    // The receiver of that mode word, or nullptr when the word is not one of its own.
    virtual TRiceventeScheda *RiceventeScheda(const QString &modo) = 0;
};

namespace Consegna {

// Reads the record at `posizione` from the archive as it is now and hands it to the
// opener's receiver of the mode word. Throws when the record cannot be read.
void ConsegnaScheda(QWidget *apritore, const QString &modo, int posizione);

// Slot letter of a "tessere_NN" word ('A'..'I'), or 0 for any other word.
char Slot(const QString &modo);
// Slot index of a "tessere_NN" word (0..8), or -1 for any other word.
int IndiceSlot(const QString &modo);

// The photo file of the record at `posizione`; a null image when it cannot be read.
QImage Foto(int posizione);

} // namespace Consegna
