// The cards of many members at once: "Stampa tessere" on the renewal list and the search
// results, the screen "Stampa tessere" with its two layouts and first free slot, its
// preview, and "Riempi dalla ricerca" on the nine-card screen. Printed to PDF through the
// platform seam and read back with poppler's tools.
#include "cards/StampaLotto.h"
#include "cards/Tessere.h"
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "report/Anteprima.h"
#include "support/Supporto.h"
#include "widgets/Sottofondo.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QtTest>

namespace {

const QByteArray kIni = "[Dati Ente]\r\nDenominazione=Circolo Aurora\r\n";

// A word of a PDF page, its top-left corner in mm.
struct Parola {
    int pagina; // 0-based
    QString testo;
    QPointF angolo;
};

// Every word of the PDF with its page and position (pdftotext -bbox).
QList<Parola> Parole(const QString &pdf, int *pagine = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000))
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    QList<Parola> r;
    int pagina = -1;
    static const QRegularExpression re(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++pagina;
            continue;
        }
        r.append(
            {pagina, m.captured(3),
             QPointF(m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72)});
    }
    if (pagine)
        *pagine = pagina + 1;
    return r;
}

// The slot (0..8) of the nine-card sheet a point in mm lies in, or -1.
int Slot(QPointF mm)
{
    const double sinistre[] = {10, 105, 199}, alti[] = {10, 75, 140};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (QRectF(sinistre[c], alti[r], 86, 54).contains(mm))
                return r * 3 + c;
    return -1;
}

// (page, slot) of each member's name and each organization name printed.
struct Posti {
    int pagine = 0;
    QMap<QString, QPair<int, int>> soci;
    QList<QPair<int, int>> enti;
};
Posti LeggiFogli(const QString &pdf)
{
    Posti p;
    for (const Parola &w : Parole(pdf, &p.pagine)) {
        if (w.testo.startsWith(QLatin1String("SOCIO")))
            p.soci[w.testo] = {w.pagina, Slot(w.angolo)};
        else if (w.testo == QLatin1String("Aurora"))
            p.enti.append({w.pagina, Slot(w.angolo)});
    }
    return p;
}

QByteArray Nome(int i)
{
    return "SOCIO" + QByteArray::number(i).rightJustified(2, '0');
}

// n members due for renewal (expired before the simulated today), in name order, each
// with a card number and a photo, so that nothing is to be warned about before printing.
void Archivio(Ambiente &env, int n, const QSet<int> &annullate = {})
{
    QList<QByteArray> schede;
    for (int i = 1; i <= n; ++i) {
        QByteArray r = Costruttore::Record({{"Tesserato", Nome(i)},
                                            {"NumTessera", "N" + QByteArray::number(i)},
                                            {"DataRil", "01/01/2024"},
                                            {"DataScade", "31/12/2024"},
                                            {"Preavviso", "0"},
                                            {"Annullata", "No"}});
        QVERIFY(Immagine(8, 10, Qt::gray).save(env.Percorso(QString("%1.jpg").arg(i))));
        if (annullate.contains(i)) {
            const int o = Costruttore::Offset("Annullata");
            r[o] = 3;
            r.replace(o + 1, 3, "S\xEC ");
        }
        schede << r;
    }
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), schede);
    QFile f(env.Percorso("Quorvel.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(kIni);
}

void ClicRiga(QListView *lst, int riga, Qt::KeyboardModifiers tasti = {})
{
    const QPoint p = lst->visualRect(lst->model()->index(riga, 0)).center();
    QTest::mouseClick(lst->viewport(), Qt::LeftButton, tasti, p);
}

// Presses cmdTessere, and on the screen that opens sets the layout and prints.
QString StampaTessere(QWidget *elenco, Ambiente &env, bool foglio, int inizio = 1)
{
    QString detto;
    env->modale = [&](QDialog *d) {
        Clic(d, foglio ? "optFoglio" : "optSingola");
        Controllo<QSpinBox>(d, "txtInizio")->setValue(inizio);
        detto = Controllo<QLabel>(d, "lblTessere")->text();
        Clic(d, "btnStampa");
    };
    Clic(elenco, "cmdTessere");
    env->modale = nullptr;
    return detto;
}

} // namespace

