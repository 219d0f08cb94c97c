#pragma once
// The one page painter: draws a prepared page onto any QPainter (preview, printer,
// PDF, image). The painter's coordinates must be units (1/96 inch) from the paper's
// top-left corner; Trasforma sets that up for a device.
#include "report/core/Report.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>

class QPainter;
class QPaintDevice;

namespace Pittore {

// Scales the painter so that one unit is 1/96 inch on its device, from the origin.
void Trasforma(QPainter &p, double scala = 1.0);
// Draws every element of the page.
void DisegnaPagina(QPainter &p, const TPaginaPreparata &pagina);
void DisegnaElemento(QPainter &p, const TElementoPreparato &e);

// The QFont for a report font, sized in units on a device whose logical DPI is given.
QFont FontPer(const TFont &f, double dpiDispositivo = 96.0);
// A 1200-dpi device for measuring text widths: there a font's pixel size, rounded to a
// whole pixel, is within 0.1 % of its size in points. Widths divide by DpiPreciso / 96.
inline constexpr double DpiPreciso = 1200.0;
const QPaintDevice *DispositivoPreciso();
// Metrics of a report font in units, independent of any output device.
QFontMetricsF Metriche(const TFont &f);
// Height of one memo line in units (without the extra leading).
double AltezzaRiga(const TFont &f);
// Distance between the tops of two memo lines: line height plus 2 units.
double PassoRiga(const TFont &f);

// The paper of a prepared page for a printer or PDF: upright size turned by the
// orientation, no margins, full-page mode.
QPageLayout LayoutPagina(const TPaginaPreparata &pagina);

inline constexpr double MargineOrizzontale = 2.0; // memo text inset, left and right
inline constexpr double MargineVerticale = 1.0;   // memo text inset, top and bottom
inline constexpr double Interlinea = 2.0;         // extra leading between memo lines

} // namespace Pittore
