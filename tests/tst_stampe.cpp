// Every way of printing a card prints the same card: the single-card screen, the
// nine-card sheet and the batch "Stampa tessere" on sheets or one to a page give the same
// QR code (accents included), back and printer offsets; a sheet can leave its places
// without a member blank; names too long are named before printing and can be shrunk.
// Printed to PDF through the platform seam and read back with poppler's tools and zbarimg.
#include "archive/Impostazioni.h"
#include "cards/AnteprimaTessera.h"
#include "cards/AnteprimaTessere.h"
#include "cards/Tessera.h"
#include "cards/Tessere.h"
#include "cards/core/CodiceVerifica.h"
#include "lists/TrovaAnagrafica.h"
#include "report/Anteprima.h"
#include "support/Stampati.h"
#include "support/Supporto.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QtTest>

#include <functional>

namespace {

const QString kLettere = QStringLiteral("ABCDEFGHI");
// Card corners on the landscape sheet, mm, slot 1 (A) to 9 (I).
const QPointF kAngoli[9] = {{10, 10},  {105, 10}, {199, 10},  {10, 75},  {105, 75},
                            {199, 75}, {10, 140}, {105, 140}, {199, 140}};
const QByteArray kIniRetro = "Retro=S\xC3\xAC\r\nTestoRetro=Regolamento\\nFirma del titolare\r\n";

// Members with a photo, card number "2025/00p" for record p, and the role "Socia".
void ScriviSoci(Ambiente &env, const QList<QByteArray> &nomi)
{
    QList<QByteArray> record;
    for (int i = 0; i < nomi.size(); ++i) {
        QVERIFY(Immagine(8, 10, Qt::gray).save(env.Percorso(QString("%1.jpg").arg(i + 1))));
        record << Costruttore::Record({{"Tesserato", nomi[i]},
                                       {"Carica", "Socia"},
                                       {"NumTessera", "2025/00" + QByteArray::number(i + 1)},
                                       {"DataRil", "01/01/2025"},
                                       {"DataScade", "31/12/2025"},
                                       {"Preavviso", "0"},
                                       {"Annullata", "No"}});
    }
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
}

// The four ways of printing a card.
enum class Modo { Singola, Foglio, LottoFoglio, LottoSingola };

// One member, by default with accents, with a photo and a card number: record 1.
void ScriviLuca(Ambiente &env, const QByteArray &nome = "Luc\xE0 Ilaria")
{
    ScriviSoci(env, {nome});
}

// Prints the card of every member in the archive the given way, into the PDF of the
// simulation; `prima` acts on the print screen before "Stampa". The batch is started from
// the search with no line chosen, the nine-card sheet holds record 1 in slot 1. True
// when the print screen is still open after "Stampa".
bool StampaNelModo(Modo modo, Ambiente &env, const std::function<void(QDialog *)> &prima = {})
{
    bool aperta = false;
    auto stampa = [&](QDialog *d) {
        if (prima)
            prima(d);
        Clic(d, "btnStampa");
        aperta = d->isVisible();
    };
    if (modo == Modo::Singola) {
        TfrmTessera frm;
        frm.resize(1366, 768);
        frm.show();
        Clic(&frm, "cmdUltimo");
        env->modale = stampa;
        Clic(&frm, "cmdStampa");
    } else if (modo == Modo::Foglio) {
        TfrmTessere frm;
        frm.resize(1366, 768);
        frm.show();
        ImportaNelloSlot(&frm, env, 1, QString()); // the only record
        env->modale = stampa;
        Clic(&frm, "cmdStampa");
    } else {
        TfrmTrovaAnagrafica w;
        w.show();
        Clic(&w, "btnCerca");
        env->modale = [&](QDialog *d) {
            Clic(d, modo == Modo::LottoFoglio ? "optFoglio" : "optSingola");
            stampa(d);
        };
        Clic(&w, "cmdTessere");
    }
    env->modale = nullptr;
    return aperta;
}

} // namespace

class TestStampe : public QObject {
    Q_OBJECT

private slots:
    void stessaTessera_data();
    void stessaTessera();
    void postiSenzaSocio_data();
    void postiSenzaSocio();
    void nomeTroppoLungo_data();
    void nomeTroppoLungo();
    void codiceDiVerifica_data();
    void codiceDiVerifica();
};

