#include "report/core/Pittore.h"

#include "archive/FileSicuro.h"

#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace Pittore {

namespace {

// A 96-dpi device: memo layout is measured here, whatever the output device, so that
// lines fall at the same places on screen, paper, PDF and images.
const QPaintDevice *Riferimento()
{
    static QImage *img = [] {
        auto *i = new QImage(1, 1, QImage::Format_RGB32);
        const int dpm = int(std::lround(96.0 / 0.0254));
        i->setDotsPerMeterX(dpm);
        i->setDotsPerMeterY(dpm);
        return i;
    }();
    return img;
}

double DpiDi(const QPainter &p)
{
    const QPaintDevice *d = p.device();
    return d && d->logicalDpiY() > 0 ? d->logicalDpiY() : 96.0;
}

// Device pixels per unit, across and down, under the painter's current transform.
double PixelX(const QPainter &p)
{
    const QTransform t = p.deviceTransform();
    const double s = std::hypot(t.m11(), t.m12());
    return s > 0 ? s : 1.0;
}
double PixelY(const QPainter &p)
{
    const QTransform t = p.deviceTransform();
    const double s = std::hypot(t.m21(), t.m22());
    return s > 0 ? s : 1.0;
}

// Sides of a rectangle drawn inside it as bands of the given width, never thinner than
// one device pixel: an aliased band thinner than a pixel may cover no pixel at all and
// vanish at small zooms.
void Bande(QPainter &p, const QRectF &r, int lati, double larghezza, const QColor &c)
{
    const double wo = std::max(larghezza, 1.0 / PixelY(p)); // top and bottom
    const double wv = std::max(larghezza, 1.0 / PixelX(p)); // left and right
    if (lati & ftTop)
        p.fillRect(QRectF(r.left(), r.top(), r.width(), wo), c);
    if (lati & ftBottom)
        p.fillRect(QRectF(r.left(), r.bottom() - wo, r.width(), wo), c);
    if (lati & ftLeft)
        p.fillRect(QRectF(r.left(), r.top(), wv, r.height()), c);
    if (lati & ftRight)
        p.fillRect(QRectF(r.right() - wv, r.top(), wv, r.height()), c);
}

void DisegnaCornice(QPainter &p, const QRectF &r, const TFrame &f)
{
    if (f.Typ == ftNone)
        return;
    const QColor c = f.Color.isValid() ? f.Color : QColor(Qt::black);
    Bande(p, r, f.Typ, f.Width > 0 ? f.Width : 1.0, c);
}

void DisegnaMemo(QPainter &p, const TElementoPreparato &e, const TMemoView &m)
{
    if (m.Color.isValid())
        p.fillRect(e.rettangolo, m.Color);
    if (!e.righe.isEmpty()) {
        // The text is drawn in device pixels with a font of the exact size: a font
        // asked for in units would get its pixel size rounded to a whole unit
        // (7 pt printing as 6.75 pt).
        const double k = PixelY(p);
        p.save();
        p.scale(1.0 / k, 1.0 / k);
        p.setFont(FontPer(m.Font, DpiDi(p) / k));
        p.setPen(m.Font.Color.isValid() ? m.Font.Color : QColor(Qt::black));
        const double h = AltezzaRiga(m.Font);
        const double passo = PassoRiga(m.Font);
        int allinea = Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        allinea |= m.HAlign == haCenter  ? Qt::AlignHCenter
                   : m.HAlign == haRight ? Qt::AlignRight
                                         : Qt::AlignLeft;
        const double x = e.rettangolo.left() + MargineOrizzontale;
        const double w = e.rettangolo.width() - 2 * MargineOrizzontale;
        for (int i = 0; i < e.righe.size(); ++i) {
            const QRectF riga(x, e.yPrimaRiga + i * passo, w, h);
            if (riga.top() > e.ritaglio.bottom() || riga.bottom() < e.ritaglio.top())
                continue;
            p.drawText(QRectF(riga.topLeft() * k, riga.size() * k), allinea, e.righe[i]);
        }
        p.restore();
    }
    DisegnaCornice(p, e.rettangolo, m.Frame);
}

void DisegnaImmagine(QPainter &p, const TElementoPreparato &e, const TPictureView &v)
{
    p.fillRect(e.rettangolo, Qt::white);
    const QRectF area = v.AreaImmagine(e.rettangolo);
    if (area.isEmpty())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, v.HighQuality);
    // Never more than 600 dpi of the box, whatever was put into the picture.
    p.drawImage(area, TPictureView::Ridotta(v.Picture, area.size(), v.KeepAspectRatio));
}

