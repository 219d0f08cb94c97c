// The photo of the record on the archive screen: loaded after the record, stored after
// it, never encoded again when it did not change.
#include "registry/Anagrafica.h"

#include "archive/Testo.h"
#include "platform/Piattaforma.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"

#include <QBuffer>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>

using Testo::Trim32;

void TfrmAnagrafica::CaricaFotoScheda()
{
    bool ok = false;
    const int p = Trim32(m_lblPosizione->text()).toInt(&ok);
    QImage foto;
    if (ok && p > 0) {
        try {
            foto = ApriDeposito(Piattaforma::CartellaProgramma())->LeggiFoto(p);
        } catch (const ErroreFile &) {
        }
    }
    m_imgFoto->SetPicture(foto.isNull() ? FotoBianca() : foto);
    m_fotoLetta = m_imgFoto->Picture();
}

QByteArray TfrmAnagrafica::Jpeg(const QImage &origine)
{
    // JPEG has no transparency: transparent parts become white, not black.
    QImage foto(origine.size(), QImage::Format_RGB32);
    foto.fill(Qt::white);
    QPainter(&foto).drawImage(0, 0, origine);
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    QImageWriter writer(&jpeg, "jpg");
    writer.setQuality(90);
    if (!writer.write(foto))
        return QByteArray();
    return jpeg.data();
}

bool TfrmAnagrafica::SalvaFotoScheda()
{
    bool ok = false;
    const int p = Trim32(m_lblPosizione->text()).toInt(&ok);
    if (!ok || p < 1)
        return false;
    const QImage &schermo = m_imgFoto->Picture();
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        const bool presente = deposito->EsisteFoto(p);
        // The picture read from the photo is not encoded again: JPEG loses quality at
        // every write. A new record always writes its own.
        if (presente && m_fotoLetta && *m_fotoLetta == schermo)
            return true;
        const bool bianca = schermo.isNull() || schermo == FotoBianca();
        // The placeholder never replaces a photo this computer cannot read (damaged, too
        // big before, a format with no reader here): it may be the member's only photo.
        if (bianca && presente && deposito->LeggiFoto(p).isNull()) {
            m_fotoLetta = schermo;
            return true;
        }
        const QByteArray jpeg = Jpeg(bianca ? FotoBianca() : schermo);
        if (jpeg.isEmpty() || !deposito->ScriviFotoJpeg(p, jpeg))
            return false;
    } catch (const ErroreFile &) {
        return false;
    }
    m_fotoLetta = schermo;
    return true;
}
