// The floor: grep -ci of a name over the same archive file, run in the same process.
#include "archive/Archivio.h"
#include "bench/Dati.h"

#include <QProcess>

#include <benchmark/benchmark.h>

static void BM_GrepCi(benchmark::State &state)
{
    const QString archivio =
        TArchivio::Percorso(CartellaConArchivio(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        QProcess grep;
        grep.start(QStringLiteral("grep"),
                   {QStringLiteral("-ci"), QStringLiteral("rossi"), archivio});
        grep.waitForFinished(-1);
        benchmark::DoNotOptimize(grep.readAllStandardOutput());
    }
}
BENCHMARK(BM_GrepCi)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
