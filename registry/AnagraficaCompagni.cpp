#include "registry/Anagrafica.h"

#include "archive/LetturaImmagine.h"
#include "archive/Testo.h"
#include "platform/Piattaforma.h"
#include "registry/AllegaCartella.h"
#include "registry/Calendario.h"
#include "registry/Immagini.h"
#include "registry/WebCam.h"
#include "registry/Zoom.h"
#include "widgets/Controlli.h"
#include "widgets/Modale.h"
#include "widgets/OpenURL.h"

#include <QLineEdit>

namespace Compagni {

namespace {
QString Valore(TfrmAnagrafica *a, const char *nome)
{
    return Testo::Trim32(a->Valore(nome));
}

// A missing value: warn and put the focus on its box. True when the value is there.
bool Presente(TfrmAnagrafica *a, const char *nome, const QString &avviso)
{
    if (!Valore(a, nome).isEmpty())
        return true;
    Piattaforma::Avviso(avviso, a);
    if (QLineEdit *e = a->Riquadro(nome))
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

QString Virgolette(const QString &s)
{
    return QStringLiteral("\"") + s + QStringLiteral("\"");
}
} // namespace

void CaricaFoto(TfrmAnagrafica *a)
{
    const QString scelto = Piattaforma::ApriFile(
        a, QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."),
        {QStringLiteral("Immagine JPEG (*.jpg *.jpeg)"), QStringLiteral("Immagine Bitmap (*.bmp)")},
        QStringLiteral("jpg"));
    if (scelto.isEmpty())
        return;
    // Any format the image readers know, recognised by content rather than by name. A
    // file that cannot be read keeps the photo on screen: the silhouette would be saved
    // over the member's photo at the next save.
    const QImage img = LeggiImmagine(scelto);
    if (img.isNull())
        Piattaforma::Avviso(MessaggioFotoIlleggibile(scelto), a);
    else
        a->MostraFoto(img);
}

void SalvaCopiaFoto(TfrmAnagrafica *a)
{
    const QString scelto =
        Piattaforma::SalvaFile(a, Immagini::TitoloSalvaJpeg(), QStringLiteral("Foto.jpg"),
                               Immagini::TipoSalvaJpeg(), QStringLiteral("jpg"));
    if (scelto.isEmpty())
        return;
    // A failed write keeps the member's photo on screen: it is still to be saved.
    if (!Immagini::ScriviJpeg(a->Foto(), Immagini::ConEstensioneJpg(scelto)))
        Piattaforma::Errore(Immagini::MessaggioFotoNonSalvata(), a);
}

void CancellaFoto(TfrmAnagrafica *a)
{
    a->MostraFoto(QImage());
}

void WebCam(TfrmAnagrafica *a)
{
    ApriModale<TfrmWebCam>(a);
}

void ZoomFoto(TfrmAnagrafica *a)
{
    const QImage foto = a->Foto();
    ApriModale<TfrmZoom>(a, [&](TfrmZoom &z) { z.MostraFoto(foto); });
}

void Allegati(TfrmAnagrafica *a)
{
    const TAllegati allegati = a->Allegati();
    ApriModale<TfrmAllegaCartella>(
        a, [&](TfrmAllegaCartella &s) { s.Imposta(QStringLiteral("anagrafica"), allegati); });
}

QString TestoAvvisoScadenza(const QString &email, const QString &tesserato,
                            const QString &numTessera, const QString &dataRil,
                            const QString &dataScade)
{
    const QString corpo =
        QStringLiteral("Gentilissimo Sig. ") + tesserato +
        QStringLiteral(", con la presente le ricordiamo che la sua tessera n. ") + numTessera +
        QStringLiteral(", rilasciata in data ") + dataRil +
        QStringLiteral(" e con scadenza in data ") + dataScade +
        QStringLiteral(", ha bisogno di essere rinnovata. Pertanto, la preghiamo di recarsi con "
                       "cortese sollecitudine presso i nostri uffici per provvedere al rinnovo. "
                       "In attesa di un suo riscontro, le porgiamo cordiali saluti.");
    return QStringLiteral("mailto:") + email + QStringLiteral("?subject=") +
           QStringLiteral("Rinnovo tessera") + QStringLiteral("&body=") + corpo;
}

void AvvisoScadenza(TfrmAnagrafica *a)
{
    const QString inizio =
        QStringLiteral("Attenzione: per inviare l'avviso \u00E8 necessario indicare ");
    if (!Presente(a, "txtTesserato", inizio + QStringLiteral("cognome e nome del tesserato.")) ||
        !Presente(a, "txtNumTessera", inizio + QStringLiteral("il numero della tessera.")) ||
        !Presente(a, "txtDataRil", inizio + QStringLiteral("la data di rilascio del tesserino.")) ||
        !Presente(a, "txtDataScade",
                  inizio + QStringLiteral("la data di scadenza del tesserino.")) ||
        !Presente(a, "txtEmail", inizio + QStringLiteral("l'indirizzo e-mail del tesserato.")))
        return;
    TMisc::Open(Virgolette(TestoAvvisoScadenza(Valore(a, "txtEmail"), Valore(a, "txtTesserato"),
                                               Valore(a, "txtNumTessera"), Valore(a, "txtDataRil"),
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
    ApriModale<TfrmCalendario>(a, [&](TfrmCalendario &c) { c.ImpostaModo(parola); });
}

} // namespace Compagni
