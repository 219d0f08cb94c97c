#include "archive/LetturaImmagine.h"

#include "archive/FileSicuro.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace {
// Bytes needed from the file at `pos`; false when the file ends first.
bool Leggi(QFile &f, qint64 pos, char *dati, qint64 quanti)
{
    return f.seek(pos) && f.read(dati, quanti) == quanti;
}

// A JPEG file cut short: the decoder fills the missing part with grey and reports
// nothing. Complete when the end-of-image marker follows the first scan; the scan
// data never holds that marker (a 0xFF byte there is always followed by 0x00 or a
// restart marker). Files in other formats are left to their readers.
bool JpegTroncato(QFile &f)
{
    unsigned char testa[4];
    if (!Leggi(f, 0, reinterpret_cast<char *>(testa), 2) || testa[0] != 0xFF || testa[1] != 0xD8)
        return false;
    qint64 pos = 2;
    for (;;) {
        if (!Leggi(f, pos, reinterpret_cast<char *>(testa), 2) || testa[0] != 0xFF)
            return true;
        const unsigned char marca = testa[1];
        if (marca == 0xFF) { // fill byte before a marker
            ++pos;
            continue;
        }
        if (marca == 0x01 || (marca >= 0xD0 && marca <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (marca == 0xD9)
            return true; // no image data at all
        if (!Leggi(f, pos + 2, reinterpret_cast<char *>(testa + 2), 2))
            return true;
        const int lunghezza = testa[2] << 8 | testa[3];
        if (lunghezza < 2)
            return true;
        pos += 2 + lunghezza;
        if (marca == 0xDA)
            break;
    }
    if (!f.seek(pos))
        return true;
    QByteArray blocco;
    char precedente = 0;
    while (!(blocco = f.read(1 << 20)).isEmpty()) {
        if ((precedente == '\xFF' && blocco.at(0) == '\xD9') || blocco.contains("\xFF\xD9"))
            return false;
        precedente = blocco.back();
    }
    return true;
}
} // namespace

QImage LeggiImmagine(const QString &percorso)
{
    // Above Qt's default: a phone's picture in a format read at full size still fits,
    // a picture claiming gigabytes is still refused.
    static const bool limite = [] {
        QImageReader::setAllocationLimit(256);
        return true;
    }();
    Q_UNUSED(limite);

    QFile file(percorso);
    if (!ApriRegolare(file, QIODevice::ReadOnly) || JpegTroncato(file) || !file.seek(0))
        return QImage();
    QImageReader lettore(&file);
    lettore.setDecideFormatFromContent(true);
    lettore.setAutoTransform(true);
    const QSize dimensione = lettore.size();
    if (dimensione.width() > LatoMassimoImmagine || dimensione.height() > LatoMassimoImmagine)
        lettore.setScaledSize(
            dimensione.scaled(LatoMassimoImmagine, LatoMassimoImmagine, Qt::KeepAspectRatio));
    return lettore.read();
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
