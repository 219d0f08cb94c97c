// The search listing everyone and the renewal list timed whole, each in a process of its
// own (start, scan, sort, list on screen, exit), to set beside BM_GrepCi of the same size.
#include "bench/Dati.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <benchmark/benchmark.h>

static void Elenco(benchmark::State &state, const char *modo)
{
    const QString cartella = CartellaConArchivio(static_cast<int>(state.range(0)));
    const QString programma =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvel_elenco"));
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QList<QByteArray> uscita;
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(ambiente);
        p.start(programma, {QString::fromLatin1(modo), cartella});
        if (!p.waitForFinished(600000) || p.exitCode() != 0)
            state.SkipWithError("the program did not end cleanly");
        uscita = p.readAllStandardOutput().trimmed().split(' ');
    }
    if (uscita.size() == 2) {
        state.counters["righe"] = uscita[0].toDouble();
        // Peak resident memory of the whole process, and its share of the archive file.
        state.counters["picco_MB"] = uscita[1].toDouble() / (1024.0 * 1024.0);
        state.counters["picco_%"] =
            100.0 * uscita[1].toDouble() / (double(state.range(0)) * DimensioneScheda);
    }
}

static void BM_ProcessoRicercaTutte(benchmark::State &state)
{
    Elenco(state, "cerca");
}
static void BM_ProcessoRinnovo(benchmark::State &state)
{
    Elenco(state, "rinnovo");
}
BENCHMARK(BM_ProcessoRicercaTutte)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_ProcessoRinnovo)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
