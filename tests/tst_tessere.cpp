// The nine-card sheet: the screen with its nine slots, the sheet template, the sheet
// print and the sheet preview, driven as a user would.
#include "cards/AnteprimaTessere.h"
#include "cards/StampaTessere.h"
#include "cards/Tessere.h"
#include "cards/core/ModelloTesserini.h"
#include "lists/TrovaAnagrafica.h"
#include "report/Anteprima.h"
#include "shell/Guida.h"
#include "support/Supporto.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using Piattaforma::Forma;

namespace {

const QString kLettere = QStringLiteral("ABCDEFGHI");
const QStringList kMembro = {"txtTesserato", "txtCarica", "txtNumTessera", "txtDataRil",
                             "txtDataScade"};
const QStringList kSegnaposto = {"Cognome e nome Socio", "Carica ricoperta", "Tessera n.",
                                 "GG/MM/AAAA", "GG/MM/AAAA"};
const QStringList kEnte = {"titAssociazione", "titSottotitolo01", "titSottotitolo02",
                           "titAnnotazioni"};
const QByteArray kIni = "[Dati Ente]\r\nDenominazione=  Circolo Aurora\r\nSottotitolo 1=Via "
                        "Roma 1\r\nSottotitolo 2=Tel. 051 1\r\nAnnotazioni=Valida 2025\r\n";

// Top-left corner of each card on the landscape sheet, mm, slot 1 (A) to 9 (I).
const QPointF kAngoli[9] = {{10, 10},  {105, 10}, {199, 10},  {10, 75},  {105, 75},
                            {199, 75}, {10, 140}, {105, 140}, {199, 140}};

QString Suff(int i)
{
    return QStringLiteral("_") + kLettere[i];
}

void Scrivi(const QString &percorso, const QByteArray &contenuto)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contenuto);
}

std::unique_ptr<TfrmTessere> Apri()
{
    auto frm = std::make_unique<TfrmTessere>();
    frm->resize(1366, 768);
    frm->show();
    return frm;
}

QString Testo(QWidget *frm, const QString &nome)
{
    return Controllo<QLabel>(frm, qPrintable(nome))->text();
}

QImage Foto(QWidget *frm, const QString &nome)
{
    return Controllo<TImmagine>(frm, qPrintable(nome))->Picture();
}

// Every text of the nine slots and the position label, to compare states.
QStringList Stato(QWidget *frm)
{
    QStringList s;
    for (int i = 0; i < 9; ++i)
        for (const QString &n : kMembro + kEnte)
            s << Testo(frm, n + Suff(i));
    s << Testo(frm, "lblPosizione");
    return s;
}

