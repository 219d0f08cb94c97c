#include "cards/Segnaposto.h"

#include <QPainter>
#include <QSvgRenderer>

namespace Segnaposto {

QImage DaSvg(const QString &risorsa, QSize dimensione, QColor fondo) {
    QImage img(dimensione,
               fondo.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    img.fill(fondo);
    QSvgRenderer svg(risorsa);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(QPointF(0, 0), QSizeF(dimensione)));
    return img;
}

QImage Ritratto(QSize dimensione) {
    return DaSvg(QStringLiteral(":/cards/ritratto.svg"), dimensione);
}

QImage Logo(QSize dimensione) {
    return DaSvg(QStringLiteral(":/cards/logo.svg"), dimensione);
}

QImage Puntino() {
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

} // namespace Segnaposto
