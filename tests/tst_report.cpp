// The report engine: page model, composition, page painter, preview window and
// printing. Geometry is measured on rendered pages, in millimetres.
#include "report/Anteprima.h"
#include "report/ReportGui.h"
#include "report/Stampa.h"
#include "report/core/Pittore.h"
#include "report/core/Report.h"
#include "support/Supporto.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <functional>

namespace {

// Pixels whose colour is within tol of c, as a bounding box.
QRect Riquadro(const QImage &img, const std::function<bool(QRgb)> &scelto)
{
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *riga = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (scelto(riga[x])) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

std::function<bool(QRgb)> Vicino(QColor c, int tol = 60)
{
    return [c, tol](QRgb p) {
        return std::abs(qRed(p) - c.red()) + std::abs(qGreen(p) - c.green()) +
                   std::abs(qBlue(p) - c.blue()) <=
               tol;
    };
}

std::function<bool(QRgb)> Scuro()
{
    return [](QRgb p) { return qGray(p) < 160; };
}

// A PDF page as an image through pdftoppm, or a null image when it is not installed.
QImage PaginaPdf(const QString &pdf, int pagina, int dpi)
{
    const QString programma = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (programma.isEmpty())
        return QImage();
    const QString base = pdf + QStringLiteral(".p%1").arg(pagina);
    QProcess p;
    p.start(programma, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                        QString::number(pagina), QStringLiteral("-l"), QString::number(pagina),
                        QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, base});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QImage();
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// A navy rectangle 20 x 10 mm at (left, top) units on an A4 page.
void RettangoloNavy(TReport &r, double left, double top)
{
    auto &s = r.Pages(1).Add<TShapeView>(QStringLiteral("shpProva"), left, top, Unita::DaMm(20),
                                         Unita::DaMm(10));
    s.Color = Colori::Navy;
    s.Frame.Color = Colori::Navy;
}

// The summary-list shape: title, a splitting band of memo lines, footer with the date.
void Riepilogo(TReport &r, const QStringList &righe)
{
    TReportPage &p = r.Pages(1);
    p.SetOrientation(poLandscape);
    p.SetMargins(10, 10, 10, 10);
    auto &titolo = p.AddBand<TReportTitle>(QStringLiteral("ReportTitle"), 30.23624);
    auto &t =
        titolo.Add<TMemoView>(QStringLiteral("txtTitolo"), 7.55906, 3.77953, 1031.81169, 18.89765);
    t.Color = Colori::SlateGray;
    t.Font = {QStringLiteral("Verdana"), 9, fsBold, Colori::White};
    t.HAlign = haCenter;
    t.SetText(QStringLiteral("Riepilogo anagrafica tesserati"));
    auto &dati = p.AddBand<TMasterData>(QStringLiteral("MasterData"), 105.82684);
    dati.AllowSplit = true;
    auto &m =
        dati.Add<TMemoView>(QStringLiteral("txtRiepilogo"), 11.33859, 0, 1031.81169, 102.04731);
    m.Font = {QStringLiteral("Courier New"), 8, 0, Colori::Black};
    m.WordWrap = false;
    auto &piede = p.AddBand<TFooter>(QStringLiteral("Footer"), 30.23624);
    auto &f =
        piede.Add<TMemoView>(QStringLiteral("txtPagina"), 11.33859, 7.55906, 1028.03216, 18.89765);
    f.Color = Colori::SlateGray;
    f.Font = {QStringLiteral("Verdana"), 8, fsBold, Colori::White};
    f.HAlign = haCenter;
    f.SetText(QStringLiteral("Stampa eseguita in data [DATE]"));

    // Filled as the list screens fill it.
    TMemoView &memo = r.Memo(QStringLiteral("TXTRIEPILOGO"));
    memo.Clear();
    for (const QString &riga : righe)
        memo.Add(riga);
    memo.Height = memo.Count() * 12.822;
    r.Band(QStringLiteral("MasterData")).Height = memo.Height + 10;
}

// Page size of an image at 10 pixels per mm, within 0.2 mm (PDF sizes are whole points).
bool DimensioniMm(const QImage &img, double w, double h)
{
    return std::abs(img.width() / 10.0 - w) <= 0.2 && std::abs(img.height() / 10.0 - h) <= 0.2;
}

const TElementoPreparato *Elemento(const TPaginaPreparata &p, const QString &nome)
{
    for (const auto &e : p.elementi)
        if (e.oggetto->Name == nome)
            return &e;
    return nullptr;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void modello();
    void posizione_data();
    void posizione();
    void orientamento_data();
    void orientamento();
    void immagine_data();
    void immagine();
    void immagineA600Dpi();
    void memoTagliato_data();
    void memoTagliato();
    void memoACapo();
    void espressioni_data();
    void espressioni();
    void listaDivisaSuPiuPagine();
    void bandaIntera();
    void erroriDiPreparazione();
    void anteprima();
    void anteprimaSoloChiudi();
    void anteprimaStampanteGuasta();
    void anteprimaLineeAOgniZoom_data();
    void anteprimaLineeAOgniZoom();
    void corpoEsatto_data();
    void corpoEsatto();
    void stampaEsiti_data();
    void stampaEsiti();
    void stampaPdfGeometria();
    void stampaCups();

private:
    QTemporaryDir m_cupsDir;
    QString m_cupsSocket;
    QString m_cupsMotivo;
    qint64 m_cupsPid = 0;
};

void TestReport::initTestCase()
{
    // A private CUPS server with a cups-pdf queue: also keeps every printer query of
    // this run away from the machine's own printers.
    const QString script = QFileInfo(QStringLiteral(__FILE__))
                               .absoluteDir()
                               .filePath(QStringLiteral("../scripts/cups_avvia.sh"));
    qputenv("CUPS_SERVER", QFile::encodeName(m_cupsDir.filePath(QStringLiteral("cups.sock"))));
    QProcess p;
    p.start(QStringLiteral("bash"), {script, m_cupsDir.path()});
    if (!p.waitForFinished(40000)) {
        p.kill();
        p.waitForFinished(5000);
        m_cupsMotivo = QStringLiteral("cupsd did not start within 40 s");
    } else if (p.exitCode() != 0) {
        m_cupsMotivo = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    } else {
        m_cupsSocket = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }
    QFile pid(m_cupsDir.filePath(QStringLiteral("cupsd.pid")));
    if (pid.open(QIODevice::ReadOnly))
        m_cupsPid = pid.readAll().trimmed().toLongLong();
}

void TestReport::cleanupTestCase()
{
    if (m_cupsPid > 0) {
        ::kill(pid_t(m_cupsPid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(m_cupsPid), 0) != 0, 10000);
    }
}

void TestReport::modello()
{
    TReport r(QStringLiteral("Prova"));
    auto &m = r.Pages(1).Add<TMemoView>(QStringLiteral("txtNome"), 0, 0, 100, 20);
    auto &b = r.Pages(1).AddBand<TMasterData>(QStringLiteral("MasterData"), 50);
    auto &img = b.Add<TPictureView>(QStringLiteral("imgFoto"), 0, 0, 10, 10);

    QCOMPARE(r.FindObject(QStringLiteral("TXTNOME")), &m);
    QCOMPARE(r.FindObject(QStringLiteral("masterdata")), &b);
    QCOMPARE(r.FindObject(QStringLiteral("ImgFoto")), &img);
    QVERIFY(r.FindObject(QStringLiteral("txtAltro")) == nullptr);
    QVERIFY_THROWS_EXCEPTION(ErroreReport, r.Memo(QStringLiteral("imgFoto")));

    m.SetText(QStringLiteral("uno\r\ndue\nt r e"));
    QCOMPARE(m.Memo, QStringList({"uno", "due", "t r e"}));
    QCOMPARE(m.Text(), QStringLiteral("uno\r\ndue\r\nt r e"));

    // The picture keeps its own pixels.
    QImage sorgente = Immagine(4, 4, Qt::red);
    img.SetPicture(sorgente);
    sorgente.fill(Qt::blue);
    QCOMPARE(img.Picture.pixelColor(1, 1), QColor(Qt::red));

    QCOMPARE(Colori::DaNome(QStringLiteral("slategray")), QColor(0x70, 0x80, 0x90));
    QCOMPARE(Colori::DarkOrange.name(), QStringLiteral("#ff8c00"));
}

void TestReport::posizione_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("margineSx");
    QTest::addColumn<double>("margineSu");
    QTest::addColumn<double>("attesoSxMm");
    QTest::addColumn<double>("attesoSuMm");
    QTest::newRow("Left 37.7953, margini 0") << 37.7953 << 37.7953 << 0.0 << 0.0 << 10.0 << 10.0;
    QTest::newRow("TopMargin -3") << 37.7953 << 37.7953 << 0.0 << -3.0 << 10.0 << 7.0;
    QTest::newRow("margini frazionari") << 0.0 << 0.0 << 5.5 << 12.25 << 5.5 << 12.25;
}

void TestReport::posizione()
{
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, margineSx);
    QFETCH(double, margineSu);
    QFETCH(double, attesoSxMm);
    QFETCH(double, attesoSuMm);
    TReport r;
    r.Pages(1).LeftMargin = margineSx;
    r.Pages(1).TopMargin = margineSu;
    RettangoloNavy(r, left, top);
    QVERIFY(r.Componi(QDate(2025, 1, 1)));
    const QImage img = r.RenderImmagine(0, 254); // 10 pixels per mm
    QCOMPARE(img.size(), QSize(2100, 2970));
    const QRect q = Riquadro(img, Vicino(Colori::Navy));
    QVERIFY(q.isValid());
    QVERIFY2(std::abs(q.left() / 10.0 - attesoSxMm) <= 0.15, qPrintable(QString::number(q.left())));
    QVERIFY2(std::abs(q.top() / 10.0 - attesoSuMm) <= 0.15, qPrintable(QString::number(q.top())));
    QVERIFY(std::abs((q.right() + 1) / 10.0 - attesoSxMm - 20) <= 0.15);
    QVERIFY(std::abs((q.bottom() + 1) / 10.0 - attesoSuMm - 10) <= 0.15);
}