// Picks the member named so in the search opened by the slot's import button.
void Importa(QWidget *frm, Ambiente &env, int slot, const QString &nome)
{
    QString modo;
    env->modale = [&](QDialog *d) {
        modo = Controllo<QLabel>(d, "lblMemory")->text();
        QTest::keyClicks(Controllo<QLineEdit>(d, "txtTesserato"), nome);
        Clic(d, "btnCerca");
        auto *lst = Controllo<QListView>(d, "lstRecords");
        QCOMPARE(lst->model()->rowCount(), 1);
        const QPoint p = lst->visualRect(lst->model()->index(0, 0)).center();
        QTest::mouseClick(lst->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(lst->viewport(), Qt::LeftButton, {}, p);
    };
    Clic(frm, qPrintable(QStringLiteral("btnImporta%1").arg(slot, 2, 10, QLatin1Char('0'))));
    env->modale = nullptr;
    QCOMPARE(modo, QStringLiteral("tessere_%1").arg(slot, 2, 10, QLatin1Char('0')));
}

// Presses "Stampa" on the sheet print screen and hands back what was prepared.
struct Foglio {
    QImage pagina; // rendered at 5 px/mm
    QSizeF carta;  // mm
    std::vector<TElementoPreparato> elementi;
    QMap<QString, QString> testi;
    QMap<QString, QImage> immagini;
};
constexpr double kDpi = 127.0;
constexpr double kPxMm = kDpi / 25.4;

Foglio Stampa(QWidget *frm, Ambiente &env)
{
    Foglio f;
    env->modale = [&](QDialog *d) {
        Clic(d, "btnStampa");
        QVERIFY(!d->isVisible());
        const TReport &r = qobject_cast<TfrmStampaTessere *>(d)->repTesserino();
        QCOMPARE(r.PreparedCount(), 1);
        const TPaginaPreparata &p = r.PreparedPages()[0];
        f.carta = QSizeF(p.LarghezzaMm, p.AltezzaMm);
        f.elementi = p.elementi;
        f.pagina = r.RenderImmagine(0, kDpi);
        for (int i = 0; i < 9; ++i) {
            for (const QString &n :
                 kMembro + QStringList{"txtAssociazione", "txtSottotitolo01", "txtSottotitolo02",
                                       "txtAnnotazioni", "titDataRil", "titDataScade"})
                f.testi[n + Suff(i)] = r.Memo(n + Suff(i)).Text();
            for (const QString &n : {QStringLiteral("imgFoto"), QStringLiteral("imgLogo")})
                f.immagini[n + Suff(i)] = r.Picture(n + Suff(i)).Picture;
        }
    };
    Clic(frm, "cmdStampa");
    env->modale = nullptr;
    return f;
}

// Bounding box in mm of the non-white pixels inside a region given in mm.
QRectF Inchiostro(const QImage &pagina, const QRectF &zonaMm)
{
    const QRect zona = QRect(int(zonaMm.left() * kPxMm), int(zonaMm.top() * kPxMm),
                             int(zonaMm.width() * kPxMm), int(zonaMm.height() * kPxMm))
                           .intersected(pagina.rect());
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    for (int y = zona.top(); y <= zona.bottom(); ++y) {
        const QRgb *riga = reinterpret_cast<const QRgb *>(pagina.constScanLine(y));
        for (int x = zona.left(); x <= zona.right(); ++x) {
            const QRgb c = riga[x];
            if (qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235)
                continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    if (x1 < 0)
        return QRectF();
    return QRectF(x0 / kPxMm, y0 / kPxMm, (x1 + 1 - x0) / kPxMm, (y1 + 1 - y0) / kPxMm);
}

// Dark pixels (text) in a region in mm.
int Scuri(const QImage &pagina, const QRectF &zonaMm)
{
    int n = 0;
    for (int y = int(zonaMm.top() * kPxMm); y < int(zonaMm.bottom() * kPxMm); ++y)
        for (int x = int(zonaMm.left() * kPxMm); x < int(zonaMm.right() * kPxMm); ++x)
            if (qGray(pagina.pixel(x, y)) < 100)
                ++n;
    return n;
}

} // namespace

class TestTessere : public QObject {
    Q_OBJECT

private slots:
    void modello();
    void foglio_data();
    void foglio();
    void statiDelloSlot();
    void importaNelloSlot_data();
    void importaNelloSlot();
    void modiDiRicerca();
    void cancellaTutte_data();
    void cancellaTutte();
    void mostra_data();
    void mostra();
    void guidaEdEsci();
    void anteprima();
    void esitiDellaStampa_data();
    void esitiDellaStampa();
};

void TestTessere::modello()
{
    const auto r = CreaTesserini();
    QCOMPARE(r->ReportOptions.Name, QString("Tesserini"));
    QVERIFY(r->PreviewOptions.Buttons == (pbPrint | pbZoom | pbFullScreen | pbClose));
    const TReportPage &p = r->Pages(1);
    QCOMPARE(p.PaperSize, 9);
    QCOMPARE(p.Orientation(), poLandscape);
    QCOMPARE(QSizeF(p.PaperWidth, p.PaperHeight), QSizeF(297, 210));
    QCOMPARE(QList<double>({p.LeftMargin, p.TopMargin, p.RightMargin, p.BottomMargin}),
             QList<double>({0, 0, 0, 0}));
    QVERIFY(p.Bands.empty());
    QCOMPARE(int(p.Objects.size()), 9 * 18);
    for (int i = 0; i < 9; ++i) {
        QVERIFY(dynamic_cast<TShapeView *>(r->FindObject("shpTessera" + Suff(i))));
        QVERIFY(!r->FindObject("shpSfondo" + Suff(i)));
    }
    // The sheet variant: dates 0.2 mm higher, only three memos vertically centred.
    QVERIFY(qAbs(Unita::InMm(r->Memo("txtDataRil_E").Top) - (75 + 32.4)) < 1e-6);
    QVERIFY(qAbs(Unita::InMm(r->Memo("txtDataScade_I").Top) - (140 + 41.4)) < 1e-6);
    QCOMPARE(r->Memo("txtTesserato_B").VAlign, vaTop);
    QCOMPARE(r->Memo("txtAnnotazioni_B").VAlign, vaCenter);
    QVERIFY(qAbs(r->Memo("txtTesserato_B").Left - r->Memo("txtTesserato_A").Left - 359.06) < 0.01);
    QVERIFY(qAbs(r->Memo("txtTesserato_G").Top - r->Memo("txtTesserato_A").Top - 491.34) < 0.01);
}

void TestTessere::foglio_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QPointF>("scostamento"); // mm, left and top
    QTest::newRow("nessuna impostazione") << QByteArray() << QPointF(0, 0);
    // The offsets of the printer the dialog offers first move every card; the single
    // card's orientation does not turn the sheet.
    QTest::newRow("scostamenti della stampante")
        << QByteArray("[Margini Stampa]\r\nSuperiore=25\r\nSinistro=-7\r\n"
                      "[Margini Stampa PDF]\r\nSuperiore=5\r\nSinistro=5\r\n"
                      "[Stampa Tesserino PDF]\r\nOrientamento=Verticale\r\n")
        << QPointF(5, 5);
    QTest::newRow("scostamenti comuni")
        << QByteArray("[Margini Stampa]\r\nSuperiore=-2,5\r\nSinistro=3\r\n") << QPointF(3, -2.5);
}

void TestTessere::foglio()
{
    QFETCH(QByteArray, ini);
    QFETCH(QPointF, scostamento);
    Ambiente env;
    if (!ini.isEmpty())
        Scrivi(env.Percorso("Quorvel.ini"), ini);
    env->stampaSuPdf = env.Percorso("foglio.pdf");
    auto frm = Apri();
    const Foglio f = Stampa(frm.get(), env);
    QVERIFY(env->messaggi.isEmpty());
    QCOMPARE(env->dialoghiStampa, 1);
    QCOMPARE(f.carta, QSizeF(297, 210));
    const QSizeF pdf = PaginaPdf(env.Percorso("foglio.pdf"));
    QVERIFY2(qAbs(pdf.width() - 297) < 1 && qAbs(pdf.height() - 210) < 1,
             qPrintable(QString("%1 x %2").arg(pdf.width()).arg(pdf.height())));

    // Each card's ink where the table puts it: A at 10/10, F at 199/75, I at 199/140,
    // moved by the printer's offsets.
    for (int i = 0; i < 9; ++i) {
        const QPointF angolo = kAngoli[i] + scostamento;
        const QRectF carta =
            Inchiostro(f.pagina, QRectF(angolo.x() - 4, angolo.y() - 4, 86 + 8, 54 + 8));
        const QString dove = QString("%1: %2,%3 %4x%5")
                                 .arg(kLettere[i])
                                 .arg(carta.left())
                                 .arg(carta.top())
                                 .arg(carta.width())
                                 .arg(carta.height());
        QVERIFY2(qAbs(carta.left() - angolo.x()) < 0.5, qPrintable(dove));
        QVERIFY2(qAbs(carta.top() - angolo.y()) < 0.5, qPrintable(dove));
        QVERIFY2(qAbs(carta.width() - 86) < 0.6 && qAbs(carta.height() - 54) < 0.6,
                 qPrintable(dove));
    }

    // Every object of every card lies where card A's does, shifted, within 0.3 mm.
    QMap<QString, QRectF> posti;
    for (const TElementoPreparato &e : f.elementi)
        posti[e.oggetto->Name] = e.rettangolo;
    QCOMPARE(posti.size(), 9 * 18);
    int confrontati = 0;
    for (auto it = posti.cbegin(); it != posti.cend(); ++it) {
        if (!it.key().endsWith("_A"))
            continue;
        const QString base = it.key().chopped(1);
        for (int i = 1; i < 9; ++i) {
            const QRectF altro = posti.value(base + kLettere[i]);
            const QPointF atteso = it.value().topLeft() + QPointF(Unita::DaMm(kAngoli[i].x() - 10),
                                                                  Unita::DaMm(kAngoli[i].y() - 10));
            QVERIFY2(Unita::InMm(qAbs(altro.left() - atteso.x())) < 0.3 &&
                         Unita::InMm(qAbs(altro.top() - atteso.y())) < 0.3 &&
                         altro.size() == it.value().size(),
                     qPrintable(base + kLettere[i]));
            ++confrontati;
        }
    }
    QCOMPARE(confrontati, 18 * 8);
}

void TestTessere::statiDelloSlot()
{
    // Untouched slots print the placeholders; a cleared slot prints the organization's
    // texts, logo and the placeholder portrait with empty member fields.
    Ambiente env;
    Scrivi(env.Percorso("Quorvel.ini"), kIni);
    QVERIFY(Immagine(119, 118, Qt::red).save(env.Percorso("Logo.jpg")));
    env->stampaSuPdf = env.Percorso("foglio.pdf");
    auto frm = Apri();
    Clic(frm.get(), "cmdCancella03");
    for (int i = 0; i < 5; ++i)
        QCOMPARE(Testo(frm.get(), kMembro[i] + "_C"), QString());
    const Foglio f = Stampa(frm.get(), env);
    QVERIFY(env->messaggi.isEmpty());
    const QImage bianco = Foto(frm.get(), "imgBianco");
    for (int i = 0; i < 9; ++i) {
        const QString s = Suff(i);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(f.testi[kMembro[k] + s], i == 2 ? QString() : kSegnaposto[k]);
        QCOMPARE(f.testi["txtAssociazione" + s], QString("Circolo Aurora"));
        QCOMPARE(f.testi["txtSottotitolo01" + s], QString("Via Roma 1"));
        QCOMPARE(f.testi["txtSottotitolo02" + s], QString("Tel. 051 1"));
        QCOMPARE(f.testi["txtAnnotazioni" + s], QString("Valida 2025"));
        QCOMPARE(f.testi["titDataRil" + s], QString("Data rilascio:"));
        QCOMPARE(f.testi["titDataScade" + s], QString("Data scadenza:"));
        QCOMPARE(f.immagini["imgFoto" + s], bianco);
        const QImage logo = f.immagini["imgLogo" + s];
        QCOMPARE(logo.size(), QSize(119, 118));
        QVERIFY(qRed(logo.pixel(60, 60)) > 200 && qGreen(logo.pixel(60, 60)) < 60);
    }
    // On paper: no name on card C, the placeholder name on card B; the bands on both.
    const QRectF nomeB(105 + 31, 10 + 15, 40, 4), nomeC(199 + 31, 10 + 15, 40, 4);
    QVERIFY(Scuri(f.pagina, nomeB) > 20);
    QCOMPARE(Scuri(f.pagina, nomeC), 0);
    QVERIFY(qBlue(f.pagina.pixel(int((199 + 70) * kPxMm), int((10 + 12) * kPxMm))) > 100);
}

void TestTessere::importaNelloSlot_data()
{
    QTest::addColumn<bool>("conFoto");
    QTest::newRow("con foto") << true;
    QTest::newRow("senza foto") << false;
}

void TestTessere::importaNelloSlot()
{
    QFETCH(bool, conFoto);
    Ambiente env;
    Scrivi(env.Percorso("Quorvel.ini"), kIni);
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {Costruttore::Tesserato("ROSSI MARIO"), Costruttore::Record({{"Tesserato", "BIANCHI ANNA"},
                                                                     {"Carica", "Segretaria"},
                                                                     {"NumTessera", "T000002"},
                                                                     {"DataRil", "01/02/2025"},
                                                                     {"DataScade", "31/01/2026"},
                                                                     {"Annullata", "No"}})});
    if (conFoto)
        QVERIFY(Immagine(40, 50, Qt::blue).save(env.Percorso("2.jpg")));
    env->stampaSuPdf = env.Percorso("foglio.pdf");
    auto frm = Apri();
    const QStringList prima = Stato(frm.get());
    Importa(frm.get(), env, 5, "bianchi");
    QVERIFY(env->messaggi.isEmpty());

    // Only card E (the middle of the grid) and the position label change.
    QStringList dopo = Stato(frm.get());
    QCOMPARE(dopo.takeLast(), QString("2"));
    const QStringList attesi = {"BIANCHI ANNA", "Segretaria", "T000002", "01/02/2025",
                                "31/01/2026"};
    const int n = kMembro.size() + kEnte.size();
    for (int i = 0; i < 9; ++i)
        for (int k = 0; k < n; ++k)
            QCOMPARE(dopo[i * n + k], (i == 4 && k < 5) ? attesi[k] : prima[i * n + k]);
    const QImage bianco = Foto(frm.get(), "imgBianco");
    for (int i = 0; i < 9; ++i)
        QCOMPARE(Foto(frm.get(), "imgFoto" + Suff(i)) == bianco, i != 4 || !conFoto);
    if (conFoto)
        QVERIFY(qBlue(Foto(frm.get(), "imgFoto_E").pixel(20, 25)) > 200);

    // Printed on the middle card of the sheet; a member without a photo is named in a
    // question first, answered Yes.
    env->risposte.enqueue(true);
    const Foglio f = Stampa(frm.get(), env);
    QCOMPARE(env->messaggi.size(), conFoto ? 0 : 1);
    if (!conFoto)
        QVERIFY(
            env->UltimoMessaggio().contains("Senza foto (stampate con la sagoma): BIANCHI ANNA."));
    QCOMPARE(f.testi["txtTesserato_E"], QString("BIANCHI ANNA"));
    QCOMPARE(f.testi["txtNumTessera_E"], QString("T000002"));
    QCOMPARE(f.testi["txtTesserato_D"], QString("Cognome e nome Socio"));
    QCOMPARE(f.immagini["imgFoto_E"] == bianco, !conFoto);
    QVERIFY(Scuri(f.pagina, QRectF(105 + 31, 75 + 15, 40, 4)) > 20);
}

