#pragma once
// The calibration sheet "Foglio di prova": printed on plain paper with the single card's
// margins and orientation, it shows where the card would land, so the user can lay the
// card stock over it, read the offset and correct the margins.
#include "report/core/Report.h"

#include <QStringList>

#include <memory>

// Where the card's top-left corner lies on the sheet, mm from the paper's corner.
QPointF AngoloProva(double superioreMm, double sinistroMm);

// A4 in the given orientation, margins 0: the card's outline (shpProvaTessera) where the
// card prints, a cross at each corner, a ruler from the page's top edge down to the
// card's top edge and one from the page's left edge to the card's left edge, with a tick
// every millimetre (shpRighelloAlto, shpRighelloSinistro and their ticks) and a number
// every 5 mm (txtNumeroAlto, txtNumeroSinistro), each off the card, a line naming the
// margins and, under it, how to use the sheet (txtIstruzioni). A ruler that would have no
// length is left out.
// The lines of txtIstruzioni: how to lay the sheet on the card stock, what to read on the
// rulers and where to correct the margins.
QStringList IstruzioniProva();

std::unique_ptr<TReport> CreaFoglioProva(TPrinterOrientation orientamento, double superioreMm,
                                         double sinistroMm);
