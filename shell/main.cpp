#include "platform/Applicazione.h"
#include "shell/Partenza.h"
#include "shell/Schermate.h"
#include "shell/core/RigaDiComando.h"
#include "storage/ConnessioneServer.h"
#include "widgets/Sottofondo.h"

int main(int argc, char **argv)
{
    // --help and --version are answered before any folder or window is made.
    if (const auto uscita = RigaDiComando::Rispondi(argc, argv))
        return *uscita;
    // Draw in software: the program needs no graphics driver.
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    TApplicazione app(argc, argv);
    const auto blocco = Partenza::MostraAccesso();
    if (!blocco)
        return 1;
    const int esito = app.exec();
    Schermate::Distruggi();
    // Work told to stop when its screen closed ends before the program: a mail step is
    // bounded by 20 s.
    Sottofondo::Attendi(25000);
    ConnessioneServer::Dimentica();
    return esito;
}