void DisegnaForma(QPainter &p, const TElementoPreparato &e, const TShapeView &s)
{
    const QRectF &r = e.rettangolo;
    if (!s.Riquadri.empty()) {
        // One call: a PDF gets one short "re" per rectangle and one fill for them all.
        QList<QRectF> riquadri;
        riquadri.reserve(qsizetype(s.Riquadri.size()));
        for (const QRectF &q : s.Riquadri)
            riquadri.append(q.translated(r.topLeft()));
        p.setPen(Qt::NoPen);
        p.setBrush(s.Color.isValid() ? s.Color : QColor(Qt::black));
        p.drawRects(riquadri.constData(), int(riquadri.size()));
        return;
    }
    if (s.Color.isValid())
        p.fillRect(r, s.Color);
    // The outline lies inside the rectangle, so the shape covers exactly its area.
    const QColor c = s.Frame.Color.isValid() ? s.Frame.Color : QColor(Qt::black);
    Bande(p, r, ftTop | ftBottom | ftLeft | ftRight, s.Frame.Width > 0 ? s.Frame.Width : 1.0, c);
}

void DisegnaLinea(QPainter &p, const TElementoPreparato &e, const TLineView &l)
{
    const QColor c = l.Frame.Color.isValid() ? l.Frame.Color : QColor(Qt::black);
    const int lati = l.Frame.Typ == ftNone ? int(ftTop) : l.Frame.Typ & (ftTop | ftLeft);
    Bande(p, e.rettangolo, lati, l.Frame.Width > 0 ? l.Frame.Width : 1.0, c);
}

} // namespace

void Trasforma(QPainter &p, double scala)
{
    const QPaintDevice *d = p.device();
    const double dpi = d && d->logicalDpiX() > 0 ? d->logicalDpiX() : 96.0;
    p.resetTransform();
    p.scale(dpi / 96.0 * scala,
            (d && d->logicalDpiY() > 0 ? d->logicalDpiY() : 96.0) / 96.0 * scala);
}

QFont FontPer(const TFont &f, double dpiDispositivo)
{
    QFont font(f.Name);
    // Size in points such that the em is Size * 4/3 units on a device of this DPI
    // drawn with one unit per logical coordinate.
    font.setPointSizeF(std::max(0.5, f.Size) * 96.0 / (dpiDispositivo > 0 ? dpiDispositivo : 96.0));
    font.setBold(f.Style & fsBold);
    font.setItalic(f.Style & fsItalic);
    font.setUnderline(f.Style & fsUnderline);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    if (f.Name.contains(QLatin1String("Courier"), Qt::CaseInsensitive))
        font.setStyleHint(QFont::TypeWriter);
    else
        font.setStyleHint(QFont::SansSerif);
    return font;
}

const QPaintDevice *DispositivoPreciso()
{
    static QImage *img = [] {
        auto *i = new QImage(1, 1, QImage::Format_RGB32);
        const int dpm = int(std::lround(DpiPreciso / 0.0254));
        i->setDotsPerMeterX(dpm);
        i->setDotsPerMeterY(dpm);
        return i;
    }();
    return img;
}

QFontMetricsF Metriche(const TFont &f)
{
    return QFontMetricsF(FontPer(f, 96.0), Riferimento());
}

double AltezzaRiga(const TFont &f)
{
    // Cached: composition of long lists asks for the same fonts many times. One cache per
    // thread: batch cards are composed off the window's thread while the window paints.
    thread_local QHash<QString, double> cache;
    const QString chiave = QStringLiteral("%1|%2|%3").arg(f.Name).arg(f.Size).arg(f.Style);
    auto it = cache.constFind(chiave);
    if (it != cache.constEnd())
        return *it;
    const double h = Metriche(f).height();
    cache.insert(chiave, h);
    return h;
}

double PassoRiga(const TFont &f)
{
    return AltezzaRiga(f) + Interlinea;
}