void TestReport::orientamento_data()
{
    QTest::addColumn<QList<double>>("margini"); // left, top, right, bottom
    QTest::newRow("margini 0") << QList<double>{0, 0, 0, 0};
    QTest::newRow("margini diversi") << QList<double>{1, 2, 3, -4.5};
}

void TestReport::orientamento()
{
    QFETCH(QList<double>, margini);
    TReport r;
    TReportPage &p = r.Pages(1);
    p.SetMargins(margini[0], margini[1], margini[2], margini[3]);
    p.SetOrientation(poLandscape);
    auto controlla = [&] {
        QCOMPARE(p.Orientation(), poLandscape);
        QCOMPARE(p.PaperSize, 9);
        QCOMPARE(p.PaperWidth, 297.0);
        QCOMPARE(p.PaperHeight, 210.0);
        QCOMPARE(p.LeftMargin, margini[1]);   // old top
        QCOMPARE(p.RightMargin, margini[3]);  // old bottom
        QCOMPARE(p.TopMargin, margini[2]);    // old right
        QCOMPARE(p.BottomMargin, margini[0]); // old left
    };
    controlla();
    p.SetOrientation(poLandscape); // the same value changes nothing
    controlla();
    QVERIFY(r.Componi(QDate(2025, 1, 1)));
    QCOMPARE(r.RenderImmagine(0, 254).size(), QSize(2970, 2100));

    p.SetOrientation(poPortrait);
    QCOMPARE(p.PaperWidth, 210.0);
    QCOMPARE(p.PaperHeight, 297.0);
    QCOMPARE(QList<double>({p.LeftMargin, p.TopMargin, p.RightMargin, p.BottomMargin}), margini);
}

