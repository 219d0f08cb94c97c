#include "cards/core/ModelloTesserini.h"

#include "archive/Testo.h"
#include "cards/core/RetroTessera.h"

QString SuffissoTessera(int indice)
{
    return QStringLiteral("_") + QLatin1Char(PostiTesserini.at(size_t(indice)).lettera);
}

namespace {

// The sheet's cards, on a page emptied first; false for a place left blank.
void PosaTessere(TReportPage &pagina, const std::array<bool, 9> &stampata)
{
    pagina.Objects.clear();
    for (size_t i = 0; i < PostiTesserini.size(); ++i)
        if (stampata[i])
            AggiungiTessera(pagina, PostiTesserini[i].sinistraMm, PostiTesserini[i].altoMm,
                            VarianteTessera::Foglio, SuffissoTessera(int(i)),
                            QStringLiteral("shpTessera"));
}

} // namespace

std::unique_ptr<TReport> CreaTesserini()
{
    auto r = NuovoModelloCarte(QStringLiteral("Tesserini"));
    TReportPage &pagina = r->Pages(1);
    pagina.SetPaperSize(9);
    pagina.SetOrientation(poLandscape);
    pagina.SetMargins(0, 0, 0, 0);
    std::array<bool, 9> tutte;
    tutte.fill(true);
    PosaTessere(pagina, tutte);
    return r;
}

void RiempiTesserini(TReport &report, const std::array<TDatiTessera, 9> &slot,
                     const TImpostazioniStampa &imp)
{
    std::array<bool, 9> stampata;
    for (size_t i = 0; i < slot.size(); ++i)
        stampata[i] = !imp.SoloCompilate || HaSocio(slot[i]);
    TReportPage &fronte = report.Pages(1);
    fronte.TopMargin = imp.alto;
    fronte.LeftMargin = imp.sinistro;
    PosaTessere(fronte, stampata);
    std::vector<size_t> carte;
    for (size_t i = 0; i < slot.size(); ++i)
        if (stampata[i])
            carte.push_back(i);

    // Every card by the one card fill rule.
    for (size_t i : carte)
        RiempiTessera(report, slot[i], SuffissoTessera(int(i)), imp.Adatta);

    // The backs are the organization's choice, the same in every slot.
    if (!slot[0].Retro) {
        RetroTessera::TogliPaginaRetro(report);
        return;
    }
    TReportPage &retro = RetroTessera::PaginaRetro(report);
    for (size_t i : carte) {
        const QPointF angolo = AngoloRetro(PostiTesserini[i], retro.PaperWidth);
        RetroTessera::Aggiungi(retro, angolo.x(), angolo.y(), SuffissoTessera(int(i)));
        RetroTessera::Riempi(report, slot[i], LogoTessera(report, SuffissoTessera(int(i))),
                             SuffissoTessera(int(i)));
    }
}

QPointF AngoloRetro(const TPostoTessera &posto, double larghezzaFoglioMm)
{
    return QPointF(larghezzaFoglioMm - posto.sinistraMm - LarghezzaTesseraMm, posto.altoMm);
}
