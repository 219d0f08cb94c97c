#include "cards/Segnaposto.h"

#include "widgets/Controlli.h"

namespace Segnaposto {

QImage DaSvg(const QString &risorsa, QSize dimensione, QColor fondo)
{
    return DisegnaSvg(risorsa, dimensione, fondo);
}

namespace {
const QString SvgRitratto = QStringLiteral(":/cards/ritratto.svg");
const QString SvgLogo = QStringLiteral(":/cards/logo.svg");
} // namespace

QImage Ritratto(QSize dimensione)
{
    return DaSvg(SvgRitratto, dimensione);
}

QImage Logo(QSize dimensione)
{
    return DaSvg(SvgLogo, dimensione);
}

void MostraRitratto(TImmagine *immagine, QSize dimensione)
{
    immagine->SetSvg(SvgRitratto, dimensione, 1.0, Qt::white);
}

void MostraLogo(TImmagine *immagine, QSize dimensione)
{
    immagine->SetSvg(SvgLogo, dimensione, 1.0, Qt::white);
}

QImage Puntino()
{
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

} // namespace Segnaposto
