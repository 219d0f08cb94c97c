// The archive screen's buttons that open other screens: the check tools, the search,
// the renewal list, export and import, the member sheet, the help page and the
// companions (photo, webcam, zoom, attachments, e-mail).
#include "registry/Anagrafica.h"

#include "archive/Testo.h"
#include "checks/Carta.h"
#include "checks/CodFisc.h"
#include "checks/Iban.h"
#include "checks/PartitaIVA.h"
#include "import/Importa.h"
#include "lists/ExpAnagrafica.h"
#include "lists/SchedaInformativa.h"
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "platform/Piattaforma.h"
#include "report/core/Report.h"
#include "rinnovi/Rinnovo.h"
#include "shell/Guida.h"
#include "widgets/Modale.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using Testo::Trim32;

namespace {
// Shows the check tool over `owner` with the text in its input box.
template <class T> void ApriStrumento(QWidget *owner, const QString &testo)
{
    ApriModale<T>(owner, [&](T &s) { s.ImpostaValore(testo); });
}
} // namespace

void TfrmAnagrafica::cmdCodFiscClick()
{
    // A code made only of digits is a VAT number.
    const QString t = Trim32(Valore("txtCodFisc"));
    if (!t.isEmpty() && Testo::SoloCifre(t))
        ApriStrumento<TfrmPartitaIva>(this, t);
    else
        ApriStrumento<TfrmCodFisc>(this, t);
}

void TfrmAnagrafica::cmdPartitaIvaClick()
{
    ApriStrumento<TfrmPartitaIva>(this, Trim32(Valore("txtPartitaIva")));
}

void TfrmAnagrafica::cmdCartaClick()
{
    ApriStrumento<TfrmCarta>(this, Trim32(Valore("txtCarta")));
}

void TfrmAnagrafica::cmdIbanClick()
{
    ApriStrumento<TfrmIban>(this, Trim32(Valore("txtIban")));
}

void TfrmAnagrafica::cmdTrovaClick()
{
    ApriModale<TfrmTrovaAnagrafica>(
        this, [](TfrmTrovaAnagrafica &s) { s.ImpostaModo(QStringLiteral("anagrafica")); });
}

TRiceventeScheda *TfrmAnagrafica::RiceventeScheda(const QString &modo)
{
    return modo == QLatin1String("anagrafica") ? this : nullptr;
}

void TfrmAnagrafica::RiceviScheda(const TScheda &, int posizione)
{
    MostraScheda(posizione);
}

void TfrmAnagrafica::cmdScaduteClick()
{
    ApriModale<TfrmSospesi>(this);
}

void TfrmAnagrafica::cmdRinnovaClick()
{
    // The record as stored is renewed: a new one is saved first, changes on screen too.
    bool ok = false;
    int p = Trim32(m_lblPosizione->text()).toInt(&ok);
    if (!ok || p < 1 || m_modificata) {
        if (!Piattaforma::Domanda(
                QStringLiteral("La scheda sullo schermo non \u00E8 salvata: salvarla prima "
                               "del rinnovo?"),
                this) ||
            !Salva())
            return;
        p = Trim32(m_lblPosizione->text()).toInt(&ok);
        if (!ok || p < 1)
            return;
    }
    if (Rinnovo::Apri(this, {p}))
        MostraScheda(p);
}

void TfrmAnagrafica::cmdExcelClick()
{
    ApriModale<TfrmExpAnagrafica>(this);
}

void TfrmAnagrafica::cmdImportaClick()
{
    ApriModale<TfrmImporta>(this);
}

// The member sheet is printed and previewed from the controls as they stand.
TReport &TfrmAnagrafica::RepScheda()
{
    if (!m_repScheda)
        m_repScheda = CreaRepScheda();
    return *m_repScheda;
}

QString TfrmAnagrafica::TestoScheda(const char *nome) const
{
    if (QComboBox *c = Provincia(nome))
        return Trim32(c->currentText());
    if (QLineEdit *e = Riquadro(nome))
        return Trim32(e->text());
    throw ErroreReport(QStringLiteral("Control \"%1\" not found").arg(QLatin1String(nome)));
}

TReport &RepScheda(TfrmAnagrafica *anagrafica)
{
    return anagrafica->RepScheda();
}

void TfrmAnagrafica::cmdAnteprimaClick()
{
    TReport &rep = RepScheda();
    RiempiScheda(rep, [this](const char *nome) { return TestoScheda(nome); });
    AnteprimaScheda(rep, this);
}
void TfrmAnagrafica::cmdStampaClick()
{
    TReport &rep = RepScheda();
    RiempiScheda(rep, [this](const char *nome) { return TestoScheda(nome); });
    StampaScheda(rep, this);
}

void TfrmAnagrafica::cmdGuidaClick()
{
    TfrmGuida::Apri(this, TitoloGuida(), TestoGuida());
}

void TfrmAnagrafica::cmdAllegaClick()
{
    Compagni::Allegati(this);
}
void TfrmAnagrafica::cmdEmailClick()
{
    Compagni::MailSemplice(this);
}
void TfrmAnagrafica::btnEmailClick()
{
    Compagni::AvvisoScadenza(this);
}
void TfrmAnagrafica::btnSfogliaClick()
{
    Compagni::CaricaFoto(this);
}
void TfrmAnagrafica::btnWebcamClick()
{
    Compagni::WebCam(this);
}
void TfrmAnagrafica::btnSalvaFotoClick()
{
    Compagni::SalvaCopiaFoto(this);
}
void TfrmAnagrafica::btnCancFotoClick()
{
    Compagni::CancellaFoto(this);
}
void TfrmAnagrafica::btnZoomClick()
{
    Compagni::ZoomFoto(this);
}
