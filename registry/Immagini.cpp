#include "registry/Immagini.h"

#include "archive/FileSicuro.h"

#include "widgets/Controlli.h"
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

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

bool ScriviJpeg(const QImage &immagine, const QString &percorso)
{
    if (immagine.isNull() || percorso.isEmpty())
        return false;
    // JPEG has no transparency: lay the picture on white first.
    QImage piena(immagine.size(), QImage::Format_RGB32);
    piena.fill(Qt::white);
    {
        QPainter p(&piena);
        p.drawImage(0, 0, immagine);
    }
    // Written aside and renamed: a failed write leaves no half file behind.
    QSaveFile file(percorso);
    if (!ApriInScrittura(file))
        return false;
    QImageWriter w(&file, "jpg");
    w.setQuality(92);
    if (!w.write(piena)) {
        file.cancelWriting();
        return false;
    }
    return ConfermaFile(file);
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
