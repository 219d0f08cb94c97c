// The fee register seen from the archive screen: the member's payments in TfrmQuote
// (reprint, void after a question) and the list "Riepilogo quote" of a period with its
// totals by method and by month, printed and exported. Payments are made by real renewals
// on the folder.
#include "support/ServerProva.h"
#include "support/Stampati.h"
#include "support/Supporto.h"

#include "archive/Testo.h"
#include "lists/RiepilogoQuote.h"
#include "lists/core/RiepilogoQuote.h"
#include "registry/Anagrafica.h"
#include "registry/Quote.h"
#include "rinnovi/core/RegoleRinnovo.h"
#include "storage/Deposito.h"
#include "widgets/Sottofondo.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTableWidget>
#include <QtTest>

namespace {

QDate D(const char *testo)
{
    return Testo::ConvertiData(QString::fromLatin1(testo));
}

// Renews the members at `posizioni` on `giorno` with that amount and method.
std::vector<TPagamento> Rinnova(Ambiente &env, std::vector<int> posizioni, const char *giorno,
                                qint64 centesimi, const char *metodo)
{
    TDatiRinnovo d;
    d.oggi = D(giorno);
    d.dataPagamento = d.oggi;
    d.centesimi = centesimi;
    d.metodo = QString::fromLatin1(metodo);
    d.causale = CausaleProposta(d.oggi.year());
    d.inseritoDa = QStringLiteral("segreteria");
    std::vector<TPagamento> fatti;
    const auto deposito = ApriDeposito(env.cartella());
    RinnovaTutti(*deposito, posizioni, d, [&](const TPagamento &p) { fatti.push_back(p); });
    return fatti;
}

// Two members; Rossi pays twice, Bianchi once, in December 2026 and January 2027.
void Archivio(Ambiente &env)
{
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {Costruttore::Tesserato("ROSSI MARIA", "01/01/2026", "31/12/2026"),
         Costruttore::Tesserato("BIANCHI LUCA", "01/01/2026", "31/12/2026")});
    QCOMPARE(Rinnova(env, {1}, "10/12/2026", 2500, "Contanti").size(), size_t(1));
    QCOMPARE(Rinnova(env, {2}, "15/12/2026", 9000, "Bonifico").size(), size_t(1));
    QCOMPARE(Rinnova(env, {1}, "20/01/2027", 3000, "Contanti").size(), size_t(1));
}

QStringList Righe(QTableWidget *g, int colonna)
{
    QStringList r;
    for (int i = 0; i < g->rowCount(); ++i)
        r << g->item(i, colonna)->text();
    return r;
}

void Seleziona(QTableWidget *g, int riga)
{
    g->selectRow(riga);
}

} // namespace

class TestQuote : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void quoteDelTesserato();
    void storno_data();
    void storno();
    void ristampa();
    void schedaNonSalvata();
    void riepilogo();
    void riepilogoPeriodoErrato_data();
    void riepilogoPeriodoErrato();
    void righeETotali();
    void sulServer();
};

// No reading of the register outlives its case.
void TestQuote::cleanup()
{
    QTRY_COMPARE_WITH_TIMEOUT(Sottofondo::InCorso(), 0, 30000);
}

// The member's entries, oldest first, with the total.
void TestQuote::quoteDelTesserato()
{
    Ambiente env;
    Archivio(env);
    if (QTest::currentTestFailed())
        return;
    TfrmAnagrafica a;
    a.MostraScheda(1);
    QStringList ricevute, importi;
    QString totale, titolo;
    env->modale = [&](QDialog *d) {
        auto *g = Controllo<QTableWidget>(d, "grdQuote");
        ricevute = Righe(g, 0);
        importi = Righe(g, 2);
        totale = Controllo<QLabel>(d, "lblTotale")->text();
        titolo = Controllo<QLabel>(d, "lblTesserato")->text();
        QVERIFY(!Controllo<QAbstractButton>(d, "cmdStorna")->isEnabled());
    };
    Clic(&a, "cmdQuote");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmQuote"});
    QCOMPARE(titolo, "ROSSI MARIA (posizione 1)");
    QCOMPARE(ricevute, (QStringList{"1/2026", "1/2027"}));
    QCOMPARE(importi, (QStringList{"\u20AC 25,00", "\u20AC 30,00"}));
    QCOMPARE(totale, "Totale versato: \u20AC 55,00 (2 movimenti)");
}