void TestStampe::stessaTessera_data()
{
    QTest::addColumn<Modo>("modo");
    QTest::addColumn<bool>("qr");
    QTest::addColumn<bool>("retro");
    QTest::addColumn<QPointF>("scostamento"); // the printer's left and top offsets, mm
    const std::pair<const char *, Modo> modi[] = {{"tessera singola", Modo::Singola},
                                                  {"nove tessere", Modo::Foglio},
                                                  {"lotto a fogli", Modo::LottoFoglio},
                                                  {"lotto una per pagina", Modo::LottoSingola}};
    struct Caso {
        const char *nome;
        bool qr, retro;
        QPointF scostamento;
    };
    const Caso casi[] = {{"nulla", false, false, {0, 0}},
                         {"qr, 5/5", true, false, {5, 5}},
                         {"retro, -3/4", false, true, {-3, 4}},
                         {"qr e retro, 5/5", true, true, {5, 5}}};
    for (const auto &[nomeModo, modo] : modi)
        for (const Caso &c : casi)
            QTest::addRow("%s, %s", nomeModo, c.nome) << modo << c.qr << c.retro << c.scostamento;
}

void TestStampe::stessaTessera()
{
    QFETCH(Modo, modo);
    QFETCH(bool, qr);
    QFETCH(bool, retro);
    QFETCH(QPointF, scostamento);
    Ambiente env;
    ScriviLuca(env);
    QByteArray ini =
        "[Dati Ente]\r\nDenominazione=Circolo Aurora\r\nTestoQR={tessera} {tesserato}\r\n";
    ini += qr ? "CodiceQR=S\xC3\xAC\r\n" : "CodiceQR=No\r\n";
    if (retro)
        ini += kIniRetro;
    // The printer's own offsets, which the defaults must not win over.
    ini += "[Margini Stampa]\r\nSuperiore=20\r\nSinistro=20\r\n[Margini Stampa PDF]\r\nSuperiore=" +
           QByteArray::number(scostamento.y()) +
           "\r\nSinistro=" + QByteArray::number(scostamento.x()) + "\r\n";
    ScriviIni(env, ini);
    const QString pdf = env.Percorso("tessere.pdf");
    env->stampaSuPdf = pdf;
    StampaNelModo(modo, env);
    QCOMPARE(env->dialoghiStampa, 1);
    QVERIFY2(env->messaggi.isEmpty(), qPrintable(env->UltimoMessaggio()));

    const bool foglio = modo == Modo::Foglio || modo == Modo::LottoFoglio;
    const QSizeF carta = PaginaPdf(pdf);
    QCOMPARE(qRound(carta.width()), foglio ? 297 : 210);
    QCOMPARE(PaginePdf(pdf), retro ? 2 : 1);

    // The front where the layout puts it, moved by the offsets, with the same code.
    constexpr int dpi = 300;
    const QPointF angolo = QPointF(10, 10) + scostamento;
    const QImage fronte = Rasterizza(pdf, 1, dpi);
    QVERIFY(!fronte.isNull());
    const QRectF f = Inchiostro(fronte, QRectF(angolo, QSizeF(86, 54)).adjusted(-4, -4, 4, 4), dpi);
    QVERIFY2(QLineF(f.topLeft(), angolo).length() < 0.5,
             qPrintable(QString("%1,%2").arg(f.left()).arg(f.top())));
    QVERIFY(qAbs(f.width() - 86) < 0.5 && qAbs(f.height() - 54) < 0.5);
    QCOMPARE(LeggiCodice(fronte.copy(Pixel(QRectF(angolo, QSizeF(86, 54)), dpi)), env.cartella()),
             qr ? QStringLiteral("2025/001 Luc\u00e0 Ilaria") : QString());
    // The sheet's second place: a placeholder card on the nine-card screen, blank in a batch.
    if (foglio) {
        const QRectF b =
            Inchiostro(fronte, QRectF(QPointF(105, 10) + scostamento, QSizeF(86, 54)), dpi);
        QCOMPARE(b.isNull(), modo == Modo::LottoFoglio);
    }
    if (!retro)
        return;
    // The back: behind the front after a long-edge flip, mirrored across the paper, and moved
    // by the printer's offsets as the front is.
    const QImage dietro = Rasterizza(pdf, 2, dpi);
    QVERIFY(!dietro.isNull());
    const QPointF atteso(carta.width() - 10 - 86 + scostamento.x(), 10 + scostamento.y());
    const QRectF r = Inchiostro(dietro, QRectF(atteso, QSizeF(86, 54)).adjusted(-4, -4, 4, 4), dpi);
    QVERIFY2(QLineF(r.topLeft(), atteso).length() < 0.5,
             qPrintable(QString("%1,%2").arg(r.left()).arg(r.top())));
    QVERIFY(qAbs(r.width() - 86) < 0.5 && qAbs(r.height() - 54) < 0.5);
}

void TestStampe::postiSenzaSocio_data()
{
    QTest::addColumn<bool>("soloCompilate");
    QTest::newRow("tutte e nove") << false;
    QTest::newRow("solo quelle con un socio") << true;
}

