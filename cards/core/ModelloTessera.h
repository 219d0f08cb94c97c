#pragma once
// The card layout (86 x 54 mm) as report objects, its variant for the preview and the
// nine-card sheet, and the card fill rule.
#include "cards/core/DatiTessera.h"
#include "report/core/Report.h"

#include <QString>
#include <QStringList>

#include <memory>

// Printed single card; single-card preview; one card of the nine-card sheet.
enum class VarianteTessera { Stampa, Anteprima, Foglio };

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

// A card holds a member when it was filled from a record (it has the record's
// position); only such a card carries a QR code, and a sheet may leave the others blank.
bool HaSocio(const TDatiTessera &dati);

// How every card print is laid out: the printer's offsets move the card (each card of a
// sheet), the orientation is the single card's; too wide a name or role is shrunk when
// Adatta; a sheet's cards without a member stay blank when SoloCompilate.
struct TImpostazioniStampa {
    TPrinterOrientation orientamento = poPortrait;
    double alto = 0;     // mm
    double sinistro = 0; // mm
    bool Adatta = false;
    bool SoloCompilate = false;
};

// The smallest size a shrunk text gets; a text that does not fit even so is cut.
inline constexpr double PuntiMinimi = 6.0;
// Whether the text fits on one line of the memo's width at that font size.
bool Entra(const TMemoView &memo, const QString &testo, double punti);
// Which of the card's name and role do not fit their boxes on the card (at 6 pt when
// `adatta`): "nome", "carica", both or none.
QStringList TestiTroppoLunghi(const TDatiTessera &dati, bool adatta);

// The text a card's QR code holds: the model with {tessera}, {tesserato}, {scadenza},
// {rilascio} and {posizione} replaced by the card's values, each trimmed.
QString TestoCodiceQR(const QString &modello, const TDatiTessera &dati);
// The text the card's QR code carries: the signed verification code when the card has the
// archive's key (ChiaveQR), otherwise the organization's text with its placeholders.
QString TestoQRTessera(const TDatiTessera &dati);
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

// The logo of the card whose names end in `suffisso`; throws ErroreReport when missing.
TPictureView &LogoTessera(const TReport &report, const QString &suffisso = QString());

// Card fill rule: sets imgLogo, imgFoto and the nine texts (each trimmed) of the card
// whose names end in `suffisso`, in that order, the size of its name and role (the
// template's, or shrunk to fit when `adatta`), then its QR code. Throws ErroreReport
// when an object is missing. The single card (no suffix) also gets its back, as a second
// page at the same position, or loses it.
void RiempiTessera(TReport &report, const TDatiTessera &dati, const QString &suffisso = QString(),
                   bool adatta = false);

// The single card as printed, by every way of printing one card to a page: the page
// turned and moved by the printer's settings, then the card fill rule.
void ComponiTessera(TReport &report, const TDatiTessera &dati, const TImpostazioniStampa &imp);
