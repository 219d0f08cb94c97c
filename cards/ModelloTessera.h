#pragma once
// The card layout (86 x 54 mm) as report objects, its variant for the preview and the
// nine-card sheet, and the card fill rule.
#include "report/Report.h"

#include <QImage>
#include <QString>

#include <memory>

// Printed single card; single-card preview; one card of the nine-card sheet.
enum class VarianteTessera { Stampa, Anteprima, Foglio };

inline constexpr double LarghezzaTesseraMm = 86.0;
inline constexpr double AltezzaTesseraMm = 54.0;

// Adds the 18 objects of one card to the page, in drawing order, with the card's
// top-left corner at (sinistraMm, altoMm) from the printable origin. Every name gets
// `suffisso` appended ("_A"); the white outlined background is named nomeSfondo + suffisso.
void AggiungiTessera(TReportPage &pagina, double sinistraMm, double altoMm,
                     VarianteTessera variante, const QString &suffisso = QString(),
                     const QString &nomeSfondo = QStringLiteral("shpSfondo"));

// A card document: name, preview buttons and print options shared by the card templates.
std::unique_ptr<TReport> NuovoModelloCarte(const QString &nome);

// The single-card template "Tesserino": one A4 portrait page, margins 0, the card at
// 10 mm / 10 mm. The preview variant uses a custom 210 x 297 mm page.
std::unique_ptr<TReport> CreaTesserino(VarianteTessera variante);

// What a card shows: the screen's pictures and label texts.
struct TDatiTessera {
    QImage Logo;
    QImage Foto;
    QString Associazione;
    QString Sottotitolo01;
    QString Sottotitolo02;
    QString Annotazioni;
    QString Tesserato;
    QString Carica;
    QString NumTessera;
    QString DataRil;
    QString DataScade;
};

// Card fill rule: sets imgLogo, imgFoto and the nine texts (each trimmed) of the card
// whose names end in `suffisso`, in that order. Throws ErroreReport when an object is
// missing.
void RiempiTessera(TReport &report, const TDatiTessera &dati, const QString &suffisso = QString());
