#pragma once
// Picture helpers of the archive screen's companions: our SVG pictures rendered to
// images and JPEG writing.
#include "archive/LetturaImmagine.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace Immagini {

// Renders one of our SVG resources (":/compagni/x.svg") at the given size.
QImage DaSvg(const QString &risorsa, QSize dimensione);

// The name chosen in a save dialog, with ".jpg" added when it has no extension.
QString ConEstensioneJpg(const QString &percorso);

// The program's one JPEG writer.
using ::ScriviJpeg;

// Title, preset name and file type of the "save a copy" dialog of the photo screens.
QString TitoloSalvaJpeg();
QString TipoSalvaJpeg();
// Told when a copy of a photo cannot be written: the photo stays on screen.
QString MessaggioFotoNonSalvata();

} // namespace Immagini
