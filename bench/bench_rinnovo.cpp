// The renewal season in one go: every member of an archive renewed with its payment in the
// fee register (Quote.sqlite), both or neither for each, in chunks. Beside it, two floors: the
// same number of plain record saves, each on disk before the next, as the archive screen
// saves a record; and the same record writes in chunks, without the register. `crescita_MB` is how
// far the peak resident memory rose above what the process held before the run: it should not grow
// with the number of members.
#include "archive/Archivio.h"
#include "bench/Dati.h"
#include "rinnovi/core/RegoleRinnovo.h"
#include "storage/DepositoFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A fresh copy of the synthetic archive of `n` members, with no register yet.
std::unique_ptr<QTemporaryDir> Copia(int n)
{
    auto dir = std::make_unique<QTemporaryDir>();
    QFile::copy(TArchivio::Percorso(CartellaConArchivio(n)), TArchivio::Percorso(dir->path()));
    return dir;
}

} // namespace

static void BM_Rinnovo(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<int> posizioni(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        posizioni[static_cast<size_t>(i)] = i + 1;
    TDatiRinnovo dati;
    dati.oggi = QDate(2026, 12, 10);
    dati.dataPagamento = dati.oggi;
    dati.centesimi = 2500;
    dati.metodo = QStringLiteral("Contanti");
    dati.causale = CausaleProposta(2027);
    dati.inseritoDa = QStringLiteral("segreteria");
    double crescita = 0;
    qint64 rinnovati = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto dir = Copia(n);
        AzzeraPicco();
        const double prima = PiccoMemoria();
        state.ResumeTiming();
        {
            TDepositoFile deposito(dir->path());
            qint64 fatti = 0;
            const TEsitoRinnovi esito =
                RinnovaTutti(deposito, posizioni, dati, [&](const TPagamento &) { ++fatti; });
            // Cancelled cards of the synthetic archive are left out, as they must be.
            rinnovati = esito.rinnovati;
            if (fatti != esito.rinnovati || esito.rinnovati + esito.nonRinnovati.size() != n)
                state.SkipWithError("renewals lost");
        }
        state.PauseTiming();
        crescita = std::max(crescita, PiccoMemoria() - prima);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["rinnovati"] = double(rinnovati);
    state.counters["crescita_MB"] = crescita / 1e6;
}
BENCHMARK(BM_Rinnovo)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: n plain saves of a record, each one synced, as the archive screen does.
static void BM_RinnovoPavimento(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const auto dir = Copia(n);
        state.ResumeTiming();
        TDepositoFile deposito(dir->path());
        for (int p = 1; p <= n; ++p) {
            TScheda s = deposito.LeggiScheda(p);
            s.Scrivi(Campo::DataScade, QStringLiteral("10/12/2027"));
            deposito.ScriviScheda(p, s);
        }
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RinnovoPavimento)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The lower floor: the same records written in chunks of 500, one sync a chunk, without
// the register: what the renewal's own record writes cost.
static void BM_RinnovoPavimentoInBlocchi(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const auto dir = Copia(n);
        state.ResumeTiming();
        TArchivio archivio(dir->path());
        std::vector<std::pair<int, TScheda>> blocco;
        for (int p = 1; p <= n; ++p) {
            TScheda s = archivio.LeggiScheda(p);
            s.Scrivi(Campo::DataScade, QStringLiteral("10/12/2027"));
            blocco.emplace_back(p, s);
            if (blocco.size() == 500 || p == n) {
                archivio.ScriviSchede(blocco);
                blocco.clear();
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RinnovoPavimentoInBlocchi)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
