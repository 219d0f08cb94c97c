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
const QString kTipoQR = QStringLiteral("TipoQR");
const QString kVerifica = QStringLiteral("verifica");
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

// The section's keys as the file holds them, the back decoded.
static QHash<QString, QString> Sezione(const QString &cartella)
{
    const TFileIni ini(Ini(cartella));
    QHash<QString, QString> v;
    for (const QString &k : {kDenominazione, kSottotitolo1, kSottotitolo2, kAnnotazioni, kCodiceQR,
                             kTestoQR, kRetro, kTestoRetro, kTipoQR}) {
        const QString sentinella = QStringLiteral("\x01");
        const QString valore = ini.Leggi(SezioneDatiEnte, k, sentinella);
        if (valore != sentinella)
            v.insert(k, k == kTestoRetro ? Decodifica(valore) : valore);
    }
    return v;
}

static void ScriviSezione(const QString &cartella, const ValoriSezione &valori)
{
    TFileIni ini(Ini(cartella));
    for (const auto &[k, v] : valori)
        ini.Imposta(SezioneDatiEnte, k, k == kTestoRetro ? Codifica(v.split(u'\n')) : v);
    ini.Salva();
}

ValoriSezione Valori(const TDatiEnte &d)
{
    return {{kDenominazione, Testo::Trim32(d.Denominazione)},
            {kSottotitolo1, Testo::Trim32(d.Sottotitolo1)},
            {kSottotitolo2, Testo::Trim32(d.Sottotitolo2)},
            {kAnnotazioni, Testo::Trim32(d.Annotazioni)}};
}

ValoriSezione Valori(const TOpzioniTessera &o)
{
    return {{kCodiceQR, o.CodiceQR ? kSi : kNo},
            {kTestoQR, Testo::Trim32(o.TestoQR)},
            {kRetro, o.Retro ? kSi : kNo},
            {kTestoRetro, RetroTessera::Righe(o.TestoRetro).join(u'\n')},
            {kTipoQR, o.Verifica ? kVerifica : QStringLiteral("testo")}};
}

TDatiEnte DatiEnteDa(const QHash<QString, QString> &v)
{
    return {v.value(kDenominazione), v.value(kSottotitolo1), v.value(kSottotitolo2),
            v.value(kAnnotazioni)};
}

TOpzioniTessera OpzioniDa(const QHash<QString, QString> &v)
{
    TOpzioniTessera o;
    o.CodiceQR = Testo::Trim32(v.value(kCodiceQR)) == kSi;
    o.TestoQR = v.value(kTestoQR, TestoQRPredefinito);
    o.Retro = Testo::Trim32(v.value(kRetro)) == kSi;
    o.TestoRetro = v.value(kTestoRetro);
    o.Verifica = Testo::Trim32(v.value(kTipoQR)) == kVerifica;
    return o;
}

TDatiEnte Leggi(const QString &cartella)
{
    return DatiEnteDa(Sezione(cartella));
}

void Scrivi(const QString &cartella, const TDatiEnte &dati)
{
    ScriviSezione(cartella, Valori(dati));
}

TOpzioniTessera LeggiOpzioni(const QString &cartella)
{
    return OpzioniDa(Sezione(cartella));
}

void ScriviOpzioni(const QString &cartella, const TOpzioniTessera &o)
{
    ScriviSezione(cartella, Valori(o));
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
