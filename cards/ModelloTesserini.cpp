#include "cards/ModelloTesserini.h"

#include "archive/Testo.h"
#include "cards/RetroTessera.h"

QString SuffissoTessera(int indice)
{
    return QStringLiteral("_") + QLatin1Char(PostiTesserini.at(size_t(indice)).lettera);
}

std::unique_ptr<TReport> CreaTesserini()
{
    auto r = NuovoModelloCarte(QStringLiteral("Tesserini"));
    TReportPage &pagina = r->Pages(1);
    pagina.SetPaperSize(9);
    pagina.SetOrientation(poLandscape);
    pagina.SetMargins(0, 0, 0, 0);
    for (size_t i = 0; i < PostiTesserini.size(); ++i)
        AggiungiTessera(pagina, PostiTesserini[i].sinistraMm, PostiTesserini[i].altoMm,
                        VarianteTessera::Foglio, SuffissoTessera(int(i)),
                        QStringLiteral("shpTessera"));
    return r;
}

void RiempiTesserini(TReport &report, const std::array<TDatiTessera, 9> &slot)
{
    auto nome = [](const char *base, size_t i) {
        return QString::fromLatin1(base) + SuffissoTessera(int(i));
    };
    for (size_t i = 0; i < slot.size(); ++i)
        report.Picture(nome("imgLogo", i)).SetPicture(slot[i].Logo);
    for (size_t i = 0; i < slot.size(); ++i)
        report.Picture(nome("imgFoto", i)).SetPicture(slot[i].Foto);

    // The texts, object by object across the nine cards.
    const std::pair<const char *, QString TDatiTessera::*> testi[] = {
        {"txtAssociazione", &TDatiTessera::Associazione},
        {"txtSottotitolo01", &TDatiTessera::Sottotitolo01},
        {"txtSottotitolo02", &TDatiTessera::Sottotitolo02},
        {"txtAnnotazioni", &TDatiTessera::Annotazioni},
        {"txtTesserato", &TDatiTessera::Tesserato},
        {"txtCarica", &TDatiTessera::Carica},
        {"txtNumTessera", &TDatiTessera::NumTessera},
        {"txtDataRil", &TDatiTessera::DataRil},
        {"txtDataScade", &TDatiTessera::DataScade},
    };
    for (const auto &[base, campo] : testi)
        for (size_t i = 0; i < slot.size(); ++i)
            report.Memo(nome(base, i)).SetText(Testo::Trim32(slot[i].*campo));
    for (size_t i = 0; i < slot.size(); ++i)
        RiempiCodiceQR(report, slot[i], SuffissoTessera(int(i)));

    // The backs are the organization's choice, the same in every slot.
    if (!slot[0].Retro) {
        RetroTessera::TogliPaginaRetro(report);
        return;
    }
    TReportPage &retro = RetroTessera::PaginaRetro(report);
    for (size_t i = 0; i < slot.size(); ++i) {
        const QPointF angolo = AngoloRetro(PostiTesserini[i], retro.PaperWidth);
        RetroTessera::Aggiungi(retro, angolo.x(), angolo.y(), SuffissoTessera(int(i)));
        RetroTessera::Riempi(report, slot[i], SuffissoTessera(int(i)));
    }
}

QPointF AngoloRetro(const TPostoTessera &posto, double larghezzaFoglioMm)
{
    return QPointF(larghezzaFoglioMm - posto.sinistraMm - LarghezzaTesseraMm, posto.altoMm);
}
