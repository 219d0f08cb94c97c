// Build tool: draws the program's SVG icon at the usual sizes of the hicolor theme,
// as <folder>/<n>x<n>/apps/quorvel.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvel_icone <icon.svg> <hicolor folder>\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir radice(QString::fromLocal8Bit(argv[2]));
    for (const int lato : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString cartella = QStringLiteral("%1x%1/apps").arg(lato);
        QImage icona(lato, lato, QImage::Format_ARGB32_Premultiplied);
        icona.fill(Qt::transparent);
        QPainter p(&icona);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p);
        p.end();
        if (!radice.mkpath(cartella) ||
            !icona.save(radice.filePath(cartella + QStringLiteral("/quorvel.png")), "PNG")) {
            std::fprintf(stderr, "cannot write the %d pixel icon\n", lato);
            return 1;
        }
    }
    return 0;
}
