// The preview's rows: read until there are enough, then the empty columns dropped.
#include "import/core/ImportaAnteprima.h"

#include "archive/Testo.h"
#include "import/core/Foglio.h"

#include <iterator>
#include <limits>
#include <set>

namespace Importazione {

Anteprima LeggiAnteprima(const QString &percorso, int foglio, int righe,
                         const std::atomic<bool> *annulla)
{
    Anteprima a;
    QList<QStringList> lette;
    std::set<int> usate; // columns with a header or data
    ApriFoglio(percorso, annulla)->Leggi(foglio, [&](int numero, QStringList &celle) {
        for (int c = 0; c < celle.size(); ++c)
            if (!Testo::Trim32(celle[c]).isEmpty())
                usate.insert(c);
        // Only the first columns in use are shown: a cell beyond them is never kept.
        const int ultima = usate.size() > size_t(MassimoColonneAnteprima)
                               ? *std::next(usate.begin(), MassimoColonneAnteprima - 1)
                               : std::numeric_limits<int>::max();
        QStringList riga;
        for (int c = 0; c < celle.size() && c <= ultima; ++c) {
            if (Testo::Trim32(celle[c]).isEmpty())
                continue;
            while (riga.size() < c)
                riga.append(QString());
            riga.append(celle[c].size() > MassimoTestoAnteprima
                            ? celle[c].left(MassimoTestoAnteprima - 1) + u'\u2026'
                            : celle[c]);
        }
        lette.append(riga);
        a.numeri.append(numero);
        return lette.size() < righe;
    });
    QList<int> colonne(usate.begin(), usate.end());
    if (colonne.size() > MassimoColonneAnteprima) {
        a.tralasciate = int(colonne.size()) - MassimoColonneAnteprima;
        colonne.resize(MassimoColonneAnteprima);
    }
    a.colonne = colonne;
    for (const QStringList &r : std::as_const(lette)) {
        QStringList mostrata;
        mostrata.reserve(colonne.size());
        for (int c : std::as_const(colonne))
            mostrata.append(r.value(c));
        a.righe.append(mostrata);
    }
    return a;
}

} // namespace Importazione
