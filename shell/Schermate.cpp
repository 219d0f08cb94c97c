#include "shell/Schermate.h"

#include "cards/Tessera.h"
#include "cards/Tessere.h"
#include "registry/Anagrafica.h"
#include "rinnovi/Rinnovo.h"
#include "shell/Avvio.h"
#include "shell/CambiaPassword.h"
#include "shell/Password.h"
#include "widgets/Navigazione.h"

#include <utility>

namespace Schermate {

namespace {
// Between Crea and Distruggi the registry is open and creates the screens asked for.
bool g_aperto = false;
// Whether this set of screens has already finished the renewals left half done.
bool g_rinnoviCompletati = false;

TfrmPassword *g_password = nullptr;
TfrmAvvio *g_avvio = nullptr;
TfrmCambiaPassword *g_cambiaPassword = nullptr;
TfrmAnagrafica *g_anagrafica = nullptr;
TfrmTessera *g_tessera = nullptr;
TfrmTessere *g_tessere = nullptr;

// The screen, created at the first call while the registry is open; `collega` links
// the new screen to the others.
template <class T, class F> T *Una(T *&schermata, F collega)
{
    if (!schermata && g_aperto) {
        schermata = new T();
        collega(schermata);
    }
    return schermata;
}

void Nessuno(QWidget *) {}

// The start screen leads to the three main screens.
void CollegaAvvio(TfrmAvvio *avvio)
{
    QObject::connect(avvio, &TfrmAvvio::Scelta, avvio, [](TfrmAvvio::Principale p) {
        QWidget *principale =
            p == TfrmAvvio::Principale::Archivio  ? static_cast<QWidget *>(Anagrafica())
            : p == TfrmAvvio::Principale::Tessera ? static_cast<QWidget *>(Tessera())
                                                  : static_cast<QWidget *>(Tessere());
        principale->show();
        principale->raise();
        principale->activateWindow();
        Avvio()->hide();
    });
}

// The login screen leads to the start screen or to the change of password.
void CollegaPassword(TfrmPassword *password)
{
    QObject::connect(password, &TfrmPassword::AccessoRiuscito, password, [] {
        MostraAvvio();
        // At the first login: renewals a kill left half done are finished before any work.
        if (!std::exchange(g_rinnoviCompletati, true))
            Rinnovo::CompletaAllAvvio(Avvio());
    });
    QObject::connect(password, &TfrmPassword::CambioRichiesto, password,
                     [] { MostraCambiaPassword(); });
}

void CollegaCambiaPassword(TfrmCambiaPassword *cambia)
{
    QObject::connect(cambia, &TfrmCambiaPassword::Chiusa, cambia, [] { MostraAccessoVuoto(); });
}

void Mostra(QWidget *w)
{
    if (!w)
        return;
    w->show();
    w->raise();
    w->activateWindow();
}

template <class T> void Elimina(T *&schermata)
{
    delete schermata;
    schermata = nullptr;
}
} // namespace

void Crea()
{
    g_aperto = true;
    g_rinnoviCompletati = false;
    Password();
}

TfrmPassword *Password()
{
    return Una(g_password, CollegaPassword);
}

TfrmAvvio *Avvio()
{
    return Una(g_avvio, CollegaAvvio);
}

TfrmCambiaPassword *CambiaPassword()
{
    return Una(g_cambiaPassword, CollegaCambiaPassword);
}

TfrmAnagrafica *Anagrafica()
{
    return Una(g_anagrafica, Nessuno);
}

TfrmTessera *Tessera()
{
    return Una(g_tessera, Nessuno);
}

TfrmTessere *Tessere()
{
    return Una(g_tessere, Nessuno);
}

void MostraAvvio()
{
    Mostra(Avvio());
}

void MostraCambiaPassword()
{
    Mostra(CambiaPassword());
}

void MostraAccessoVuoto()
{
    if (TfrmPassword *password = Password())
        password->MostraVuota();
}

void Distruggi()
{
    g_aperto = false;
    Elimina(g_tessere);
    Elimina(g_tessera);
    Elimina(g_anagrafica);
    Elimina(g_cambiaPassword);
    Elimina(g_avvio);
    Elimina(g_password);
}

} // namespace Schermate

void Navigazione::TornaAllAvvio()
{
    Schermate::MostraAvvio();
}
