#include "stats/GraficiStatistiche.h"

#include "archive/FileSicuro.h"
#include "widgets/Tavolozza.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QValueAxis>

namespace GraficiStatistiche {

using namespace Statistiche;

namespace {

QBarSet *Serie(const QString &nome, const QColor &colore, QObject *padre)
{
    auto *b = new QBarSet(nome, padre);
    b->setColor(colore);
    b->setBorderColor(colore.darker(130));
    b->setLabelColor(Qt::black);
    return b;
}

void Assi(QChart *c, QAbstractBarSeries *serie, const QStringList &categorie, bool orizzontale,
          double minimo, double massimo)
{
    auto *cat = new QBarCategoryAxis(c);
    cat->append(categorie);
    auto *val = new QValueAxis(c);
    val->setRange(minimo, massimo > minimo ? massimo : minimo + 1);
    val->setLabelFormat(QStringLiteral("%d"));
    c->addAxis(cat, orizzontale ? Qt::AlignLeft : Qt::AlignBottom);
    c->addAxis(val, orizzontale ? Qt::AlignBottom : Qt::AlignLeft);
    serie->attachAxis(cat);
    serie->attachAxis(val);
}

void Collega(QAbstractBarSeries *serie, const std::function<void(int, int)> &clic)
{
    const QList<QBarSet *> insiemi = serie->barSets();
    for (int i = 0; i < insiemi.size(); ++i)
        QObject::connect(insiemi[i], &QBarSet::clicked, serie,
                         [clic, i](int indice) { clic(i, indice); });
}

void Gruppi(QChart *c, const std::vector<TVoce> &voci, const std::function<void(int, int)> &clic)
{
    auto *serie = new QHorizontalBarSeries(c);
    auto *b = Serie(QStringLiteral("Soci"), QColor(0x1F, 0x4E, 0x8C), serie);
    QStringList nomi;
    double massimo = 0;
    // The largest on top.
    for (auto it = voci.rbegin(); it != voci.rend(); ++it) {
        nomi.append(it->nome.isEmpty() ? QStringLiteral("(nessuna)") : it->nome);
        b->append(it->quanti);
        massimo = std::max(massimo, double(it->quanti));
    }
    serie->append(b);
    serie->setLabelsVisible(true);
    c->addSeries(serie);
    Assi(c, serie, nomi, true, 0, massimo * 1.1);
    c->legend()->hide();
    Collega(serie, [clic, n = int(voci.size())](int s, int i) { clic(s, n - 1 - i); });
}

QStringList Mesi(const TSerieMesi &m)
{
    QStringList r;
    for (size_t i = 0; i < m.valori.size(); ++i)
        r.append(NomeMese(m.primo + int(i)));
    return r;
}

} // namespace

QChart *Crea(const TStatistiche &s, Grafico g, const std::function<void(int, int)> &clic)
{
    auto *c = new QChart;
    c->setTitle(TitoloGrafico(g));
    c->setAnimationOptions(QChart::NoAnimation);
    c->setBackgroundRoundness(0);
    switch (g) {
    case Grafico::Scadenze: {
        auto *serie = new QBarSeries(c);
        auto *b = Serie(QStringLiteral("Tessere in scadenza"), QColor(0x1F, 0x4E, 0x8C), serie);
        double massimo = 0;
        for (double v : s.scadenze.valori) {
            b->append(v);
            massimo = std::max(massimo, v);
        }
        serie->append(b);
        c->addSeries(serie);
        Assi(c, serie, Mesi(s.scadenze), false, 0, massimo * 1.1);
        c->legend()->hide();
        Collega(serie, clic);
        break;
    }
    case Grafico::Piramide: {
        // Males to the left (negative), females to the right.
        auto *serie = new QHorizontalStackedBarSeries(c);
        auto *m = Serie(QStringLiteral("Maschi"), QColor(0x1F, 0x4E, 0x8C), serie);
        auto *f = Serie(QStringLiteral("Femmine"), QColor(0xC0, 0x50, 0x70), serie);
        QStringList fasce;
        double massimo = 0;
        for (int i = 0; i < FasceEta; ++i) {
            m->append(-s.schede.maschi[size_t(i)]);
            f->append(s.schede.femmine[size_t(i)]);
            massimo = std::max(
                {massimo, double(s.schede.maschi[size_t(i)]), double(s.schede.femmine[size_t(i)])});
            fasce.append(NomeFascia(i));
        }
        serie->append(m);
        serie->append(f);
        c->addSeries(serie);
        Assi(c, serie, fasce, true, -massimo * 1.1, massimo * 1.1);
        c->setTitle(TitoloGrafico(g) +
                    QStringLiteral(" (et\u00E0 non nota: %1, sesso non noto: %2)")
                        .arg(s.schede.etaIgnota)
                        .arg(s.schede.sessoIgnoto));
        Collega(serie, clic);
        break;
    }
    case Grafico::Comuni:
        Gruppi(c, s.comuni, clic);
        break;
    case Grafico::Province:
        Gruppi(c, s.province, clic);
        break;
    case Grafico::Cariche:
        Gruppi(c, s.cariche, clic);
        break;
    case Grafico::Quote: {
        auto *serie = new QBarSeries(c);
        auto *ora = Serie(QStringLiteral("Quote"), QColor(0x1F, 0x4E, 0x8C), serie);
        auto *prima =
            Serie(QStringLiteral("Stesso mese, anno prima"), QColor(0xA0, 0xA8, 0xB8), serie);
        double massimo = 0;
        for (size_t i = 0; i < s.quotePerMese.valori.size(); ++i) {
            ora->append(s.quotePerMese.valori[i] / 100.0);
            prima->append(s.quoteAnnoPrima.valori[i] / 100.0);
            massimo = std::max(
                {massimo, s.quotePerMese.valori[i] / 100.0, s.quoteAnnoPrima.valori[i] / 100.0});
        }
        serie->append(ora);
        serie->append(prima);
        c->addSeries(serie);
        Assi(c, serie, Mesi(s.quotePerMese), false, 0, massimo * 1.1);
        break;
    }
    case Grafico::Rinnovi: {
        auto *serie = new QBarSeries(c);
        auto *b =
            Serie(QStringLiteral("Rinnovate entro 60 giorni (%)"), QColor(0x2E, 0x7D, 0x32), serie);
        for (double v : s.rinnoviInTempo.valori)
            b->append(qRound(v * 100.0));
        serie->append(b);
        c->addSeries(serie);
        Assi(c, serie, Mesi(s.rinnoviInTempo), false, 0, 100);
        break;
    }
    }
    return c;
}

namespace {

// Draws the chart laid out at `dimensione` into `destinazione` of the painter, in a scene
// of its own; the chart goes back to its view afterwards.
void Disegna(QChart *grafico, QPainter &p, const QRectF &destinazione, QSize dimensione)
{
    QGraphicsScene scena;
    QGraphicsScene *vecchia = grafico->scene();
    const QSizeF prima = grafico->size();
    if (vecchia)
        vecchia->removeItem(grafico);
    scena.addItem(grafico);
    grafico->resize(dimensione);
    p.setRenderHint(QPainter::Antialiasing);
    scena.render(&p, destinazione, QRectF(QPointF(0, 0), dimensione));
    scena.removeItem(grafico);
    if (vecchia) {
        vecchia->addItem(grafico);
        grafico->resize(prima);
    }
}

} // namespace

QImage Immagine(QChart *grafico, QSize dimensione)
{
    QImage img(dimensione, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    Disegna(grafico, p, QRectF(QPointF(0, 0), dimensione), dimensione);
    return img;
}

bool Salva(QChart *grafico, const QString &percorso)
{
    const QString tipo = QFileInfo(percorso).suffix().toLower();
    const QSize dimensione(1200, 700);
    QSaveFile file(percorso);
    if (!ApriInScrittura(file))
        return false;
    if (tipo == u"svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(dimensione);
        svg.setViewBox(QRect(QPoint(0, 0), dimensione));
        svg.setTitle(grafico->title());
        QPainter p(&svg);
        Disegna(grafico, p, QRectF(QPointF(0, 0), dimensione), dimensione);
    } else if (tipo == u"pdf") {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setTitle(grafico->title());
        QPainter p(&pdf);
        const QSizeF area = p.viewport().size();
        const QSizeF dentro = QSizeF(dimensione).scaled(area, Qt::KeepAspectRatio);
        Disegna(grafico, p, QRectF(QPointF(0, 0), dentro), dimensione);
    } else if (!Immagine(grafico, dimensione).save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return ConfermaFile(file);
}

} // namespace GraficiStatistiche
