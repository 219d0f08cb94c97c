#pragma once
// The screen registry: the one global instance of each screen, created at start-up in a
// fixed order. These globals exist because start-up creates every screen at once, as the
// program always has (the login screen first, as the main window), and the start screen
// switches between the three main screens it created. Only the shell uses them: a
// screen hands data to another through typed methods, never through these pointers, and
// a main screen goes back to the start screen through Navigazione::TornaAllAvvio.
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
// Shows the password-change screen (from the login screen).
void MostraCambiaPassword();
// Shows the login screen again with an empty field (the password-change screen closes).
void MostraAccessoVuoto();

// Destroys them (end of the run, and between tests).
void Distruggi();

} // namespace Schermate
