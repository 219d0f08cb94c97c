#include "registry/Immagini.h"

#include "archive/FileSicuro.h"

#include "widgets/Controlli.h"
#include <QFileInfo>

#include <QSvgRenderer>

namespace Immagini {

QImage DaSvg(const QString &risorsa, QSize dimensione)
{
    return DisegnaSvg(risorsa, dimensione);
}

QString ConEstensioneJpg(const QString &percorso)
{
    if (QFileInfo(percorso).suffix().isEmpty())
        return percorso + QStringLiteral(".jpg");
    return percorso;
}

QString TitoloSalvaJpeg()
{
    return QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg.");
}

QString TipoSalvaJpeg()
{
    return QStringLiteral("File Jpeg (*.jpg)");
}

QString MessaggioFotoNonSalvata()
{
    return QStringLiteral("Attenzione: non \u00E8 stato possibile salvare la foto nel file "
                          "indicato.\r\n\r\nScegliere un'altra cartella o un altro nome.");
}

} // namespace Immagini
