// The nine-card sheet from template to PDF: nine members with photos, filled, composed
// and written as one landscape A4 page.
#include "cards/ModelloTesserini.h"
#include "cards/Segnaposto.h"

#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

static std::array<TDatiTessera, 9> FoglioDiProva(QSize lato, bool qrERetro = false)
{
    static const char *const nomi[] = {"ROSSI MARIO", "BIANCHI ANNA",  "VERDI LUCA",
                                       "NERI SARA",   "GALLI PIERO",   "CONTI ELENA",
                                       "RICCI PAOLO", "MARINO GIULIA", "GRECO FABIO"};
    std::array<TDatiTessera, 9> d;
    const QImage logo = Segnaposto::Logo(Segnaposto::LogoGrande);
    for (int i = 0; i < 9; ++i) {
        // A photo as a camera gives it: its own colours in every slot.
        QImage foto(lato, QImage::Format_RGB32);
        foto.fill(QColor::fromHsv(i * 40, 120, 230));
        QPainter p(&foto);
        p.setBrush(QColor(0x1B, 0x2F, 0x5E));
        p.drawEllipse(
            QRect(lato.width() / 3, lato.height() / 5, lato.width() / 3, lato.height() / 3));
        p.end();
        TDatiTessera &t = d[size_t(i)];
        t.Logo = logo;
        t.Foto = foto;
        t.Associazione = QStringLiteral("Circolo Culturale Aurora");
        t.Sottotitolo01 = QStringLiteral("Via Roma 12, 40100 Bologna");
        t.Sottotitolo02 = QStringLiteral("Tel. 051 123456 - info@aurora.it");
        t.Annotazioni = QStringLiteral("Tessera valida per l'anno sociale 2025");
        t.Tesserato = QString::fromLatin1(nomi[i]);
        t.Carica = QStringLiteral("Socio ordinario");
        t.NumTessera = QStringLiteral("2025/%1").arg(i + 1, 4, 10, QLatin1Char('0'));
        t.DataRil = QStringLiteral("01/01/2025");
        t.DataScade = QStringLiteral("31/12/2025");
        t.Posizione = QString::number(i + 1);
        t.CodiceQR = qrERetro;
        t.TestoQR = QStringLiteral("https://esempio.it/verifica?n={tessera}&s={tesserato}");
        t.Retro = qrERetro;
        t.TestoRetro = QStringLiteral("La tessera \u00e8 personale e non cedibile.\n"
                                      "Va mostrata a ogni richiesta del personale.\n"
                                      "In caso di smarrimento avvisare la segreteria.\n\n"
                                      "Firma del titolare ______________________");
    }
    return d;
}

// Arguments: the photos' width in pixels (height 4:3 portrait); 1 for QR codes and backs.
static void BM_TesseriniSuPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("tesserini.pdf"));
    const int w = int(state.range(0));
    const auto dati = FoglioDiProva(QSize(w, w * 4 / 3), state.range(1) != 0);
    for (auto _ : state) {
        auto r = CreaTesserini();
        RiempiTesserini(*r, dati);
        if (!r->Componi(QDate(2025, 6, 15)) || !r->EsportaPdf(pdf))
            state.SkipWithError("the sheet could not be written");
    }
}
// The sheet without QR codes and backs is the floor of the sheet with them (at most 1.5x).
BENCHMARK(BM_TesseriniSuPdf)
    ->ArgsProduct({{480, 1200}, {0, 1}})
    ->ArgNames({"foto", "qr_retro"})
    ->Unit(benchmark::kMillisecond);
