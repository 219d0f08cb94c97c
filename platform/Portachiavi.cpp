#include "platform/Portachiavi.h"

#include "platform/Simulazione.h"

#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

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
    auto *job = new QKeychain::DeletePasswordJob(Servizio);
    job->setKey(chiave);
    return Attendi(job);
}

} // namespace Portachiavi
