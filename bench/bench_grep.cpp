// The floor: grep -ci of a name over the same archive file, as a process of its own, in
// the C locale (its fastest: a UTF-8 locale makes grep several times slower).
#include "archive/Archivio.h"
#include "bench/Dati.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <benchmark/benchmark.h>

static void BM_GrepCi(benchmark::State &state)
{
    const QString archivio =
        TArchivio::Percorso(CartellaConArchivio(static_cast<int>(state.range(0))));
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    for (auto _ : state) {
        QProcess grep;
        grep.setProcessEnvironment(ambiente);
        grep.start(QStringLiteral("grep"),
                   {QStringLiteral("-ci"), QStringLiteral("rossi"), archivio});
        grep.waitForFinished(-1);
        benchmark::DoNotOptimize(grep.readAllStandardOutput());
    }
}
BENCHMARK(BM_GrepCi)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