void DisegnaElemento(QPainter &p, const TElementoPreparato &e)
{
    if (!e.oggetto)
        return;
    p.save();
    // At least one device pixel each way, so a line of one unit is not clipped away.
    QRectF ritaglio = e.ritaglio;
    ritaglio.setWidth(std::max(ritaglio.width(), 1.0 / PixelX(p)));
    ritaglio.setHeight(std::max(ritaglio.height(), 1.0 / PixelY(p)));
    p.setClipRect(ritaglio, Qt::IntersectClip);
    switch (e.oggetto->Kind()) {
    case TReportComponent::Tipo::Memo:
        DisegnaMemo(p, e, static_cast<const TMemoView &>(*e.oggetto));
        break;
    case TReportComponent::Tipo::Picture:
        DisegnaImmagine(p, e, static_cast<const TPictureView &>(*e.oggetto));
        break;
    case TReportComponent::Tipo::Shape:
        DisegnaForma(p, e, static_cast<const TShapeView &>(*e.oggetto));
        break;
    case TReportComponent::Tipo::Line:
        DisegnaLinea(p, e, static_cast<const TLineView &>(*e.oggetto));
        break;
    default:
        break;
    }
    p.restore();
}

void DisegnaPagina(QPainter &p, const TPaginaPreparata &pagina)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (const TElementoPreparato &e : pagina.elementi)
        DisegnaElemento(p, e);
    p.restore();
}

} // namespace Pittore

QImage TReport::RenderImmagine(int pagina, double dpi) const
{
    if (pagina < 0 || pagina >= int(m_preparate.size()) || dpi <= 0)
        return QImage();
    const TPaginaPreparata &pp = m_preparate[size_t(pagina)];
    const QSize dim(int(std::lround(pp.LarghezzaMm / 25.4 * dpi)),
                    int(std::lround(pp.AltezzaMm / 25.4 * dpi)));
    if (dim.isEmpty())
        return QImage();
    QImage img(dim, QImage::Format_RGB32);
    const int dpm = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    p.scale(dpi / 96.0, dpi / 96.0);
    Pittore::DisegnaPagina(p, pp);
    return img;
}

namespace Pittore {
QPageLayout LayoutPagina(const TPaginaPreparata &pp)
{
    // The size is given upright and turned by the orientation, as printers expect.
    const double corto = std::min(pp.LarghezzaMm, pp.AltezzaMm);
    const double lungo = std::max(pp.LarghezzaMm, pp.AltezzaMm);
    const QPageSize dim(QSizeF(corto, lungo), QPageSize::Millimeter, QString(),
                        QPageSize::FuzzyMatch);
    const auto o = pp.LarghezzaMm > pp.AltezzaMm ? QPageLayout::Landscape : QPageLayout::Portrait;
    QPageLayout l(dim, o, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    l.setMode(QPageLayout::FullPageMode);
    return l;
}
} // namespace Pittore

namespace {

bool ScriviPdf(QPdfWriter &pdf, const QString &nome, const std::vector<TPaginaPreparata> &pagine)
{
    pdf.setTitle(nome);
    pdf.setCreator(QStringLiteral("Quorvel"));
    pdf.setResolution(1200);
    pdf.setPageLayout(Pittore::LayoutPagina(pagine.front()));
    QPainter p;
    if (!p.begin(&pdf))
        return false;
    for (size_t i = 0; i < pagine.size(); ++i) {
        if (i > 0) {
            pdf.setPageLayout(Pittore::LayoutPagina(pagine[i]));
            pdf.newPage();
        }
        Pittore::Trasforma(p);
        Pittore::DisegnaPagina(p, pagine[i]);
    }
    return p.end();
}

} // namespace

bool TReport::EsportaPdf(const QString &percorso) const
{
    if (m_preparate.empty())
        return false;
    // Written aside behind the write guard, as every file the program makes.
    QSaveFile file(percorso);
    if (!ApriInScrittura(file) || !EsportaPdf(&file)) {
        file.cancelWriting();
        return false;
    }
    return ConfermaFile(file);
}

bool TReport::EsportaPdf(QIODevice *dispositivo) const
{
    if (m_preparate.empty() || !dispositivo)
        return false;
    QPdfWriter pdf(dispositivo);
    return ScriviPdf(pdf, ReportOptions.Name, m_preparate);
}
