#pragma once
// The sheet template "Tesserini": nine cards on one landscape A4 page, margins 0,
// three rows of three, and the fill of the nine cards in its fixed order.
#include "cards/core/ModelloTessera.h"

#include <QPointF>

#include <array>

// One card of the sheet: its letter and its top-left corner in mm from the paper's corner.
struct TPostoTessera {
    char lettera;
    double sinistraMm;
    double altoMm;
};

inline constexpr std::array<TPostoTessera, 9> PostiTesserini = {{
    {'A', 10.0, 10.0},
    {'B', 105.0, 10.0},
    {'C', 199.0, 10.0},
    {'D', 10.0, 75.0},
    {'E', 105.0, 75.0},
    {'F', 199.0, 75.0},
    {'G', 10.0, 140.0},
    {'H', 105.0, 140.0},
    {'I', 199.0, 140.0},
}};

// "_A" ... "_I" for slots 1 to 9 (0-based index).
QString SuffissoTessera(int indice);

// The template: A4 landscape (297 x 210 mm), margins 0, no bands, the nine cards in the
// sheet variant with every name suffixed by the card's letter and the white outlined
// background named shpTessera_A ... shpTessera_I.
std::unique_ptr<TReport> CreaTesserini();

// Fills the nine cards, card X from slot X, each by the card fill rule (RiempiTessera). The
// printer's offsets move every card (the page's margins); with SoloCompilate a card without a
// member is not drawn at all. When the cards have a back, a second page holds the backs mirrored
// left to right, so that after turning the sheet over along its long edge each back lies behind its
// front. The cards are laid anew on each fill, so a sheet can be filled again.
void RiempiTesserini(TReport &report, const std::array<TDatiTessera, 9> &slot,
                     const TImpostazioniStampa &imp = {});

// Top-left corner (mm) of the back of the card at `posto` on a sheet that wide.
QPointF AngoloRetro(const TPostoTessera &posto, double larghezzaFoglioMm);