void TestReport::immagine_data()
{
    QTest::addColumn<QSize>("bitmap");
    QTest::addColumn<bool>("centro");
    QTest::addColumn<QRectF>("atteso"); // units, relative to the picture's rectangle
    const double W = 83.15, H = 79.37;
    QTest::newRow("quadrata centrata") << QSize(40, 40) << true << QRectF(1.89, 0, H, H);
    QTest::newRow("2x2 ingrandita") << QSize(2, 2) << true << QRectF(1.89, 0, H, H);
    QTest::newRow("in alto a sinistra") << QSize(40, 40) << false << QRectF(0, 0, H, H);
    const double h = 20 * W / 80;
    QTest::newRow("larga centrata") << QSize(80, 20) << true << QRectF(0, (H - h) / 2, W, h);
}

void TestReport::immagine()
{
    QFETCH(QSize, bitmap);
    QFETCH(bool, centro);
    QFETCH(QRectF, atteso);
    TReport r;
    TReportPage &p = r.Pages(1);
    p.PaperSize = 256;
    p.PaperWidth = 30;
    p.PaperHeight = 30;
    // A navy shape behind shows the white fill of the picture's rectangle.
    auto &fondo = p.Add<TShapeView>(QStringLiteral("shpFondo"), 0, 0, 110, 110);
    fondo.Color = Colori::Navy;
    auto &v = p.Add<TPictureView>(QStringLiteral("imgFoto"), 10, 10, 83.15, 79.37);
    v.Center = centro;
    v.SetPicture(Immagine(bitmap.width(), bitmap.height(), QColor(255, 0, 0)));
    QVERIFY(r.Componi(QDate(2025, 1, 1)));
    const QImage img = r.RenderImmagine(0, 960); // 10 pixels per unit
    const QRect q = Riquadro(img, Vicino(QColor(255, 0, 0)));
    const double u = 10.0;
    QVERIFY2(std::abs(q.left() / u - 10 - atteso.left()) <= 0.15,
             qPrintable(QString::number(q.left())));
    QVERIFY(std::abs(q.top() / u - 10 - atteso.top()) <= 0.15);
    QVERIFY2(std::abs((q.right() + 1) / u - 10 - atteso.right()) <= 0.15,
             qPrintable(QString::number(q.right())));
    QVERIFY(std::abs((q.bottom() + 1) / u - 10 - atteso.bottom()) <= 0.15);
    // Inside the rectangle but outside the bitmap: white, not the navy behind.
    const QRectF rett(10, 10, 83.15, 79.37);
    const QRectF area = v.AreaImmagine(rett);
    const QPointF libero = area.width() < rett.width() - 1
                               ? QPointF(rett.right() - 0.5, rett.center().y())
                               : QPointF(rett.center().x(), rett.bottom() - 0.5);
    if (area.width() < rett.width() - 1 || area.height() < rett.height() - 1)
        QCOMPARE(img.pixelColor((libero * u).toPoint()), QColor(Qt::white));
}

