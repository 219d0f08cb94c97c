#pragma once
// The card's size and what a card shows: the plain data that the card layout and its
// back both use, so neither needs the other to know them.
#include <QByteArray>
#include <QImage>
#include <QString>

inline constexpr double LarghezzaTesseraMm = 86.0;
inline constexpr double AltezzaTesseraMm = 54.0;

// What a card shows: the screen's pictures and label texts, and the organization's
// choices for the QR code and the back.
struct TDatiTessera {
    QImage Logo;
    QImage Foto;
    QString Associazione;
    QString Sottotitolo01;
    QString Sottotitolo02;
    QString Annotazioni;
    QString Tesserato;
    QString Carica;
    QString NumTessera;
    QString DataRil;
    QString DataScade;
    QString Posizione;     // record position, for {posizione}
    bool CodiceQR = false; // the card carries a QR code of TestoQR
    QString TestoQR;       // with the placeholders {tessera} {tesserato} ...
    bool Retro = false;    // a back follows the front
    QString TestoRetro;    // up to eight lines
    QByteArray ChiaveQR;   // the archive's key: the code is the signed verification code
};
