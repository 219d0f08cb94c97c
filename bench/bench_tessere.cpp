// The nine-card sheet from template to PDF: nine members with photos, filled, composed
// and written as one landscape A4 page.
#include "Dati.h"
#include "archive/Archivio.h"
#include "cards/LottoTessere.h"
#include "cards/Segnaposto.h"
#include "cards/StampaLotto.h"
#include "cards/core/ModelloTesserini.h"
#include "platform/Simulazione.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QStringList>
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

// Nine 4000 x 3000 camera photos as JPEG files, each with its own colours and detail.
static QStringList FotoGrandi(const QTemporaryDir &dir)
{
    QStringList percorsi;
    for (int i = 0; i < 9; ++i) {
        QImage foto(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < foto.height(); ++y) {
            auto *riga = reinterpret_cast<QRgb *>(foto.scanLine(y));
            for (int x = 0; x < foto.width(); ++x)
                riga[x] = qRgb((x / 8 + i * 40) % 256, (y / 6 + x % 7 * 3) % 256,
                               ((x ^ y) / 16 + i * 11) % 256);
        }
        percorsi << dir.filePath(QStringLiteral("foto%1.jpg").arg(i));
        foto.save(percorsi.last(), "JPEG", 90);
    }
    return percorsi;
}

// The nine-card sheet with nine 12-megapixel photos, written as PDF. Argument 0: each
// photo is read and put on the sheet in turn; 1: the nine photos are all held at once,
// as nine slots holding them at full size would. Counters: peak resident memory of the
// whole process and the PDF's size.
static void BM_TesseriniFoto12MP(benchmark::State &state)
{
    QTemporaryDir dir;
    const QStringList foto = FotoGrandi(dir);
    const QString pdf = dir.filePath(QStringLiteral("tesserini.pdf"));
    auto dati = FoglioDiProva(QSize(4, 3));
    double picco = 0;
    qint64 dimensione = 0;
    for (auto _ : state) {
        AzzeraPicco();
        auto r = CreaTesserini();
        if (state.range(0) == 1) {
            for (int i = 0; i < 9; ++i)
                dati[size_t(i)].Foto = QImage(foto[i]);
            RiempiTesserini(*r, dati);
        } else {
            for (auto &d : dati)
                d.Foto = QImage();
            RiempiTesserini(*r, dati);
            for (int i = 0; i < 9; ++i)
                r->Picture(QStringLiteral("imgFoto") + SuffissoTessera(i))
                    .SetPicture(QImage(foto[i]));
        }
        if (!r->Componi(QDate(2025, 6, 15)) || !r->EsportaPdf(pdf))
            state.SkipWithError("the sheet could not be written");
        picco = std::max(picco, PiccoMemoria());
        for (auto &d : dati)
            d.Foto = QImage();
        dimensione = QFileInfo(pdf).size();
    }
    state.counters["picco_MB"] = picco / 1e6;
    state.counters["pdf_MB"] = double(dimensione) / 1e6;
}
BENCHMARK(BM_TesseriniFoto12MP)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
// The cards of n members, nine to a sheet, composed and sent page by page to a PDF
// through the print seam, each member with a 1200 x 1600 camera photo on disk. Peak
// memory of the process while printing, beside one sheet (n = 9).
static void BM_LottoSuPdf(benchmark::State &state)
{
    const int n = int(state.range(0));
    const QString cartella = CartellaConArchivio(n);
    {
        QImage foto(1200, 1600, QImage::Format_RGB32);
        foto.fill(QColor(0xC8, 0xB4, 0x9A));
        QPainter p(&foto);
        p.setBrush(QColor(0x1B, 0x2F, 0x5E));
        p.drawEllipse(QRect(400, 320, 400, 530));
        p.end();
        foto.save(PercorsoFoto(cartella, 1), "JPG", 90);
        for (int i = 2; i <= n; ++i)
            QFile::copy(PercorsoFoto(cartella, 1), PercorsoFoto(cartella, i));
    }
    QList<int> posizioni;
    for (int i = 1; i <= n; ++i)
        posizioni.append(i);
    TDatiTessera ente;
    ente.Logo = Segnaposto::Logo(Segnaposto::LogoGrande);
    ente.Foto = Segnaposto::Ritratto(Segnaposto::RitrattoGrande);
    ente.Associazione = QStringLiteral("Circolo Culturale Aurora");
    const QString pdf = QDir(cartella).filePath(QStringLiteral("lotto.pdf"));
    double picco = 0, pagine = 0;
    for (auto _ : state) {
        AzzeraPicco();
        Simulazione sim(cartella);
        sim.stampaSuPdf = pdf;
        auto lotto = TLottoTessere::DaArchivio(cartella, posizioni, ente);
        lotto.ImpostaFoglio(1);
        pagine = lotto.Pagine();
        if (!StampaLotto::Stampa(lotto, nullptr).Stampato())
            state.SkipWithError("the cards could not be printed");
        picco = std::max(picco, PiccoMemoria());
    }
    state.counters["pagine"] = pagine;
    state.counters["picco_MB"] = picco / 1e6;
    state.counters["pdf_MB"] = double(QFileInfo(pdf).size()) / 1e6;
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LottoSuPdf)->Arg(9)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);
