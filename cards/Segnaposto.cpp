#include "cards/Segnaposto.h"

#include <QPainter>
#include "shell/Controlli.h"

#include <QSvgRenderer>

namespace Segnaposto {

QImage DaSvg(const QString &risorsa, QSize dimensione, QColor fondo) {
    return DisegnaSvg(risorsa, dimensione, fondo);
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
