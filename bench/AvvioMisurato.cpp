// Start-up as the program does it, the same calls as its main up to the login window
// shown, ending once that window is painted: timed from outside.
#include "FineAlDisegno.h"
#include "platform/Applicazione.h"
#include "shell/Partenza.h"
#include "shell/Password.h"
#include "shell/Schermate.h"
#include "shell/core/RigaDiComando.h"

int main(int argc, char **argv)
{
    if (const auto uscita = RigaDiComando::Rispondi(argc, argv))
        return *uscita;
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    TApplicazione app(argc, argv);
    auto blocco = Partenza::MostraAccesso();
    if (!blocco)
        return 1;
    // The folder's lock is let go, as the program does at its end.
    TFineAlDisegno fine(Schermate::Password(), [&blocco] { blocco.reset(); });
    return app.exec();
}