void TestStampe::postiSenzaSocio()
{
    QFETCH(bool, soloCompilate);
    Ambiente env;
    ScriviSoci(env, {"ROSSI MARIO", "GALLI PIERO"});
    ScriviIni(env, "[Dati Ente]\r\nDenominazione=Circolo Aurora\r\nCodiceQR=S\xC3\xAC\r\n"
                   "TestoQR={tessera} {tesserato}\r\n");
    const QString pdf = env.Percorso("foglio.pdf");
    env->stampaSuPdf = pdf;
    TfrmTessere frm;
    frm.resize(1366, 768);
    frm.show();
    ImportaNelloSlot(&frm, env, 1, QStringLiteral("ROSSI"));
    ImportaNelloSlot(&frm, env, 5, QStringLiteral("GALLI"));
    Clic(&frm, "cmdCancella09"); // cleared: no member either
    bool primaVolta = true;
    QString testo;
    env->modale = [&](QDialog *d) {
        auto *chk = Controllo<QCheckBox>(d, "chkSoloCompilate");
        testo = chk->text();
        primaVolta = chk->isChecked();
        if (soloCompilate)
            chk->click();
        Clic(d, "btnStampa");
    };
    Clic(&frm, "cmdStampa");
    QCOMPARE(env->modaliMostrati.last(), QString("TfrmStampaTessere"));
    QCOMPARE(testo, QString("Stampa solo le tessere con un socio"));
    QVERIFY(!primaVolta); // all nine by default
    QVERIFY(env->messaggi.isEmpty());

    constexpr int dpi = 300;
    const QImage pagina = Rasterizza(pdf, 1, dpi);
    QVERIFY(!pagina.isNull());
    for (int s = 0; s < 9; ++s) {
        const QRectF carta(kAngoli[s], QSizeF(86, 54));
        const bool socio = s == 0 || s == 4;
        QVERIFY2(Inchiostro(pagina, carta, dpi).isNull() == (soloCompilate && !socio),
                 qPrintable(kLettere[s]));
        // Only a card with a member carries a code.
        const QString letto = LeggiCodice(pagina.copy(Pixel(carta, dpi)), env.cartella());
        QCOMPARE(letto, s == 0   ? QString("2025/001 ROSSI MARIO")
                        : s == 4 ? QString("2025/002 GALLI PIERO")
                                 : QString());
    }

    // Remembered, and offered so the next time.
    QCOMPARE(TFileIni(env.Percorso("Quorvel.ini")).Leggi("Stampa Tessere", "SoloCompilate"),
             soloCompilate ? QString("S\u00ec") : QString("No"));
    bool offerta = !soloCompilate;
    env->modale = [&](QDialog *d) {
        offerta = Controllo<QCheckBox>(d, "chkSoloCompilate")->isChecked();
    };
    Clic(&frm, "cmdStampa");
    QCOMPARE(env->modaliMostrati.size(), 4);
    QCOMPARE(offerta, soloCompilate);

    // The preview shows, and its print button prints, the sheet as last printed.
    QRectF secondo;
    env->modale = [&](QDialog *d) {
        if (qobject_cast<TfrmAnteprimaReport *>(d))
            return;
        Clic(d, "btnStampa");
        const QImage img =
            qobject_cast<TfrmAnteprimaTessere *>(d)->repTesserino().RenderImmagine(0, 150);
        secondo = Inchiostro(img, QRectF(kAngoli[1], QSizeF(86, 54)), 150);
    };
    Clic(&frm, "cmdAnteprima");
    QCOMPARE(env->modaliMostrati.last(), QString("TfrmAnteprimaReport"));
    QCOMPARE(secondo.isNull(), soloCompilate);
}

void TestStampe::nomeTroppoLungo_data()
{
    QTest::addColumn<Modo>("modo");
    QTest::addColumn<bool>("adatta");
    QTest::addColumn<bool>("risposta"); // to the question before printing
    const std::pair<const char *, Modo> modi[] = {{"tessera singola", Modo::Singola},
                                                  {"nove tessere", Modo::Foglio},
                                                  {"lotto", Modo::LottoFoglio}};
    for (const auto &[nome, modo] : modi) {
        QTest::addRow("%s, tagliato", nome) << modo << false << true;
        QTest::addRow("%s, tornare indietro", nome) << modo << false << false;
        QTest::addRow("%s, ridotto", nome) << modo << true << true;
    }
}

