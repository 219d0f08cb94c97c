#pragma once
// Organization data: the four card texts in "Quorvel.ini", section "Dati Ente",
// and the logo file "Logo.jpg", both in the program folder.
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

#include <utility>

inline const QString NomeFileIni = QStringLiteral("Quorvel.ini");
inline const QString NomeFileLogo = QStringLiteral("Logo.jpg");
inline const QString SezioneDatiEnte = QStringLiteral("Dati Ente");

struct TDatiEnte {
    QString Denominazione;
    QString Sottotitolo1;
    QString Sottotitolo2;
    QString Annotazioni;
};

// The organization's choices for the QR code and the back of the cards, in the same
// section: "CodiceQR" and "Retro" ("Sì" / "No"), "TestoQR", "TestoRetro" (the lines
// joined by the two characters \n, a backslash written \\).
struct TOpzioniTessera {
    bool CodiceQR = false;
    QString TestoQR;
    bool Retro = false;
    QString TestoRetro; // lines joined by LF
    // "TipoQR": "verifica" puts the signed verification code in the QR code instead of
    // TestoQR; "testo", or a missing key, the text.
    bool Verifica = false;
};
inline const QString TestoQRPredefinito = QStringLiteral("{tessera} {tesserato} {scadenza}");

namespace DatiEnteFile {

// Reads the four keys; a missing file, section or key gives an empty text.
TDatiEnte Leggi(const QString &cartella);
// Writes the four keys in order, each trimmed; throws ErroreFile when the file
// cannot be written.
void Scrivi(const QString &cartella, const TDatiEnte &dati);

// Reads the choices; a missing "TestoQR" gives TestoQRPredefinito, a missing switch "No".
TOpzioniTessera LeggiOpzioni(const QString &cartella);
// Writes the four keys, texts trimmed, the back at most eight lines; throws ErroreFile
// when the file cannot be written.
void ScriviOpzioni(const QString &cartella, const TOpzioniTessera &opzioni);

// The keys of the section and their values, as the folder and a server both keep them:
// texts trimmed, switches "Sì"/"No", the back at most eight lines joined by LF (the folder
// then writes it on one line).
using ValoriSezione = QList<std::pair<QString, QString>>;
ValoriSezione Valori(const TDatiEnte &dati);
ValoriSezione Valori(const TOpzioniTessera &opzioni);
// Read back from the section's keys; a missing key as Leggi and LeggiOpzioni say.
TDatiEnte DatiEnteDa(const QHash<QString, QString> &valori);
TOpzioniTessera OpzioniDa(const QHash<QString, QString> &valori);

// The logo file's size in pixels.
inline constexpr int LarghezzaLogo = 119;
inline constexpr int AltezzaLogo = 118;
// Loads "Logo.jpg"; a null image when it is missing or cannot be decoded.
QImage CaricaLogo(const QString &cartella);
// The picture stretched (proportions not kept, smooth scaling) to 119 x 118.
QImage LogoDaSalvare(const QImage &logo);
// Saves the stretched picture as "Logo.jpg"; false when it cannot be written.
bool SalvaLogo(const QString &cartella, const QImage &logo);

} // namespace DatiEnteFile
