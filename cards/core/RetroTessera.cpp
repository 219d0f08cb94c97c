#include "cards/core/RetroTessera.h"

#include "archive/Testo.h"

#include <QRegularExpression>

namespace RetroTessera {

QStringList Righe(const QString &testo)
{
    static const QRegularExpression aCapo(QStringLiteral("\r\n|\n|\r"));
    QStringList righe = testo.split(aCapo);
    while (!righe.isEmpty() && Testo::Trim32(righe.constLast()).isEmpty())
        righe.removeLast();
    if (righe.size() > RigheMassime)
        righe.erase(righe.begin() + RigheMassime, righe.end());
    for (QString &r : righe)
        r = Testo::Trim32(r);
    return righe;
}

void Aggiungi(TReportPage &pagina, double sinistraMm, double altoMm, const QString &suffisso)
{
    auto rett = [&](double l, double t, double w, double h) {
        return QRectF(Unita::DaMm(sinistraMm + l), Unita::DaMm(altoMm + t), Unita::DaMm(w),
                      Unita::DaMm(h));
    };
    auto forma = [&](const char *nome, const QRectF &r, const QColor &riempi, const QColor &bordo) {
        auto &s = pagina.Add<TShapeView>(QString::fromLatin1(nome) + suffisso, r.left(), r.top(),
                                         r.width(), r.height());
        s.Color = riempi;
        s.Frame.Color = bordo;
    };
    auto memo = [&](const char *nome, const QRectF &r, double punti, int stile,
                    const QColor &colore, THAlign h, TVAlign v) {
        auto &m = pagina.Add<TMemoView>(QString::fromLatin1(nome) + suffisso, r.left(), r.top(),
                                        r.width(), r.height());
        m.Font.Name = QStringLiteral("Arial");
        m.Font.Size = punti;
        m.Font.Style = stile;
        m.Font.Color = colore;
        m.Color = Colori::None;
        m.HAlign = h;
        m.VAlign = v;
        m.WordWrap = false;
        m.AllowExpressions = false;
    };
    forma("shpRetro", rett(0, 0, LarghezzaTesseraMm, AltezzaTesseraMm), Colori::White,
          Colori::Black);
    forma("shpHeaderRetro", rett(1, 1, 83.8, 8), Colori::Navy, Colori::Navy);
    forma("shpFooterRetro", rett(1, 47, 83.8, 6), Colori::Navy, Colori::Navy);
    memo("txtAssociazioneRetro", rett(2, 2, 82, 6), 8.0, fsBold, Colori::White, haCenter, vaCenter);
    const QRectF logo = rett(2, 12, 22, 21);
    auto &img = pagina.Add<TPictureView>(QStringLiteral("imgLogoRetro") + suffisso, logo.left(),
                                         logo.top(), logo.width(), logo.height());
    img.Stretched = true;
    img.KeepAspectRatio = true;
    img.Center = true;
    img.HighQuality = false;
    memo("txtRetro", rett(26, 10.5, 59, 36), 7.0, 0, Colori::Black, haLeft, vaTop);
}

void Riempi(TReport &report, const TDatiTessera &d, const TPictureView &logoFronte,
            const QString &suffisso)
{
    report.Memo(QStringLiteral("txtAssociazioneRetro") + suffisso)
        .SetText(Testo::Trim32(d.Associazione));
    report.Picture(QStringLiteral("imgLogoRetro") + suffisso).Picture = logoFronte.Picture;
    TMemoView &testo = report.Memo(QStringLiteral("txtRetro") + suffisso);
    testo.Memo = Righe(d.TestoRetro);
}

TReportPage &PaginaRetro(TReport &report)
{
    const TReportPage &fronte = report.Pages(1);
    if (report.PagesCount() < 3)
        report.AddPage(QStringLiteral("Retro"));
    TReportPage &retro = report.Pages(2);
    retro.Objects.clear();
    retro.Bands.clear();
    retro.SetOrientation(fronte.Orientation());
    retro.PaperSize = fronte.PaperSize;
    retro.PaperWidth = fronte.PaperWidth;
    retro.PaperHeight = fronte.PaperHeight;
    retro.SetMargins(fronte.LeftMargin, fronte.TopMargin, fronte.RightMargin, fronte.BottomMargin);
    return retro;
}

void TogliPaginaRetro(TReport &report)
{
    while (report.PagesCount() > 2)
        report.RimuoviPagina(report.PagesCount() - 1);
}

} // namespace RetroTessera
