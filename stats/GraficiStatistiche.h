#pragma once
// The statistics' charts (Qt Charts), built from the figures, and their pictures: a
// chart drawn offscreen to PNG, SVG or PDF, or into an image for the printed page.
#include "stats/core/TabelleStatistiche.h"

#include <QImage>
#include <QSize>

#include <functional>

class QChart;

namespace GraficiStatistiche {

// A new chart of `g`; `clic(indiceSerie, indiceBarra)` is called when a bar is clicked.
QChart *Crea(const Statistiche::TStatistiche &s, Statistiche::Grafico g,
             const std::function<void(int, int)> &clic);
// The chart drawn at `dimensione` pixels on white.
QImage Immagine(QChart *grafico, QSize dimensione);
// Saves the chart as the path's suffix says (png, svg, pdf; PNG otherwise); false when the
// file cannot be written.
bool Salva(QChart *grafico, const QString &percorso);

} // namespace GraficiStatistiche