class TestLotto : public QObject {
    Q_OBJECT

private slots:
    void fogliDalRinnovo_data();
    void fogliDalRinnovo();
    void unaPerPagina_data();
    void unaPerPagina();
    void annullateEscluse();
    void righeScelteNellaRicerca();
    void anteprimaEStampaDaLi();
    void stampanteCheFallisce();
    void primaPaginaFallita_data();
    void primaPaginaFallita();
    void interrottaDaAnnulla();
    void chiusaDuranteLaStampa();
    void riempiDallaRicerca();
    void avvisiPrimaDiStampare_data();
    void avvisiPrimaDiStampare();
    void noAgliAvvisiLasciaLoSchermoPronto();
};

void TestLotto::fogliDalRinnovo_data()
{
    QTest::addColumn<int>("inizio");
    QTest::addColumn<QString>("detto");
    QTest::newRow("dalla prima") << 1 << "Saranno stampate 20 tessere su 3 pagine.";
    QTest::newRow("dalla quarta") << 4 << "Saranno stampate 20 tessere su 3 pagine.";
    QTest::newRow("dalla nona") << 9 << "Saranno stampate 20 tessere su 4 pagine.";
}

void TestLotto::fogliDalRinnovo()
{
    QFETCH(int, inizio);
    QFETCH(QString, detto);
    Ambiente env;
    Archivio(env, 20);
    env->stampaSuPdf = env.Percorso("tessere.pdf");
    TfrmSospesi w;
    w.show();
    auto *lst = Controllo<QListView>(&w, "lstRecords");
    QCOMPARE(lst->model()->rowCount(), 20);
    QTest::keyClick(lst, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(lst->selectionModel()->selectedIndexes().size(), 20);

    const QString mostrato = StampaTessere(&w, env, true, inizio);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaLotto"});
    QCOMPARE(mostrato, detto);
    QVERIFY(env->messaggi.isEmpty());

    const Posti p = LeggiFogli(env.Percorso("tessere.pdf"));
    const int pagine = (20 + inizio - 1 + 8) / 9;
    QCOMPARE(p.pagine, pagine);
    QCOMPARE(p.soci.size(), 20);
    for (int i = 0; i < 20; ++i) {
        const int posto = i + inizio - 1;
        QCOMPARE(p.soci.value(QString::fromLatin1(Nome(i + 1))), qMakePair(posto / 9, posto % 9));
    }
    // One organization name per card, none in the slots left blank.
    QCOMPARE(p.enti.size(), 20);
    for (const auto &[pagina, slot] : p.enti)
        QVERIFY(pagina * 9 + slot >= inizio - 1);
}

void TestLotto::unaPerPagina_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::newRow("scostamenti comuni")
        << QByteArray("[Margini Stampa]\r\nSuperiore=12\r\nSinistro=-3\r\n[Stampa Tesserino]\r\n"
                      "Orientamento=Verticale\r\n");
    // The printer's own section wins over the plain one, as for the single card.
    QTest::newRow("scostamenti della stampante")
        << QByteArray("[Margini Stampa]\r\nSuperiore=25\r\nSinistro=9\r\n"
                      "[Margini Stampa PDF]\r\nSuperiore=12\r\nSinistro=-3\r\n");
}

void TestLotto::unaPerPagina()
{
    QFETCH(QByteArray, ini);
    Ambiente env;
    Archivio(env, 20);
    QFile f(env.Percorso("Quorvel.ini"));
    QVERIFY(f.open(QIODevice::Append));
    f.write(ini);
    f.close();
    env->stampaSuPdf = env.Percorso("tessere.pdf");
    TfrmSospesi w;
    w.show();
    QTest::keyClick(Controllo<QListView>(&w, "lstRecords"), Qt::Key_A, Qt::ControlModifier);
    StampaTessere(&w, env, false);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaLotto"});
    QVERIFY(env->messaggi.isEmpty());

    const QSizeF carta = PaginaPdf(env.Percorso("tessere.pdf"));
    QVERIFY(qAbs(carta.width() - 210) < 1 && qAbs(carta.height() - 297) < 1);
    // Every page: its own member, and the card's ink from 10 + margin mm on.
    QTemporaryDir dir;
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
             env.Percorso("tessere.pdf"), dir.filePath(QStringLiteral("p"))});
    QVERIFY(p.waitForFinished(120000));
    const QStringList immagini = QDir(dir.path()).entryList({"p*.png"}, QDir::Files, QDir::Name);
    QCOMPARE(immagini.size(), 20);
    const double pxMm = 100 / 25.4;
    for (const QString &nome : immagini) {
        const QImage img = QImage(dir.filePath(nome)).convertToFormat(QImage::Format_RGB32);
        int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                if (qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235)
                    continue;
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
        const QString dove = QString("%1: %2,%3").arg(nome).arg(x0 / pxMm).arg(y0 / pxMm);
        QVERIFY2(qAbs(x0 / pxMm - 7) < 0.6 && qAbs(y0 / pxMm - 22) < 0.6, qPrintable(dove));
        QVERIFY2(qAbs((x1 + 1 - x0) / pxMm - 86) < 0.8, qPrintable(dove));
    }
    const QList<Parola> parole = Parole(env.Percorso("tessere.pdf"));
    for (int i = 0; i < 20; ++i) {
        const auto it = std::find_if(parole.begin(), parole.end(), [&](const Parola &w) {
            return w.testo == QString::fromLatin1(Nome(i + 1));
        });
        QVERIFY(it != parole.end());
        QCOMPARE(it->pagina, i);
    }
}

