#pragma once
// The back of the card: the organization's name and logo and up to eight lines of text,
// in the card's style, on a second page of the card documents.
#include "cards/core/DatiTessera.h"
#include "report/core/Report.h"

#include <QStringList>

namespace RetroTessera {

inline constexpr int RigheMassime = 8;

// The lines of a back text, at most eight; line breaks CR LF, LF or CR.
QStringList Righe(const QString &testo);

// Adds the objects of one back to the page, its top-left corner at (sinistraMm, altoMm)
// from the printable origin; every name gets `suffisso` appended. The outlined background
// is shpRetro, the band shpHeaderRetro and shpFooterRetro, then txtAssociazioneRetro,
// imgLogoRetro and txtRetro.
void Aggiungi(TReportPage &pagina, double sinistraMm, double altoMm,
              const QString &suffisso = QString());

// Sets the name, logo and text of the back whose names end in `suffisso`; the logo is the
// front's picture `logoFronte`, shared so that its pixels go into the PDF once.
void Riempi(TReport &report, const TDatiTessera &dati, const TPictureView &logoFronte,
            const QString &suffisso = QString());

// The back page, page 2: created when missing, with page 1's paper, orientation and
// margins, and emptied of any earlier backs.
TReportPage &PaginaRetro(TReport &report);
// Takes the back page away, so only the fronts print.
void TogliPaginaRetro(TReport &report);

} // namespace RetroTessera