void TestTessere::modiDiRicerca()
{
    Ambiente env;
    auto frm = Apri();
    QStringList modi;
    QList<QPointer<QDialog>> ricerche;
    env->modale = [&](QDialog *d) {
        QVERIFY(qobject_cast<TfrmTrovaAnagrafica *>(d));
        QCOMPARE(d->parentWidget(), frm.get());
        modi << Controllo<QLabel>(d, "lblMemory")->text();
        ricerche << d;
    };
    for (int i = 1; i <= 9; ++i) {
        auto *b = Controllo<QPushButton>(frm.get(), qPrintable(QString("btnImporta0%1").arg(i)));
        QCOMPARE(b->text(), QString("Importa dati tesserino %1").arg(i));
        b->click();
    }
    QCOMPARE(modi,
             (QStringList{"tessere_01", "tessere_02", "tessere_03", "tessere_04", "tessere_05",
                          "tessere_06", "tessere_07", "tessere_08", "tessere_09"}));
    for (const auto &d : ricerche)
        QVERIFY(d.isNull()); // destroyed after use
}

void TestTessere::cancellaTutte_data()
{
    QTest::addColumn<QString>("controllo");
    QTest::addColumn<bool>("risposta");
    QTest::addColumn<bool>("domanda");
    QTest::addColumn<bool>("svuota");
    QTest::newRow("gomma, No") << "icoGomma" << false << true << false;
    QTest::newRow("gomma, S\u00ec") << "icoGomma" << true << true << true;
    QTest::newRow("Nuovo") << "cmdNuovo" << false << false << true;
}