void TestLotto::annullateEscluse()
{
    Ambiente env;
    Archivio(env, 6);
    env->stampaSuPdf = env.Percorso("tessere.pdf");
    TfrmSospesi w;
    w.show();
    QCOMPARE(Controllo<QListView>(&w, "lstRecords")->model()->rowCount(), 6);
    // Two cards are cancelled while the list is on screen; no line is chosen.
    Archivio(env, 6, {2, 5});
    QVERIFY(Controllo<QListView>(&w, "lstRecords")->selectionModel()->selectedIndexes().isEmpty());
    env->risposte.enqueue(true); // print anyway
    const QString detto = StampaTessere(&w, env, true);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaLotto"});
    QCOMPARE(detto, QStringLiteral("Saranno stampate 4 tessere su 1 pagina.\n"
                                   "Escluse perch\u00e9 annullate: 2."));
    // Named in the question before printing.
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Domanda);
    QVERIFY2(env->UltimoMessaggio().contains(
                 QStringLiteral("Escluse perch\u00e9 annullate: SOCIO02, SOCIO05.")),
             qPrintable(env->UltimoMessaggio()));
    const Posti p = LeggiFogli(env.Percorso("tessere.pdf"));
    QCOMPARE(p.soci.keys(), (QStringList{"SOCIO01", "SOCIO03", "SOCIO04", "SOCIO06"}));
    QCOMPARE(p.soci.value("SOCIO06"), qMakePair(0, 3));

    // All of them cancelled: nothing to print, and the screen does not open.
    Archivio(env, 6, {1, 2, 3, 4, 5, 6});
    env->modaliMostrati.clear();
    Clic(&w, "cmdTessere");
    QVERIFY(env->modaliMostrati.isEmpty());
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Nessuna tessera da stampare. Escluse perch\u00e9 annullate: 6."));
}

