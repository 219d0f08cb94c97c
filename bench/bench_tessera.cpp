// The single card from template to PDF: fill, compose and write one page.
#include "cards/Segnaposto.h"
#include "cards/core/ModelloTessera.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

static TDatiTessera CartaDiProva()
{
    TDatiTessera d;
    d.Logo = Segnaposto::Logo(Segnaposto::LogoGrande);
    QImage foto(480, 640, QImage::Format_RGB32);
    foto.fill(QColor(0x46, 0x82, 0xB4));
    d.Foto = foto;
    d.Associazione = QStringLiteral("Circolo Culturale Aurora");
    d.Sottotitolo01 = QStringLiteral("Via Roma 12, 40100 Bologna");
    d.Sottotitolo02 = QStringLiteral("Tel. 051 123456 - info@aurora.it");
    d.Annotazioni = QStringLiteral("Tessera valida per l'anno sociale 2025");
    d.Tesserato = QStringLiteral("ROSSI MARIO");
    d.Carica = QStringLiteral("Consigliere");
    d.NumTessera = QStringLiteral("2025/0042");
    d.DataRil = QStringLiteral("01/01/2025");
    d.DataScade = QStringLiteral("31/12/2025");
    return d;
}

static void BM_TesseraSuPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("tessera.pdf"));
    const TDatiTessera dati = CartaDiProva();
    for (auto _ : state) {
        auto r = CreaTesserino(VarianteTessera::Stampa);
        RiempiTessera(*r, dati);
        if (!r->Componi(QDate(2025, 6, 15)) || !r->EsportaPdf(pdf))
            state.SkipWithError("the card could not be written");
    }
}
BENCHMARK(BM_TesseraSuPdf)->Unit(benchmark::kMillisecond);
