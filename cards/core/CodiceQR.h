#pragma once
// QR codes drawn with the page model: libqrencode gives the modules, each run of dark
// modules becomes a filled rectangle of one shape, so printers and PDF get sharp vectors.
#include "report/core/Report.h"

#include <QRectF>
#include <QString>

#include <vector>

namespace CodiceQR {

// The modules of the code for the text (UTF-8 marked by ECI 26, byte mode, error
// correction M): `lato` modules a side, row by row, true for dark. Empty when the text cannot be
// encoded.
struct TMatrice {
    int lato = 0;
    std::vector<bool> scuri;
    bool Scuro(int x, int y) const { return scuri[size_t(y) * size_t(lato) + size_t(x)]; }
};
TMatrice Codifica(const QString &testo);

// Quiet zone on each side, in modules.
inline constexpr int ZonaMuta = 4;

// Adds to the page a white square `area` (units, the quiet zone included) named `nome`
// and over it a shape named nome + "Moduli" whose rectangles (Riquadri) are the dark
// modules, in black. An empty or unencodable text adds nothing.
void Aggiungi(TReportPage &pagina, const QString &testo, const QRectF &area, const QString &nome);
// Takes out of the page every object that Aggiungi added under that name.
void Rimuovi(TReportPage &pagina, const QString &nome);

} // namespace CodiceQR