void TestTessere::cancellaTutte()
{
    QFETCH(QString, controllo);
    QFETCH(bool, risposta);
    QFETCH(bool, domanda);
    QFETCH(bool, svuota);
    Ambiente env;
    Scrivi(env.Percorso("Quorvel.ini"), kIni);
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Costruttore::Tesserato("ROSSI")});
    QVERIFY(Immagine(40, 50, Qt::blue).save(env.Percorso("1.jpg")));
    auto frm = Apri();
    Importa(frm.get(), env, 1, "rossi");
    Clic(frm.get(), "cmdCancella09");
    const QStringList prima = Stato(frm.get());
    const QImage fotoA = Foto(frm.get(), "imgFoto_A");
    QCOMPARE(prima[0], QString("ROSSI"));

    env->risposte.enqueue(risposta);
    if (auto *b = frm->findChild<QAbstractButton *>(controllo)) {
        b->click();
    } else {
        auto *gomma = Controllo<TImmagine>(frm.get(), "icoGomma");
        QTest::mouseClick(gomma, Qt::LeftButton, {}, gomma->rect().center());
    }
    if (domanda) {
        QCOMPARE(env->messaggi.size(), 1);
        QCOMPARE(env->messaggi[0].forma, Forma::Domanda);
        QCOMPARE(env->messaggi[0].testo,
                 QString("Si sta per cancellare i dati e le foto presenti nei nove "
                         "tesserini.\r\n\r\nSi conferma l'operazione?"));
    } else {
        QVERIFY(env->messaggi.isEmpty());
    }
    const QStringList dopo = Stato(frm.get());
    const QImage bianco = Foto(frm.get(), "imgBianco");
    if (!svuota) {
        QCOMPARE(dopo, prima);
        QCOMPARE(Foto(frm.get(), "imgFoto_A"), fotoA);
        return;
    }
    const int n = kMembro.size() + kEnte.size();
    for (int i = 0; i < 9; ++i) {
        for (int k = 0; k < n; ++k)
            QCOMPARE(dopo[i * n + k], k < 5 ? QString() : prima[i * n + k]);
        QCOMPARE(Foto(frm.get(), "imgFoto" + Suff(i)), bianco);
    }
    QCOMPARE(dopo.last(), QString());
}