void TestLotto::righeScelteNellaRicerca()
{
    Ambiente env;
    Archivio(env, 12);
    env->stampaSuPdf = env.Percorso("tessere.pdf");
    TfrmTrovaAnagrafica w;
    w.show();
    Clic(&w, "btnCerca");
    auto *lst = Controllo<QListView>(&w, "lstRecords");
    QCOMPARE(lst->model()->rowCount(), 12);
    ClicRiga(lst, 9);
    ClicRiga(lst, 2, Qt::ControlModifier);
    const QString detto = StampaTessere(&w, env, true);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaLotto"});
    QCOMPARE(detto, QStringLiteral("Saranno stampate 2 tessere su 1 pagina."));
    const Posti p = LeggiFogli(env.Percorso("tessere.pdf"));
    QCOMPARE(p.pagine, 1);
    // In list order, whatever the order of the clicks.
    QCOMPARE(p.soci.value("SOCIO03"), qMakePair(0, 0));
    QCOMPARE(p.soci.value("SOCIO10"), qMakePair(0, 1));
    QCOMPARE(p.soci.size(), 2);
    QCOMPARE(p.enti.size(), 2);

    // One line chosen by the user prints one card; none chosen prints them all.
    ClicRiga(lst, 5);
    QCOMPARE(StampaTessere(&w, env, true),
             QStringLiteral("Sar\u00e0 stampata 1 tessera su 1 pagina."));
    QCOMPARE(LeggiFogli(env.Percorso("tessere.pdf")).soci.keys(), QStringList{"SOCIO06"});
    ClicRiga(lst, 5, Qt::ControlModifier);
    QVERIFY(lst->selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(StampaTessere(&w, env, true),
             QStringLiteral("Saranno stampate 12 tessere su 2 pagine."));
}

void TestLotto::anteprimaEStampaDaLi()
{
    Ambiente env;
    Archivio(env, 20);
    env->stampaSuPdf = env.Percorso("anteprima.pdf");
    TfrmSospesi w;
    w.show();
    QTest::keyClick(Controllo<QListView>(&w, "lstRecords"), Qt::Key_A, Qt::ControlModifier);
    QStringList pagine;
    env->modale = [&](QDialog *d) {
        if (auto *a = qobject_cast<TfrmAnteprimaReport *>(d)) {
            auto *lbl = Controllo<QLabel>(a, "lblPagina");
            pagine << lbl->text();
            for (int i = 0; i < 2; ++i) {
                Clic(a, "btnSuccessiva");
                pagine << lbl->text();
            }
            Clic(a, "btnStampa");
            Clic(a, "btnChiudi");
            return;
        }
        Clic(d, "btnAnteprima");
        QVERIFY(d->isVisible()); // the screen stays for printing after the preview
        Clic(d, "btnAnnulla");
    };
    Clic(&w, "cmdTessere");
    env->modale = nullptr;
    QCOMPARE(env->modaliMostrati, (QStringList{"TfrmStampaLotto", "TfrmAnteprimaReport"}));
    QCOMPARE(pagine, (QStringList{"Pagina 1 di 3", "Pagina 2 di 3", "Pagina 3 di 3"}));
    QCOMPARE(env->dialoghiStampa, 1);
    const Posti p = LeggiFogli(env.Percorso("anteprima.pdf"));
    QCOMPARE(p.pagine, 3);
    QCOMPARE(p.soci.value("SOCIO20"), qMakePair(2, 1));
}

void TestLotto::stampanteCheFallisce()
{
    Ambiente env;
    Archivio(env, 3);
    QDir(env.cartella()).mkdir("cartella.pdf"); // a folder where the file should go
    env->stampaSuPdf = env.Percorso("cartella.pdf");
    TfrmSospesi w;
    w.show();
    QTest::keyClick(Controllo<QListView>(&w, "lstRecords"), Qt::Key_A, Qt::ControlModifier);
    bool aperta = false;
    env->modale = [&](QDialog *d) {
        Clic(d, "btnStampa");
        aperta = d->isVisible();
    };
    Clic(&w, "cmdTessere");
    env->modale = nullptr;
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaLotto"});
    QVERIFY(aperta);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Avviso);
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Attenzione: la stampa si \u00e8 interrotta alla pagina 1 di 1.\n\r\n\r"
                            "Accertarsi che la stampante sia configurata correttamente."));
}

// A batch of three sheets whose first page cannot be written, printed from the screen and
// from its preview: the failure is shown, naming page 1 of 3, and nothing says it was
// printed: no PDF, no information message, the screens stay open.
void TestLotto::primaPaginaFallita_data()
{
    QTest::addColumn<bool>("daAnteprima");
    QTest::newRow("dallo schermo") << false;
    QTest::newRow("dall'anteprima") << true;
}

void TestLotto::primaPaginaFallita()
{
    QFETCH(bool, daAnteprima);
    Ambiente env;
    Archivio(env, 20);
    QDir(env.cartella()).mkdir("cartella.pdf"); // a folder where the file should go
    env->stampaSuPdf = env.Percorso("cartella.pdf");
    TfrmSospesi w;
    w.show();
    QTest::keyClick(Controllo<QListView>(&w, "lstRecords"), Qt::Key_A, Qt::ControlModifier);
    bool aperta = false, anteprimaAperta = false;
    env->modale = [&](QDialog *d) {
        if (auto *a = qobject_cast<TfrmAnteprimaReport *>(d)) {
            Clic(a, "btnStampa");
            anteprimaAperta = a->isVisible();
            return;
        }
        Clic(d, daAnteprima ? "btnAnteprima" : "btnStampa");
        aperta = d->isVisible() && d->result() != QDialog::Accepted;
    };
    Clic(&w, "cmdTessere");
    env->modale = nullptr;
    QVERIFY(aperta);
    QCOMPARE(anteprimaAperta, daAnteprima);
    QCOMPARE(env->dialoghiStampa, 1);
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Avviso);
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Attenzione: la stampa si \u00e8 interrotta alla pagina 1 di 3.\n\r\n\r"
                            "Accertarsi che la stampante sia configurata correttamente."));
    QCOMPARE(QDir(env.Percorso("cartella.pdf")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(Sottofondo::InCorso(), 0, 10000);
}

void TestLotto::interrottaDaAnnulla()
{
    Ambiente env;
    Archivio(env, 20);
    env->stampaSuPdf = env.Percorso("tessere.pdf");
    TfrmSospesi w;
    w.show();
    bool aperta = false;
    env->modale = [&](QDialog *d) {
        // Annulla pressed while the first page goes out.
        QTimer::singleShot(0, Controllo<QAbstractButton>(d, "btnAnnulla"), &QAbstractButton::click);
        Clic(d, "btnStampa");
        aperta = d->isVisible();
    };
    Clic(&w, "cmdTessere");
    env->modale = nullptr;
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaLotto"});
    QVERIFY(aperta);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Informazione);
    QCOMPARE(env->UltimoMessaggio(), QStringLiteral("Stampa interrotta dopo la pagina 1 di 3."));
}

