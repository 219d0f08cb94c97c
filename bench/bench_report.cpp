// A summary list of 10,000 record lines: composing the pages and writing them to PDF.
#include "bench/Dati.h"
#include "lists/Riepilogo.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The summary list as the program prints it, filled with record lines.
std::unique_ptr<TRiepilogo> ListaRiepilogo(int righe)
{
    QStringList linee;
    linee.reserve(righe);
    for (int i = 0; i < righe; ++i) {
        const TScheda s = SchedaSintetica(i);
        linee << QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(i + 1, 6)
                     .arg(s.Leggi(Campo::Tesserato).left(30), -30)
                     .arg(s.Leggi(Campo::Carica).left(20), -20)
                     .arg(s.Leggi(Campo::NumTessera).left(10), -10)
                     .arg(s.Leggi(Campo::DataRil), -10)
                     .arg(s.Leggi(Campo::DataScade));
    }
    auto r = std::make_unique<TRiepilogo>();
    r->Riempi(QStringLiteral("Riepilogo anagrafica tesserati"), linee);
    return r;
}

void BM_ListaPrepara(benchmark::State &state)
{
    auto lista = ListaRiepilogo(int(state.range(0)));
    TReport *r = &lista->Report();
    for (auto _ : state)
        benchmark::DoNotOptimize(r->Componi(QDate(2025, 6, 15)));
    state.counters["pagine"] = r->PreparedCount();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListaPrepara)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ListaPreparaEPdf(benchmark::State &state)
{
    auto lista = ListaRiepilogo(int(state.range(0)));
    TReport *r = &lista->Report();
    QTemporaryDir dir;
    const QString pdf = QDir(dir.path()).filePath(QStringLiteral("riepilogo.pdf"));
    for (auto _ : state) {
        r->Componi(QDate(2025, 6, 15));
        if (!r->EsportaPdf(pdf))
            state.SkipWithError("PDF not written");
    }
    state.counters["pagine"] = r->PreparedCount();
    state.counters["KiB"] = double(QFileInfo(pdf).size()) / 1024.0;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListaPreparaEPdf)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