void TestTessere::mostra_data()
{
    QTest::addColumn<QByteArray>("logo"); // contents of Logo.jpg; empty: no file
    QTest::addColumn<bool>("ini");
    QTest::newRow("primo uso") << QByteArray() << false;
    QTest::newRow("logo e dati") << QByteArray("jpg") << true;
    QTest::newRow("logo illeggibile") << QByteArray("non \u00e8 un'immagine") << true;
}

void TestTessere::mostra()
{
    QFETCH(QByteArray, logo);
    QFETCH(bool, ini);
    Ambiente env;
    if (ini)
        Scrivi(env.Percorso("Quorvel.ini"), kIni);
    if (logo == "jpg")
        QVERIFY(Immagine(119, 118, Qt::green).save(env.Percorso("Logo.jpg")));
    else if (!logo.isEmpty())
        Scrivi(env.Percorso("Logo.jpg"), logo);
    auto frm = Apri();
    QCOMPARE(frm->windowTitle(), QString::fromUtf8(" Quorvel - Stampa più tessere"));
    QVERIFY(!Controllo<QLabel>(frm.get(), "lblPosizione")->isVisible());
    const QImage segnaposto = Foto(frm.get(), "imgBlank");
    QCOMPARE(segnaposto.size(), QSize(45, 45));
    QCOMPARE(Foto(frm.get(), "imgBianco").size(), QSize(58, 64));
    const QStringList ente =
        ini ? QStringList{"Circolo Aurora", "Via Roma 1", "Tel. 051 1", "Valida 2025"}
            : QStringList{"", "", "", ""};
    for (int i = 0; i < 9; ++i) {
        for (int k = 0; k < 4; ++k)
            QCOMPARE(Testo(frm.get(), kEnte[k] + Suff(i)).trimmed(), ente[k]);
        const QImage l = Foto(frm.get(), "imgLogo" + Suff(i));
        if (logo == "jpg")
            QVERIFY(qGreen(l.pixel(50, 50)) > 200 && qRed(l.pixel(50, 50)) < 60);
        else
            QCOMPARE(l, segnaposto);
        QCOMPARE(Testo(frm.get(), "titDataRil" + Suff(i)), QString("Ril."));
        QCOMPARE(Testo(frm.get(), "titDataScade" + Suff(i)), QString("Scad."));
        QCOMPARE(Controllo<QWidget>(frm.get(), qPrintable("imgFoto" + Suff(i)))->size(),
                 QSize(58, 64));
    }

    // Shown again after a visit: placeholders back, the organization data read afresh.
    Clic(frm.get(), "cmdNuovo");
    Scrivi(env.Percorso("Quorvel.ini"), "[Dati Ente]\r\nDenominazione=Nuovo Ente\r\n");
    frm->hide();
    frm->show();
    for (int i = 0; i < 9; ++i) {
        for (int k = 0; k < 5; ++k)
            QCOMPARE(Testo(frm.get(), kMembro[k] + Suff(i)), kSegnaposto[k]);
        QCOMPARE(Testo(frm.get(), "titAssociazione" + Suff(i)), QString("Nuovo Ente"));
        QCOMPARE(Testo(frm.get(), "titAnnotazioni" + Suff(i)), QString());
    }
}

