// The import screen's readings on a worker thread: the window stays responsive, the
// progress bar runs and Annulla stops the reading.
#include "import/Importa.h"

#include "archive/Errori.h"
#include "widgets/Sottofondo.h"

#include <QEventLoop>
#include <QProgressBar>
#include <QTimer>

#include <memory>
#include <new>

namespace {

QString MessaggioMemoria()
{
    return QStringLiteral("Attenzione: memoria insufficiente per leggere il foglio di calcolo.");
}

// Calls its function when it goes out of scope, on every path.
class TAllUscita {
public:
    explicit TAllUscita(std::function<void()> f) : m_f(std::move(f)) {}
    ~TAllUscita() { m_f(); }
    TAllUscita(const TAllUscita &) = delete;
    TAllUscita &operator=(const TAllUscita &) = delete;

private:
    std::function<void()> m_f;
};

} // namespace

QString TfrmImporta::InSottofondo(const QString &testo, const std::function<void()> &lavoro)
{
    m_condiviso.fermo = false;
    m_condiviso.fatti = 0;
    Occupato(true);
    prgAvanzamento->setRange(0, 0);
    prgAvanzamento->setFormat(testo);
    const TAllUscita ripristino([this] {
        prgAvanzamento->setRange(0, 1);
        prgAvanzamento->setValue(0);
        prgAvanzamento->setFormat(QString());
        Occupato(false);
    });
    // The work owns the error it leaves; the loop ends once its thread has freed the worker.
    auto errore = std::make_shared<QString>();
    QEventLoop ciclo;
    // The count of the rows read, while they are read.
    QTimer conta;
    connect(&conta, &QTimer::timeout, this, [this] {
        if (m_condiviso.fatti > 0)
            prgAvanzamento->setFormat(
                QStringLiteral("%1 righe lette").arg(qint64(m_condiviso.fatti)));
    });
    conta.start(100);
    // Started from the loop, so that what was already waiting (a press of Annulla) is
    // handled first.
    QTimer::singleShot(0, &ciclo, [&ciclo, lavoro, errore] {
        Sottofondo::Esegui(
            [lavoro, errore] {
                try {
                    lavoro();
                } catch (const ErroreFile &e) {
                    *errore = e.testo();
                } catch (const std::bad_alloc &) {
                    *errore = MessaggioMemoria();
                } catch (const std::exception &e) {
                    *errore = QString::fromLocal8Bit(e.what());
                }
            },
            &ciclo, [&ciclo] { ciclo.quit(); });
    });
    ciclo.exec();
    return *errore;
}
