#include "ingressi/core/LettoreQR.h"

// Texts as UTF-8 std::string, the library's coming default.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <QSysInfo>

namespace LettoreQR {

QStringList Leggi(const QImage &fotogramma)
{
    QStringList testi;
    if (fotogramma.isNull())
        return testi;
    // The camera's usual formats go to the decoder as they are (it takes the luminance
    // itself, faster than a converted copy); any other is converted to grey first.
    ZXing::ImageFormat formato = ZXing::ImageFormat::None;
    switch (fotogramma.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        formato = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? ZXing::ImageFormat::BGRX
                                                                : ZXing::ImageFormat::XRGB;
        break;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        formato = ZXing::ImageFormat::RGBX;
        break;
    case QImage::Format_Grayscale8:
        formato = ZXing::ImageFormat::Lum;
        break;
    default:
        break;
    }
    const QImage immagine = formato == ZXing::ImageFormat::None
                                ? fotogramma.convertToFormat(QImage::Format_Grayscale8)
                                : fotogramma;
    if (formato == ZXing::ImageFormat::None)
        formato = ZXing::ImageFormat::Lum;
    const ZXing::ImageView vista(immagine.constBits(), immagine.width(), immagine.height(), formato,
                                 int(immagine.bytesPerLine()));
    ZXing::DecodeHints suggerimenti;
    suggerimenti.setFormats(ZXing::BarcodeFormat::QRCode);
    for (const ZXing::Result &r : ZXing::ReadBarcodes(vista, suggerimenti))
        if (r.isValid())
            testi << QString::fromStdString(r.text());
    return testi;
}

} // namespace LettoreQR
