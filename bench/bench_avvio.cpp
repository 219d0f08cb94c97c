// Start-up to the login window painted (the program's own start-up path), beside a minimal
// Qt program that shows one window; both leave once their window is painted.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <benchmark/benchmark.h>

static void Esegui(benchmark::State &state, const char *programma)
{
    const QString percorso =
        QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(programma));
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(ambiente);
        p.start(percorso, {});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            state.SkipWithError("the program did not end cleanly");
    }
}

static void BM_AvvioQuorvel(benchmark::State &state)
{
    Esegui(state, "quorvel_avvio");
}
static void BM_AvvioMinimo(benchmark::State &state)
{
    Esegui(state, "quorvel_minimo");
}
BENCHMARK(BM_AvvioQuorvel)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(BM_AvvioMinimo)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
