#include "platform/Applicazione.h"

#include "platform/Piattaforma.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <exception>

TApplicazione::TApplicazione(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quorvel"));
    ImpostaLingua();
}

void TApplicazione::ImpostaLingua()
{
    // Italian dates "dd/mm/yyyy" and the comma as decimal separator, application-wide.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    static QTranslator *qt = nullptr;
    if (!qt && QCoreApplication::instance()) {
        qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
    }
}

bool TApplicazione::notify(QObject *receiver, QEvent *event)
{
    // An error a handler did not catch: show its own text, stop the action, go on.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        Piattaforma::ErroreGenerale(QString::fromUtf8(e.what()));
    } catch (...) {
        Piattaforma::ErroreGenerale(QStringLiteral("Errore sconosciuto."));
    }
    return false;
}
