// Start-up as the program does it (application, 25 screens, login window shown),
// ending as soon as the login window has been shown: timed from outside.
#include "platform/Applicazione.h"
#include "shell/Password.h"
#include "shell/Schermate.h"

#include <QTimer>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    TApplicazione app(argc, argv);
    Schermate::Crea();
    Schermate::frmPassword->show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int esito = app.exec();
    Schermate::Distruggi();
    return esito;
}