// Closing the screen while the pages go out stops the run after the page in progress and
// closes the screen; its thread ends by itself.
void TestLotto::chiusaDuranteLaStampa()
{
    Ambiente env;
    Archivio(env, 20);
    env->stampaSuPdf = env.Percorso("tessere.pdf");
    TfrmSospesi w;
    w.show();
    bool aperta = true;
    env->modale = [&](QDialog *d) {
        QTimer::singleShot(0, d, &QWidget::close);
        Clic(d, "btnStampa");
        aperta = d->isVisible();
    };
    Clic(&w, "cmdTessere");
    env->modale = nullptr;
    QVERIFY(!aperta);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Informazione);
    QCOMPARE(env->UltimoMessaggio(), QStringLiteral("Stampa interrotta dopo la pagina 1 di 3."));
    QTRY_COMPARE_WITH_TIMEOUT(Sottofondo::InCorso(), 0, 10000);
}

void TestLotto::riempiDallaRicerca()
{
    Ambiente env;
    Archivio(env, 12);
    TfrmTessere frm;
    frm.resize(1366, 768);
    frm.show();
    // Chooses the given lines of the full search and confirms.
    auto riempi = [&](const QList<int> &righe) {
        env->modale = [&](QDialog *d) {
            Clic(d, "btnCerca");
            auto *lst = Controllo<QListView>(d, "lstRecords");
            for (int i = 0; i < righe.size(); ++i)
                ClicRiga(lst, righe[i], i ? Qt::ControlModifier : Qt::NoModifier);
            Clic(d, "cmdTessere");
        };
        Clic(&frm, "cmdRiempi");
        env->modale = nullptr;
    };
    auto nomi = [&] {
        QStringList r;
        for (const QChar c : QStringLiteral("ABCDEFGHI"))
            r << Controllo<QLabel>(&frm, qPrintable(QStringLiteral("txtTesserato_") + c))->text();
        return r;
    };
    riempi({4});
    riempi({0, 1, 7});
    QCOMPARE(env->modaliMostrati, (QStringList{"TfrmTrovaAnagrafica", "TfrmTrovaAnagrafica"}));
    QStringList vuota(5, QStringLiteral("Cognome e nome Socio"));
    QCOMPARE(nomi(), QStringList({"SOCIO05", "SOCIO01", "SOCIO02", "SOCIO08"}) + vuota);

    // A cleared slot is free again; what finds no free slot is counted.
    Clic(&frm, "cmdCancella02");
    riempi({2, 3, 4, 5, 6, 8, 9, 10});
    QCOMPARE(nomi(), (QStringList{"SOCIO05", "SOCIO03", "SOCIO02", "SOCIO08", "SOCIO04", "SOCIO05",
                                  "SOCIO06", "SOCIO07", "SOCIO09"}));
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Non c'\u00e8 posto per tutte le schede scelte: 2 non sono state "
                            "inserite."));
}