void TestReport::immagineA600Dpi()
{
    const QString programma = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
    if (programma.isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    // A 12-megapixel camera photo, landscape, with detail in every pixel.
    QImage foto(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < foto.height(); ++y) {
        auto *riga = reinterpret_cast<QRgb *>(foto.scanLine(y));
        for (int x = 0; x < foto.width(); ++x)
            riga[x] = qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256);
    }
    TReport r;
    auto &v = r.Pages(1).Add<TPictureView>(QStringLiteral("imgFoto"), 10, 10, 83.15, 79.37);
    v.Center = true;
    v.SetPicture(foto);
    // Kept at no more than 600 dpi of its box, and fitted as the full photo would be.
    QVERIFY2(v.Picture.width() <= 520 && v.Picture.height() <= 497,
             qPrintable(QStringLiteral("%1x%2").arg(v.Picture.width()).arg(v.Picture.height())));
    const QRectF area = v.AreaImmagine(QRectF(10, 10, 83.15, 79.37));
    QVERIFY(std::abs(area.width() - 83.15) < 0.01);
    QVERIFY(std::abs(area.height() - 83.15 * 3 / 4) < 0.05);
    // A picture given without SetPicture is also drawn at no more than 600 dpi of its box.
    auto &diretta = r.Pages(1).Add<TPictureView>(QStringLiteral("imgDiretta"), 10, 200, 96, 72);
    diretta.Picture = foto;

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("foto.pdf"));
    QVERIFY(r.Componi(QDate(2025, 1, 1)));
    QVERIFY(r.EsportaPdf(pdf));
    QProcess p;
    p.start(programma, {QStringLiteral("-list"), pdf});
    QVERIFY(p.waitForFinished(60000));
    // page num type width height ...: two lines of heading, then one line per image.
    const QStringList righe =
        QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(righe.size(), 4);
    for (const QString &riga : righe.mid(2)) {
        const QStringList c = riga.simplified().split(QLatin1Char(' '));
        QVERIFY2(c.at(3).toInt() <= 600 && c.at(4).toInt() <= 497, qPrintable(riga));
    }
    QVERIFY(QFileInfo(pdf).size() < 2'000'000);
}

void TestReport::memoTagliato_data()
{
    QTest::addColumn<int>("allinea");
    QTest::addColumn<bool>("tagliatoSx");
    QTest::newRow("haLeft tagliato a destra") << int(haLeft) << false;
    QTest::newRow("haCenter tagliato ai due lati") << int(haCenter) << true;
}

void TestReport::memoTagliato()
{
    QFETCH(int, allinea);
    QFETCH(bool, tagliatoSx);
    TReport r;
    TReportPage &p = r.Pages(1);
    p.PaperSize = 256;
    p.PaperWidth = 60;
    p.PaperHeight = 20;
    auto &m = p.Add<TMemoView>(QStringLiteral("txtTesserato"), 50, 20, 100, 24);
    m.Font = {QStringLiteral("Arial"), 12, fsBold, Colori::Black};
    m.WordWrap = false;
    m.HAlign = THAlign(allinea);
    m.SetText(QStringLiteral("MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"));
    QVERIFY(r.Componi(QDate(2025, 1, 1)));
    QCOMPARE(r.PreparedPages()[0].elementi[0].righe.size(), 1); // one line, not wrapped
    const QImage img = r.RenderImmagine(0, 480);                // 5 pixels per unit
    const QRect q = Riquadro(img, Scuro());
    QVERIFY(q.isValid());
    const double u = 5.0;
    QVERIFY2(q.left() / u >= 50 - 0.2 && (q.right() + 1) / u <= 150 + 0.2,
             qPrintable(QStringLiteral("%1 %2").arg(q.left()).arg(q.right())));
    QVERIFY((q.right() + 1) / u >= 149); // runs up to the right edge
    if (tagliatoSx)
        QVERIFY(q.left() / u <= 51); // and up to the left edge
    else
        QVERIFY(q.left() / u >= 51.5); // starts after the 2-unit inset
    QVERIFY(q.top() / u >= 20 && (q.bottom() + 1) / u <= 44);
}

void TestReport::memoACapo()
{
    TReport r;
    TReportPage &p = r.Pages(1);
    auto &m = p.Add<TMemoView>(QStringLiteral("txtNote"), 50, 20, 150, 200);
    m.Font = {QStringLiteral("Arial"), 10, 0, Colori::Black};
    m.SetText(
        QStringLiteral("Socio fondatore del circolo, presente a tutte le assemblee dal 1998"));
    QVERIFY(r.Componi(QDate(2025, 1, 1)));
    const TElementoPreparato &e = r.PreparedPages()[0].elementi[0];
    QVERIFY(e.righe.size() > 1);
    QCOMPARE(e.righe.join(QLatin1Char(' ')), m.Memo.first());
    const QImage img = r.RenderImmagine(0, 480);
    const QRect q = Riquadro(img, Scuro());
    QVERIFY(q.left() / 5.0 >= 51.5 && (q.right() + 1) / 5.0 <= 198.5);
}

void TestReport::espressioni_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("espressioni");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("[DATE]") << "Stampa eseguita in data [DATE]" << true
                            << "Stampa eseguita in data 15/06/2025";
    QTest::newRow("espressioni spente")
        << "Stampa eseguita in data [DATE]" << false << "Stampa eseguita in data [DATE]";
    QTest::newRow("altre parentesi come scritte")
        << "ROSSI MARIO [rinnovo] [DATE" << true << "ROSSI MARIO [rinnovo] [DATE";
}

