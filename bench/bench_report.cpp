// A summary list of 10,000 record lines: composing the pages and writing them to PDF.
#include "bench/Dati.h"
#include "report/Report.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The summary-list template: title, one splitting band of memo lines, footer.
std::unique_ptr<TReport> ListaRiepilogo(int righe) {
    auto r = std::make_unique<TReport>(QStringLiteral("Riepilogo dati"));
    TReportPage &p = r->Pages(1);
    p.SetOrientation(poLandscape);
    p.SetMargins(10, 10, 10, 10);
    auto &t =
        p.AddBand<TReportTitle>(QStringLiteral("ReportTitle"), 30.23624)
            .Add<TMemoView>(QStringLiteral("txtTitolo"), 7.55906, 3.77953, 1031.81169, 18.89765);
    t.Color = Colori::SlateGray;
    t.Font = {QStringLiteral("Verdana"), 9, fsBold, Colori::White};
    t.HAlign = haCenter;
    t.SetText(QStringLiteral("Riepilogo anagrafica tesserati"));
    auto &dati = p.AddBand<TMasterData>(QStringLiteral("MasterData"), 105.82684);
    dati.AllowSplit = true;
    auto &m =
        dati.Add<TMemoView>(QStringLiteral("txtRiepilogo"), 11.33859, 0, 1031.81169, 102.04731);
    m.Font = {QStringLiteral("Courier New"), 8, 0, Colori::Black};
    m.WordWrap = false;
    auto &f =
        p.AddBand<TFooter>(QStringLiteral("Footer"), 30.23624)
            .Add<TMemoView>(QStringLiteral("txtPagina"), 11.33859, 7.55906, 1028.03216, 18.89765);
    f.Color = Colori::SlateGray;
    f.Font = {QStringLiteral("Verdana"), 8, fsBold, Colori::White};
    f.HAlign = haCenter;
    f.SetText(QStringLiteral("Stampa eseguita in data [DATE]"));

    for (int i = 0; i < righe; ++i) {
        const TScheda s = SchedaSintetica(i);
        m.Add(QStringLiteral("%1 %2 %3 %4 %5 %6")
                  .arg(i + 1, 6)
                  .arg(s.Leggi(Campo::Tesserato).left(30), -30)
                  .arg(s.Leggi(Campo::Carica).left(20), -20)
                  .arg(s.Leggi(Campo::NumTessera).left(10), -10)
                  .arg(s.Leggi(Campo::DataRil), -10)
                  .arg(s.Leggi(Campo::DataScade)));
    }
    m.Height = righe * 12.822;
    dati.Height = m.Height + 10;
    return r;
}

void BM_ListaPrepara(benchmark::State &state) {
    auto r = ListaRiepilogo(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(r->Componi(QDate(2025, 6, 15)));
    state.counters["pagine"] = r->PreparedCount();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListaPrepara)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ListaPreparaEPdf(benchmark::State &state) {
    auto r = ListaRiepilogo(int(state.range(0)));
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
