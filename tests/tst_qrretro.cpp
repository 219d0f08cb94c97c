// The QR code, the back of the cards and the calibration sheet with margins per printer,
// driven from the screens and checked on the printed PDF with pdftoppm and zbarimg.
#include "archive/Impostazioni.h"
#include "cards/AnteprimaTessera.h"
#include "cards/AnteprimaTessere.h"
#include "cards/DatiEnte.h"
#include "cards/StampaTessera.h"
#include "cards/StampaTessere.h"
#include "cards/Tessera.h"
#include "cards/Tessere.h"
#include "cards/core/ModelloTessera.h"
#include "cards/core/ModelloTesserini.h"
#include "lists/TrovaAnagrafica.h"
#include "report/Anteprima.h"
#include "support/Stampati.h"
#include "support/Supporto.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

const QString kLettere = QStringLiteral("ABCDEFGHI");
// Card corners on the landscape sheet, mm, slot 1 (A) to 9 (I).
const QPointF kAngoli[9] = {{10, 10},  {105, 10}, {199, 10},  {10, 75},  {105, 75},
                            {199, 75}, {10, 140}, {105, 140}, {199, 140}};
// Nine members, accents included (Windows-1252 in the archive).
const char *const kNomi[9] = {"ROSSI MARIO",     "BIANCHI ANNA",   "VERDI LUCA",
                              "NERI SARA",       "GALLI PIERO",    "CONTI ELENA",
                              "RICCI NICOL\xD2", "MARINO JOS\xC9", "GRECO FABIO"};

// Nine members; record p (1-based) has card number "2025/00p", its own expiry and a
// photo.
void ScriviSoci(Ambiente &env)
{
    QList<QByteArray> record;
    for (int i = 0; i < 9; ++i) {
        QVERIFY(Immagine(8, 10, Qt::gray).save(env.Percorso(QString("%1.jpg").arg(i + 1))));
        record << Costruttore::Record({{"Tesserato", kNomi[i]},
                                       {"Carica", "Socio"},
                                       {"NumTessera", "2025/00" + QByteArray::number(i + 1)},
                                       {"DataRil", "01/01/2025"},
                                       {"DataScade", QByteArray::number(10 + i) + "/12/2025"},
                                       {"Preavviso", "0"},
                                       {"Annullata", "No"}});
    }
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
}

// What the code of member i (0-based, record i + 1) must read with the test's model.
QString Atteso(int i)
{
    return QStringLiteral("2025/00%1 %2 %3/12/2025 #%1")
        .arg(i + 1)
        .arg(QString::fromLatin1(kNomi[i]))
        .arg(10 + i);
}

const QByteArray kIniQR = "[Dati Ente]\r\nDenominazione=Circolo Aurora\r\nCodiceQR=S\xC3\xAC\r\n"
                          "TestoQR={tessera} {tesserato} {scadenza} #{posizione}\r\n";
const QByteArray kIniRetro = "Retro=S\xC3\xAC\r\nTestoRetro=Regolamento\\nFirma del titolare\r\n";

// The nine-card screen with member 9 - s in slot s, so slots and positions differ.
std::unique_ptr<TfrmTessere> FoglioDiSoci(Ambiente &env)
{
    auto frm = std::make_unique<TfrmTessere>();
    frm->resize(1366, 768);
    frm->show();
    for (int s = 1; s <= 9; ++s)
        ImportaNelloSlot(frm.get(), env, s, QString::fromLatin1(kNomi[9 - s]).section(u' ', 0, 0));
    return frm;
}

// Centres (mm) of the dark runs along a row (vertical == false) or a column of a page.
QList<double> Tacche(const QImage &pagina, double dove, double da, double a, bool colonna, int dpi)
{
    const double k = dpi / 25.4;
    QList<double> centri;
    int inizio = -1;
    const int fisso = int(dove * k);
    for (int i = int(da * k); i <= int(a * k); ++i) {
        const bool scuro = qGray(colonna ? pagina.pixel(fisso, i) : pagina.pixel(i, fisso)) < 128;
        if (scuro && inizio < 0)
            inizio = i;
        if (!scuro && inizio >= 0) {
            centri << (inizio + i) / 2.0 / k;
            inizio = -1;
        }
    }
    return centri;
}

} // namespace