void TestReport::espressioni()
{
    QFETCH(QString, testo);
    QFETCH(bool, espressioni);
    QFETCH(QString, atteso);
    Ambiente env; // today is 15/06/2025 through the date seam
    TReport r;
    auto &m = r.Pages(1).Add<TMemoView>(QStringLiteral("txtPagina"), 0, 0, 500, 20);
    m.AllowExpressions = espressioni;
    m.SetText(testo);
    QVERIFY(ReportGui::PrepareReport(r, true));
    QCOMPARE(r.PreparedCount(), 1); // no bands: one page
    QCOMPARE(r.PreparedPages()[0].elementi[0].righe, QStringList{atteso});
    QCOMPARE(m.Text(), testo); // the template keeps its text
    QVERIFY(env->messaggi.isEmpty());
}

void TestReport::listaDivisaSuPiuPagine()
{
    Ambiente env;
    QStringList righe;
    for (int i = 1; i <= 200; ++i)
        righe << QStringLiteral("%1  ROSSI MARIO %2   Socio ordinario    01/01/2025  31/12/2025")
                     .arg(i, 5, 10, QLatin1Char('0'))
                     .arg(i);
    TReport r(QStringLiteral("Riepilogo dati"));
    Riepilogo(r, righe);
    QVERIFY(ReportGui::PrepareReport(r, true));
    const auto &pagine = r.PreparedPages();
    QVERIFY(pagine.size() >= 3);

    const double fondo = Unita::DaMm(210 - 10);
    QStringList stampate;
    int piedi = 0;
    for (size_t i = 0; i < pagine.size(); ++i) {
        const auto &pg = pagine[i];
        QCOMPARE(pg.LarghezzaMm, 297.0);
        const TElementoPreparato *memo = Elemento(pg, QStringLiteral("txtRiepilogo"));
        QVERIFY(memo);
        const double passo =
            Pittore::PassoRiga(TFont{QStringLiteral("Courier New"), 8, 0, Colori::Black});
        // Every line of the page lies whole inside the printable area.
        const double ultima = memo->yPrimaRiga + (memo->righe.size() - 1) * passo +
                              Pittore::AltezzaRiga(TFont{QStringLiteral("Courier New"), 8});
        QVERIFY2(ultima <= fondo + 0.01, qPrintable(QString::number(i)));
        if (i > 0)
            QVERIFY(memo->yPrimaRiga >= Unita::DaMm(10) - 0.01);
        stampate += memo->righe;
        if (const TElementoPreparato *piede = Elemento(pg, QStringLiteral("txtPagina"))) {
            ++piedi;
            QCOMPARE(i, pagine.size() - 1);
            QVERIFY(piede->rettangolo.top() >= ultima);
            QCOMPARE(piede->righe,
                     QStringList{QStringLiteral("Stampa eseguita in data 15/06/2025")});
        }
        QCOMPARE(Elemento(pg, QStringLiteral("txtTitolo")) != nullptr, i == 0);
    }
    QCOMPARE(stampate, righe); // every line once, in order
    QCOMPARE(piedi, 1);

    // On paper: the grey bars are the title on the first page and the footer on the last.
    const QImage prima = r.RenderImmagine(0, 127); // 5 pixels per mm
    const QRect grigioPrima = Riquadro(prima, Vicino(Colori::SlateGray, 20));
    QVERIFY(grigioPrima.isValid() && grigioPrima.bottom() / 5.0 < 20);
    const QImage ultimaPagina = r.RenderImmagine(int(pagine.size()) - 1, 127);
    const QRect grigioUltima = Riquadro(ultimaPagina, Vicino(Colori::SlateGray, 20));
    QVERIFY(grigioUltima.isValid() && grigioUltima.top() / 5.0 > 12);
}

void TestReport::bandaIntera()
{
    TReport r;
    TReportPage &p = r.Pages(1);
    p.SetMargins(10, 10, 10, 10);
    auto &titolo = p.AddBand<TReportTitle>(QStringLiteral("ReportTitle"), 600);
    titolo.Add<TMemoView>(QStringLiteral("txtTitolo"), 0, 0, 200, 20).SetText(QStringLiteral("T"));
    auto &dati = p.AddBand<TMasterData>(QStringLiteral("MasterData"), 500);
    auto &m = dati.Add<TMemoView>(QStringLiteral("txtDati"), 0, 0, 200, 500);
    for (int i = 0; i < 20; ++i)
        m.Add(QStringLiteral("riga %1").arg(i));
    QVERIFY(r.Componi(QDate(2025, 1, 1)));
    // 600 + 500 units do not fit in 1046 units: the band moves whole to page 2.
    QCOMPARE(r.PreparedCount(), 2);
    QVERIFY(!Elemento(r.PreparedPages()[0], QStringLiteral("txtDati")));
    const TElementoPreparato *e = Elemento(r.PreparedPages()[1], QStringLiteral("txtDati"));
    QVERIFY(e);
    QCOMPARE(e->righe.size(), 20);
    QVERIFY(std::abs(e->rettangolo.top() - Unita::DaMm(10)) < 0.01);
}

void TestReport::erroriDiPreparazione()
{
    Ambiente env;
    TReport r;
    TReportPage &p = r.Pages(1);
    p.AddBand<TMasterData>(QStringLiteral("MasterData"), 50);
    p.TopMargin = 150;
    p.BottomMargin = 150;
    QVERIFY(!ReportGui::PrepareReport(r, true));
    QCOMPARE(r.PreparedCount(), 0);
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi[0].forma, Piattaforma::Forma::Errore);
    QVERIFY(env->messaggi[0].testo.startsWith(
        QStringLiteral("The following error(s) have occured:\n")));
}

