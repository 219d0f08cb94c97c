#include "widgets/Sottofondo.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <vector>

namespace {
std::atomic<int> inCorso{0};
// The threads started and not yet freed, for the wait at the program's end. Started and
// freed on the window's thread only.
std::vector<QPointer<QThread>> &Fili()
{
    static std::vector<QPointer<QThread>> fili;
    return fili;
}
} // namespace

namespace Sottofondo {

QThread *Avvia(QObject *lavoratore, std::function<void()> inizio)
{
    auto *filo = new QThread;
    lavoratore->moveToThread(filo);
    QObject::connect(filo, &QThread::started, lavoratore, std::move(inizio));
    // Both go once the thread's loop is over, wherever the screen is by then.
    QObject::connect(filo, &QThread::finished, lavoratore, &QObject::deleteLater);
    QObject::connect(filo, &QThread::finished, filo, &QObject::deleteLater);
    QObject::connect(filo, &QObject::destroyed, [] { --inCorso; });
    ++inCorso;
    auto &fili = Fili();
    std::erase_if(fili, [](const QPointer<QThread> &f) { return f.isNull(); });
    fili.emplace_back(filo);
    filo->start();
    return filo;
}

void Congeda(QObject *lavoratore)
{
    // Queued to the worker's own thread: it runs after the current work has returned.
    QThread *filo = lavoratore->thread();
    QMetaObject::invokeMethod(
        lavoratore, [filo] { filo->quit(); }, Qt::QueuedConnection);
}

void Esegui(std::function<void()> lavoro, QObject *contesto, std::function<void()> fine)
{
    auto *lavoratore = new QObject;
    QObject::connect(lavoratore, &QObject::destroyed, contesto, std::move(fine),
                     Qt::QueuedConnection);
    Avvia(lavoratore, [lavoratore, lavoro = std::move(lavoro)] {
        lavoro();
        Congeda(lavoratore);
    });
}

int InCorso()
{
    return inCorso;
}

bool Attendi(int millisecondi)
{
    const QDeadlineTimer scadenza(millisecondi);
    bool finiti = true;
    for (const QPointer<QThread> &f : Fili())
        if (f && !f->wait(scadenza))
            finiti = false;
    return finiti;
}

Avanzamento Riporta(std::shared_ptr<TCondiviso> condiviso)
{
    return [condiviso = std::move(condiviso)](qint64 fatti, qint64 totale) {
        condiviso->totale = totale;
        condiviso->fatti = fatti;
        return !condiviso->fermo;
    };
}

} // namespace Sottofondo