class TestQrRetro : public QObject {
    Q_OBJECT

private slots:
    // A calibration sheet at 600 dpi is larger than images are allowed by default.
    void initTestCase() { QImageReader::setAllocationLimit(1024); }
    void testoDelCodice_data();
    void testoDelCodice();
    void schermataDatiEnte();
    void codiciDelFoglio();
    void tesseraConCodiceERetro();
    void retriDelFoglio();
    void foglioDiProva_data();
    void foglioDiProva();
    void dueStampanti();
};

void TestQrRetro::testoDelCodice_data()
{
    QTest::addColumn<QString>("modello");
    QTest::addColumn<QString>("tessera");
    QTest::addColumn<QString>("tesserato");
    QTest::addColumn<QString>("atteso");
    const QString n = QStringLiteral(" 12/A "), nome = QStringLiteral("ROSSI MARIO");
    QTest::newRow("predefinito") << QString("{tessera} {tesserato} {scadenza}") << n << nome
                                 << "12/A ROSSI MARIO 31/12/2025";
    QTest::newRow("indirizzo") << "https://esempio.it/verifica?n={tessera}" << n << nome
                               << "https://esempio.it/verifica?n=12/A";
    QTest::newRow("tutti") << "{posizione};{rilascio};{scadenza}" << n << nome
                           << "7;01/01/2025;31/12/2025";
    QTest::newRow("valore con graffe")
        << "{carica} {tesserato}{" << n << nome << "{carica} ROSSI MARIO{";
    // Values that are themselves placeholders stay literal, whatever the order of the names.
    QTest::newRow("valori come segnaposto")
        << "{tessera} {tesserato} {posizione}" << QString("{posizione}") << QString("{tessera}")
        << "{posizione} {tessera} 7";
}

void TestQrRetro::testoDelCodice()
{
    QFETCH(QString, modello);
    QFETCH(QString, tessera);
    QFETCH(QString, tesserato);
    QFETCH(QString, atteso);
    TDatiTessera d;
    d.NumTessera = tessera;
    d.Tesserato = tesserato;
    d.DataRil = QStringLiteral("01/01/2025");
    d.DataScade = QStringLiteral("31/12/2025");
    d.Posizione = QStringLiteral("7");
    QCOMPARE(TestoCodiceQR(modello, d), atteso);
}

void TestQrRetro::schermataDatiEnte()
{
    Ambiente env;
    auto frm = std::make_unique<TfrmTessera>();
    frm->resize(1366, 768);
    frm->show();
    QString testoIniziale;
    bool spuntato = true;
    env->modale = [&](QDialog *d) {
        QCOMPARE(Controllo<QCheckBox>(d, "chkQR")->text(), QString("Codice QR sulla tessera"));
        QCOMPARE(Controllo<QCheckBox>(d, "chkRetro")->text(), QString("Stampa il retro"));
        testoIniziale = Controllo<QLineEdit>(d, "txtQR")->text();
        spuntato = Controllo<QCheckBox>(d, "chkQR")->isChecked();
        Clic(d, "chkQR");
        Clic(d, "chkRetro");
        auto *qr = Controllo<QLineEdit>(d, "txtQR");
        qr->clear();
        QTest::keyClicks(qr, "https://esempio.it/verifica?n={tessera}");
        // Ten lines typed: the back keeps eight.
        auto *retro = Controllo<QPlainTextEdit>(d, "txtRetro");
        QStringList dieci{QStringLiteral("Riga 1")};
        for (int i = 2; i <= 10; ++i)
            dieci << QStringLiteral("Riga %1 \\ \u00e8").arg(i);
        retro->setPlainText(dieci.join(u'\n'));
        QCOMPARE(retro->blockCount(), 8);
        retro->moveCursor(QTextCursor::End);
        QTest::keyClick(retro, Qt::Key_Return);
        QCOMPARE(retro->blockCount(), 8);
        Clic(d, "btnApplica");
    };
    QTest::mouseClick(Controllo<QLabel>(frm.get(), "titAssociazione"), Qt::LeftButton);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmDatiEnte"});
    QCOMPARE(testoIniziale, QString("{tessera} {tesserato} {scadenza}"));
    QVERIFY(!spuntato);

    const TFileIni ini(env.Percorso("Quorvel.ini"));
    QCOMPARE(ini.Leggi("Dati Ente", "CodiceQR"), QString("S\u00ec"));
    QCOMPARE(ini.Leggi("Dati Ente", "TestoQR"), QString("https://esempio.it/verifica?n={tessera}"));
    QCOMPARE(ini.Leggi("Dati Ente", "Retro"), QString("S\u00ec"));
    QVERIFY(ini.Leggi("Dati Ente", "TestoRetro").startsWith("Riga 1\\nRiga 2 \\\\ \u00e8\\n"));

    // Shown again as stored; unticking writes "No".
    QStringList righe;
    env->modale = [&](QDialog *d) {
        QVERIFY(Controllo<QCheckBox>(d, "chkQR")->isChecked());
        righe = Controllo<QPlainTextEdit>(d, "txtRetro")->toPlainText().split(u'\n');
        Clic(d, "chkQR");
        Clic(d, "btnApplica");
    };
    QTest::mouseClick(Controllo<QLabel>(frm.get(), "titAssociazione"), Qt::LeftButton);
    QCOMPARE(env->modaliMostrati.size(), 2);
    QCOMPARE(righe.size(), 8);
    QCOMPARE(righe.last(), QString("Riga 8 \\ \u00e8"));
    QCOMPARE(TFileIni(env.Percorso("Quorvel.ini")).Leggi("Dati Ente", "CodiceQR"), QString("No"));
}