void TestTessere::guidaEdEsci()
{
    Ambiente env;
    auto frm = Apri();
    QString titolo, corpo;
    env->modale = [&](QDialog *d) {
        titolo = Controllo<QLabel>(d, "lblTitolo")->text();
        corpo = Controllo<QPlainTextEdit>(d, "txtGuida")->toPlainText();
    };
    Clic(frm.get(), "imgGuida");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmGuida"});
    QCOMPARE(titolo, QString::fromUtf8("Stampa più tessere."));
    const QStringList paragrafi = TfrmTessere::TestoGuida().split("\r\n\r\n");
    QCOMPARE(paragrafi.size(), 2);
    QVERIFY(paragrafi[0].contains("nove") && paragrafi[0].contains("A4"));
    QVERIFY(paragrafi[1].contains("Nuovo") && paragrafi[1].contains("gomma"));
    QVERIFY(corpo.contains("anteprima"));

    Clic(frm.get(), "imgEsci");
    QVERIFY(!frm->isVisible());
    // Closing saves nothing.
    QVERIFY(!QFile::exists(env.Percorso("Quorvel.ini")));
    QVERIFY(!QFile::exists(env.Percorso("Logo.jpg")));
}

void TestTessere::anteprima()
{
    Ambiente env;
    env->stampaSuPdf = env.Percorso("anteprima.pdf");
    auto frm = Apri();
    QString titoloAnteprima;
    QSizeF carta;
    bool chiusa = false;
    env->modale = [&](QDialog *d) {
        if (auto *w = qobject_cast<TfrmAnteprimaReport *>(d)) {
            titoloAnteprima = w->windowTitle();
            Clic(w, "btnStampa"); // the preview's own print button
            return;
        }
        QCOMPARE(d->windowTitle(), QString(" Anteprima di stampa"));
        QCOMPARE(Controllo<QPushButton>(d, "btnStampa")->text(), QString("Mostra anteprima"));
        QVERIFY(Controllo<TImmagine>(d, "imgStampante"));
        Clic(d, "btnStampa");
        chiusa = !d->isVisible();
        const TReport &r = qobject_cast<TfrmAnteprimaTessere *>(d)->repTesserino();
        carta = QSizeF(r.PreparedPages()[0].LarghezzaMm, r.PreparedPages()[0].AltezzaMm);
    };
    Clic(frm.get(), "cmdAnteprima");
    QCOMPARE(env->modaliMostrati, (QStringList{"TfrmAnteprimaTessere", "TfrmAnteprimaReport"}));
    QVERIFY(chiusa);
    QCOMPARE(titoloAnteprima, QString("Quorvel"));
    QCOMPARE(carta, QSizeF(297, 210));
    QCOMPARE(env->dialoghiStampa, 1);
    const QSizeF pdf = PaginaPdf(env.Percorso("anteprima.pdf"));
    QVERIFY(qAbs(pdf.width() - 297) < 1 && qAbs(pdf.height() - 210) < 1);
    QVERIFY(env->messaggi.isEmpty());
}

