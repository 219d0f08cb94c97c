// The statistics screen on 100,000 and 1,000,000 members: from the press of the button to
// every chart drawn, with the peak memory it adds; beside it the floor, LC_ALL=C grep -c
// over the same archive file, measured in the same run.
#include "archive/Archivio.h"
#include "bench/Dati.h"
#include "bench/Server.h"
#include "platform/Simulazione.h"
#include "stats/GraficiStatistiche.h"
#include "stats/Statistiche.h"
#include "storage/Deposito.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {
// From the press of the button to every chart drawn, on the archive of `cartella`.
void Misura(benchmark::State &state, const QString &cartella, double archivio)
{
    Simulazione sim(cartella);
    sim.oggi = QDate(2026, 12, 11);
    TfrmStatistiche w;
    // Waits in an event loop, as the program does, for the figures on screen.
    QEventLoop attesa;
    QObject::connect(&w, &TfrmStatistiche::Aggiornata, &attesa, &QEventLoop::quit);
    w.show();
    if (!w.Pronta())
        attesa.exec();
    double crescita = 0;
    for (auto _ : state) {
        AzzeraPicco();
        const double prima = PiccoMemoria();
        w.findChild<QPushButton *>(QStringLiteral("cmdAggiorna"))->click();
        if (!w.Pronta())
            attesa.exec();
        // Every chart drawn at its view's size, the hidden tabs' too.
        for (QChartView *v : w.findChildren<QChartView *>())
            benchmark::DoNotOptimize(GraficiStatistiche::Immagine(v->chart(), v->size()));
        crescita = std::max(crescita, PiccoMemoria() - prima);
    }
    state.counters["picco_MB"] = PiccoMemoria() / (1024.0 * 1024.0);
    state.counters["picco_aggiunto_MB"] = crescita / (1024.0 * 1024.0);
    state.counters["picco_su_archivio"] = PiccoMemoria() / archivio;
}
} // namespace

static void BM_Statistiche(benchmark::State &state)
{
    const QString cartella = CartellaConArchivio(static_cast<int>(state.range(0)));
    Misura(state, cartella, double(QFileInfo(TArchivio::Percorso(cartella)).size()));
}
BENCHMARK(BM_Statistiche)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

static void BM_GrepC(benchmark::State &state)
{
    const QString archivio =
        TArchivio::Percorso(CartellaConArchivio(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        QProcess grep;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        grep.setProcessEnvironment(env);
        grep.start(QStringLiteral("grep"),
                   {QStringLiteral("-c"), QStringLiteral("Socio"), archivio});
        grep.waitForFinished(-1);
        benchmark::DoNotOptimize(grep.readAllStandardOutput());
    }
}
BENCHMARK(BM_GrepC)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The counting alone, on the calling thread: what the worker does behind the button.
static void BM_StatisticheConteggio(benchmark::State &state)
{
    const QString cartella = CartellaConArchivio(static_cast<int>(state.range(0)));
    TFiltroStatistiche f;
    f.oggi = QDate(2026, 12, 11);
    for (auto _ : state) {
        const std::unique_ptr<TDeposito> d = ApriDeposito(cartella);
        benchmark::DoNotOptimize(Statistiche::Calcola(*d, f));
    }
}
BENCHMARK(BM_StatisticheConteggio)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same on the server: the counts grouped there (the archive file's size it stands for
// is the folder's, 2,764 bytes a member).
static void BM_ServerStatistiche(benchmark::State &state)
{
    if (!ServerBench::Disponibile()) {
        state.SkipWithError("nessun server PostgreSQL di prova (scripts/pg_prova.sh)");
        return;
    }
    const int schede = static_cast<int>(state.range(0));
    ServerBench::Collega(ServerBench::ArchivioDi(schede));
    Misura(state, ServerBench::CartellaServer(), double(schede) * DimensioneScheda);
    ConnessioneServer::Dimentica();
}
BENCHMARK(BM_ServerStatistiche)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
