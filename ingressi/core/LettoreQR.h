#pragma once
// Reading QR codes from camera frames with ZXing-C++: it finds codes turned at any angle,
// keeps up with a 1280 x 720 stream on one core and is maintained. No widgets.
#include <QImage>
#include <QStringList>

namespace LettoreQR {

// The texts of the QR codes found in the frame (any format of picture), in the order
// found; empty when none.
QStringList Leggi(const QImage &fotogramma);

} // namespace LettoreQR
