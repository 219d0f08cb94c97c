#include "ingressi/core/LettoreQR.h"

// Texts as UTF-8 std::string, the library's coming default.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

namespace LettoreQR {

QStringList Leggi(const QImage &fotogramma)
{
    QStringList testi;
    if (fotogramma.isNull())
        return testi;
    const QImage grigio = fotogramma.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView vista(grigio.constBits(), grigio.width(), grigio.height(),
                                 ZXing::ImageFormat::Lum, int(grigio.bytesPerLine()));
    ZXing::DecodeHints suggerimenti;
    suggerimenti.setFormats(ZXing::BarcodeFormat::QRCode);
    for (const ZXing::Result &r : ZXing::ReadBarcodes(vista, suggerimenti))
        if (r.isValid())
            testi << QString::fromStdString(r.text());
    return testi;
}

} // namespace LettoreQR
