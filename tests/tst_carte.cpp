// The card screens as an association uses them: the QR placeholders on the organization
// data screen, the back behind the front, margin buttons held down, the calibration
// sheet's instructions and numbers, and screen cards that show what paper shows.
#include "archive/Impostazioni.h"
#include "cards/DatiEnte.h"
#include "cards/StampaTessera.h"
#include "cards/Tessera.h"
#include "cards/Tessere.h"
#include "cards/core/FoglioProva.h"
#include "cards/core/ModelloTessera.h"
#include "support/Stampati.h"
#include "support/Supporto.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QtTest>

#include <memory>

using Piattaforma::Forma;

class TstCarte : public QObject {
    Q_OBJECT

private slots:
    void segnapostoSconosciuti_data();
    void segnapostoSconosciuti();
    void marginiTenutiPremuti_data();
    void marginiTenutiPremuti();
    void foglioDiProva_data();
    void foglioDiProva();
    void codiceSulloSchermo_data();
    void codiceSulloSchermo();
    void righeEnteIntere();
};

void TstCarte::segnapostoSconosciuti_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("qr");
    QTest::addColumn<QString>("sconosciuti"); // empty: saved without a word
    QTest::newRow("noti") << "{tessera};{tesserato};{scadenza};{rilascio};{posizione}" << true
                          << "";
    QTest::newRow("email") << "{tessera} {email}" << true << "{email}";
    QTest::newRow("due, una volta ciascuno")
        << "{Tessera} {email} {email} {" << true << "{Tessera}, {email}";
    QTest::newRow("codice spento") << "{email}" << false << "";
}

void TstCarte::segnapostoSconosciuti()
{
    QFETCH(QString, testo);
    QFETCH(bool, qr);
    QFETCH(QString, sconosciuti);
    Ambiente env;
    auto frm = ApriTessera();
    QString elenco;
    bool restaAperta = false;
    env->modale = [&](QDialog *d) {
        auto *lbl = Controllo<QLabel>(d, "lblSegnapostoQR");
        elenco = lbl->isVisibleTo(d) ? lbl->text() : QString();
        Controllo<QCheckBox>(d, "chkQR")->setChecked(qr);
        auto *txt = Controllo<QLineEdit>(d, "txtQR");
        txt->clear();
        QTest::keyClicks(txt, testo);
        Clic(d, "btnApplica");
        restaAperta = d->isVisible();
    };
    QTest::mouseClick(Controllo<QLabel>(frm.get(), "titAssociazione"), Qt::LeftButton);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmDatiEnte"});
    QCOMPARE(elenco,
             QStringLiteral("Segnaposto: {tessera} {tesserato} {scadenza} {rilascio} {posizione}"));

    const QString salvato = TFileIni(env.Percorso("Quorvel.ini")).Leggi("Dati Ente", "TestoQR");
    if (sconosciuti.isEmpty()) {
        QVERIFY(env->messaggi.isEmpty());
        QVERIFY(!restaAperta);
        QCOMPARE(salvato, testo);
        return;
    }
    // Warned with the unknown ones and the known ones named; nothing saved, still open.
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi[0].forma, Forma::Avviso);
    QCOMPARE(env->messaggi[0].testo,
             QStringLiteral("Attenzione: il testo del codice QR contiene segnaposto sconosciuti: "
                            "%1.\n\nSulla tessera sarebbero stampati così come sono scritti. I "
                            "segnaposto disponibili sono: {tessera}, {tesserato}, {scadenza}, "
                            "{rilascio}, {posizione}.")
                 .arg(sconosciuti));
    QVERIFY(restaAperta);
    QVERIFY(salvato.isEmpty());
}

void TstCarte::marginiTenutiPremuti_data()
{
    QTest::addColumn<QString>("pulsante");
    QTest::addColumn<QString>("casella");
    QTest::addColumn<int>("verso");
    QTest::newRow("su +") << "btnTopPlus"
                          << "txtTop" << 1;
    QTest::newRow("su -") << "btnTopMinus"
                          << "txtTop" << -1;
    QTest::newRow("sinistra +") << "btnLeftPlus"
                                << "txtLeft" << 1;
    QTest::newRow("sinistra -") << "btnLeftMinus"
                                << "txtLeft" << -1;
}

