#include "cards/DatiEnteFile.h"

#include "archive/FileSicuro.h"
#include "archive/Impostazioni.h"
#include "archive/LetturaImmagine.h"
#include "archive/Testo.h"

#include <QDir>
#include <QPainter>
#include <QSaveFile>

namespace DatiEnteFile {

namespace {
const QString kDenominazione = QStringLiteral("Denominazione");
const QString kSottotitolo1 = QStringLiteral("Sottotitolo 1");
const QString kSottotitolo2 = QStringLiteral("Sottotitolo 2");
const QString kAnnotazioni = QStringLiteral("Annotazioni");

QString Ini(const QString &cartella) {
    return QDir(cartella).filePath(NomeFileIni);
}
} // namespace

TDatiEnte Leggi(const QString &cartella) {
    const TFileIni ini(Ini(cartella));
    TDatiEnte d;
    d.Denominazione = ini.Leggi(SezioneDatiEnte, kDenominazione);
    d.Sottotitolo1 = ini.Leggi(SezioneDatiEnte, kSottotitolo1);
    d.Sottotitolo2 = ini.Leggi(SezioneDatiEnte, kSottotitolo2);
    d.Annotazioni = ini.Leggi(SezioneDatiEnte, kAnnotazioni);
    return d;
}

void Scrivi(const QString &cartella, const TDatiEnte &dati) {
    TFileIni ini(Ini(cartella));
    ini.Imposta(SezioneDatiEnte, kDenominazione, Testo::Trim32(dati.Denominazione));
    ini.Imposta(SezioneDatiEnte, kSottotitolo1, Testo::Trim32(dati.Sottotitolo1));
    ini.Imposta(SezioneDatiEnte, kSottotitolo2, Testo::Trim32(dati.Sottotitolo2));
    ini.Imposta(SezioneDatiEnte, kAnnotazioni, Testo::Trim32(dati.Annotazioni));
    ini.Salva();
}

QImage CaricaLogo(const QString &cartella) {
    return LeggiImmagine(QDir(cartella).filePath(NomeFileLogo));
}

QImage LogoDaSalvare(const QImage &logo) {
    QImage bitmap(LarghezzaLogo, AltezzaLogo, QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(Qt::transparent);
    if (!logo.isNull()) {
        QPainter p(&bitmap);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(0, 0, LarghezzaLogo, AltezzaLogo), logo);
    }
    // JPEG holds no transparency: see-through parts are laid on white, not black.
    QImage piatta(bitmap.size(), QImage::Format_RGB32);
    piatta.fill(Qt::white);
    QPainter p(&piatta);
    p.drawImage(0, 0, bitmap);
    return piatta;
}

bool SalvaLogo(const QString &cartella, const QImage &logo) {
    // Written aside and renamed: a failed save leaves the previous logo whole.
    QSaveFile f(QDir(cartella).filePath(NomeFileLogo));
    if (!ApriInScrittura(f))
        return false;
    if (!LogoDaSalvare(logo).save(&f, "JPG"))
        return false;
    return ConfermaFile(f);
}

} // namespace DatiEnteFile
