#pragma once
// The one way the program reads a picture file: the member photo (load, browsing,
// cards) and the logo. Big phone pictures are read scaled down, so they stay within
// the image reader's allocation limit, which keeps guarding against image bombs.
#include <QImage>
#include <QString>

// The long side, in pixels, of a picture read from a bigger file.
inline constexpr int LatoMassimoImmagine = 1600;

// Reads a picture recognised by its content, turned as the camera recorded it, and
// scaled down to LatoMassimoImmagine pixels on its long side when it is bigger. A null
// image when the file is missing, not a regular file, not a picture this computer
// can decode, or cut short.
QImage LeggiImmagine(const QString &percorso);

// Writes the picture as a JPEG file at its own pixel size, through the file guard and
// aside, so a failed write leaves no half file; transparent parts become white. False
// when the picture is empty or the file cannot be written.
bool ScriviJpeg(const QImage &immagine, const QString &percorso);
