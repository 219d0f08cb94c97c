#pragma once
// The program's colours, named once: every screen takes its colours from here, in code
// (QColor::fromRgb(Tavolozza::Blu)) or in a style sheet through Colora ("color: @Blu;").
#include <QColor>
#include <QString>

namespace Tavolozza {

inline constexpr QRgb Blu = 0xFF1B2F5E;         // navy: captions, frames, card bands
inline constexpr QRgb Acciaio = 0xFF4682B4;     // steel blue: gradients, status line
inline constexpr QRgb Bianco = 0xFFFFFFFF;      // backgrounds, the gradients' end
inline constexpr QRgb Oro = 0xFFFFD700;         // highlight of the box with the focus
inline constexpr QRgb Cremisi = 0xFFDC143C;     // wait line, help titles, warnings
inline constexpr QRgb Beige = 0xFFF5F5DC;       // date boxes on the card
inline constexpr QRgb Mattone = 0xFFA52A2A;     // the card number
inline constexpr QRgb Rubino = 0xFFB22222;      // the webcam's state line
inline constexpr QRgb Granata = 0xFF8B0000;     // the mail screen's key-store notice
inline constexpr QRgb Cuoio = 0xFF8B4513;       // slot numbers of the nine-card sheet
inline constexpr QRgb Grigio = 0xFF808080;      // preview background, read-only names
inline constexpr QRgb GrigioScuro = 0xFF404040; // the preview page's shadow
inline constexpr QRgb Nero = 0xFF000000;        // plain texts
inline constexpr QRgb Nebbia = 0xFFD8E4F0;      // end of the pale title-bar gradients
inline constexpr QRgb Ghiaccio = 0xFFF4F8FC;    // read-only boxes, attachment slots
inline constexpr QRgb Cielo = 0xFFEEF4FA;       // section backgrounds of the archive
inline constexpr QRgb Perla = 0xFFE8F0F8;       // alternate rows of the export grid
inline constexpr QRgb Fiordaliso = 0xFFB0C4DE;  // grid lines of the export grid
inline constexpr QRgb Polvere = 0xFFA9C3DD;     // group frames of the archive
inline constexpr QRgb Ardesia = 0xFF7F9DB9;     // edit-box borders of the archive
inline constexpr QRgb Giallo = 0xFFFFFF00;      // focus highlight of the archive's boxes
inline constexpr QRgb Crema = 0xFFFFF8D6;       // the check tools' box with the focus
inline constexpr QRgb Paglia = 0xFFFFF3B0;      // tool buttons under the mouse
inline constexpr QRgb Verde = 0xFF2E8B57;       // the fiscal-code tool
inline constexpr QRgb BluNotte = 0xFF00008B;    // links
inline constexpr QRgb Arancio = 0xFFFFA500;     // a pressed link
inline constexpr QRgb Nuvola = 0xFF8FA3BF;      // disabled buttons of the import screen
inline constexpr QRgb Burro = 0xFFFFF8B0;       // the import screen's button with the focus

// "#RRGGBB", as style sheets take it.
inline QString Nome(QRgb c)
{
    return QColor::fromRgb(c).name(QColor::HexRgb).toUpper();
}
// "color: #RRGGBB;"
inline QString Stile(QRgb c)
{
    return QStringLiteral("color: %1;").arg(Nome(c));
}

// A style sheet with "@Name" standing for the palette's colours ("border: 1px solid @Blu").
QString Colora(const QString &foglio);

} // namespace Tavolozza