// Voiding asks first; Yes writes a counter-entry with the next number, No writes nothing;
// a counter-entry or an entry already void is not voided again.
void TestQuote::storno_data()
{
    QTest::addColumn<int>("riga");
    QTest::addColumn<bool>("risposta");
    QTest::addColumn<int>("voci");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("sì") << 0 << true << 3
                        << "La ricevuta n. 1/2026 \u00E8 stata stornata con la n. 3/2026.";
    QTest::newRow("no")
        << 0 << false << 2
        << "Si vuole stornare la ricevuta n. 1/2026 del 10/12/2026 di \u20AC 25,00?";
}

void TestQuote::storno()
{
    QFETCH(int, riga);
    QFETCH(bool, risposta);
    QFETCH(int, voci);
    QFETCH(QString, messaggio);
    Ambiente env;
    Archivio(env);
    if (QTest::currentTestFailed())
        return;
    env->oggi = D("11/12/2026");
    TfrmAnagrafica a;
    a.MostraScheda(1);
    env->risposte.enqueue(risposta);
    QStringList stati, importi;
    QString totale, secondo, detto;
    env->modale = [&](QDialog *d) {
        auto *g = Controllo<QTableWidget>(d, "grdQuote");
        Seleziona(g, riga);
        Clic(d, "cmdStorna");
        detto = env->UltimoMessaggio();
        stati = Righe(g, 6);
        importi = Righe(g, 2);
        totale = Controllo<QLabel>(d, "lblTotale")->text();
        // Either the counter-entry or the entry it voids, chosen again: refused.
        if (risposta) {
            env->messaggi.clear();
            Seleziona(g, 2);
            Clic(d, "cmdStorna");
            secondo = env->UltimoMessaggio();
            env->messaggi.clear();
            Seleziona(g, 0);
            Clic(d, "cmdStorna");
            secondo += u'|' + env->UltimoMessaggio();
        }
    };
    Clic(&a, "cmdQuote");
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmQuote"});
    QCOMPARE(stati.size(), voci);
    QVERIFY2(detto.startsWith(messaggio), qPrintable(detto));
    const auto registro = ApriDeposito(env.cartella())->PagamentiDi(1);
    QCOMPARE(int(registro.size()), voci);
    if (!risposta) {
        QCOMPARE(stati, (QStringList{"", ""}));
        QVERIFY(env->messaggi.size() == 1); // the question alone
        QCOMPARE(env->messaggi.front().forma, Piattaforma::Forma::Domanda);
        return;
    }
    QCOMPARE(registro.back().annulla, registro.front().id);
    QCOMPARE(registro.back().Ricevuta(), "3/2026");
    QCOMPARE(registro.back().centesimi, -2500);
    QCOMPARE(registro.back().data, D("11/12/2026"));
    QCOMPARE(stati, (QStringList{"stornata dalla n. 3/2026", "", "storno della n. 1/2026"}));
    QCOMPARE(importi.last(), "\u20AC -25,00");
    QCOMPARE(totale, "Totale versato: \u20AC 30,00 (3 movimenti)");
    QCOMPARE(secondo, "La ricevuta n. 3/2026 \u00E8 gi\u00E0 uno storno e non pu\u00F2 essere "
                      "stornata.|La ricevuta n. 1/2026 \u00E8 gi\u00E0 stata stornata dalla n. "
                      "3/2026.");
}

