#pragma once
// The screen registry: the one instance of each screen the shell leads to. Start-up
// creates only the login screen, the main window; every other screen is created the
// first time it is opened and kept, with what it shows, until the end of the run. Only
// the shell uses the registry: a screen hands data to another through typed methods,
// never through the registry, and a main screen goes back to the start screen through
// Navigazione::TornaAllAvvio. The dialogs the screens open (help, calendar, search,
// checks...) are made fresh at each opening by their caller.
class TfrmPassword;
class TfrmAvvio;
class TfrmCambiaPassword;
class TfrmAnagrafica;
class TfrmTessera;
class TfrmTessere;

namespace Schermate {

// Opens the registry and creates the login screen, the main window.
void Crea();

// The registry's screens, each created at its first use; nullptr before Crea and after
// Distruggi.
TfrmPassword *Password();
TfrmAvvio *Avvio();
TfrmCambiaPassword *CambiaPassword();
TfrmAnagrafica *Anagrafica();
TfrmTessera *Tessera();
TfrmTessere *Tessere();

// Shows the start screen again (a main screen calls it when it closes).
void MostraAvvio();
// Shows the password-change screen (from the login screen).
void MostraCambiaPassword();
// Shows the login screen again with an empty field (the password-change screen closes).
void MostraAccessoVuoto();

// Destroys the screens created and closes the registry (end of the run, and between tests).
void Distruggi();

} // namespace Schermate