void TestQrRetro::codiciDelFoglio()
{
    Ambiente env;
    ScriviSoci(env);
    ScriviIni(env, kIniQR);
    env->stampaSuPdf = env.Percorso("foglio.pdf");
    auto frm = FoglioDiSoci(env);
    bool stampato = false;
    env->modale = [&](QDialog *d) {
        Clic(d, "btnStampa");
        stampato = !d->isVisible();
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(env->modaliMostrati.last(), QString("TfrmStampaTessere"));
    QVERIFY(stampato);
    QVERIFY(env->messaggi.isEmpty());

    const QImage pagina = Rasterizza(env.Percorso("foglio.pdf"), 1, 300);
    QVERIFY(!pagina.isNull());
    for (int s = 0; s < 9; ++s) {
        const QRectF carta(kAngoli[s], QSizeF(86, 54));
        const QString letto = LeggiCodice(pagina.copy(Pixel(carta, 300)), env.cartella());
        QCOMPARE(letto, Atteso(8 - s)); // slot s + 1 holds member 9 - (s + 1) + 1
    }

    // The preview carries the same codes.
    QString lettoAnteprima;
    env->modale = [&](QDialog *d) {
        if (qobject_cast<TfrmAnteprimaReport *>(d))
            return;
        Clic(d, "btnStampa");
        const TReport &r = qobject_cast<TfrmAnteprimaTessere *>(d)->repTesserino();
        const QImage img = r.RenderImmagine(0, 300);
        lettoAnteprima =
            LeggiCodice(img.copy(Pixel(QRectF(kAngoli[4], QSizeF(86, 54)), 300)), env.cartella());
    };
    Clic(frm.get(), "cmdAnteprima");
    QCOMPARE(env->modaliMostrati.last(), QString("TfrmAnteprimaReport"));
    QCOMPARE(lettoAnteprima, Atteso(4));
}

void TestQrRetro::tesseraConCodiceERetro()
{
    Ambiente env;
    ScriviSoci(env);
    ScriviIni(env, kIniQR + kIniRetro + "[Margini Stampa]\r\nSuperiore=5\r\nSinistro=-3\r\n");
    env->stampaSuPdf = env.Percorso("tessera.pdf");
    auto frm = std::make_unique<TfrmTessera>();
    frm->resize(1366, 768);
    frm->show();
    Clic(frm.get(), "cmdUltimo"); // record 9
    std::vector<TElementoPreparato> elementi;
    env->modale = [&](QDialog *d) {
        Clic(d, "btnStampa");
        const TReport &r = qobject_cast<TfrmStampaTessera *>(d)->repTesserino();
        QCOMPARE(r.PreparedCount(), 2);
        elementi = r.PreparedPages()[0].elementi;
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaTessera"});
    QVERIFY(env->messaggi.isEmpty());

    // The code: 12 mm wide or more, over no text, photo or logo of the card.
    QRectF codice;
    for (const auto &e : elementi)
        if (e.oggetto->Name == u"shpCodiceQR")
            codice = e.rettangolo;
    QVERIFY(!codice.isNull());
    QVERIFY(Unita::InMm(codice.width()) >= 12.0 - 1e-6);
    for (const auto &e : elementi) {
        const auto tipo = e.oggetto->Kind();
        const bool contenuto = tipo == TReportComponent::Tipo::Picture ||
                               (tipo == TReportComponent::Tipo::Memo &&
                                !static_cast<const TMemoView &>(*e.oggetto).Text().isEmpty());
        if (contenuto)
            QVERIFY2(!e.rettangolo.intersects(codice), qPrintable(e.oggetto->Name));
    }

    const QString pdf = env.Percorso("tessera.pdf");
    const QImage fronte = Rasterizza(pdf, 1, 300);
    const QImage retro = Rasterizza(pdf, 2, 300);
    QVERIFY(!fronte.isNull() && !retro.isNull());
    const QRectF carta(QPointF(7, 15), QSizeF(86, 54)); // 10 - 3, 10 + 5
    QCOMPARE(LeggiCodice(fronte.copy(Pixel(carta, 300)), env.cartella()), Atteso(8));
    // The back on the second page, mirrored across the portrait sheet and moved by the same
    // offset as the front (210 - 10 - 86 - 3 = 111 mm from the left): after a duplex flip
    // along the long edge it lies behind the front.
    const QRectF f = Inchiostro(fronte, carta.adjusted(-4, -4, 4, 4), 300);
    QVERIFY(qAbs(f.left() - 7) < 0.5 && qAbs(f.width() - 86) < 0.5);
    const QRectF r = Inchiostro(retro, QRectF(0, 0, 210, 100), 300);
    QVERIFY2(qAbs(r.left() - 111) < 0.5 && qAbs(r.top() - 15) < 0.5,
             qPrintable(QString("%1,%2").arg(r.left()).arg(r.top())));
    QVERIFY(qAbs(r.width() - 86) < 0.5 && qAbs(r.height() - 54) < 0.5);

    // The preview carries the code and shows the back as its second page.
    QString paginaAnteprima;
    QString lettoAnteprima;
    env->modale = [&](QDialog *d) {
        if (auto *w = qobject_cast<TfrmAnteprimaReport *>(d)) {
            Clic(w, "btnSuccessiva");
            paginaAnteprima = w->findChild<QLabel *>(QStringLiteral("lblPagina"))->text();
            return;
        }
        Clic(d, "btnStampa");
        const TReport &rep = qobject_cast<TfrmAnteprimaTessera *>(d)->repTesserino();
        lettoAnteprima = LeggiCodice(
            rep.RenderImmagine(0, 300).copy(Pixel(QRectF(10, 10, 86, 54), 300)), env.cartella());
    };
    Clic(frm.get(), "cmdAnteprima");
    QCOMPARE(env->modaliMostrati.last(), QString("TfrmAnteprimaReport"));
    QCOMPARE(paginaAnteprima, QStringLiteral("Pagina 2 di 2"));
    QCOMPARE(lettoAnteprima, Atteso(8));
}

void TestQrRetro::retriDelFoglio()
{
    Ambiente env;
    ScriviSoci(env);
    ScriviIni(env, kIniQR + kIniRetro);
    QVERIFY(Immagine(60, 60, Qt::red).save(env.Percorso("Logo.jpg"), "JPG"));
    env->stampaSuPdf = env.Percorso("foglio.pdf");
    auto frm = std::make_unique<TfrmTessere>();
    frm->resize(1366, 768);
    frm->show();
    env->modale = [&](QDialog *d) { Clic(d, "btnStampa"); };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaTessere"});
    QVERIFY(env->messaggi.isEmpty());

    const QString pdf = env.Percorso("foglio.pdf");
    const QImage fronte = Rasterizza(pdf, 1, 150), retro = Rasterizza(pdf, 2, 150);
    QVERIFY(!fronte.isNull() && !retro.isNull());
    const QSizeF foglio = PaginaPdf(pdf);
    for (int s = 0; s < 9; ++s) {
        const QRectF f =
            Inchiostro(fronte, QRectF(kAngoli[s], QSizeF(86, 54)).adjusted(-3, -3, 3, 3), 150);
        // After a flip along the long edge the point behind x lies at width - x.
        const QPointF dietro(foglio.width() - f.center().x(), f.center().y());
        const QRectF r = Inchiostro(retro, QRectF(dietro - QPointF(46, 30), QSizeF(92, 60)), 150);
        QVERIFY2(QLineF(r.center(), dietro).length() < 0.5, qPrintable(QString("%1: %2,%3 / %4,%5")
                                                                           .arg(kLettere[s])
                                                                           .arg(r.center().x())
                                                                           .arg(r.center().y())
                                                                           .arg(dietro.x())
                                                                           .arg(dietro.y())));
        QVERIFY(qAbs(r.width() - 86) < 0.5 && qAbs(r.height() - 54) < 0.5);
        // Each back carries the organization's logo, 2 mm in and 12 mm down.
        const QColor logo = retro.pixelColor(
            Pixel(QRectF(r.topLeft() + QPointF(13, 22.5), QSizeF(0.1, 0.1)), 150).topLeft());
        QVERIFY2(qAbs(qGray(logo.rgb()) - qGray(QColor(Qt::red).rgb())) < 25, // grey pages
                 qPrintable(QString("%1: %2").arg(kLettere[s]).arg(logo.name())));
    }

    // The preview shows both pages.
    QString pagina;
    env->modale = [&](QDialog *d) {
        if (auto *w = qobject_cast<TfrmAnteprimaReport *>(d)) {
            Clic(w, "btnSuccessiva");
            pagina = w->findChild<QLabel *>(QStringLiteral("lblPagina"))->text();
            return;
        }
        Clic(d, "btnStampa");
    };
    Clic(frm.get(), "cmdAnteprima");
    QCOMPARE(env->modaliMostrati.last(), QString("TfrmAnteprimaReport"));
    QCOMPARE(pagina, QStringLiteral("Pagina 2 di 2"));
}

void TestQrRetro::foglioDiProva_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QSizeF>("foglio");  // mm
    QTest::addColumn<QPointF>("angolo"); // card's top-left corner, mm
    QTest::newRow("margini zero") << QByteArray() << QSizeF(210, 297) << QPointF(10, 10);
    QTest::newRow("orizzontale 7 -3")
        << QByteArray("[Margini Stampa]\r\nSuperiore=-3\r\nSinistro=7\r\n"
                      "[Stampa Tesserino]\r\nOrientamento=Orizzontale\r\n")
        << QSizeF(297, 210) << QPointF(17, 7);
    QTest::newRow("decimali") << QByteArray("[Margini Stampa]\r\nSuperiore=12,5\r\nSinistro=3\r\n")
                              << QSizeF(210, 297) << QPointF(13, 22.5);
}

void TestQrRetro::foglioDiProva()
{
    QFETCH(QByteArray, ini);
    QFETCH(QSizeF, foglio);
    QFETCH(QPointF, angolo);
    Ambiente env;
    if (!ini.isEmpty())
        ScriviIni(env, ini);
    env->stampaSuPdf = env.Percorso("prova.pdf");
    auto frm = std::make_unique<TfrmTessera>();
    frm->resize(1366, 768);
    frm->show();
    bool restaAperta = false;
    QString testo;
    env->modale = [&](QDialog *d) {
        auto *prova = Controllo<QAbstractButton>(d, "cmdProva");
        testo = prova->text();
        prova->click();
        restaAperta = d->isVisible();
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaTessera"});
    QCOMPARE(testo, QString("Foglio di prova"));
    QVERIFY(restaAperta);
    QCOMPARE(env->dialoghiStampa, 1);
    QVERIFY(env->messaggi.isEmpty());
    const QString pdf = env.Percorso("prova.pdf");
    const QSizeF pagina = PaginaPdf(pdf);
    QVERIFY(qAbs(pagina.width() - foglio.width()) < 1 &&
            qAbs(pagina.height() - foglio.height()) < 1);

    constexpr int dpi = 600;
    const QImage img = Rasterizza(pdf, 1, dpi);
    QVERIFY(!img.isNull());
    auto vicino = [](double misura, double atteso) { return qAbs(misura - atteso) <= 0.1; };
    // The outline's outer edges: left and right along a row a quarter down the card, top
    // and bottom along a column at two thirds of its width (away from rulers and crosses).
    const QList<double> riga =
        Tacche(img, angolo.y() + 13.5, angolo.x() - 2, angolo.x() + 88, false, dpi);
    const QList<double> colonna =
        Tacche(img, angolo.x() + 60, std::max(0.5, angolo.y() - 2), angolo.y() + 56, true, dpi);
    QCOMPARE(riga.size(), 2);
    QCOMPARE(colonna.size(), 2);
    const double spessore = Unita::InMm(1.0);
    QVERIFY2(vicino(riga[0] - spessore / 2, angolo.x()), qPrintable(QString::number(riga[0])));
    QVERIFY2(vicino(riga[1] + spessore / 2, angolo.x() + 86), qPrintable(QString::number(riga[1])));
    QVERIFY2(vicino(colonna[0] - spessore / 2, angolo.y()),
             qPrintable(QString::number(colonna[0])));
    QVERIFY2(vicino(colonna[1] + spessore / 2, angolo.y() + 54),
             qPrintable(QString::number(colonna[1])));

    // The left ruler: a tick on every millimetre from the page's edge up to the card.
    const QList<double> sinistro =
        Tacche(img, angolo.y() + 27 + 1.0, 0.5, angolo.x() - 0.3, false, dpi);
    QCOMPARE(sinistro.size(), int(angolo.x() - 0.3));
    for (int i = 0; i < sinistro.size(); ++i)
        QVERIFY2(vicino(sinistro[i], i + 1), qPrintable(QString::number(sinistro[i])));
    // The top ruler, when the card leaves room for one.
    if (angolo.y() > 1) {
        const QList<double> alto =
            Tacche(img, angolo.x() + 86.0 / 3 + 1.0, 0.5, angolo.y() - 0.3, true, dpi);
        QCOMPARE(alto.size(), int(angolo.y() - 0.3));
        for (int i = 0; i < alto.size(); ++i)
            QVERIFY2(vicino(alto[i], i + 1), qPrintable(QString::number(alto[i])));
    }
}

void TestQrRetro::dueStampanti()
{
    Ambiente env;
    env->stampanti = {QStringLiteral("Alfa"), QStringLiteral("Beta")};
    env->annullaStampa = true;
    auto frm = std::make_unique<TfrmTessera>();
    frm->resize(1366, 768);
    frm->show();
    auto valori = [](QDialog *d) {
        return QStringList{Controllo<QComboBox>(d, "cboStampante")->currentText(),
                           Controllo<QLineEdit>(d, "txtTop")->text(),
                           Controllo<QLineEdit>(d, "txtLeft")->text()};
    };
    // Alfa, the printer the dialog offers first: top 2.
    QStringList visti;
    env->modale = [&](QDialog *d) {
        visti = valori(d);
        Clic(d, "btnTopPlus");
        Clic(d, "btnTopPlus");
        Clic(d, "btnStampa");
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(visti, (QStringList{"Alfa", "0", "0"}));
    // Beta starts from the defaults, then gets left 3 and landscape.
    env->modale = [&](QDialog *d) {
        Controllo<QComboBox>(d, "cboStampante")->setCurrentText("Beta");
        visti = valori(d);
        Clic(d, "btnLeftPlus");
        Clic(d, "btnLeftPlus");
        Clic(d, "btnLeftPlus");
        Clic(d, "optOrizzontale");
        Clic(d, "btnStampa");
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(visti, (QStringList{"Beta", "2", "0"}));
    // Each keeps its own.
    bool orizzontaleAlfa = true, orizzontaleBeta = false;
    QStringList beta;
    env->modale = [&](QDialog *d) {
        visti = valori(d);
        orizzontaleAlfa = Controllo<QAbstractButton>(d, "optOrizzontale")->isChecked();
        Controllo<QComboBox>(d, "cboStampante")->setCurrentText("Beta");
        beta = valori(d);
        orizzontaleBeta = Controllo<QAbstractButton>(d, "optOrizzontale")->isChecked();
        Clic(d, "btnAnnulla");
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(env->modaliMostrati.size(), 3);
    QCOMPARE(visti, (QStringList{"Alfa", "2", "0"}));
    QVERIFY(!orizzontaleAlfa);
    QCOMPARE(beta, (QStringList{"Beta", "2", "3"}));
    QVERIFY(orizzontaleBeta);
    const TFileIni ini(env.Percorso("Quorvel.ini"));
    QCOMPARE(ini.Leggi("Margini Stampa Alfa", "Superiore"), QString("2"));
    QCOMPARE(ini.Leggi("Margini Stampa Beta", "Sinistro"), QString("3"));
    QCOMPARE(ini.Leggi("Stampa Tesserino Beta", "Orientamento"), QString("Orizzontale"));
    QCOMPARE(ini.Leggi("Stampa Tesserino Alfa", "Orientamento"), QString("Verticale"));
}

QTEST_MAIN(TestQrRetro)
#include "tst_qrretro.moc"
