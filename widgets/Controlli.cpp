#include "widgets/Controlli.h"

#include <QEvent>
#include <QFileInfo>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QResource>
#include <QSvgRenderer>

#include <functional>

QPushButton *Pulsante(QWidget *parent, const char *nome, const QString &testo, const QRect &r)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(QString::fromLatin1(nome));
    if (r.isValid())
        b->setGeometry(r);
    b->setAutoDefault(false);
    return b;
}

namespace {
// A shell picture with text drawn at build time: the same pixels, kept raw (the resource
// compresses them), without font work or an image decoder. Null when there is none of this
// size.
QImage DisegnataPrima(const QString &risorsa, QSize dimensione, QColor fondo)
{
    if (fondo.alpha() != 0 || !risorsa.startsWith(QLatin1String(":/shell/")))
        return {};
    const QResource disegnata(QStringLiteral(":/figure/") +
                              FiguraDisegnata(QFileInfo(risorsa).completeBaseName(), dimensione));
    const QByteArray pixel = disegnata.isValid() ? disegnata.uncompressedData() : QByteArray();
    if (pixel.size() != qsizetype(dimensione.width()) * dimensione.height() * 4)
        return {};
    return QImage(reinterpret_cast<const uchar *>(pixel.constData()), dimensione.width(),
                  dimensione.height(), dimensione.width() * 4, QImage::Format_ARGB32_Premultiplied)
        .copy();
}

QImage DisegnaOra(const QString &risorsa, QSize dimensione, QColor fondo)
{
    QImage img;
    QSvgRenderer svg(risorsa);
    if (svg.isValid() && !dimensione.isEmpty()) {
        img = QImage(dimensione, fondo.alpha() == 255 ? QImage::Format_RGB32
                                                      : QImage::Format_ARGB32_Premultiplied);
        img.fill(fondo);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(QPointF(0, 0), QSizeF(dimensione)));
    }
    return img;
}
} // namespace

QImage DisegnaSvg(const QString &risorsa, QSize dimensione, QColor fondo)
{
    static QHash<QString, QImage> disegnate;
    const QString chiave = QStringLiteral("%1|%2x%3|%4")
                               .arg(risorsa)
                               .arg(dimensione.width())
                               .arg(dimensione.height())
                               .arg(fondo.rgba());
    if (const auto it = disegnate.constFind(chiave); it != disegnate.cend())
        return *it;
    QImage img = DisegnataPrima(risorsa, dimensione, fondo);
    if (img.isNull())
        img = DisegnaOra(risorsa, dimensione, fondo);
    disegnate.insert(chiave, img);
    return img;
}

QString FiguraDisegnata(const QString &nome, QSize pixel)
{
    return QStringLiteral("%1_%2x%3.argb").arg(nome).arg(pixel.width()).arg(pixel.height());
}

TImmagine::TImmagine(QWidget *parent) : QWidget(parent) {}

const QImage &TImmagine::Picture() const
{
    if (!m_svg.isEmpty()) {
        const qreal rapporto = m_svgSchermo ? devicePixelRatioF() : m_svgRapporto;
        const QSize pixel = m_svgSchermo ? (QSizeF(m_svgPixel) * rapporto).toSize() : m_svgPixel;
        m_immagine = DisegnaSvg(m_svg, pixel, m_svgFondo);
        m_immagine.setDevicePixelRatio(rapporto);
        const_cast<TImmagine *>(this)->m_svg.clear();
    }
    return m_immagine;
}

void TImmagine::SetPicture(const QImage &img)
{
    m_svg.clear();
    m_immagine = img.copy();
    update();
}

void TImmagine::SetSvg(const QString &risorsa, QSize pixel, qreal rapporto, QColor fondo)
{
    m_svgFondo = fondo;
    m_immagine = QImage();
    m_svg = risorsa;
    m_svgPixel = pixel;
    m_svgRapporto = rapporto;
    m_svgSchermo = false;
    update();
}

void TImmagine::SetSvgSchermo(const QString &risorsa, QSize dimensione)
{
    SetSvg(risorsa, dimensione);
    m_svgSchermo = true;
}

void TImmagine::setAdatta(Adatta a)
{
    m_adatta = a;
    update();
}

void TImmagine::setCentrata(bool c)
{
    m_centrata = c;
    update();
}

QSize TImmagine::sizeHint() const
{
    if (!m_svg.isEmpty())
        return (QSizeF(m_svgPixel) / m_svgRapporto).toSize();
    return m_immagine.isNull() ? QSize(100, 100) : m_immagine.size();
}

void TImmagine::paintEvent(QPaintEvent *)
{
    if (Picture().isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QSizeF dim = m_immagine.size();
    if (m_adatta == Adatta::Stira)
        dim = size();
    else if (m_adatta == Adatta::Proporzioni)
        dim.scale(size(), Qt::KeepAspectRatio);
    QPointF origine(0, 0);
    if (m_centrata)
        origine = QPointF((width() - dim.width()) / 2.0, (height() - dim.height()) / 2.0);
    p.drawImage(QRectF(origine, dim), m_immagine);
}

void TImmagine::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit premuto();
}

void TImmagine::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    emit rilasciato();
    if (rect().contains(e->position().toPoint()))
        emit clicked();
}

void TEtichetta::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit premuto();
}

void TEtichetta::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    emit rilasciato();
    if (rect().contains(e->position().toPoint()))
        emit clicked();
}

namespace Comportamenti {

namespace {
// One event filter object per behaviour, owned by the watched control.
class Filtro : public QObject {
public:
    using Azione = std::function<bool(QEvent *)>;
    Filtro(QObject *osservato, Azione azione) : QObject(osservato), m_azione(std::move(azione))
    {
        osservato->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override { return m_azione(e); }

private:
    Azione m_azione;
};
} // namespace

void Evidenza(QWidget *campo, QWidget *evidenza)
{
    evidenza->setVisible(campo->hasFocus());
    new Filtro(campo, [evidenza](QEvent *e) {
        if (e->type() == QEvent::FocusIn)
            evidenza->show();
        else if (e->type() == QEvent::FocusOut)
            evidenza->hide();
        return false;
    });
}

void Invio(QWidget *campo, QWidget *prossimo)
{
    new Filtro(campo, [prossimo](QEvent *e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int k = static_cast<QKeyEvent *>(e)->key();
        if (k != Qt::Key_Return && k != Qt::Key_Enter)
            return false;
        prossimo->setFocus(Qt::OtherFocusReason);
        return true;
    });
}

void UnaRiga(QLineEdit *campo)
{
    // A text holding a line break is refused whole, as a pasted two-line text.
    campo->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\r\\n]*")), campo));
}

void Suggerimento(QWidget *controllo, QLabel *statusLine, const QString &testo)
{
    controllo->setMouseTracking(true);
    new Filtro(controllo, [statusLine, testo](QEvent *e) {
        if (e->type() == QEvent::Enter || e->type() == QEvent::MouseMove)
            statusLine->setText(testo);
        return false;
    });
}

void SvuotaSuggerimento(QWidget *area, QLabel *statusLine)
{
    area->setMouseTracking(true);
    new Filtro(area, [area, statusLine](QEvent *e) {
        if (e->type() == QEvent::MouseMove) {
            // Only when the mouse is over the area itself, not a child control.
            auto *m = static_cast<QMouseEvent *>(e);
            if (area->childAt(m->position().toPoint()) == nullptr)
                statusLine->clear();
        } else if (e->type() == QEvent::Enter) {
            statusLine->clear();
        }
        return false;
    });
}

} // namespace Comportamenti