void TestReport::anteprima()
{
    Ambiente env;
    TReport r(QStringLiteral("Scheda informativa"));
    RettangoloNavy(r, 37.7953, 37.7953);
    r.Pages(1)
        .Add<TMemoView>(QStringLiteral("txtTitolo"), 100, 200, 300, 30)
        .SetText(QStringLiteral("SCHEDA ANAGRAFICA SOCIO"));
    env->stampaSuPdf = env.Percorso(QStringLiteral("anteprima.pdf"));
    bool visto = false;
    env->modale = [&](QDialog *d) {
        visto = true;
        QCOMPARE(d->windowTitle(), QStringLiteral("Scheda informativa"));
        QVERIFY(d->windowState() & Qt::WindowMaximized);
        auto *f = qobject_cast<TfrmAnteprimaReport *>(d);
        QVERIFY(f);
        QCOMPARE(f->Zoom(), 1.0);
        QCOMPARE(Controllo<QComboBox>(d, "cboZoom")->currentText(), QStringLiteral("100 %"));
        QCOMPARE(Controllo<QLabel>(d, "lblPagina")->text(), QStringLiteral("Pagina 1 di 1"));

        Controllo<QToolButton>(d, "btnPaginaIntera")->click();
        QVERIFY(f->Zoom() != 1.0);
        const double intera = f->Zoom();
        Controllo<QToolButton>(d, "btnLarghezza")->click();
        QVERIFY(f->Zoom() > intera);
        auto *zoom = Controllo<QComboBox>(d, "cboZoom");
        zoom->lineEdit()->selectAll();
        QTest::keyClicks(zoom->lineEdit(), QStringLiteral("150"));
        QTest::keyClick(zoom->lineEdit(), Qt::Key_Return);
        QCOMPARE(f->Zoom(), 1.5);
        QCOMPARE(zoom->currentText(), QStringLiteral("150 %"));

        Controllo<QToolButton>(d, "btnSchermoIntero")->click();
        QVERIFY(d->isFullScreen());
        Controllo<QToolButton>(d, "btnSchermoIntero")->click();
        QVERIFY(!d->isFullScreen());

        Controllo<QToolButton>(d, "btnStampa")->click();
        QVERIFY(QFileInfo::exists(env->stampaSuPdf));
        Controllo<QToolButton>(d, "btnChiudi")->click();
        QVERIFY(!d->isVisible());
    };
    QVERIFY(ReportGui::ShowReport(r, true));
    QVERIFY(visto);
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmAnteprimaReport")});
    QCOMPARE(env->dialoghiStampa, 1);
}

void TestReport::anteprimaSoloChiudi()
{
    Ambiente env;
    TReport r(QStringLiteral("Tesserini"));
    r.PreviewOptions.Buttons = pbClose;
    bool visto = false;
    env->modale = [&](QDialog *d) {
        visto = true;
        QVERIFY(!d->findChild<QToolButton *>(QStringLiteral("btnStampa")));
        QVERIFY(!d->findChild<QComboBox *>(QStringLiteral("cboZoom")));
        QVERIFY(!d->findChild<QToolButton *>(QStringLiteral("btnSchermoIntero")));
        Controllo<QToolButton>(d, "btnChiudi")->click();
    };
    QVERIFY(ReportGui::ShowReport(r, true));
    QVERIFY(visto);
}

void TestReport::anteprimaStampanteGuasta()
{
    Ambiente env;
    TReport r(QStringLiteral("Scheda informativa"));
    RettangoloNavy(r, 37.7953, 37.7953);
    env->stampaSuPdf = env.Percorso(QStringLiteral("guasta.pdf"));
    QVERIFY(QDir(env.cartella()).mkdir(QStringLiteral("guasta.pdf")));
    bool aperta = false;
    env->modale = [&](QDialog *d) {
        Controllo<QToolButton>(d, "btnStampa")->click();
        aperta = d->isVisible();
        Controllo<QToolButton>(d, "btnChiudi")->click();
    };
    QVERIFY(ReportGui::ShowReport(r, true));
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmAnteprimaReport")});
    QCOMPARE(env->dialoghiStampa, 1);
    QVERIFY(aperta);
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
    QCOMPARE(env->UltimoMessaggio(), QStringLiteral("Printing of \"Scheda informativa\" failed"));
}

void TestReport::anteprimaLineeAOgniZoom_data()
{
    QTest::addColumn<QString>("zoom"); // typed in the zoom box; empty: "Pagina intera"
    QTest::newRow("Pagina intera") << QString();
    for (const char *z : {"25", "37", "50", "63", "75"})
        QTest::newRow(z) << QString::fromLatin1(z);
}

