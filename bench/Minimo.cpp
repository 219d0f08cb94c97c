// The floor: a minimal Qt program that shows one window and ends once it is painted.
#include "FineAlDisegno.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel finestra(QStringLiteral("Quorvel"));
    finestra.show();
    TFineAlDisegno fine(&finestra);
    return app.exec();
}
