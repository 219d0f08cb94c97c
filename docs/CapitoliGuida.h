#pragma once
// The guide's own practical chapters: each a title and its paragraphs, separated by an
// empty line. The chapters taken from the screens' help topics are read from the screens.
#include <QString>

struct CapitoloGuida {
    QString titolo;
    QString testo;
};

namespace CapitoliGuida {

CapitoloGuida PrimoAccesso();
CapitoloGuida Importazione();
CapitoloGuida Margini();
CapitoloGuida FoglioDiProva();
CapitoloGuida CodiceQR();
CapitoloGuida Retro();
CapitoloGuida TessereInSerie();
CapitoloGuida Avvisi();
CapitoloGuida CopiaDiSicurezza();

} // namespace CapitoliGuida
