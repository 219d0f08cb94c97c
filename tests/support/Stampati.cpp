#include "support/Stampati.h"

#include "cards/Tessera.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <climits>

std::unique_ptr<TfrmTessera> ApriTessera()
{
    auto frm = std::make_unique<TfrmTessera>();
    frm->resize(1366, 768);
    frm->show();
    return frm;
}

// Picks, in the search opened by the slot's import button, the member with that surname.
void ImportaNelloSlot(QWidget *frm, Ambiente &env, int slot, const QString &cognome)
{
    env->modale = [&](QDialog *d) {
        QTest::keyClicks(Controllo<QLineEdit>(d, "txtTesserato"), cognome);
        Controllo<QAbstractButton>(d, "btnCerca")->click();
        auto *lst = Controllo<QListView>(d, "lstRecords");
        QCOMPARE(lst->model()->rowCount(), 1);
        const QPoint p = lst->visualRect(lst->model()->index(0, 0)).center();
        QTest::mouseClick(lst->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(lst->viewport(), Qt::LeftButton, {}, p);
    };
    Controllo<QAbstractButton>(
        frm, qPrintable(QStringLiteral("btnImporta%1").arg(slot, 2, 10, QLatin1Char('0'))))
        ->click();
    env->modale = nullptr;
}

// Page `pagina` (1-based) of a PDF as pdftoppm renders it, in grey.
QImage Rasterizza(const QString &pdf, int pagina, int dpi)
{
    const QString radice = pdf + QStringLiteral("-%1-%2").arg(pagina).arg(dpi);
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
             QString::number(pagina), QStringLiteral("-l"), QString::number(pagina),
             QStringLiteral("-gray"), QStringLiteral("-singlefile"), pdf, radice});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QImage();
    return QImage(radice + QStringLiteral(".pgm"));
}

QString Esegui(const QString &programma, const QStringList &argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    QByteArray uscita = p.readAllStandardOutput();
    if (uscita.endsWith('\n'))
        uscita.chop(1);
    return QString::fromUtf8(uscita);
}

// The text of the one QR code zbarimg finds in the picture, or "" when none. zbarimg
// turns the code's bytes into UTF-8 text by the code's ECI marker, as a phone would.
QString LeggiCodice(const QImage &immagine, const QString &cartella)
{
    const QString file = QDir(cartella).filePath(QStringLiteral("codice.png"));
    if (!immagine.save(file))
        return QString();
    return Esegui(QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"), file});
}

QRect Pixel(const QRectF &mm, int dpi)
{
    const double k = dpi / 25.4;
    return QRect(int(mm.left() * k), int(mm.top() * k), int(mm.width() * k), int(mm.height() * k));
}

// Bounding box in mm of the non-white pixels inside a region given in mm.
QRectF Inchiostro(const QImage &pagina, const QRectF &zonaMm, int dpi)
{
    const double k = dpi / 25.4;
    const QRect zona = Pixel(zonaMm, dpi).intersected(pagina.rect());
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    for (int y = zona.top(); y <= zona.bottom(); ++y)
        for (int x = zona.left(); x <= zona.right(); ++x) {
            if (qGray(pagina.pixel(x, y)) > 235)
                continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    if (x1 < 0)
        return QRectF();
    return QRectF(x0 / k, y0 / k, (x1 + 1 - x0) / k, (y1 + 1 - y0) / k);
}

// Page count of a PDF, by pdfinfo.
int PaginePdf(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(60000))
        return -1;
    static const QRegularExpression re(QStringLiteral("Pages:\\s+(\\d+)"));
    return re.match(QString::fromUtf8(p.readAllStandardOutput())).captured(1).toInt();
}

// Right end (mm) of the first word `parola` on the PDF's first page (pdftotext -bbox
// gives every word drawn, also where a clip cuts it), or -1.
double FineParola(const QString &pdf, const QString &parola)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"),
                                          QStringLiteral("1"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000))
        return -1;
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"[0-9.]+\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = re.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(2) == parola)
            return m.captured(1).toDouble() * 25.4 / 72;
    }
    return -1;
}
