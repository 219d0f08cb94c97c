#include "cards/core/ImpostazioniStampa.h"

#include "archive/Archivio.h"
#include "archive/Impostazioni.h"
#include "archive/Testo.h"
#include "storage/DatiEnteFile.h"
#include "storage/Deposito.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>

namespace ImpostazioniStampa {

namespace {

const QString kSi = QStringLiteral("S\u00ec");
const QString kNo = QStringLiteral("No");

QString Ini(const QString &cartella)
{
    return QDir(cartella).filePath(NomeFileIni);
}

// "Lucà Ilaria, Rossi Mario e altri 3"
QString Elenco(const QStringList &nomi)
{
    QStringList primi = nomi.mid(0, NomiMassimi);
    QString testo = primi.join(QStringLiteral(", "));
    if (nomi.size() > NomiMassimi)
        testo += QStringLiteral(" e altri %1").arg(nomi.size() - NomiMassimi);
    return testo;
}

} // namespace

QString Sezione(const QString &sezione, const QString &stampante)
{
    return stampante.isEmpty() ? sezione : sezione + u' ' + stampante;
}

TImpostazioniStampa Leggi(const QString &cartella, const QString &stampante)
{
    const TFileIni ini(Ini(cartella));
    auto leggi = [&](const QString &sezione, const QString &chiave) {
        return ini.Leggi(Sezione(sezione, stampante), chiave, ini.Leggi(sezione, chiave));
    };
    auto millimetri = [&](const QString &chiave) {
        QLocale italiano(QLocale::Italian, QLocale::Italy);
        italiano.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double v = italiano.toDouble(Testo::Trim32(leggi(SezioneMargini, chiave)), &ok);
        return ok ? v : 0.0;
    };
    TImpostazioniStampa s;
    s.alto = millimetri(ChiaveSuperiore);
    s.sinistro = millimetri(ChiaveSinistro);
    if (Testo::Trim32(leggi(SezioneOrientamento, ChiaveOrientamento)) ==
        QLatin1String("Orizzontale"))
        s.orientamento = poLandscape;
    s.Adatta = Testo::Trim32(ini.Leggi(SezioneScelte, ChiaveAdatta)) == kSi;
    s.SoloCompilate = Testo::Trim32(ini.Leggi(SezioneScelte, ChiaveSoloCompilate)) == kSi;
    return s;
}

bool LeggiScelta(const QString &cartella, const QString &chiave)
{
    return Testo::Trim32(TFileIni(Ini(cartella)).Leggi(SezioneScelte, chiave)) == kSi;
}

void ScriviScelta(const QString &cartella, const QString &chiave, bool valore)
{
    TFileIni(Ini(cartella)).Scrivi(SezioneScelte, chiave, valore ? kSi : kNo);
}

bool HaFoto(const QString &cartella, int posizione)
{
    return ApriDeposito(cartella)->FotoLeggibile(posizione);
}

QString Avviso(const QList<TVoce> &voci, bool adatta, const QStringList &annullate)
{
    QStringList senzaFoto, senzaNumero, lunghi;
    for (const TVoce &v : voci) {
        const QString nome = Testo::Trim32(v.Tesserato);
        if (!v.Foto)
            senzaFoto << nome;
        if (Testo::Trim32(v.NumTessera).isEmpty())
            senzaNumero << nome;
        TDatiTessera d;
        d.Tesserato = v.Tesserato;
        d.Carica = v.Carica;
        const QStringList fuori = TestiTroppoLunghi(d, adatta);
        if (!fuori.isEmpty())
            lunghi << QStringLiteral("%1 (%2)").arg(nome, fuori.join(QStringLiteral(" e ")));
    }
    QStringList parti;
    if (!senzaFoto.isEmpty())
        parti << QStringLiteral("Senza foto (stampate con la sagoma): ") + Elenco(senzaFoto) + u'.';
    if (!senzaNumero.isEmpty())
        parti << QStringLiteral("Senza numero di tessera: ") + Elenco(senzaNumero) + u'.';
    if (!lunghi.isEmpty())
        parti << (adatta ? QStringLiteral("Nome o carica troppo lunghi anche a 6 punti, tagliati "
                                          "al bordo della tessera: ")
                         : QStringLiteral("Nome o carica troppo lunghi, tagliati al bordo della "
                                          "tessera (si pu\u00f2 scegliere \"Riduci il carattere "
                                          "dei testi troppo lunghi\"): ")) +
                     Elenco(lunghi) + u'.';
    if (!annullate.isEmpty())
        parti << QStringLiteral("Escluse perch\u00e9 annullate: ") + Elenco(annullate) + u'.';
    if (parti.isEmpty())
        return QString();
    parti.prepend(QStringLiteral("Prima di stampare:"));
    parti << QStringLiteral("Stampare comunque? Rispondere No per tornare indietro.");
    return parti.join(QStringLiteral("\r\n\r\n"));
}

} // namespace ImpostazioniStampa
