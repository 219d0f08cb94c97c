// Export of a large archive: opening the export screen (the grid fill) and writing
// "Tesserati.xls", with the process's peak memory against the archive file's size.
#include "archive/Archivio.h"
#include "bench/Dati.h"
#include "lists/ExpAnagrafica.h"
#include "platform/Simulazione.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>



static void BM_Esportazione(benchmark::State &state)
{
    const QString cartella = CartellaConArchivio(static_cast<int>(state.range(0)));
    const double dimensione = double(QFileInfo(TArchivio::Percorso(cartella)).size());
    double riempimento = 0, scrittura = 0, picco = 0;
    for (auto _ : state) {
        AzzeraPicco();
        Simulazione sim(cartella);
        sim.risposte.enqueue(true);
        sim.risposte.enqueue(false);
        QElapsedTimer t;
        t.start();
        {
            TfrmExpAnagrafica w;
            w.show(); // fills the grid
            riempimento += double(t.nsecsElapsed()) / 1e6;
            t.restart();
            w.findChild<QAbstractButton *>(QStringLiteral("cmdEsporta"))->click();
            scrittura += double(t.nsecsElapsed()) / 1e6;
            w.close();
        }
        if (!sim.messaggi.isEmpty() && sim.messaggi.size() != 2)
            state.SkipWithError("the export failed");
        picco = std::max(picco, PiccoMemoria());
    }
    const double n = double(state.iterations());
    state.counters["riempimento_ms"] = riempimento / n;
    state.counters["scrittura_ms"] = scrittura / n;
    state.counters["picco_MB"] = picco / 1e6;
    state.counters["archivio_MB"] = dimensione / 1e6;
    state.counters["picco_su_archivio"] = picco / dimensione;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Esportazione)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
