#include "registry/Compagni.h"

#include "archive/LetturaImmagine.h"
#include "platform/Piattaforma.h"
#include "registry/AllegaCartella.h"
#include "registry/Anagrafica.h"
#include "registry/Calendario.h"
#include "registry/Immagini.h"
#include "registry/Messaggio.h"
#include "registry/WebCam.h"
#include "registry/Zoom.h"
#include "shell/Controlli.h"
#include "shell/OpenURL.h"

#include <QLabel>
#include <QLineEdit>

#include <memory>

namespace Compagni {

namespace {
using Immagini::Proprio;

QString Trim(const QString &s)
{
    // Removes every character up to code 32 from both ends.
    qsizetype a = 0, b = s.size();
    while (a < b && s.at(a).unicode() <= 32)
        ++a;
    while (b > a && s.at(b - 1).unicode() <= 32)
        --b;
    return s.mid(a, b - a);
}

QLineEdit *Box(QWidget *a, const char *nome) { return Proprio<QLineEdit>(a, QLatin1String(nome)); }

QString Valore(QWidget *a, const char *nome)
{
    const QLineEdit *e = Box(a, nome);
    return e ? Trim(e->text()) : QString();
}

void Silhouette(QWidget *a)
{
    auto *foto = Proprio<TImmagine>(a, QStringLiteral("imgFoto"));
    auto *bianco = Proprio<TImmagine>(a, QStringLiteral("imgBianco"));
    if (foto && bianco)
        foto->SetPicture(bianco->Picture());
}

// A missing value: warn and put the focus on its box. True when the value is there.
bool Presente(QWidget *a, const char *nome, const QString &avviso)
{
    if (!Valore(a, nome).isEmpty())
        return true;
    Piattaforma::Avviso(avviso, a);
    if (QLineEdit *e = Box(a, nome))
        e->setFocus(Qt::OtherFocusReason);
    return false;
}

QString MessaggioFotoIlleggibile(const QString &file)
{
    return QStringLiteral("Attenzione: il file scelto non \u00E8 un'immagine leggibile:\r\n\r\n") +
           file +
           QStringLiteral("\r\n\r\nLa foto del tesserato non \u00E8 stata cambiata. Scegliere "
                          "un file di immagine JPEG o Bitmap.");
}

QString Virgolette(const QString &s) { return QStringLiteral("\"") + s + QStringLiteral("\""); }
} // namespace

void CaricaFoto(TfrmAnagrafica *a)
{
    const QString scelto = Piattaforma::ApriFile(
        a, QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."),
        {QStringLiteral("Immagine JPEG (*.jpg *.jpeg)"), QStringLiteral("Immagine Bitmap (*.bmp)")},
        QStringLiteral("jpg"));
    if (scelto.isEmpty())
        return;
    auto *foto = Proprio<TImmagine>(a, QStringLiteral("imgFoto"));
    if (!foto)
        return;
    // Any format the image readers know, recognised by content rather than by name. A
    // file that cannot be read keeps the photo on screen: the silhouette would be saved
    // over the member's photo at the next save.
    const QImage img = LeggiImmagine(scelto);
    if (img.isNull())
        Piattaforma::Avviso(MessaggioFotoIlleggibile(scelto), a);
    else
        foto->SetPicture(img);
}

void SalvaCopiaFoto(TfrmAnagrafica *a)
{
    const QString scelto = Piattaforma::SalvaFile(
        a, Immagini::TitoloSalvaJpeg(), QStringLiteral("Foto.jpg"), Immagini::TipoSalvaJpeg(),
        QStringLiteral("jpg"));
    if (scelto.isEmpty())
        return;
    auto *foto = Proprio<TImmagine>(a, QStringLiteral("imgFoto"));
    if (!foto)
        return;
    // A failed write keeps the member's photo on screen: it is still to be saved.
    if (!Immagini::ScriviJpeg(foto->Picture(), Immagini::ConEstensioneJpg(scelto)))
        Piattaforma::Errore(Immagini::MessaggioFotoNonSalvata(), a);
}

void CancellaFoto(TfrmAnagrafica *a) { Silhouette(a); }

void WebCam(TfrmAnagrafica *a)
{
    auto w = std::make_unique<TfrmWebCam>(a);
    Piattaforma::MostraModale(w.get());
}

void ZoomFoto(TfrmAnagrafica *a)
{
    auto z = std::make_unique<TfrmZoom>(a);
    auto *foto = Proprio<TImmagine>(a, QStringLiteral("imgFoto"));
    if (auto *grande = z->findChild<TImmagine *>(QStringLiteral("imgFoto")); grande && foto)
        grande->SetPicture(foto->Picture());
    Piattaforma::MostraModale(z.get());
}

void Allegati(TfrmAnagrafica *a)
{
    auto s = std::make_unique<TfrmAllegaCartella>(a);
    if (auto *m = s->findChild<QLabel *>(QStringLiteral("lblMemory")))
        m->setText(QStringLiteral("anagrafica"));
    for (const char *n : {"01", "02", "03"}) {
        const QString num = QLatin1String(n);
        const auto *file = Proprio<QLabel>(a, QStringLiteral("lblFile") + num);
        const auto *desc = Proprio<QLabel>(a, QStringLiteral("lblDesc") + num);
        if (auto *t = s->findChild<QLineEdit *>(QStringLiteral("txtFile") + num); t && file)
            t->setText(Trim(file->text()));
        if (auto *t = s->findChild<QLineEdit *>(QStringLiteral("txtDesc") + num); t && desc)
            t->setText(Trim(desc->text()));
    }
    Piattaforma::MostraModale(s.get());
}

QString TestoAvvisoScadenza(const QString &email, const QString &tesserato,
                            const QString &numTessera, const QString &dataRil,
                            const QString &dataScade)
{
    const QString corpo = Posta::CorpoAvviso(tesserato, numTessera, dataRil, dataScade);
    return QStringLiteral("mailto:") + email + QStringLiteral("?subject=") +
           Posta::OggettoAvviso() + QStringLiteral("&body=") + corpo;
}

void AvvisoScadenza(TfrmAnagrafica *a)
{
    const QString inizio = QStringLiteral("Attenzione: per inviare l'avviso \u00E8 necessario indicare ");
    if (!Presente(a, "txtTesserato", inizio + QStringLiteral("cognome e nome del tesserato.")) ||
        !Presente(a, "txtNumTessera", inizio + QStringLiteral("il numero della tessera.")) ||
        !Presente(a, "txtDataRil",
                  inizio + QStringLiteral("la data di rilascio del tesserino.")) ||
        !Presente(a, "txtDataScade",
                  inizio + QStringLiteral("la data di scadenza del tesserino.")) ||
        !Presente(a, "txtEmail",
                  inizio + QStringLiteral("l'indirizzo e-mail del tesserato.")))
        return;
    TMisc::Open(Virgolette(TestoAvvisoScadenza(Valore(a, "txtEmail"), Valore(a, "txtTesserato"),
                                               Valore(a, "txtNumTessera"),
                                               Valore(a, "txtDataRil"),
                                               Valore(a, "txtDataScade"))));
}

void MailSemplice(TfrmAnagrafica *a)
{
    if (!Presente(a, "txtEmail",
                  QStringLiteral("Attenzione: indicare l'indirizzo e-mail del tesserato.")))
        return;
    TMisc::Open(Virgolette(QStringLiteral("mailto:") + Valore(a, "txtEmail")));
}

void ApriCalendario(TfrmAnagrafica *a, const QString &parola)
{
    auto c = std::make_unique<TfrmCalendario>(a);
    if (auto *m = c->findChild<QLabel *>(QStringLiteral("lblMemory")))
        m->setText(parola);
    Piattaforma::MostraModale(c.get());
}

} // namespace Compagni