void TestStampe::nomeTroppoLungo()
{
    QFETCH(Modo, modo);
    QFETCH(bool, adatta);
    QFETCH(bool, risposta);
    Ambiente env;
    // 47 characters: at 9 pt the name box holds about 33 of them.
    ScriviLuca(env, "Dell'Anna Maria Immacolata Benedetta Sorrentino");
    ScriviIni(env, "[Dati Ente]\r\nDenominazione=Circolo Aurora\r\n");
    const QString pdf = env.Percorso("tessera.pdf");
    env->stampaSuPdf = pdf;
    env->risposte.enqueue(risposta);
    bool offerta = true;
    const bool aperta = StampaNelModo(modo, env, [&](QDialog *d) {
        auto *chk = Controllo<QCheckBox>(d, "chkAdatta");
        QCOMPARE(chk->text(), QString("Riduci il carattere dei testi troppo lunghi"));
        offerta = chk->isChecked();
        if (adatta)
            chk->click();
    });
    QVERIFY(!offerta); // off by default
    if (modo == Modo::Singola && risposta) {
        // The single card's preview shows the name as it was last printed.
        TfrmTessera frm;
        frm.show();
        Clic(&frm, "cmdUltimo");
        double punti = 0;
        env->modale = [&](QDialog *d) {
            if (auto *a = qobject_cast<TfrmAnteprimaTessera *>(d)) {
                Clic(a, "btnStampa");
                punti = a->repTesserino().Memo("txtTesserato").Font.Size;
            }
        };
        Clic(&frm, "cmdAnteprima");
        env->modale = nullptr;
        QCOMPARE(env->modaliMostrati.last(), QString("TfrmAnteprimaReport"));
        QVERIFY2(adatta ? punti >= 6 && punti < 9 : punti == 9, qPrintable(QString::number(punti)));
    }
    if (adatta) {
        // Shrunk to fit: nothing to warn about, and the last word ends inside the box.
        QVERIFY2(env->messaggi.isEmpty(), qPrintable(env->UltimoMessaggio()));
        const double fine = FineParola(pdf, QStringLiteral("Sorrentino"));
        QVERIFY2(fine > 40 && fine <= 10 + 85 + 0.1, qPrintable(QString::number(fine)));
        QCOMPARE(TFileIni(env.Percorso("Quorvel.ini")).Leggi("Stampa Tessere", "Adatta"),
                 QString("S\u00ec"));
        return;
    }
    // Named before printing, through one Yes/No question.
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Domanda);
    QVERIFY2(
        env->UltimoMessaggio().contains("Dell'Anna Maria Immacolata Benedetta Sorrentino (nome)"),
        qPrintable(env->UltimoMessaggio()));
    // No goes back to the print screen, which stays open with nothing printed.
    QCOMPARE(aperta, !risposta);
    if (!risposta) {
        QCOMPARE(env->dialoghiStampa, 0);
        QVERIFY(!QFile::exists(pdf));
        return;
    }
    // Printed at its size, so it runs past the box and is cut there.
    QCOMPARE(env->dialoghiStampa, 1);
    QVERIFY(FineParola(pdf, QStringLiteral("Sorrentino")) > 10 + 85);
}

void TestStampe::codiceDiVerifica_data()
{
    QTest::addColumn<Modo>("modo");
    QTest::newRow("tessera singola") << Modo::Singola;
    QTest::newRow("nove tessere") << Modo::Foglio;
    QTest::newRow("lotto a fogli") << Modo::LottoFoglio;
    QTest::newRow("lotto una per pagina") << Modo::LottoSingola;
}

// "TipoQR=verifica": every way of printing puts the same signed code in the card, made with
// the key the first print leaves beside the archive, and the text's placeholders are unused.
void TestStampe::codiceDiVerifica()
{
    QFETCH(Modo, modo);
    Ambiente env;
    ScriviLuca(env);
    ScriviIni(env, "[Dati Ente]\r\nDenominazione=Circolo Aurora\r\nCodiceQR=S\xC3\xAC\r\n"
                   "TestoQR={tessera} {tesserato}\r\nTipoQR=verifica\r\n");
    const QString pdf = env.Percorso("tessere.pdf");
    env->stampaSuPdf = pdf;
    StampaNelModo(modo, env);
    QCOMPARE(env->dialoghiStampa, 1);
    QVERIFY2(env->messaggi.isEmpty(), qPrintable(env->UltimoMessaggio()));
    const QByteArray chiave = Costruttore::LeggiFile(env.Percorso("ChiaveVerifica.bin"));
    QCOMPARE(chiave.size(), CodiceVerifica::ByteChiave);
    const QImage fronte = Rasterizza(pdf, 1, 300);
    const QString codice =
        LeggiCodice(fronte.copy(Pixel(QRectF(10, 10, 86, 54), 300)), env.cartella());
    QCOMPARE(codice, CodiceVerifica::Componi(QStringLiteral("2025/001"),
                                             QStringLiteral("31/12/2025"), chiave));
    const auto letto = CodiceVerifica::Leggi(codice, chiave);
    QVERIFY(letto && letto->firmaValida);
}

QTEST_MAIN(TestStampe)
#include "tst_stampe.moc"