void TestLotto::avvisiPrimaDiStampare_data()
{
    QTest::addColumn<int>("soci");
    QTest::addColumn<QList<int>>("senzaFoto");
    QTest::addColumn<QList<int>>("senzaNumero");
    QTest::addColumn<QList<int>>("caricaLunga");
    QTest::addColumn<bool>("risposta");
    QTest::addColumn<QStringList>("righe"); // expected in the question, in order
    QStringList venti;
    for (int i = 1; i <= 20; ++i)
        venti << QString::fromLatin1(Nome(i));
    QTest::newRow("senza foto, lista limitata")
        << 25 << QList<int>{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                            14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}
        << QList<int>{} << QList<int>{} << true
        << QStringList{"Senza foto (stampate con la sagoma): " + venti.join(", ") + " e altri 5."};
    QTest::newRow("senza numero, tornare indietro")
        << 4 << QList<int>{} << QList<int>{3} << QList<int>{} << false
        << QStringList{"Senza numero di tessera: SOCIO03."};
    QTest::newRow("foto, numero e carica")
        << 4 << QList<int>{2} << QList<int>{2, 4} << QList<int>{4} << true
        << QStringList{"Senza foto (stampate con la sagoma): SOCIO02.",
                       "Senza numero di tessera: SOCIO02, SOCIO04.",
                       "Nome o carica troppo lunghi, tagliati al bordo della tessera (si pu\u00f2 "
                       "scegliere \"Riduci il carattere dei testi troppo lunghi\"): SOCIO04 "
                       "(carica)."};
}

void TestLotto::avvisiPrimaDiStampare()
{
    QFETCH(int, soci);
    QFETCH(QList<int>, senzaFoto);
    QFETCH(QList<int>, senzaNumero);
    QFETCH(QList<int>, caricaLunga);
    QFETCH(bool, risposta);
    QFETCH(QStringList, righe);
    Ambiente env;
    Archivio(env, soci);
    for (int i : senzaFoto)
        QVERIFY(QFile::remove(env.Percorso(QString("%1.jpg").arg(i))));
    if (!senzaNumero.isEmpty() || !caricaLunga.isEmpty()) {
        QByteArray archivio = Costruttore::LeggiFile(env.Percorso("Tesserati.pro"));
        for (int i : senzaNumero)
            archivio[(i - 1) * 2764 + Costruttore::Offset("NumTessera")] = 0;
        // 47 characters: the role's box holds about 38 at 7.3 pt.
        const QByteArray carica = "Vicepresidente del consiglio di amministrazione";
        for (int i : caricaLunga) {
            const int o = (i - 1) * 2764 + Costruttore::Offset("Carica");
            archivio[o] = char(carica.size());
            archivio.replace(o + 1, carica.size(), carica);
        }
        Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {archivio});
    }
    env->stampaSuPdf = env.Percorso("tessere.pdf");
    env->risposte.enqueue(risposta);
    TfrmSospesi w;
    w.show();
    bool aperta = false;
    env->modale = [&](QDialog *d) {
        Clic(d, "btnStampa");
        aperta = d->isVisible();
    };
    Clic(&w, "cmdTessere");
    env->modale = nullptr;
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaLotto"});
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Domanda);
    const QStringList detto = env->UltimoMessaggio().split("\r\n\r\n");
    QCOMPARE(detto.mid(1, righe.size()), righe);
    // Yes prints every card, No goes back to the screen.
    QCOMPARE(aperta, !risposta);
    QCOMPARE(QFile::exists(env.Percorso("tessere.pdf")), risposta);
    if (risposta)
        QCOMPARE(LeggiFogli(env.Percorso("tessere.pdf")).soci.size(), soci);
}

// The wait line shows on pressing Stampa; answering No to the warnings puts the screen
// back as it was, ready for another choice.
void TestLotto::noAgliAvvisiLasciaLoSchermoPronto()
{
    Ambiente env;
    Archivio(env, 2);
    QVERIFY(QFile::remove(env.Percorso("2.jpg")));
    env->stampaSuPdf = env.Percorso("tessere.pdf");
    env->risposte.enqueue(false);
    TfrmSospesi w;
    w.show();
    bool attesa = true, pronto = false;
    env->modale = [&](QDialog *d) {
        Clic(d, "btnStampa");
        attesa = Controllo<QLabel>(d, "lblAttendere")->isVisible();
        pronto = d->isVisible() && Controllo<QAbstractButton>(d, "btnStampa")->isEnabled() &&
                 Controllo<QAbstractButton>(d, "btnAnteprima")->isEnabled();
    };
    Clic(&w, "cmdTessere");
    env->modale = nullptr;
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Domanda);
    QVERIFY(!attesa);
    QVERIFY(pronto);
    QVERIFY(!QFile::exists(env.Percorso("tessere.pdf")));
}

QTEST_MAIN(TestLotto)
#include "tst_lotto.moc"