// The selected entry's receipt goes to the receipts' screen and out as a PDF.
void TestQuote::ristampa()
{
    Ambiente env;
    Archivio(env);
    if (QTest::currentTestFailed())
        return;
    TfrmAnagrafica a;
    a.MostraScheda(1);
    const QString pdf = env.Percorso("ristampa.pdf");
    env->fileDaSalvare.enqueue(pdf);
    env->modale = [&](QDialog *d) {
        if (QString::fromLatin1(d->metaObject()->className()) == "TfrmQuote") {
            Seleziona(Controllo<QTableWidget>(d, "grdQuote"), 1);
            Clic(d, "cmdRistampa");
        } else {
            Clic(d, "cmdPdf");
        }
    };
    Clic(&a, "cmdQuote");
    QCOMPARE(env->modaliMostrati, (QStringList{"TfrmQuote", "TfrmConsegnaRicevute"}));
    const QString testo =
        Esegui(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY2(testo.contains("Ricevuta n. 1/2027") && testo.contains("euro trenta/00") &&
                 testo.contains("ROSSI MARIA"),
             qPrintable(testo));
}

void TestQuote::schedaNonSalvata()
{
    Ambiente env;
    Archivio(env);
    if (QTest::currentTestFailed())
        return;
    TfrmAnagrafica a;
    a.PulisciScheda();
    Clic(&a, "cmdQuote");
    QVERIFY(env->modaliMostrati.isEmpty());
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QCOMPARE(env->UltimoMessaggio(),
             "Le quote versate si consultano per una scheda salvata in archivio.");
}

// The period's entries and totals on screen, on paper and in the spreadsheet.
void TestQuote::riepilogo()
{
    Ambiente env;
    Archivio(env);
    if (QTest::currentTestFailed())
        return;
    env->oggi = D("11/12/2026");
    env->stampaSuPdf = env.Percorso("riepilogo.pdf");
    env->risposte.enqueue(false); // do not open the spreadsheet
    TfrmAnagrafica a;
    QString anno, periodo;
    QStringList righe;
    env->modale = [&](QDialog *d) {
        // The list opens from the renewal list, itself from the archive screen.
        if (QString::fromLatin1(d->metaObject()->className()) == "TfrmSospesi") {
            Clic(d, "cmdRiepilogoQuote");
            return;
        }
        auto *w = static_cast<TfrmRiepilogoQuote *>(d);
        auto *totale = Controllo<QLabel>(d, "lblTotale");
        QTRY_VERIFY_WITH_TIMEOUT(!w->InLettura(), 30000);
        anno = totale->text(); // the current year, at opening
        Controllo<QLineEdit>(d, "txtDal")->setText("01/12/2026");
        Controllo<QLineEdit>(d, "txtAl")->setText("31/01/2027");
        Clic(d, "cmdMostra");
        QTRY_VERIFY_WITH_TIMEOUT(!w->InLettura(), 30000);
        periodo = totale->text();
        const QAbstractItemModel *m = Controllo<QListView>(d, "lstQuote")->model();
        for (int i = 0; i < m->rowCount(); ++i)
            righe << m->index(i, 0).data().toString();
        Clic(d, "cmdStampa");
        Clic(d, "cmdExcel");
    };
    Clic(&a, "cmdScadute");
    QCOMPARE(env->modaliMostrati, (QStringList{"TfrmSospesi", "TfrmRiepilogoQuote"}));
    QCOMPARE(anno, "Totale del periodo: 2 ricevute, \u20AC 115,00");
    QCOMPARE(periodo, "Totale del periodo: 3 ricevute, \u20AC 145,00");
    const QString tutto = righe.join(u'\n');
    for (const char *atteso :
         {"10/12/2026 1/2026     ", "ROSSI MARIA", "15/12/2026 2/2026", "20/01/2027 1/2027",
          "Totali per metodo di pagamento", "  Bonifico                       1 ricevuta",
          "  Contanti                       2 ricevute            55,00", "Totali per mese",
          "  dicembre 2026                  2 ricevute           115,00",
          "  gennaio 2027                   1 ricevuta            30,00",
          "Totale del periodo             3 ricevute           145,00"})
        QVERIFY2(tutto.contains(QString::fromUtf8(atteso)),
                 qPrintable(QString::fromUtf8(atteso) + "\n" + tutto));

    const QString stampa =
        Esegui(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), env->stampaSuPdf, QStringLiteral("-")});
    QVERIFY2(stampa.contains("Riepilogo quote dal 01/12/2026 al 31/01/2027") &&
                 stampa.contains("gennaio 2027") && stampa.contains("145,00"),
             qPrintable(stampa));

    const QByteArray xls = Costruttore::LeggiFile(env.Percorso("Quote.xls"));
    QVERIFY(xls.contains("<x:Name>Riepilogo quote</x:Name>"));
    QVERIFY(xls.contains(">ROSSI MARIA</td>"));
    QVERIFY(xls.contains("x:num=\"145.00\""));
    QVERIFY(xls.contains(">Totali per mese</td>"));
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Domanda);
    QVERIFY(env->aperti.isEmpty());
}

void TestQuote::riepilogoPeriodoErrato_data()
{
    QTest::addColumn<QString>("dal");
    QTest::addColumn<QString>("al");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("al prima di dal") << "01/02/2027"
                                     << "31/01/2027"
                                     << "La data finale del periodo precede quella iniziale.";
    QTest::newRow("data vuota") << ""
                                << "31/01/2027"
                                << "Indicare le date del periodo nel formato gg/mm/aaaa.";
    QTest::newRow("31 febbraio") << "31/02/2027"
                                 << "31/03/2027"
                                 << "Indicare le date del periodo nel formato gg/mm/aaaa.";
}

