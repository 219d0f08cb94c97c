#include "shell/Schermate.h"

#include "cards/AnteprimaTessera.h"
#include "cards/AnteprimaTessere.h"
#include "cards/DatiEnte.h"
#include "cards/StampaTessera.h"
#include "cards/StampaTessere.h"
#include "cards/Tessera.h"
#include "cards/Tessere.h"
#include "checks/Carta.h"
#include "checks/CodFisc.h"
#include "checks/Iban.h"
#include "checks/PartitaIVA.h"
#include "lists/ExpAnagrafica.h"
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "registry/AllegaCartella.h"
#include "registry/Anagrafica.h"
#include "registry/Calendario.h"
#include "registry/WebCam.h"
#include "registry/Zoom.h"
#include "rinnovi/Rinnovo.h"
#include "shell/Avvio.h"
#include "shell/CambiaPassword.h"
#include "shell/Guida.h"
#include "shell/Info.h"
#include "shell/Password.h"
#include "shell/Splash.h"
#include "widgets/Navigazione.h"

namespace Schermate {

TfrmPassword *frmPassword = nullptr;
TfrmAvvio *frmAvvio = nullptr;
TfrmAllegaCartella *frmAllegaCartella = nullptr;
TfrmCambiaPassword *frmCambiaPassword = nullptr;
TfrmCarta *frmCarta = nullptr;
TfrmCodFisc *frmCodFisc = nullptr;
TfrmGuida *frmGuida = nullptr;
TfrmIban *frmIban = nullptr;
TfrmInfo *frmInfo = nullptr;
TfrmPartitaIva *frmPartitaIva = nullptr;
TfrmSplash *frmSplash = nullptr;
TfrmAnagrafica *frmAnagrafica = nullptr;
TfrmTrovaAnagrafica *frmTrovaAnagrafica = nullptr;
TfrmExpAnagrafica *frmExpAnagrafica = nullptr;
TfrmSospesi *frmSospesi = nullptr;
TfrmTessera *frmTessera = nullptr;
TfrmDatiEnte *frmDatiEnte = nullptr;
TfrmStampaTessera *frmStampaTessera = nullptr;
TfrmAnteprimaTessera *frmAnteprimaTessera = nullptr;
TfrmTessere *frmTessere = nullptr;
TfrmStampaTessere *frmStampaTessere = nullptr;
TfrmAnteprimaTessere *frmAnteprimaTessere = nullptr;
TfrmWebCam *frmWebCam = nullptr;
TfrmZoom *frmZoom = nullptr;
TfrmCalendario *frmCalendario = nullptr;

namespace {
// Whether this set of screens has already finished the renewals left half done.
bool g_rinnoviCompletati = false;
} // namespace

void Crea()
{
    g_rinnoviCompletati = false;
    frmPassword = new TfrmPassword();
    frmAvvio = new TfrmAvvio();
    frmAllegaCartella = new TfrmAllegaCartella();
    frmCambiaPassword = new TfrmCambiaPassword();
    frmCarta = new TfrmCarta();
    frmCodFisc = new TfrmCodFisc();
    frmGuida = new TfrmGuida();
    frmIban = new TfrmIban();
    frmInfo = new TfrmInfo();
    frmPartitaIva = new TfrmPartitaIva();
    frmSplash = new TfrmSplash();
    frmAnagrafica = new TfrmAnagrafica();
    frmTrovaAnagrafica = new TfrmTrovaAnagrafica();
    frmExpAnagrafica = new TfrmExpAnagrafica();
    frmSospesi = new TfrmSospesi();
    frmTessera = new TfrmTessera();
    frmDatiEnte = new TfrmDatiEnte();
    frmStampaTessera = new TfrmStampaTessera();
    frmAnteprimaTessera = new TfrmAnteprimaTessera();
    frmTessere = new TfrmTessere();
    frmStampaTessere = new TfrmStampaTessere();
    frmAnteprimaTessere = new TfrmAnteprimaTessere();
    frmWebCam = new TfrmWebCam();
    frmZoom = new TfrmZoom();
    frmCalendario = new TfrmCalendario();

    // How the shell's screens lead to one another.
    QObject::connect(frmPassword, &TfrmPassword::AccessoRiuscito, frmPassword, [] {
        MostraAvvio();
        // At the first login: renewals a kill left half done are finished before any work.
        if (!std::exchange(g_rinnoviCompletati, true))
            Rinnovo::CompletaAllAvvio(frmAvvio);
    });
    QObject::connect(frmPassword, &TfrmPassword::CambioRichiesto, frmPassword,
                     [] { MostraCambiaPassword(); });
    QObject::connect(frmCambiaPassword, &TfrmCambiaPassword::Chiusa, frmCambiaPassword,
                     [] { MostraAccessoVuoto(); });
    QObject::connect(frmAvvio, &TfrmAvvio::Scelta, frmAvvio, [](TfrmAvvio::Principale p) {
        QWidget *principale =
            p == TfrmAvvio::Principale::Archivio  ? static_cast<QWidget *>(frmAnagrafica)
            : p == TfrmAvvio::Principale::Tessera ? static_cast<QWidget *>(frmTessera)
                                                  : static_cast<QWidget *>(frmTessere);
        principale->show();
        principale->raise();
        principale->activateWindow();
        frmAvvio->hide();
    });
}

void MostraAvvio()
{
    if (!frmAvvio)
        return;
    frmAvvio->show();
    frmAvvio->raise();
    frmAvvio->activateWindow();
}

void MostraCambiaPassword()
{
    if (!frmCambiaPassword)
        return;
    frmCambiaPassword->show();
    frmCambiaPassword->raise();
    frmCambiaPassword->activateWindow();
}

void MostraAccessoVuoto()
{
    if (frmPassword)
        frmPassword->MostraVuota();
}

void Distruggi()
{
    delete frmCalendario;
    frmCalendario = nullptr;
    delete frmZoom;
    frmZoom = nullptr;
    delete frmWebCam;
    frmWebCam = nullptr;
    delete frmAnteprimaTessere;
    frmAnteprimaTessere = nullptr;
    delete frmStampaTessere;
    frmStampaTessere = nullptr;
    delete frmTessere;
    frmTessere = nullptr;
    delete frmAnteprimaTessera;
    frmAnteprimaTessera = nullptr;
    delete frmStampaTessera;
    frmStampaTessera = nullptr;
    delete frmDatiEnte;
    frmDatiEnte = nullptr;
    delete frmTessera;
    frmTessera = nullptr;
    delete frmSospesi;
    frmSospesi = nullptr;
    delete frmExpAnagrafica;
    frmExpAnagrafica = nullptr;
    delete frmTrovaAnagrafica;
    frmTrovaAnagrafica = nullptr;
    delete frmAnagrafica;
    frmAnagrafica = nullptr;
    delete frmSplash;
    frmSplash = nullptr;
    delete frmPartitaIva;
    frmPartitaIva = nullptr;
    delete frmInfo;
    frmInfo = nullptr;
    delete frmIban;
    frmIban = nullptr;
    delete frmGuida;
    frmGuida = nullptr;
    delete frmCodFisc;
    frmCodFisc = nullptr;
    delete frmCarta;
    frmCarta = nullptr;
    delete frmCambiaPassword;
    frmCambiaPassword = nullptr;
    delete frmAllegaCartella;
    frmAllegaCartella = nullptr;
    delete frmAvvio;
    frmAvvio = nullptr;
    delete frmPassword;
    frmPassword = nullptr;
}

} // namespace Schermate

void Navigazione::TornaAllAvvio()
{
    Schermate::MostraAvvio();
}
