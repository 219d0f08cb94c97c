#include "cards/FoglioProva.h"

#include "cards/ModelloTessera.h"

#include <QLocale>

#include <cmath>

namespace {

constexpr double Spessore = 1.0; // line width, units

// A horizontal line of the given length whose middle runs along y (mm).
void Orizzontale(TReportPage &p, const QString &nome, double xMm, double yMm, double lungoMm)
{
    auto &l = p.Add<TLineView>(nome, Unita::DaMm(xMm), Unita::DaMm(yMm) - Spessore / 2,
                               Unita::DaMm(lungoMm), Spessore);
    l.Frame.Typ = ftTop;
    l.Frame.Width = Spessore;
}

// A vertical line of the given length whose middle runs along x (mm).
void Verticale(TReportPage &p, const QString &nome, double xMm, double yMm, double lungoMm)
{
    auto &l = p.Add<TLineView>(nome, Unita::DaMm(xMm) - Spessore / 2, Unita::DaMm(yMm), Spessore,
                               Unita::DaMm(lungoMm));
    l.Frame.Typ = ftLeft;
    l.Frame.Width = Spessore;
}

TMemoView &Scritta(TReportPage &p, const QString &nome, const QRectF &mm, double punti,
                   THAlign allinea)
{
    auto &m = p.Add<TMemoView>(nome, Unita::DaMm(mm.left()), Unita::DaMm(mm.top()),
                               Unita::DaMm(mm.width()), Unita::DaMm(mm.height()));
    m.Font.Name = QStringLiteral("Arial");
    m.Font.Size = punti;
    m.HAlign = allinea;
    m.VAlign = vaCenter;
    m.WordWrap = false;
    m.AllowExpressions = false;
    return m;
}

QString Mm(double v)
{
    return QLocale(QLocale::Italian, QLocale::Italy).toString(v, 'g', 6);
}

} // namespace

QPointF AngoloProva(double superioreMm, double sinistroMm)
{
    return QPointF(10.0 + sinistroMm, 10.0 + superioreMm);
}

std::unique_ptr<TReport> CreaFoglioProva(TPrinterOrientation orientamento, double superioreMm,
                                         double sinistroMm)
{
    auto r = NuovoModelloCarte(QStringLiteral("Foglio di prova"));
    TReportPage &p = r->Pages(1);
    p.SetPaperSize(9);
    p.SetOrientation(orientamento);
    p.SetMargins(0, 0, 0, 0);
    const QPointF a = AngoloProva(superioreMm, sinistroMm);
    const double w = LarghezzaTesseraMm, h = AltezzaTesseraMm;

    auto &contorno = p.Add<TShapeView>(QStringLiteral("shpProvaTessera"), Unita::DaMm(a.x()),
                                       Unita::DaMm(a.y()), Unita::DaMm(w), Unita::DaMm(h));
    contorno.Color = Colori::None;
    contorno.Frame.Color = Colori::Black;
    contorno.Frame.Width = Spessore;

    // A cross of 10 mm on each corner.
    for (const QPointF &c : {a, a + QPointF(w, 0), a + QPointF(0, h), a + QPointF(w, h)}) {
        Orizzontale(p, QStringLiteral("shpCroce"), c.x() - 5, c.y(), 10);
        Verticale(p, QStringLiteral("shpCroce"), c.x(), c.y() - 5, 10);
    }

    // From the top edge down to the card, a third of the way across it.
    const double xAlto = a.x() + w / 3;
    if (a.y() > 0) {
        Verticale(p, QStringLiteral("shpRighelloAlto"), xAlto, 0, a.y());
        for (int mm = 1; mm <= int(std::floor(a.y())); ++mm) {
            const bool cinque = mm % 5 == 0;
            Orizzontale(p, QStringLiteral("shpTaccaAlto"), xAlto, mm, cinque ? 3.0 : 1.5);
            if (cinque)
                Scritta(p, QStringLiteral("txtNumeroAlto"), QRectF(xAlto + 3.2, mm - 2, 10, 4), 6.0,
                        haLeft)
                    .SetText(QString::number(mm));
        }
    }
    // From the left edge to the card, across its middle.
    const double yPrimo = a.y() + h / 2;
    if (a.x() > 0) {
        Orizzontale(p, QStringLiteral("shpRighelloSinistro"), 0, yPrimo, a.x());
        for (int mm = 1; mm <= int(std::floor(a.x())); ++mm) {
            const bool cinque = mm % 5 == 0;
            Verticale(p, QStringLiteral("shpTaccaSinistro"), mm, yPrimo, cinque ? 3.0 : 1.5);
            if (cinque)
                Scritta(p, QStringLiteral("txtNumeroSinistro"), QRectF(mm - 5, yPrimo + 3.2, 10, 4),
                        6.0, haCenter)
                    .SetText(QString::number(mm));
        }
    }
    Scritta(p, QStringLiteral("txtProva"), QRectF(a.x(), a.y() + h + 8, 150, 5), 8.0, haLeft)
        .SetText(QStringLiteral("Foglio di prova - margine superiore %1 mm, margine sinistro %2 "
                                "mm, %3")
                     .arg(Mm(superioreMm), Mm(sinistroMm),
                          orientamento == poPortrait ? QStringLiteral("verticale")
                                                     : QStringLiteral("orizzontale")));
    return r;
}
