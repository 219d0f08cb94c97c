// The door check on 1280 x 720 camera frames: the frames per second the screen's worker
// reads (QR decoding by ZXing-C++ plus the verdict), with a card in the frame (our own
// signed card, rendered at 300 dpi, 800 pixels wide, turned by 15 degrees) and with none.
// Rates are frames per second of wall-clock time. Floors on the same frame: ZXing's decoder alone,
// and ZBar's (libzbar) for comparison. ZBar first: its C++ wrapper names a class as a macro of the
// headers below does.
#include <zbar.h>

#include "cards/Segnaposto.h"
#include "cards/core/CodiceVerifica.h"
#include "cards/core/ModelloTessera.h"
#include "ingressi/core/LettoreQR.h"
#include "ingressi/core/Verifica.h"
#include "storage/DepositoFile.h"

#include <QPainter>
#include <QTemporaryDir>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <benchmark/benchmark.h>

namespace {

const QByteArray kChiave(CodiceVerifica::ByteChiave, 'k');

// A 1280 x 720 frame of a grey room; with `carta`, the signed card of 2025/0042 held in
// the middle, 800 pixels wide, turned by 15 degrees.
QImage Fotogramma(bool carta)
{
    QImage f(1280, 720, QImage::Format_RGB32);
    f.fill(QColor(150, 150, 140));
    if (!carta)
        return f;
    TDatiTessera d;
    d.Logo = Segnaposto::Logo(Segnaposto::LogoGrande);
    d.Foto = Segnaposto::Ritratto(Segnaposto::RitrattoGrande);
    d.Associazione = QStringLiteral("Circolo Culturale Aurora");
    d.Tesserato = QStringLiteral("ROSSI MARIO");
    d.NumTessera = QStringLiteral("2025/0042");
    d.DataRil = QStringLiteral("01/01/2025");
    d.DataScade = QStringLiteral("31/12/2025");
    d.Posizione = QStringLiteral("1");
    d.CodiceQR = true;
    d.ChiaveQR = kChiave;
    auto r = CreaTesserino(VarianteTessera::Stampa);
    RiempiTessera(*r, d);
    if (!r->Componi(QDate(2025, 6, 15)))
        return {};
    const QImage pagina = r->RenderImmagine(0, 300);
    const double px = 300 / 25.4;
    const QImage tessera = pagina.copy(QRectF(8 * px, 8 * px, 90 * px, 58 * px).toRect())
                               .scaledToWidth(800, Qt::SmoothTransformation);
    QPainter p(&f);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(640, 360);
    p.rotate(15);
    p.drawImage(QPointF(-tessera.width() / 2.0, -tessera.height() / 2.0), tessera);
    return f;
}

// What the screen's worker does with a frame, then the verdict on the window's thread.
void BM_IngressiFotogramma(benchmark::State &state)
{
    const QImage f = Fotogramma(state.range(0) != 0);
    QTemporaryDir dir;
    TDepositoFile deposito(dir.path());
    TScheda s;
    s.Scrivi(Campo::Tesserato, QStringLiteral("ROSSI MARIO"));
    s.Scrivi(Campo::NumTessera, QStringLiteral("2025/0042"));
    s.Scrivi(Campo::DataScade, QStringLiteral("31/12/2025"));
    s.Scrivi(Campo::Annullata, AnnullataNo);
    deposito.AccodaScheda(s);
    Verifica::TElenco elenco;
    elenco.Carica(deposito);
    for (auto _ : state) {
        const QStringList testi = LettoreQR::Leggi(f);
        for (const QString &t : testi)
            if (Verifica::Giudica(t, Verifica::Origine::Camera, elenco, kChiave, true,
                                  QDate(2025, 6, 15))
                    .esito != Verifica::Esito::Valida)
                state.SkipWithError("the card did not read as valid");
        if (testi.size() != state.range(0))
            state.SkipWithError("the frame did not read as expected");
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items/s = frames per second");
}
BENCHMARK(BM_IngressiFotogramma)
    ->ArgName("carta")
    ->Arg(1)
    ->Arg(0)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Floor: ZXing's QR decoder alone on the same grey frame.
void BM_IngressiSoloZXing(benchmark::State &state)
{
    const QImage g = Fotogramma(true).convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView vista(g.constBits(), g.width(), g.height(), ZXing::ImageFormat::Lum,
                                 int(g.bytesPerLine()));
    ZXing::DecodeHints h;
    h.setFormats(ZXing::BarcodeFormat::QRCode);
    for (auto _ : state)
        if (ZXing::ReadBarcodes(vista, h).size() != 1)
            state.SkipWithError("ZXing did not read the card");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IngressiSoloZXing)->UseRealTime()->Unit(benchmark::kMillisecond);

// Comparison: ZBar's scanner on the same grey frame.
void BM_IngressiSoloZBar(benchmark::State &state)
{
    const QImage g = Fotogramma(true).convertToFormat(QImage::Format_Grayscale8);
    QByteArray righe;
    for (int y = 0; y < g.height(); ++y)
        righe.append(reinterpret_cast<const char *>(g.constScanLine(y)), g.width());
    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    for (auto _ : state) {
        zbar::Image img(unsigned(g.width()), unsigned(g.height()), "Y800", righe.constData(),
                        unsigned(righe.size()));
        if (scanner.scan(img) != 1)
            state.SkipWithError("ZBar did not read the card");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IngressiSoloZBar)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
