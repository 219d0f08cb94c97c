#pragma once
// The one global instance of each screen, created at start-up in a fixed order.
class TfrmPassword;
class TfrmAvvio;
class TfrmAllegaCartella;
class TfrmCambiaPassword;
class TfrmCarta;
class TfrmCodFisc;
class TfrmGuida;
class TfrmIban;
class TfrmInfo;
class TfrmPartitaIva;
class TfrmSplash;
class TfrmAnagrafica;
class TfrmTrovaAnagrafica;
class TfrmExpAnagrafica;
class TfrmSospesi;
class TfrmTessera;
class TfrmDatiEnte;
class TfrmStampaTessera;
class TfrmAnteprimaTessera;
class TfrmTessere;
class TfrmStampaTessere;
class TfrmAnteprimaTessere;
class TfrmWebCam;
class TfrmZoom;
class TfrmCalendario;

namespace Schermate {

extern TfrmPassword *frmPassword;
extern TfrmAvvio *frmAvvio;
extern TfrmAllegaCartella *frmAllegaCartella;
extern TfrmCambiaPassword *frmCambiaPassword;
extern TfrmCarta *frmCarta;
extern TfrmCodFisc *frmCodFisc;
extern TfrmGuida *frmGuida;
extern TfrmIban *frmIban;
extern TfrmInfo *frmInfo;
extern TfrmPartitaIva *frmPartitaIva;
extern TfrmSplash *frmSplash;
extern TfrmAnagrafica *frmAnagrafica;
extern TfrmTrovaAnagrafica *frmTrovaAnagrafica;
extern TfrmExpAnagrafica *frmExpAnagrafica;
extern TfrmSospesi *frmSospesi;
extern TfrmTessera *frmTessera;
extern TfrmDatiEnte *frmDatiEnte;
extern TfrmStampaTessera *frmStampaTessera;
extern TfrmAnteprimaTessera *frmAnteprimaTessera;
extern TfrmTessere *frmTessere;
extern TfrmStampaTessere *frmStampaTessere;
extern TfrmAnteprimaTessere *frmAnteprimaTessere;
extern TfrmWebCam *frmWebCam;
extern TfrmZoom *frmZoom;
extern TfrmCalendario *frmCalendario;

// Creates the 25 screens in order; the first, the login screen, is the main window.
void Crea();
// Shows the start screen again (a main screen calls it when it closes).
void MostraAvvio();

// Destroys them (end of the run, and between tests).
void Distruggi();

} // namespace Schermate
