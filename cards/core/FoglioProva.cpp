#include "cards/core/FoglioProva.h"

#include "cards/core/ModelloTessera.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

constexpr double Spessore = 1.0; // line width, units
// The box of a ruler's number, and its least distance from the card's edge, mm.
constexpr double AltezzaNumero = 3.0;
constexpr double LarghezzaNumero = 6.0;
constexpr double Distacco = 0.5;

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
            if (cinque) {
                // Beside its tick, but never across the card's top edge: the last number
                // sits just above it.
                const double alto =
                    std::min(mm - AltezzaNumero / 2, a.y() - Distacco - AltezzaNumero);
                Scritta(p, QStringLiteral("txtNumeroAlto"),
                        QRectF(xAlto + 3.2, alto, 8, AltezzaNumero), 6.0, haLeft)
                    .SetText(QString::number(mm));
            }
        }
    }
    // From the left edge to the card, across its middle.
    const double yPrimo = a.y() + h / 2;
    if (a.x() > 0) {
        Orizzontale(p, QStringLiteral("shpRighelloSinistro"), 0, yPrimo, a.x());
        for (int mm = 1; mm <= int(std::floor(a.x())); ++mm) {
            const bool cinque = mm % 5 == 0;
            Verticale(p, QStringLiteral("shpTaccaSinistro"), mm, yPrimo, cinque ? 3.0 : 1.5);
            if (cinque) {
                // Centred under its tick, but never across the card's left edge: the last
                // number ends just before it.
                const double destra = std::min(mm + LarghezzaNumero / 2, a.x() - Distacco);
                Scritta(
                    p, QStringLiteral("txtNumeroSinistro"),
                    QRectF(destra - LarghezzaNumero, yPrimo + 3.2, LarghezzaNumero, AltezzaNumero),
                    6.0, destra < mm + LarghezzaNumero / 2 ? haRight : haCenter)
                    .SetText(QString::number(mm));
            }
        }
    }
    Scritta(p, QStringLiteral("txtProva"), QRectF(a.x(), a.y() + h + 8, 150, 5), 8.0, haLeft)
        .SetText(QStringLiteral("Foglio di prova - margine superiore %1 mm, margine sinistro %2 "
                                "mm, %3")
                     .arg(Mm(superioreMm), Mm(sinistroMm),
                          orientamento == poPortrait ? QStringLiteral("verticale")
                                                     : QStringLiteral("orizzontale")));
    // How to use the sheet, under the card and away from the rulers and crosses.
    TMemoView &istruzioni = Scritta(p, QStringLiteral("txtIstruzioni"),
                                    QRectF(10, a.y() + h + 16, 190, 30), 8.0, haLeft);
    istruzioni.VAlign = vaTop;
    istruzioni.Memo = IstruzioniProva();
    return r;
}

QStringList IstruzioniProva()
{
    return {
        QStringLiteral("Come usare il foglio di prova:"),
        QStringLiteral("1. Stampare il foglio su carta comune, con la stampante e l'orientamento "
                       "scelti per le tessere."),
        QStringLiteral("2. Sovrapporre il foglio al cartoncino delle tessere, bordi della carta "
                       "allineati, e guardarli in controluce."),
        QStringLiteral("3. Sui righelli leggere di quanti millimetri il rettangolo stampato si "
                       "discosta dalla tessera, in alto e a sinistra."),
        QStringLiteral("4. Nella finestra Stampa tesserino correggere di tanto il margine "
                       "superiore e il margine sinistro:"),
        QStringLiteral("    + sposta la stampa in basso o a destra, - in alto o a sinistra. "
                       "Poi stampare un nuovo foglio di prova."),
    };
}
