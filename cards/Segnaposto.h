#pragma once
// Placeholder pictures of the card screens, drawn from our own SVGs at the size
// each screen needs, and the white dot that stands for a cleared picture.
#include <QColor>
#include <QImage>
#include <QSize>

class TImmagine;

namespace Segnaposto {

inline constexpr QSize RitrattoGrande(157, 174);
inline constexpr QSize RitrattoPiccolo(58, 64);
inline constexpr QSize LogoGrande(119, 118);
inline constexpr QSize LogoPiccolo(45, 45);

// Plain blue head-and-shoulders silhouette on a light background.
QImage Ritratto(QSize dimensione = RitrattoGrande);
// Glossy blue ball with the word LOGO across it.
QImage Logo(QSize dimensione = LogoGrande);
// 2 x 2 pixels, all opaque white.
QImage Puntino();
// The same pictures put in a picture box, drawn only when first needed.
void MostraRitratto(TImmagine *immagine, QSize dimensione = RitrattoGrande);
void MostraLogo(TImmagine *immagine, QSize dimensione = LogoGrande);

// Any SVG of the resources drawn at the given size, on white or on the given ground.
QImage DaSvg(const QString &risorsa, QSize dimensione, QColor fondo = Qt::white);

} // namespace Segnaposto
