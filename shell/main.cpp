#include "platform/Applicazione.h"
#include "shell/Password.h"
#include "shell/Schermate.h"

int main(int argc, char **argv)
{
    TApplicazione app(argc, argv);
    Schermate::Crea();
    Schermate::frmPassword->show();
    const int esito = app.exec();
    Schermate::Distruggi();
    return esito;
}