void TestReport::anteprimaLineeAOgniZoom()
{
    QFETCH(QString, zoom);
    Ambiente env;
    TReport r(QStringLiteral("Tesserini"));
    // Outlined shapes (as the card outline and the date boxes) and lines, at offsets of a
    // fraction of a pixel from one another at every zoom.
    QList<QRectF> forme, linee;
    for (int i = 0; i < 8; ++i) {
        const QRectF f(40 + i * 83.3, 40 + i * 1.7, 70.6, 50 + i * 2.3);
        r.Pages(1).Add<TShapeView>(QStringLiteral("shp%1").arg(i), f.x(), f.y(), f.width(),
                                   f.height());
        forme << f;
        const QRectF l(40, 200 + i * 21.3, 500, 1);
        r.Pages(1)
            .Add<TLineView>(QStringLiteral("lin%1").arg(i), l.x(), l.y(), l.width(), 1)
            .Frame.Typ = ftTop;
        linee << l;
    }
    bool visto = false;
    env->modale = [&](QDialog *d) {
        visto = true;
        auto *f = qobject_cast<TfrmAnteprimaReport *>(d);
        if (zoom.isEmpty()) {
            Controllo<QToolButton>(d, "btnPaginaIntera")->click();
        } else {
            auto *cbo = Controllo<QComboBox>(d, "cboZoom");
            cbo->lineEdit()->selectAll();
            QTest::keyClicks(cbo->lineEdit(), zoom);
            QTest::keyClick(cbo->lineEdit(), Qt::Key_Return);
        }
        QVERIFY(f->Zoom() < 1.0);
        const double z = f->Zoom();
        const QImage img = Controllo<QWidget>(d, "pagAnteprima")
                               ->grab()
                               .toImage()
                               .convertToFormat(QImage::Format_RGB32);
        // A dark pixel within a pixel of (x, y) along the given direction.
        auto scuro = [&](double x, double y, bool verticale) {
            const int px = int(16 + x * z), py = int(16 + y * z);
            for (int d = -2; d <= 2; ++d) {
                const QPoint q = verticale ? QPoint(px, py + d) : QPoint(px + d, py);
                if (img.rect().contains(q) && qGray(img.pixel(q)) < 128)
                    return true;
            }
            return false;
        };
        for (const QRectF &q : forme) {
            const QPointF c = q.center();
            QVERIFY2(scuro(c.x(), q.top(), true), "top edge");
            QVERIFY2(scuro(c.x(), q.bottom() - 0.5, true), "bottom edge");
            QVERIFY2(scuro(q.left(), c.y(), false), "left edge");
            QVERIFY2(scuro(q.right() - 0.5, c.y(), false), "right edge");
        }
        for (const QRectF &l : linee)
            QVERIFY2(scuro(l.center().x(), l.top(), true), "line");
        Controllo<QToolButton>(d, "btnChiudi")->click();
    };
    QVERIFY(ReportGui::ShowReport(r, true));
    QVERIFY(visto);
}

void TestReport::corpoEsatto_data()
{
    QTest::addColumn<double>("punti");
    QTest::addColumn<QString>("carattere");
    for (double pt : {7.0, 8.0, 10.0, 16.0})
        QTest::addRow("Verdana %g", pt) << pt << QStringLiteral("Verdana");
    QTest::newRow("Courier New 8") << 8.0 << QStringLiteral("Courier New");
}

