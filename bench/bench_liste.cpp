// Search and renewal list end to end through their screens on a 100,000-record archive,
// against grep -ci over the same file (BM_GrepCi) measured in the same run.
#include "bench/Dati.h"
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "platform/Simulazione.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {
constexpr int Schede = 100000;

// Types the filter (empty for none), presses Cerca and returns the lines listed.
int Cerca(const char *filtro, const QString &testo)
{
    TfrmTrovaAnagrafica w;
    w.show();
    if (filtro)
        w.findChild<QLineEdit *>(QLatin1String(filtro))->setText(testo);
    w.findChild<QPushButton *>(QStringLiteral("btnCerca"))->click();
    return w.findChild<QListView *>(QStringLiteral("lstRecords"))->model()->rowCount();
}
} // namespace

static void BM_RicercaTutte(benchmark::State &state)
{
    Simulazione sim(CartellaConArchivio(Schede));
    int righe = 0;
    double picco = 0;
    for (auto _ : state) {
        AzzeraPicco();
        benchmark::DoNotOptimize(righe = Cerca(nullptr, QString()));
        picco = std::max(picco, PiccoMemoria());
    }
    state.counters["righe"] = righe;
    // Peak resident memory of the whole process with the full list on screen.
    state.counters["picco_MB"] = picco / (1024.0 * 1024.0);
}
BENCHMARK(BM_RicercaTutte)->Unit(benchmark::kMillisecond)->MinTime(2.0);

static void BM_RicercaUnFiltro(benchmark::State &state)
{
    Simulazione sim(CartellaConArchivio(Schede));
    int righe = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(righe = Cerca("txtNumTessera", QStringLiteral("t01234")));
    state.counters["righe"] = righe;
}
BENCHMARK(BM_RicercaUnFiltro)->Unit(benchmark::kMillisecond)->MinTime(2.0);

static void BM_ElencoRinnovo(benchmark::State &state)
{
    Simulazione sim(CartellaConArchivio(Schede));
    sim.oggi = QDate(2027, 1, 1); // a day by which part of the synthetic cards are due
    int righe = 0;
    for (auto _ : state) {
        TfrmSospesi w;
        w.show();
        benchmark::DoNotOptimize(
            righe = w.findChild<QListView *>(QStringLiteral("lstRecords"))->model()->rowCount());
    }
    state.counters["righe"] = righe;
}
BENCHMARK(BM_ElencoRinnovo)->Unit(benchmark::kMillisecond)->MinTime(2.0);
