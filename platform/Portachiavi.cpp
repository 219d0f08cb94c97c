#include "platform/Portachiavi.h"

#include "platform/Simulazione.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <unistd.h>

namespace Portachiavi {

namespace {
const QString Servizio = QStringLiteral("Quorvel");

Esito DaErrore(QKeychain::Error e)
{
    switch (e) {
    case QKeychain::NoError:
        return Esito::Fatto;
    case QKeychain::EntryNotFound:
        return Esito::Assente;
    default:
        return Esito::NonDisponibile;
    }
}

// Qt's D-Bus connection blocks without a time limit on a session bus that accepts the
// connection and never answers, and the keychain opens it synchronously. So the bus is
// first greeted here with a bound: the opening line of the D-Bus handshake, answered by
// "OK" from a live bus. Without a session bus there is no secret store to ask.
bool BusRisponde()
{
    const QString indirizzo = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (indirizzo.isEmpty())
        return false;
    for (const QString &voce : indirizzo.split(u';', Qt::SkipEmptyParts)) {
        if (!voce.startsWith(QLatin1String("unix:")))
            return true; // another transport: left to the library
        QString percorso;
        bool astratto = false;
        for (const QString &chiave : voce.mid(5).split(u',')) {
            if (chiave.startsWith(QLatin1String("path=")))
                percorso = chiave.mid(5);
            else if (chiave.startsWith(QLatin1String("abstract="))) {
                percorso = chiave.mid(9);
                astratto = true;
            }
        }
        if (percorso.isEmpty())
            continue;
        QLocalSocket s;
        if (astratto)
            s.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
        s.connectToServer(percorso);
        if (!s.waitForConnected(MillisecondiMassimi / 3))
            continue;
        s.write(QByteArray(1, '\0') + "AUTH EXTERNAL " +
                QByteArray::number(static_cast<qulonglong>(getuid())).toHex() + "\r\n");
        QElapsedTimer t;
        t.start();
        while (!s.canReadLine() && t.elapsed() < MillisecondiMassimi / 3 &&
               s.state() == QLocalSocket::ConnectedState)
            s.waitForReadyRead(static_cast<int>(MillisecondiMassimi / 3 - t.elapsed()));
        const bool ok = s.canReadLine() && s.readLine().startsWith("OK");
        s.abort();
        if (ok)
            return true;
    }
    return false;
}

// Asks the bus once per run; a bus that did not answer is not asked again.
bool StoreRaggiungibile()
{
    static const bool risponde = BusRisponde();
    return risponde;
}

// Runs a job and waits for it with a bound; a job that never ends deletes itself later.
Esito Attendi(QKeychain::Job *job, QString *letto = nullptr)
{
    job->setAutoDelete(true);
    QEventLoop ciclo;
    Esito esito = Esito::NonDisponibile;
    bool finito = false;
    QObject::connect(job, &QKeychain::Job::finished, &ciclo, [&](QKeychain::Job *j) {
        finito = true;
        esito = DaErrore(j->error());
        if (letto && esito == Esito::Fatto)
            *letto = static_cast<QKeychain::ReadPasswordJob *>(j)->textData();
        ciclo.quit();
    });
    QTimer::singleShot(MillisecondiMassimi, &ciclo, &QEventLoop::quit);
    job->start();
    if (!finito)
        ciclo.exec(QEventLoop::ExcludeUserInputEvents);
    return esito;
}
} // namespace

Esito Scrivi(const QString &chiave, const QString &segreto)
{
    if (Simulazione *s = Simulazione::Attiva()) {
        if (!s->portachiavi)
            return Esito::NonDisponibile;
        s->segreti.insert(chiave, segreto);
        return Esito::Fatto;
    }
    if (!StoreRaggiungibile())
        return Esito::NonDisponibile;
    auto *job = new QKeychain::WritePasswordJob(Servizio);
    job->setKey(chiave);
    job->setTextData(segreto);
    return Attendi(job);
}

Esito Leggi(const QString &chiave, QString &segreto)
{
    if (Simulazione *s = Simulazione::Attiva()) {
        if (!s->portachiavi)
            return Esito::NonDisponibile;
        if (!s->segreti.contains(chiave))
            return Esito::Assente;
        segreto = s->segreti.value(chiave);
        return Esito::Fatto;
    }
    if (!StoreRaggiungibile())
        return Esito::NonDisponibile;
    auto *job = new QKeychain::ReadPasswordJob(Servizio);
    job->setKey(chiave);
    return Attendi(job, &segreto);
}

Esito Cancella(const QString &chiave)
{
    if (Simulazione *s = Simulazione::Attiva()) {
        if (!s->portachiavi)
            return Esito::NonDisponibile;
        return s->segreti.remove(chiave) ? Esito::Fatto : Esito::Assente;
    }
    if (!StoreRaggiungibile())
        return Esito::NonDisponibile;
    auto *job = new QKeychain::DeletePasswordJob(Servizio);
    job->setKey(chiave);
    return Attendi(job);
}

} // namespace Portachiavi