void TestReport::corpoEsatto()
{
    QFETCH(double, punti);
    QFETCH(QString, carattere);
    const QString programma = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (programma.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    Ambiente env;
    env->stampaSuPdf = env.Percorso(QStringLiteral("corpo.pdf"));
    TReport r(QStringLiteral("Corpo"));
    auto &m = r.Pages(1).Add<TMemoView>(QStringLiteral("txtProva"), 40, 40, 600, 40);
    m.Font = {carattere, punti, 0, Colori::Black};
    m.WordWrap = false;
    m.SetText(QStringLiteral("Tesseramento"));
    QVERIFY(ReportGui::PrepareReport(r, true));
    QVERIFY(ReportGui::Print(r).Stampato());

    QProcess p;
    p.start(programma, {QStringLiteral("-bbox"), env->stampaSuPdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(60000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression parola(
        QStringLiteral(R"re(xMin="([\d.]+)"[^>]*xMax="([\d.]+)"[^>]*>Tesseramento<)re"));
    const QRegularExpressionMatch t = parola.match(html);
    QVERIFY2(t.hasMatch(), qPrintable(html));
    const double larghezza = t.captured(2).toDouble() - t.captured(1).toDouble(); // points

    // The word's advance in ems of the font that prints it, measured at a large size.
    QFont f = Pittore::FontPer(m.Font);
    f.setPixelSize(1000);
    const double em = QFontMetricsF(f).horizontalAdvance(QStringLiteral("Tesseramento")) / 1000;
    const double corpo = larghezza / em;
    QVERIFY2(std::abs(corpo - punti) <= 0.05,
             qPrintable(QStringLiteral("printed at %1 pt").arg(corpo, 0, 'f', 3)));
}

void TestReport::stampaEsiti_data()
{
    QTest::addColumn<bool>("annulla");
    QTest::addColumn<bool>("stampanti");
    QTest::addColumn<bool>("guasta");
    QTest::addColumn<int>("esito");
    QTest::addColumn<QString>("messaggio");
    using T = TEsitoStampa::Tipo;
    QTest::newRow("OK") << false << true << false << int(T::Stampato) << QString();
    QTest::newRow("Annulla: niente e nessun messaggio")
        << true << true << false << int(T::Annullato) << QString();
    QTest::newRow("nessuna stampante") << false << false << false << int(T::Annullato)
                                       << QStringLiteral("You have no printers installed");
    QTest::newRow("stampante guasta") << false << true << true << int(T::Fallito) << QString();
}

void TestReport::stampaEsiti()
{
    QFETCH(bool, annulla);
    QFETCH(bool, stampanti);
    QFETCH(bool, guasta);
    QFETCH(int, esito);
    QFETCH(QString, messaggio);
    Ambiente env;
    env->annullaStampa = annulla;
    if (!stampanti)
        env->stampanti.clear();
    env->stampaSuPdf = env.Percorso(QStringLiteral("stampa.pdf"));
    if (guasta) // a folder where the printer's output should go
        QVERIFY(QDir(env.cartella()).mkdir(QStringLiteral("stampa.pdf")));
    TReport r(QStringLiteral("Tesserino"));
    RettangoloNavy(r, 10, 10);
    QVERIFY(ReportGui::PrepareReport(r, true));
    const TEsitoStampa e = ReportGui::Print(r);
    QCOMPARE(int(e.tipo), esito);
    QCOMPARE(QFileInfo(env->stampaSuPdf).isFile(), e.Stampato());
    QCOMPARE(e.errore, guasta ? QStringLiteral("Printing of \"Tesserino\" failed") : QString());
    // The service shows nothing of a failure: its caller reports it.
    if (messaggio.isEmpty()) {
        QVERIFY(env->messaggi.isEmpty());
    } else {
        QCOMPARE(env->UltimoMessaggio(), messaggio);
        QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    }
}

void TestReport::stampaPdfGeometria()
{
    Ambiente env;
    env->stampaSuPdf = env.Percorso(QStringLiteral("geometria.pdf"));
    TReport r(QStringLiteral("Riepilogo dati"));
    // Two pages of different orientation in one job, each at its own paper.
    Riepilogo(r, QStringList(120, QStringLiteral("RIGA DI PROVA")));
    RettangoloNavy(r, 37.7953, 37.7953);
    r.Pages(1).SetMargins(0, 0, 0, 0);
    QVERIFY(ReportGui::PrepareReport(r, true));
    QVERIFY(r.PreparedCount() >= 2);
    QVERIFY(ReportGui::Print(r).Stampato());
    const QImage pagina = PaginaPdf(env->stampaSuPdf, 1, 254);
    if (pagina.isNull())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QVERIFY(DimensioniMm(pagina, 297, 210)); // landscape A4
    const QRect q = Riquadro(pagina, Vicino(Colori::Navy));
    QVERIFY2(std::abs(q.left() / 10.0 - 10) <= 0.2 && std::abs(q.top() / 10.0 - 10) <= 0.2,
             qPrintable(QStringLiteral("%1,%2").arg(q.left()).arg(q.top())));
    QVERIFY(std::abs((q.right() + 1 - q.left()) / 10.0 - 20) <= 0.2);
    const QImage seconda = PaginaPdf(env->stampaSuPdf, 2, 254);
    QVERIFY(DimensioniMm(seconda, 297, 210));
    QCOMPARE(Riquadro(seconda, Vicino(Colori::Navy)), q); // page objects on every page
}

void TestReport::stampaCups()
{
    if (m_cupsSocket.isEmpty())
        QSKIP(qPrintable(QStringLiteral("CUPS could not run here: ") + m_cupsMotivo));
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPrinterName(QStringLiteral("QuorvelPDF"));
    QVERIFY2(stampante.isValid(), "the QuorvelPDF queue is not visible to the print system");
    stampante.setDocName(QStringLiteral("QuorvelCups"));
    TReport r(QStringLiteral("QuorvelCups"));
    RettangoloNavy(r, 37.7953, 37.7953);
    QVERIFY(r.Componi(QDate(2025, 1, 1)));
    QVERIFY(StampaReport::StampaSu(stampante, r, {0}));

    const QDir uscita(m_cupsDir.filePath(QStringLiteral("pdf")));
    QImage pagina;
    // cups-pdf writes the file when the job completes; wait for a readable page.
    QTRY_VERIFY_WITH_TIMEOUT(
        !uscita.entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty() &&
            !(pagina = PaginaPdf(
                  uscita.filePath(uscita.entryList({QStringLiteral("*.pdf")}, QDir::Files).first()),
                  1, 254))
                 .isNull(),
        60000);
    QVERIFY(DimensioniMm(pagina, 210, 297));
    const QRect q = Riquadro(pagina, Vicino(Colori::Navy, 90));
    QVERIFY2(std::abs(q.left() / 10.0 - 10) <= 0.3 && std::abs(q.top() / 10.0 - 10) <= 0.3,
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(q.left())
                            .arg(q.top())
                            .arg(q.width())
                            .arg(q.height())));
    QVERIFY(std::abs(q.width() / 10.0 - 20) <= 0.3 && std::abs(q.height() / 10.0 - 10) <= 0.3);
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
