#include "registry/core/Scorrimento.h"

#include "archive/Testo.h"

namespace Scorrimento {

QString MessaggioVuoto()
{
    return QStringLiteral("L'archivio non contiene nessuna scheda.");
}

Decisione Decidi(int n, const QString &posizione, Freccia freccia)
{
    const QString etichetta = Testo::Trim32(posizione);
    bool numero = false;
    int p = etichetta.toInt(&numero);
    if (!numero || p < 0)
        p = 0;

    Decisione d;
    switch (freccia) {
    case Freccia::Primo:
    case Freccia::Ultimo:
        if (n <= 0)
            d.archivioVuoto = true;
        else
            d.destinazione = freccia == Freccia::Primo ? 1 : n;
        break;
    case Freccia::Avanti:
        if (n <= 0) {
            d.svuotaPosizione = true;
            d.archivioVuoto = true;
        } else if (p < n) {
            d.destinazione = p + 1;
        }
        break;
    case Freccia::Indietro:
        if (p == 1)
            break; // already at the first record: nothing, not even on an empty archive
        if (n <= 0)
            d.archivioVuoto = true;
        else if (p == 0)
            d.destinazione = 1;
        else
            // Also from a position beyond the end (the archive shrank meanwhile): reading
            // it fails, and the screen reports that it cannot access the archive.
            d.destinazione = p - 1;
        break;
    }
    return d;
}

} // namespace Scorrimento
