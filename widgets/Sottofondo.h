#pragma once
// Long work off the window's thread, the one way screens run it: a worker object moved to a
// thread of its own, which frees the worker and itself when it ends. The screen never waits
// for it: closing asks it to stop (through what screen and work share) and lets it end alone.
#include "archive/Avanzamento.h"

#include <atomic>
#include <functional>
#include <memory>

class QObject;
class QThread;

namespace Sottofondo {

// Moves `lavoratore` (no parent) to a new thread and calls `inizio` there; the thread ends
// once `inizio` returns and `Congeda` or `Termina` asked it to.
QThread *Avvia(QObject *lavoratore, std::function<void()> inizio);
// Asks the thread of `lavoratore` to end once its current work returns; never waits. After
// this the worker may be gone at any moment: the caller forgets it.
void Congeda(QObject *lavoratore);
// Runs `lavoro` on a thread of its own and then `fine` on the thread of `contesto`, unless
// `contesto` is gone by then. `lavoro` owns what it uses (captured by value or shared).
void Esegui(std::function<void()> lavoro, QObject *contesto, std::function<void()> fine);
// The threads started here not yet freed (tests wait for none before leaving).
int InCorso();
// At the program's end: waits, at most `millisecondi` in all, for the threads still running
// (a reminder batch told to stop finishes the message in flight and logs it, so no member is
// reminded twice). False when some were still running.
bool Attendi(int millisecondi);

// What a screen and its work share, held by both, as the work may outlive the screen: the
// progress the work reports and the screen's request to stop. The screen reads the progress
// on a timer of its own.
struct TCondiviso {
    std::atomic<qint64> fatti{0};
    std::atomic<qint64> totale{0};
    std::atomic<bool> fermo{false};
};
// The Avanzamento given to the work: it records the progress and says stop once asked.
Avanzamento Riporta(std::shared_ptr<TCondiviso> condiviso);

} // namespace Sottofondo
