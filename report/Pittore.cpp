#include "report/Pittore.h"

#include <QPainter>

namespace Pittore {
void Trasforma(QPainter &, double) {}
void DisegnaPagina(QPainter &, const TPaginaPreparata &) {}
void DisegnaElemento(QPainter &, const TElementoPreparato &) {}
QFont FontPer(const TFont &f, double) { return QFont(f.Name); }
QFontMetricsF Metriche(const TFont &f) { return QFontMetricsF(QFont(f.Name)); }
double AltezzaRiga(const TFont &f) { return Metriche(f).height(); }
double PassoRiga(const TFont &f) { return AltezzaRiga(f) + Interlinea; }
} // namespace Pittore

QImage TReport::RenderImmagine(int, double) const { return QImage(); }
bool TReport::EsportaPdf(const QString &) const { return false; }
