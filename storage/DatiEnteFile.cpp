#include "storage/DatiEnteFile.h"

#include "archive/FileSicuro.h"
#include "archive/Impostazioni.h"
#include "archive/LetturaImmagine.h"
#include "archive/Testo.h"
#include "cards/core/RetroTessera.h"

#include <QDir>
#include <QPainter>
#include <QSaveFile>

namespace DatiEnteFile {

namespace {
const QString kDenominazione = QStringLiteral("Denominazione");
const QString kSottotitolo1 = QStringLiteral("Sottotitolo 1");
const QString kSottotitolo2 = QStringLiteral("Sottotitolo 2");
const QString kAnnotazioni = QStringLiteral("Annotazioni");
const QString kCodiceQR = QStringLiteral("CodiceQR");
const QString kTestoQR = QStringLiteral("TestoQR");
const QString kRetro = QStringLiteral("Retro");
const QString kTestoRetro = QStringLiteral("TestoRetro");
const QString kSi = QStringLiteral("S\u00ec");
const QString kNo = QStringLiteral("No");

// One settings line holds the back's lines: LF as \n, the backslash doubled.
QString Codifica(const QStringList &righe)
{
    QStringList fuori;
    for (QString r : righe)
        fuori << r.replace(u'\\', QStringLiteral("\\\\"));
    return fuori.join(QStringLiteral("\\n"));
}

QString Decodifica(const QString &valore)
{
    QString testo;
    for (qsizetype i = 0; i < valore.size(); ++i) {
        if (valore[i] == u'\\' && i + 1 < valore.size()) {
            const QChar c = valore[++i];
            testo += c == u'n' ? QChar(u'\n') : c;
        } else {
            testo += valore[i];
        }
    }
    return testo;
}

QString Ini(const QString &cartella)
{
    return QDir(cartella).filePath(NomeFileIni);
}
} // namespace

TDatiEnte Leggi(const QString &cartella)
{
    const TFileIni ini(Ini(cartella));
    TDatiEnte d;
    d.Denominazione = ini.Leggi(SezioneDatiEnte, kDenominazione);
    d.Sottotitolo1 = ini.Leggi(SezioneDatiEnte, kSottotitolo1);
    d.Sottotitolo2 = ini.Leggi(SezioneDatiEnte, kSottotitolo2);
    d.Annotazioni = ini.Leggi(SezioneDatiEnte, kAnnotazioni);
    return d;
}

void Scrivi(const QString &cartella, const TDatiEnte &dati)
{
    TFileIni ini(Ini(cartella));
    ini.Imposta(SezioneDatiEnte, kDenominazione, Testo::Trim32(dati.Denominazione));
    ini.Imposta(SezioneDatiEnte, kSottotitolo1, Testo::Trim32(dati.Sottotitolo1));
    ini.Imposta(SezioneDatiEnte, kSottotitolo2, Testo::Trim32(dati.Sottotitolo2));
    ini.Imposta(SezioneDatiEnte, kAnnotazioni, Testo::Trim32(dati.Annotazioni));
    ini.Salva();
}

TOpzioniTessera LeggiOpzioni(const QString &cartella)
{
    const TFileIni ini(Ini(cartella));
    TOpzioniTessera o;
    o.CodiceQR = Testo::Trim32(ini.Leggi(SezioneDatiEnte, kCodiceQR)) == kSi;
    o.TestoQR = ini.Leggi(SezioneDatiEnte, kTestoQR, TestoQRPredefinito);
    o.Retro = Testo::Trim32(ini.Leggi(SezioneDatiEnte, kRetro)) == kSi;
    o.TestoRetro = Decodifica(ini.Leggi(SezioneDatiEnte, kTestoRetro));
    return o;
}

void ScriviOpzioni(const QString &cartella, const TOpzioniTessera &o)
{
    TFileIni ini(Ini(cartella));
    ini.Imposta(SezioneDatiEnte, kCodiceQR, o.CodiceQR ? kSi : kNo);
    ini.Imposta(SezioneDatiEnte, kTestoQR, Testo::Trim32(o.TestoQR));
    ini.Imposta(SezioneDatiEnte, kRetro, o.Retro ? kSi : kNo);
    ini.Imposta(SezioneDatiEnte, kTestoRetro, Codifica(RetroTessera::Righe(o.TestoRetro)));
    ini.Salva();
}

QImage CaricaLogo(const QString &cartella)
{
    return LeggiImmagine(QDir(cartella).filePath(NomeFileLogo));
}

QImage LogoDaSalvare(const QImage &logo)
{
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

bool SalvaLogo(const QString &cartella, const QImage &logo)
{
    // Written aside and renamed: a failed save leaves the previous logo whole.
    QSaveFile f(QDir(cartella).filePath(NomeFileLogo));
    if (!ApriInScrittura(f))
        return false;
    if (!LogoDaSalvare(logo).save(&f, "JPG"))
        return false;
    return ConfermaFile(f);
}

} // namespace DatiEnteFile
