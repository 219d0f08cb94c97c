#pragma once
// The card layout (86 x 54 mm) as report objects, its variant for the preview and the
// nine-card sheet, and the card fill rule.
#include "report/Report.h"

#include <QImage>
#include <QString>
#include <QStringList>

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

// What a card shows: the screen's pictures and label texts, and the organization's
// choices for the QR code and the back.
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
    QString Posizione;     // record position, for {posizione}
    bool CodiceQR = false; // the card carries a QR code of TestoQR
    QString TestoQR;       // with the placeholders {tessera} {tesserato} ...
    bool Retro = false;    // a back follows the front
    QString TestoRetro;    // up to eight lines
};

// The text a card's QR code holds: the model with {tessera}, {tesserato}, {scadenza},
// {rilascio} and {posizione} replaced by the card's values, each trimmed.
QString TestoCodiceQR(const QString &modello, const TDatiTessera &dati);
// The placeholders TestoCodiceQR replaces, in the order the screens list them.
QStringList SegnapostoQR();
// The words in braces of a QR model ("{email}") that are no placeholder: they would be
// printed as they stand. Each once, in the order met.
QStringList SegnapostoSconosciuti(const QString &modello);

// The QR code's area on a card: the right end of the top band, 12 x 12 mm, in units, for
// the card whose top band is `header` (units).
QRectF AreaCodiceQR(const QRectF &header);

// Replaces the QR code of the card whose names end in `suffisso` (shpCodiceQR + suffisso
// and its modules) by the code of the card's text, or takes it away when the card has
// none. Throws ErroreReport when the card's top band is missing.
void RiempiCodiceQR(TReport &report, const TDatiTessera &dati, const QString &suffisso);

// Card fill rule: sets imgLogo, imgFoto and the nine texts (each trimmed) of the card
// whose names end in `suffisso`, in that order, then its QR code. Throws ErroreReport
// when an object is missing. The single card (no suffix) also gets its back, as a second
// page at the same position, or loses it.
void RiempiTessera(TReport &report, const TDatiTessera &dati, const QString &suffisso = QString());
