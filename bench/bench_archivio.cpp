// Sequential scan of the archive decoding every field of every record.
#include "archive/Archivio.h"
#include "bench/Dati.h"

#include <benchmark/benchmark.h>

static void BM_ScansioneCompleta(benchmark::State &state)
{
    const QString cartella = CartellaConArchivio(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        qsizetype caratteri = 0;
        TArchivio a(cartella);
        a.Scorri([&](int, const TScheda &s) {
            for (int c = 0; c < NumeroCampi; ++c)
                caratteri += s.Leggi(static_cast<Campo>(c)).size();
            return true;
        });
        benchmark::DoNotOptimize(caratteri);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScansioneCompleta)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
