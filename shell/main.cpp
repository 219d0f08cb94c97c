#include "platform/Applicazione.h"
#include "platform/Istanza.h"
#include "platform/Piattaforma.h"
#include "shell/AvvioServer.h"
#include "shell/Password.h"
#include "shell/Schermate.h"
#include "shell/core/RigaDiComando.h"
#include "widgets/Sottofondo.h"

int main(int argc, char **argv)
{
    // --help and --version are answered before any folder or window is made.
    if (const auto uscita = RigaDiComando::Rispondi(argc, argv))
        return *uscita;
    // Draw in software: the program needs no graphics driver.
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    TApplicazione app(argc, argv);
    // An installed program lays its initial password in the user's data folder first.
    Accesso::PreparaCartellaDati();
    // One copy at a time on a data folder.
    TBloccoIstanza blocco(Piattaforma::CartellaProgramma());
    if (!blocco.Prendi())
        return 1;
    // A desk on a server connects before the first screen, or the user gives up.
    if (!AvvioServer::Prepara())
        return 1;
    Schermate::Crea();
    Schermate::frmPassword->show();
    const int esito = app.exec();
    Schermate::Distruggi();
    // Work told to stop when its screen closed ends before the program: a mail step is
    // bounded by 20 s.
    Sottofondo::Attendi(25000);
    ConnessioneServer::Dimentica();
    return esito;
}
