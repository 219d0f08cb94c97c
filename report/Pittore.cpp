#include "report/Pittore.h"

#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace Pittore {

namespace {

// A 96-dpi device: memo layout is measured here, whatever the output device, so that
// lines fall at the same places on screen, paper, PDF and images.
const QPaintDevice *Riferimento() {
    static QImage *img = [] {
        auto *i = new QImage(1, 1, QImage::Format_RGB32);
        const int dpm = int(std::lround(96.0 / 0.0254));
        i->setDotsPerMeterX(dpm);
        i->setDotsPerMeterY(dpm);
        return i;
    }();
    return img;
}

double DpiDi(const QPainter &p) {
    const QPaintDevice *d = p.device();
    return d && d->logicalDpiY() > 0 ? d->logicalDpiY() : 96.0;
}

QPen Penna(const TFrame &f) {
    QPen pen(f.Color.isValid() ? f.Color : QColor(Qt::black));
    pen.setWidthF(f.Width > 0 ? f.Width : 1.0);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// Frame sides drawn inside the rectangle, as bands of the frame's width.
void DisegnaCornice(QPainter &p, const QRectF &r, const TFrame &f) {
    if (f.Typ == ftNone)
        return;
    const QColor c = f.Color.isValid() ? f.Color : QColor(Qt::black);
    const double w = f.Width > 0 ? f.Width : 1.0;
    if (f.Typ & ftTop)
        p.fillRect(QRectF(r.left(), r.top(), r.width(), w), c);
    if (f.Typ & ftBottom)
        p.fillRect(QRectF(r.left(), r.bottom() - w, r.width(), w), c);
    if (f.Typ & ftLeft)
        p.fillRect(QRectF(r.left(), r.top(), w, r.height()), c);
    if (f.Typ & ftRight)
        p.fillRect(QRectF(r.right() - w, r.top(), w, r.height()), c);
}

void DisegnaMemo(QPainter &p, const TElementoPreparato &e, const TMemoView &m) {
    if (m.Color.isValid())
        p.fillRect(e.rettangolo, m.Color);
    if (!e.righe.isEmpty()) {
        p.setFont(FontPer(m.Font, DpiDi(p)));
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
            p.drawText(riga, allinea, e.righe[i]);
        }
    }
    DisegnaCornice(p, e.rettangolo, m.Frame);
}

void DisegnaImmagine(QPainter &p, const TElementoPreparato &e, const TPictureView &v) {
    p.fillRect(e.rettangolo, Qt::white);
    const QRectF area = v.AreaImmagine(e.rettangolo);
    if (area.isEmpty())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, v.HighQuality);
    p.drawImage(area, v.Picture);
}

void DisegnaForma(QPainter &p, const TElementoPreparato &e, const TShapeView &s) {
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
    const QPen pen = Penna(s.Frame);
    const double m = pen.widthF() / 2;
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(m, m, -m, -m));
}

void DisegnaLinea(QPainter &p, const TElementoPreparato &e, const TLineView &l) {
    const QRectF &r = e.rettangolo;
    const double w = l.Frame.Width > 0 ? l.Frame.Width : 1.0;
    const QColor c = l.Frame.Color.isValid() ? l.Frame.Color : QColor(Qt::black);
    if (l.Frame.Typ & ftTop || l.Frame.Typ == ftNone)
        p.fillRect(QRectF(r.left(), r.top(), r.width(), w), c);
    if (l.Frame.Typ & ftLeft)
        p.fillRect(QRectF(r.left(), r.top(), w, r.height()), c);
}

} // namespace

void Trasforma(QPainter &p, double scala) {
    const QPaintDevice *d = p.device();
    const double dpi = d && d->logicalDpiX() > 0 ? d->logicalDpiX() : 96.0;
    p.resetTransform();
    p.scale(dpi / 96.0 * scala,
            (d && d->logicalDpiY() > 0 ? d->logicalDpiY() : 96.0) / 96.0 * scala);
}

QFont FontPer(const TFont &f, double dpiDispositivo) {
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

QFontMetricsF Metriche(const TFont &f) {
    return QFontMetricsF(FontPer(f, 96.0), Riferimento());
}

double AltezzaRiga(const TFont &f) {
    // Cached: composition of long lists asks for the same fonts many times.
    static QHash<QString, double> cache;
    const QString chiave = QStringLiteral("%1|%2|%3").arg(f.Name).arg(f.Size).arg(f.Style);
    auto it = cache.constFind(chiave);
    if (it != cache.constEnd())
        return *it;
    const double h = Metriche(f).height();
    cache.insert(chiave, h);
    return h;
}

double PassoRiga(const TFont &f) {
    return AltezzaRiga(f) + Interlinea;
}

void DisegnaElemento(QPainter &p, const TElementoPreparato &e) {
    if (!e.oggetto)
        return;
    p.save();
    p.setClipRect(e.ritaglio, Qt::IntersectClip);
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

void DisegnaPagina(QPainter &p, const TPaginaPreparata &pagina) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (const TElementoPreparato &e : pagina.elementi)
        DisegnaElemento(p, e);
    p.restore();
}

} // namespace Pittore

QImage TReport::RenderImmagine(int pagina, double dpi) const {
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
QPageLayout LayoutPagina(const TPaginaPreparata &pp) {
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

bool TReport::EsportaPdf(const QString &percorso) const {
    if (m_preparate.empty())
        return false;
    QPdfWriter pdf(percorso);
    pdf.setTitle(ReportOptions.Name);
    pdf.setCreator(QStringLiteral("Quorvel"));
    pdf.setResolution(1200);
    pdf.setPageLayout(Pittore::LayoutPagina(m_preparate.front()));
    QPainter p;
    if (!p.begin(&pdf))
        return false;
    for (size_t i = 0; i < m_preparate.size(); ++i) {
        if (i > 0) {
            pdf.setPageLayout(Pittore::LayoutPagina(m_preparate[i]));
            pdf.newPage();
        }
        Pittore::Trasforma(p);
        Pittore::DisegnaPagina(p, m_preparate[i]);
    }
    return p.end();
}