void TestTessere::esitiDellaStampa_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<int>("dialoghi");
    QTest::addColumn<int>("forma"); // of the one message; -1 for none
    QTest::addColumn<bool>("restaAperta");
    QTest::newRow("annullata") << "annulla" << 1 << -1 << false;
    QTest::newRow("senza stampanti") << "nessuna" << 0 << int(Forma::Messaggio) << false;
    QTest::newRow("stampante in errore") << "errore" << 1 << int(Forma::ErroreGenerale) << true;
    QTest::newRow("Annulla") << "btnAnnulla" << 0 << -1 << false;
}

void TestTessere::esitiDellaStampa()
{
    QFETCH(QString, caso);
    QFETCH(int, dialoghi);
    QFETCH(int, forma);
    QFETCH(bool, restaAperta);
    Ambiente env;
    env->stampaSuPdf = env.Percorso("foglio.pdf");
    if (caso == "annulla")
        env->annullaStampa = true;
    if (caso == "nessuna")
        env->stampanti.clear();
    if (caso == "errore") // a folder where the output should go
        QVERIFY(QDir(env.cartella()).mkdir("foglio.pdf"));
    auto frm = Apri();
    bool aperta = false, attesa = false, chiusaDaAnnulla = false;
    env->modale = [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString::fromUtf8(" Stampa più tessere su foglio A4"));
        QCOMPARE(d->parentWidget(), frm.get());
        Clic(d, caso == "btnAnnulla" ? "btnAnnulla" : "btnStampa");
        aperta = d->isVisible();
        attesa = Controllo<QLabel>(d, "lblAttendere")->isVisible();
        if (aperta) {
            Clic(d, "btnAnnulla");
            chiusaDaAnnulla = !d->isVisible();
        }
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaTessere"});
    QCOMPARE(env->dialoghiStampa, dialoghi);
    QCOMPARE(aperta, restaAperta);
    QCOMPARE(attesa, restaAperta);
    QCOMPARE(chiusaDaAnnulla, restaAperta);
    if (forma < 0) {
        QVERIFY(env->messaggi.isEmpty());
    } else {
        QCOMPARE(env->messaggi.size(), 1);
        QCOMPARE(int(env->messaggi[0].forma), forma);
        if (caso == "nessuna")
            QCOMPARE(env->messaggi[0].testo, QString("You have no printers installed"));
    }
    QVERIFY(!QFileInfo(env.Percorso("foglio.pdf")).isFile());
}

QTEST_MAIN(TestTessere)
#include "tst_tessere.moc"
