// The floor: a minimal Qt program that shows one window and ends.
#include <QApplication>
#include <QLabel>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel finestra(QStringLiteral("Quorvel"));
    finestra.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