void TestQuote::riepilogoPeriodoErrato()
{
    QFETCH(QString, dal);
    QFETCH(QString, al);
    QFETCH(QString, messaggio);
    Ambiente env;
    Archivio(env);
    if (QTest::currentTestFailed())
        return;
    TfrmRiepilogoQuote w;
    env->modale = [&](QDialog *d) {
        QTRY_VERIFY_WITH_TIMEOUT(!w.InLettura(), 30000);
        env->messaggi.clear();
        Controllo<QLineEdit>(d, "txtDal")->setText(dal);
        Controllo<QLineEdit>(d, "txtAl")->setText(al);
        Clic(d, "cmdMostra");
        QVERIFY(!w.InLettura());
    };
    Piattaforma::MostraModale(&w);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Avviso);
    QCOMPARE(env->UltimoMessaggio(), messaggio);
}

// The totals of a list agree with the register's own sums, counter-entries included.
void TestQuote::righeETotali()
{
    Ambiente env;
    Archivio(env);
    if (QTest::currentTestFailed())
        return;
    const auto deposito = ApriDeposito(env.cartella());
    const TPagamento primo = deposito->PagamentiDi(2).front();
    deposito->StornaPagamentoIl(primo.id, D("16/12/2026"), "errore", "segreteria");
    const TRiepilogoQuote r = RiepilogoQuote::Leggi(*deposito, D("01/01/2026"), D("31/12/2027"));
    QCOMPARE(r.totale.centesimi, 5500);
    QCOMPARE(r.totale.quanti, 4);
    const std::vector<TTotalePagamenti> attesi =
        deposito->TotaliPagamenti(D("01/01/2026"), D("31/12/2027"));
    const std::vector<TTotalePagamenti> calcolati = r.Totali();
    QCOMPARE(calcolati.size(), attesi.size());
    for (size_t i = 0; i < attesi.size(); ++i) {
        QCOMPARE(calcolati[i].anno, attesi[i].anno);
        QCOMPARE(calcolati[i].mese, attesi[i].mese);
        QCOMPARE(calcolati[i].metodo, attesi[i].metodo);
        QCOMPARE(calcolati[i].centesimi, attesi[i].centesimi);
        QCOMPARE(calcolati[i].quanti, attesi[i].quanti);
    }
}

// On a server the list is read on a worker thread with a connection of its own, and the
// member's payments and a void go through the server's register.
void TestQuote::sulServer()
{
    SERVER_RICHIESTO();
    Ambiente env;
    ServerProva::CreaUtente(QStringLiteral("quote_anna"), ServerProva::Password("quote_anna"));
    ServerProva::Sportello(env.cartella(), ServerProva::NuovoDatabase(), "quote_anna");
    {
        const auto deposito = ApriDeposito(env.cartella());
        for (const char *nome : {"ROSSI MARIA", "BIANCHI LUCA"}) {
            TScheda s;
            s.Scrivi(Campo::Tesserato, QString::fromLatin1(nome));
            s.Scrivi(Campo::DataScade, QStringLiteral("31/12/2026"));
            s.Scrivi(Campo::Annullata, AnnullataNo);
            deposito->AccodaScheda(s);
        }
    }
    QCOMPARE(Rinnova(env, {1, 2}, "10/12/2026", 2500, "Contanti").size(), size_t(2));
    env->oggi = D("11/12/2026");

    TfrmRiepilogoQuote w;
    QString totale;
    env->modale = [&](QDialog *) {
        QTRY_VERIFY_WITH_TIMEOUT(!w.InLettura(), 30000);
        totale = Controllo<QLabel>(&w, "lblTotale")->text();
    };
    Piattaforma::MostraModale(&w);
    QCOMPARE(totale, "Totale del periodo: 2 ricevute, \u20AC 50,00");

    TfrmQuote q;
    q.MostraTesserato(2, QStringLiteral("BIANCHI LUCA"));
    env->risposte.enqueue(true);
    env->modale = [&](QDialog *d) {
        Seleziona(Controllo<QTableWidget>(d, "grdQuote"), 0);
        Clic(d, "cmdStorna");
    };
    Piattaforma::MostraModale(&q);
    QCOMPARE(env->UltimoMessaggio(),
             "La ricevuta n. 2/2026 \u00E8 stata stornata con la n. 3/2026.");
    QCOMPARE(Righe(Controllo<QTableWidget>(&q, "grdQuote"), 6),
             (QStringList{"stornata dalla n. 3/2026", "storno della n. 2/2026"}));
}

QTEST_MAIN(TestQuote)
#include "tst_quote.moc"
