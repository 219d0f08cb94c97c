#include "platform/Applicazione.h"
#include "shell/Password.h"
#include "shell/Schermate.h"

int main(int argc, char **argv)
{
    // Draw in software: the program needs no graphics driver.
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    TApplicazione app(argc, argv);
    Schermate::Crea();
    Schermate::frmPassword->show();
    const int esito = app.exec();
    Schermate::Distruggi();
    return esito;
}