void TstCarte::marginiTenutiPremuti()
{
    QFETCH(QString, pulsante);
    QFETCH(QString, casella);
    QFETCH(int, verso);
    Ambiente env;
    env->annullaStampa = true;
    auto frm = ApriTessera();
    int tenuto = 0, rilasciato = 0, dopo = 0;
    env->modale = [&](QDialog *d) {
        auto *b = Controllo<QAbstractButton>(d, qPrintable(pulsante));
        auto *t = Controllo<QLineEdit>(d, qPrintable(casella));
        auto valore = [t] { return t->text().toInt(); };
        // Held down: the value keeps moving, a millimetre a step.
        QTest::mousePress(b, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(valore() * verso >= 4, 5000);
        tenuto = valore();
        QTest::mouseRelease(b, Qt::LeftButton);
        rilasciato = valore();
        QVERIFY(!b->isDown());
        QCoreApplication::processEvents();
        dopo = valore();
        Clic(d, "btnAnnulla");
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaTessera"});
    QVERIFY(tenuto * verso >= 4);
    QCOMPARE(dopo, rilasciato);
}

void TstCarte::foglioDiProva_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QPointF>("angolo"); // card's top-left corner, mm
    QTest::newRow("margini zero") << QByteArray() << QPointF(10, 10);
    QTest::newRow("cinque e cinque")
        << QByteArray("[Margini Stampa]\r\nSuperiore=5\r\nSinistro=5\r\n") << QPointF(15, 15);
    QTest::newRow("orizzontale 13 e 2")
        << QByteArray("[Margini Stampa]\r\nSuperiore=2\r\nSinistro=13\r\n"
                      "[Stampa Tesserino]\r\nOrientamento=Orizzontale\r\n")
        << QPointF(23, 12);
}

void TstCarte::foglioDiProva()
{
    QFETCH(QByteArray, ini);
    QFETCH(QPointF, angolo);
    Ambiente env;
    if (!ini.isEmpty())
        ScriviIni(env, ini);
    env->stampaSuPdf = env.Percorso("prova.pdf");
    auto frm = ApriTessera();
    std::vector<TElementoPreparato> elementi;
    env->modale = [&](QDialog *d) {
        Clic(d, "cmdProva");
        const TReport *prova = qobject_cast<TfrmStampaTessera *>(d)->repProva();
        QVERIFY(prova && prova->PreparedCount() == 1);
        elementi = prova->PreparedPages()[0].elementi;
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaTessera"});
    QVERIFY(env->messaggi.isEmpty());

    // Every ruler number lies off the card's outline and off the corner crosses.
    QRectF carta;
    QList<QRectF> croci, numeri;
    for (const auto &e : elementi) {
        const QString &nome = e.oggetto->Name;
        const QRectF mm(Unita::InMm(e.rettangolo.left()), Unita::InMm(e.rettangolo.top()),
                        Unita::InMm(e.rettangolo.width()), Unita::InMm(e.rettangolo.height()));
        if (nome == u"shpProvaTessera")
            carta = mm;
        else if (nome == u"shpCroce")
            croci << mm;
        else if (nome.startsWith(u"txtNumero"))
            numeri << mm;
    }
    QCOMPARE(carta.topLeft(), angolo);
    QCOMPARE(croci.size(), 8);
    QVERIFY(numeri.size() >= 4);
    for (const QRectF &n : numeri) {
        const QString dove =
            QStringLiteral("%1,%2 %3x%4").arg(n.left()).arg(n.top()).arg(n.width()).arg(n.height());
        QVERIFY2(!n.intersects(carta), qPrintable(dove));
        for (const QRectF &c : croci)
            QVERIFY2(!n.intersects(c), qPrintable(dove));
    }

    // The instructions are on the page, under the card.
    const QString testo = Esegui(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-nopgbrk"), env.Percorso("prova.pdf"), "-"});
    for (const QString &riga : IstruzioniProva())
        QVERIFY2(testo.simplified().contains(riga.simplified()), qPrintable(riga));
    QVERIFY(testo.contains(QStringLiteral("Sovrapporre il foglio al cartoncino")));
    for (const auto &e : elementi)
        if (e.oggetto->Name == u"txtIstruzioni")
            QVERIFY(Unita::InMm(e.rettangolo.top()) > carta.bottom() + 5);
}

void TstCarte::codiceSulloSchermo_data()
{
    QTest::addColumn<QByteArray>("qr");
    QTest::addColumn<QString>("atteso"); // empty: no code on the card
    QTest::newRow("acceso") << QByteArray("S\xC3\xAC") << "2025/001 ROSSI MARIO #1";
    QTest::newRow("spento") << QByteArray("No") << "";
}

void TstCarte::codiceSulloSchermo()
{
    QFETCH(QByteArray, qr);
    QFETCH(QString, atteso);
    Ambiente env;
    ScriviIni(env, "[Dati Ente]\r\nDenominazione=Circolo Aurora\r\nCodiceQR=" + qr +
                       "\r\nTestoQR={tessera} {tesserato} #{posizione}\r\n");
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Costruttore::Record({{"Tesserato", "ROSSI MARIO"},
                                                      {"NumTessera", "2025/001"},
                                                      {"DataRil", "01/01/2025"},
                                                      {"DataScade", "31/12/2025"},
                                                      {"Annullata", "No"}})});
    auto frm = ApriTessera();
    Clic(frm.get(), "cmdPrimo");
    // The card on screen as the user sees it, read by a real reader.
    const QString file = QDir(env.cartella()).filePath(QStringLiteral("carta.png"));
    auto leggi = [&] {
        const QImage carta = Controllo<QWidget>(frm.get(), "shpSfondo")->grab().toImage();
        if (!carta.save(file))
            return QStringLiteral("(not saved)");
        return Esegui(QStringLiteral("zbarimg"),
                      {QStringLiteral("-q"), QStringLiteral("--raw"), file});
    };
    QCOMPARE(leggi(), atteso);
    if (!atteso.isEmpty()) {
        // At the right end of the top band, as on paper.
        auto *codice = Controllo<QLabel>(frm.get(), "imgCodiceQR");
        auto *fascia = Controllo<QWidget>(frm.get(), "shpHeader");
        QCOMPARE(codice->geometry().right(), fascia->geometry().right());
        QCOMPARE(codice->geometry().top(), fascia->geometry().top());
    }

    // The option turned the other way on the organization data screen: the card follows.
    env->modale = [](QDialog *d) {
        Clic(d, "chkQR");
        Clic(d, "btnApplica");
    };
    QTest::mouseClick(Controllo<QLabel>(frm.get(), "titAssociazione"), Qt::LeftButton);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmDatiEnte"});
    QCOMPARE(leggi(), atteso.isEmpty() ? QStringLiteral("2025/001 ROSSI MARIO #1") : QString());
}

void TstCarte::righeEnteIntere()
{
    // Lines that fit 54 mm of paper at the card's size show whole on the nine-card screen.
    Ambiente env;
    ScriviIni(env, "[Dati Ente]\r\nDenominazione=Circolo Ricreativo \xC2\xABLa Pergola\xC2\xBB "
                   "APS\r\nSottotitolo 1=Via dei Glicini 12, 40121 Bologna\r\n"
                   "Sottotitolo 2=Tel. 051 123456 - info@lapergola.it\r\n"
                   "Annotazioni=Tessera valida per l'anno sociale 2025\r\n");
    auto frm = std::make_unique<TfrmTessere>();
    frm->resize(1366, 768);
    frm->show();
    for (const char *nome : {"titAssociazione_A", "titSottotitolo01_A", "titSottotitolo02_A",
                             "titAnnotazioni_A", "titAssociazione_I"}) {
        auto *l = Controllo<QLabel>(frm.get(), nome);
        QVERIFY2(l->text().size() > 30, qPrintable(l->text()));
        const int serve = QFontMetrics(l->font()).horizontalAdvance(l->text());
        QVERIFY2(
            serve <= l->contentsRect().width(),
            qPrintable(
                QStringLiteral("%1: %2 > %3").arg(nome).arg(serve).arg(l->contentsRect().width())));
        QVERIFY(l->font().pointSizeF() >= 5.0);
    }
    QCOMPARE(Controllo<QLabel>(frm.get(), "titAssociazione_E")->text(),
             QStringLiteral("Circolo Ricreativo \u00ABLa Pergola\u00BB APS"));
}

QTEST_MAIN(TstCarte)
#include "tst_carte.moc"
