#include "widgets/Sottofondo.h"

#include <QMetaObject>
#include <QThread>

#include <atomic>

namespace {
std::atomic<int> inCorso{0};
}

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

} // namespace Sottofondo
