// Draws the shell's pictures that hold text to raw pixel files at build time, at the sizes the
// screens show them and twice those: drawing an SVG's text lays out and loads fonts,
// which cost each start of the program more than the rest of the login window.
// Arguments: the output folder, then "<svg file>:<width>x<height>" for each picture.
#include "widgets/Controlli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    if (argomenti.size() < 3)
        return 2;
    const QDir uscita(argomenti.at(1));
    if (!uscita.mkpath(QStringLiteral(".")))
        return 1;
    for (qsizetype i = 2; i < argomenti.size(); ++i) {
        const qsizetype due = argomenti.at(i).lastIndexOf(u':');
        const QString file = argomenti.at(i).left(due);
        const QStringList lati = argomenti.at(i).mid(due + 1).split(u'x');
        if (due < 0 || lati.size() != 2)
            return 2;
        const QSize dimensione(lati.at(0).toInt(), lati.at(1).toInt());
        for (const int rapporto : {1, 2}) {
            const QSize pixel = dimensione * rapporto;
            const QImage img = DisegnaSvg(file, pixel);
            QFile f(uscita.filePath(FiguraDisegnata(QFileInfo(file).completeBaseName(), pixel)));
            bool scritta = !img.isNull() && img.format() == QImage::Format_ARGB32_Premultiplied &&
                           f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            for (int y = 0; scritta && y < img.height(); ++y)
                scritta = f.write(reinterpret_cast<const char *>(img.constScanLine(y)),
                                  qint64(img.width()) * 4) == qint64(img.width()) * 4;
            if (!scritta || !f.flush()) {
                std::fprintf(stderr, "%s: not drawn\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
