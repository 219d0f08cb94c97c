// The renewal on the folder: expiry rules, the fee register in "Quote.sqlite" with its
// receipt numbers and voids, many members in one go, and a renewal killed between its two
// writes, finished at the next start.
#include "support/Supporto.h"

#include "archive/Archivio.h"
#include "archive/Errori.h"
#include "archive/Testo.h"
#include "mail/core/RegistroAvvisi.h"
#include "mail/core/SceltaAvvisi.h"
#include "rinnovi/core/RegoleRinnovo.h"
#include "shell/Avvio.h"
#include "shell/Password.h"
#include "shell/Schermate.h"
#include "storage/DepositoFile.h"
#include "storage/RegistroQuoteFile.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>

namespace {

const QString OpzioneFiglio = QStringLiteral("--rinnovo-ucciso");

QDate D(const char *testo)
{
    return Testo::ConvertiData(QString::fromLatin1(testo));
}

// A folder archive of `n` members "Socio 1".."Socio n", expiring 31/12/2026; those in
// `annullate` (1-based) cancelled.
void Archivio(const Ambiente &env, int n, const QList<int> &annullate = {})
{
    QList<QByteArray> record;
    for (int i = 1; i <= n; ++i) {
        QByteArray r =
            Costruttore::Tesserato("Socio " + QByteArray::number(i), "01/01/2026", "31/12/2026");
        if (annullate.contains(i))
            r = Costruttore::Record({{"Tesserato", "Socio " + QByteArray::number(i)},
                                     {"NumTessera", QByteArray::number(i)},
                                     {"DataScade", "31/12/2026"},
                                     {"Annullata", "S\xEC"}});
        record << r;
    }
    Costruttore::ScriviArchivio(env.Percorso(NomeArchivio), record);
}

TDatiRinnovo Dati(const QDate &oggi)
{
    TDatiRinnovo d;
    d.oggi = oggi;
    d.dataPagamento = oggi;
    d.centesimi = 2500;
    d.metodo = QStringLiteral("Contanti");
    d.causale = CausaleProposta(oggi.year());
    d.inseritoDa = QStringLiteral("segreteria");
    return d;
}

std::vector<TPagamento> Rinnova(TDeposito &dep, std::vector<int> posizioni, const QDate &oggi)
{
    std::vector<TPagamento> fatti;
    RinnovaTutti(dep, posizioni, Dati(oggi), [&](const TPagamento &p) { fatti.push_back(p); });
    return fatti;
}

QString Scade(const QString &cartella, int posizione)
{
    TArchivio a(cartella);
    return a.LeggiScheda(posizione).Leggi(Campo::DataScade);
}

// The child: renews member 1 of the folder and is killed at `fase` of the renewal.
int Figlio(const QString &cartella, int fase)
{
    static int dove = 0;
    dove = fase;
    TDepositoFile::PuntoRinnovo = [](int f) {
        if (f == dove)
            ::raise(SIGKILL);
    };
    TDepositoFile dep(cartella);
    const int posizioni[] = {1, 2};
    RinnovaTutti(dep, posizioni, Dati(D("10/12/2026")), {});
    return 0;
}

} // namespace

class TestRinnovo : public QObject {
    Q_OBJECT
private slots:
    void NuovaScadenza_data();
    void NuovaScadenza();
    void Regole_data();
    void Regole();
    void Importi_data();
    void Importi();
    void NumeriPerAnnoEStorno();
    void RegistroNonSiCambia();
    void RegistroNelleRegoleDellaCartella_data();
    void RegistroNelleRegoleDellaCartella();
    void CinquantaSelezionati();
    void UccisoTraLeDueScritture_data();
    void UccisoTraLeDueScritture();
    void AvvisiDopoIlRinnovo_data();
    void AvvisiDopoIlRinnovo();
};

void TestRinnovo::NuovaScadenza_data()
{
    QTest::addColumn<QString>("regola");
    QTest::addColumn<int>("durata");
    QTest::addColumn<QString>("vecchia");
    QTest::addColumn<QString>("oggi");
    QTest::addColumn<QString>("nuova");
    QTest::addColumn<QString>("dal");
    // anniversario: the later of old expiry and today, plus the duration.
    QTest::newRow("anniversario") << "anniversario" << 12 << "15/03/2026"
                                  << "10/03/2026"
                                  << "15/03/2027"
                                  << "16/03/2026";
    QTest::newRow("anniversario scaduta") << "anniversario" << 12 << "15/01/2026"
                                          << "10/03/2026"
                                          << "10/03/2027"
                                          << "10/03/2026";
    QTest::newRow("fine mese") << "anniversario" << 1 << "31/01/2026"
                               << "10/01/2026"
                               << "28/02/2026"
                               << "01/02/2026";
    QTest::newRow("fine mese bisestile") << "anniversario" << 1 << "31/01/2028"
                                         << "10/01/2028"
                                         << "29/02/2028"
                                         << "01/02/2028";
    QTest::newRow("29 febbraio") << "anniversario" << 12 << "29/02/2028"
                                 << "01/02/2028"
                                 << "28/02/2029"
                                 << "01/03/2028";
    QTest::newRow("scaduta da anni") << "anniversario" << 12 << "31/12/2019"
                                     << "10/03/2026"
                                     << "10/03/2027"
                                     << "10/03/2026";
    QTest::newRow("rinnovata in anticipo") << "anniversario" << 12 << "31/03/2027"
                                           << "10/12/2026"
                                           << "31/03/2028"
                                           << "01/04/2027";
    QTest::newRow("senza scadenza") << "anniversario" << 12 << ""
                                    << "10/03/2026"
                                    << "10/03/2027"
                                    << "10/03/2026";
    // anno: 31 December of the year of the day after the later of the two.
    QTest::newRow("anno prima della fine") << "anno" << 12 << "31/12/2026"
                                           << "10/12/2026"
                                           << "31/12/2027"
                                           << "01/01/2027";
    QTest::newRow("anno scaduta") << "anno" << 12 << "31/12/2025"
                                  << "10/03/2026"
                                  << "31/12/2026"
                                  << "10/03/2026";
    QTest::newRow("anno il 31 dicembre") << "anno" << 12 << "31/12/2025"
                                         << "31/12/2025"
                                         << "31/12/2026"
                                         << "01/01/2026";
    QTest::newRow("anno scaduta da anni") << "anno" << 12 << "31/12/2019"
                                          << "10/03/2026"
                                          << "31/12/2026"
                                          << "10/03/2026";
    QTest::newRow("anno biennale") << "anno" << 24 << "31/12/2025"
                                   << "10/03/2026"
                                   << "31/12/2027"
                                   << "10/03/2026";
    QTest::newRow("anno 29 febbraio") << "anno" << 12 << "29/02/2028"
                                      << "01/03/2028"
                                      << "31/12/2028"
                                      << "01/03/2028";
}

void TestRinnovo::NuovaScadenza()
{
    QFETCH(QString, regola);
    QFETCH(int, durata);
    QFETCH(QString, vecchia);
    QFETCH(QString, oggi);
    QFETCH(QString, nuova);
    QFETCH(QString, dal);
    TRegoleRinnovo r;
    r.durata = durata;
    r.scadenza = regola == QLatin1String("anno") ? TRegoleRinnovo::Scadenza::Anno
                                                 : TRegoleRinnovo::Scadenza::Anniversario;
    const QDate v = Testo::ConvertiData(vecchia);
    const QDate o = Testo::ConvertiData(oggi);
    QCOMPARE(Testo::TestoData(::NuovaScadenza(v, o, r)), nuova);

    // The renewal writes it into the record, today as the issue date, the period paid.
    TDeposito::TSchedaLetta letta;
    letta.scheda.Scrivi(Campo::Tesserato, QStringLiteral("Rossi Anna"));
    letta.scheda.Scrivi(Campo::DataScade, vecchia);
    TDatiRinnovo dati = Dati(o);
    dati.regole = r;
    const TDeposito::TRinnovo rinnovo = PreparaRinnovo(7, letta, dati);
    QCOMPARE(rinnovo.scheda.Leggi(Campo::DataScade), nuova);
    QCOMPARE(rinnovo.scheda.Leggi(Campo::DataRil), oggi);
    QCOMPARE(Testo::TestoData(rinnovo.pagamento.dal), dal);
    QCOMPARE(Testo::TestoData(rinnovo.pagamento.al), nuova);
    QCOMPARE(rinnovo.pagamento.nominativo, QStringLiteral("Rossi Anna"));
}

void TestRinnovo::Regole_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("durata");
    QTest::addColumn<bool>("anno");
    QTest::addColumn<qint64>("quota");
    QTest::newRow("nessuna sezione")
        << QByteArray("[Altro]\nDurata=6\n") << 12 << false << qint64(0);
    QTest::newRow("tutte") << QByteArray("[Rinnovo]\nDurata=24\nScadenza=anno\nQuota=30,50\n") << 24
                           << true << qint64(3050);
    QTest::newRow("anniversario esplicito")
        << QByteArray("[Rinnovo]\nScadenza=anniversario\nQuota=25\n") << 12 << false
        << qint64(2500);
    QTest::newRow("valori senza senso")
        << QByteArray("[Rinnovo]\nDurata=0\nScadenza=mai\nQuota=venti\n") << 12 << false
        << qint64(0);
}

void TestRinnovo::Regole()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, durata);
    QFETCH(bool, anno);
    QFETCH(qint64, quota);
    Ambiente env;
    ScriviIni(env, ini);
    const TRegoleRinnovo r = TRegoleRinnovo::Carica(env.cartella());
    QCOMPARE(r.durata, durata);
    QCOMPARE(r.scadenza == TRegoleRinnovo::Scadenza::Anno, anno);
    QCOMPARE(r.quota, quota);
}

void TestRinnovo::Importi_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<qint64>("centesimi");
    QTest::newRow("intero") << "25" << qint64(2500);
    QTest::newRow("virgola") << "25,5" << qint64(2550);
    QTest::newRow("punto") << "25.50" << qint64(2550);
    QTest::newRow("migliaia") << "1.234,56" << qint64(123456);
    QTest::newRow("milioni") << "1.000.000" << qint64(100000000);
    QTest::newRow("blank") << " 10 " << qint64(1000);
    QTest::newRow("negativo") << "-5" << qint64(-1);
    QTest::newRow("tre decimali") << "1,234" << qint64(-1);
    QTest::newRow("lettere") << "dieci" << qint64(-1);
    QTest::newRow("vuoto") << "" << qint64(-1);
}

void TestRinnovo::Importi()
{
    QFETCH(QString, testo);
    QFETCH(qint64, centesimi);
    QCOMPARE(CentesimiDa(testo), centesimi);
    if (centesimi >= 0)
        QCOMPARE(CentesimiDa(TestoEuro(centesimi)), centesimi);
}

void TestRinnovo::NumeriPerAnnoEStorno()
{
    Ambiente env;
    Archivio(env, 4);
    TDepositoFile dep(env.cartella());
    // Two at the end of a year, one at the start of the next: each year from 1.
    std::vector<TPagamento> p = Rinnova(dep, {1, 2}, D("30/12/2026"));
    const std::vector<TPagamento> p2 = Rinnova(dep, {3}, D("02/01/2027"));
    p.insert(p.end(), p2.begin(), p2.end());
    QCOMPARE(p.size(), size_t(3));
    QCOMPARE(p[0].Ricevuta(), QStringLiteral("1/2026"));
    QCOMPARE(p[1].Ricevuta(), QStringLiteral("2/2026"));
    QCOMPARE(p[2].Ricevuta(), QStringLiteral("1/2027"));

    // A void is a counter-entry with the next number of its own year, naming the entry.
    const TPagamento storno =
        dep.StornaPagamentoIl(p[1].id, D("03/01/2027"), QStringLiteral("Errore"), "anna");
    QCOMPARE(storno.Ricevuta(), QStringLiteral("2/2027"));
    QCOMPARE(storno.annulla, p[1].id);
    QCOMPARE(storno.centesimi, qint64(-2500));
    QCOMPARE(storno.posizione, 2);
    QCOMPARE(storno.nominativo, QStringLiteral("Socio 2"));
    // Then the numbers go on after it, without a gap.
    QCOMPARE(Rinnova(dep, {4}, D("04/01/2027")).at(0).Ricevuta(), QStringLiteral("3/2027"));

    // Neither voided twice, nor a void voided.
    for (qint64 id : {p[1].id, storno.id, qint64(999)})
        QVERIFY_THROWS_EXCEPTION(ErroreFile,
                                 dep.StornaPagamentoIl(id, D("05/01/2027"), "x", "anna"));

    // The history of member 2: the payment and its void; the totals count both.
    const std::vector<TPagamento> storia = dep.PagamentiDi(2);
    QCOMPARE(storia.size(), size_t(2));
    QCOMPARE(storia[1].annulla, storia[0].id);
    std::vector<TTotalePagamenti> totali = dep.TotaliPagamenti(D("01/01/2027"), D("31/01/2027"));
    QCOMPARE(totali.size(), size_t(1));
    QCOMPARE(totali[0].centesimi, qint64(2500 - 2500 + 2500));
    QCOMPARE(totali[0].quanti, 3);
    QStringList scorse;
    dep.ScorriPagamenti(D("31/12/2026"), D("03/01/2027"), [&](const TPagamento &v) {
        scorse << v.Ricevuta();
        return true;
    });
    QCOMPARE(scorse, QStringList({"1/2027", "2/2027"}));
}

void TestRinnovo::RegistroNonSiCambia()
{
    Ambiente env;
    Archivio(env, 1);
    {
        TDepositoFile dep(env.cartella());
        QCOMPARE(Rinnova(dep, {1}, D("10/12/2026")).size(), size_t(1));
    }
    // The file itself refuses to change or delete an entry, whoever tries.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "prova");
        db.setDatabaseName(TRegistroQuoteFile::Percorso(env.cartella()));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(!q.exec(QStringLiteral("UPDATE pagamenti SET centesimi = 1")));
        QVERIFY(!q.exec(QStringLiteral("DELETE FROM pagamenti")));
        QVERIFY(q.exec(QStringLiteral("SELECT centesimi FROM pagamenti")) && q.next());
        QCOMPARE(q.value(0).toLongLong(), qint64(2500));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("prova"));
}

void TestRinnovo::RegistroNelleRegoleDellaCartella_data()
{
    QTest::addColumn<QString>("caso");
    QTest::newRow("nuovo") << "nuovo";
    QTest::newRow("collegamento") << "collegamento";
    QTest::newRow("cartella") << "cartella";
}

void TestRinnovo::RegistroNelleRegoleDellaCartella()
{
    QFETCH(QString, caso);
    Ambiente env;
    Archivio(env, 1);
    const QString percorso = TRegistroQuoteFile::Percorso(env.cartella());
    QTemporaryDir altrove;
    if (caso == QLatin1String("collegamento"))
        QVERIFY(QFile::link(altrove.filePath("q.sqlite"), percorso));
    if (caso == QLatin1String("cartella"))
        QVERIFY(QDir(env.cartella()).mkdir(QStringLiteral("Quote.sqlite")));
    TDepositoFile dep(env.cartella());
    if (caso == QLatin1String("nuovo")) {
        // Made for the user alone, beside the archive.
        QCOMPARE(Rinnova(dep, {1}, D("10/12/2026")).size(), size_t(1));
        QCOMPARE(QFileInfo(percorso).permissions() & 0x0077, QFileDevice::Permissions());
        return;
    }
    // Never through a link, never anything but a file: nothing renewed, nothing written.
    QVERIFY_THROWS_EXCEPTION(ErroreFile, Rinnova(dep, {1}, D("10/12/2026")));
    QVERIFY(!QFileInfo::exists(altrove.filePath("q.sqlite")));
    QCOMPARE(Scade(env.cartella(), 1), QStringLiteral("31/12/2026"));
}

void TestRinnovo::CinquantaSelezionati()
{
    Ambiente env;
    Archivio(env, 60, {5, 17});
    TDepositoFile dep(env.cartella());
    std::vector<int> scelti;
    for (int i = 1; i <= 50; ++i)
        scelti.push_back(i);
    std::vector<TPagamento> fatti;
    qint64 ultimo = 0;
    // Small chunks, so that several go by.
    const TEsitoRinnovi esito = RinnovaTutti(
        dep, scelti, Dati(D("10/12/2026")), [&](const TPagamento &p) { fatti.push_back(p); },
        [&](qint64 fatti, qint64 totale) {
            ultimo = fatti;
            return totale == 50;
        },
        7);
    QCOMPARE(esito.rinnovati, 48);
    QCOMPARE(esito.centesimi, qint64(48 * 2500));
    QVERIFY(!esito.interrotto);
    QCOMPARE(ultimo, qint64(50));
    // The cancelled cards are named and left as they were.
    QCOMPARE(esito.nonRinnovati.size(), 2);
    QVERIFY(esito.nonRinnovati[0].startsWith(QStringLiteral("Socio 5:")));
    QVERIFY(esito.nonRinnovati[1].startsWith(QStringLiteral("Socio 17:")));
    QCOMPARE(Scade(env.cartella(), 5), QStringLiteral("31/12/2026"));
    // Receipts 1..48 in the order of the list, each record with its new expiry.
    QCOMPARE(fatti.size(), size_t(48));
    for (int i = 0; i < 48; ++i)
        QCOMPARE(fatti[size_t(i)].numero, i + 1);
    dep.ChiudiArchivio();
    for (int p : {1, 4, 6, 50})
        QCOMPARE(Scade(env.cartella(), p), QStringLiteral("31/12/2027"));
    QCOMPARE(Scade(env.cartella(), 51), QStringLiteral("31/12/2026"));
    QVERIFY(dep.CompletaRinnovi().empty());

    // Stopped half way: what was read is renewed whole, nothing after.
    Ambiente env2;
    Archivio(env2, 20);
    TDepositoFile dep2(env2.cartella());
    std::vector<int> venti;
    for (int i = 1; i <= 20; ++i)
        venti.push_back(i);
    const TEsitoRinnovi fermato = RinnovaTutti(
        dep2, venti, Dati(D("10/12/2026")), {}, [](qint64 f, qint64) { return f < 8; }, 5);
    QVERIFY(fermato.interrotto);
    QCOMPARE(fermato.rinnovati, 8);
    QCOMPARE(dep2.PagamentiDi(8).size(), size_t(1));
    QCOMPARE(dep2.PagamentiDi(9).size(), size_t(0));
    dep2.ChiudiArchivio();
    QCOMPARE(Scade(env2.cartella(), 8), QStringLiteral("31/12/2027"));
    QCOMPARE(Scade(env2.cartella(), 9), QStringLiteral("31/12/2026"));
}

void TestRinnovo::UccisoTraLeDueScritture_data()
{
    QTest::addColumn<int>("fase");
    QTest::newRow("dopo la quota") << 1;
    QTest::newRow("dopo la scheda") << 2;
}

void TestRinnovo::UccisoTraLeDueScritture()
{
    QFETCH(int, fase);
    Ambiente env;
    Archivio(env, 3);
    QProcess figlio;
    figlio.start(QCoreApplication::applicationFilePath(),
                 {OpzioneFiglio, env.cartella(), QString::number(fase)});
    QVERIFY(figlio.waitForFinished(60000));
    QCOMPARE(figlio.exitStatus(), QProcess::CrashExit);

    // Killed: the payments are in the register; the records perhaps not yet.
    QCOMPARE(Scade(env.cartella(), 1),
             fase == 1 ? QStringLiteral("31/12/2026") : QStringLiteral("31/12/2027"));
    // The next start finishes both renewals at the login and says which.
    {
        QFile password(env.Percorso(QStringLiteral("unins000.dll")));
        QVERIFY(password.open(QIODevice::WriteOnly));
        password.write("[Accesso]\r\nValore=A5823867F71E9DE7318671AFD794\r\n"); // girasolidiluna
    }
    Schermate::Crea();
    Schermate::Password()->show();
    QTest::keyClicks(Controllo<QLineEdit>(Schermate::Password(), "txtPassword"),
                     QStringLiteral("girasolidiluna"));
    Clic(Schermate::Password(), "cmdOK");
    const bool avvio = Schermate::Avvio()->isVisible();
    Schermate::Distruggi();
    QVERIFY(avvio);
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi[0].forma, Piattaforma::Forma::Informazione);
    const QString testo = env->messaggi[0].testo;
    QVERIFY2(testo.startsWith(QStringLiteral("Rinnovo completato")), qPrintable(testo));
    QVERIFY(testo.contains(QStringLiteral("Socio 1 (ricevuta 1/2026)")));
    QVERIFY(testo.contains(QStringLiteral("Socio 2 (ricevuta 2/2026)")));
    // Once only.
    QVERIFY(TDepositoFile(env.cartella()).CompletaRinnovi().empty());
    for (int p : {1, 2})
        QCOMPARE(Scade(env.cartella(), p), QStringLiteral("31/12/2027"));
    QCOMPARE(Scade(env.cartella(), 3), QStringLiteral("31/12/2026"));
    TDepositoFile dep(env.cartella());
    QCOMPARE(dep.PagamentiDi(1).size(), size_t(1));
    QCOMPARE(dep.PagamentiDi(3).size(), size_t(0));
}

void TestRinnovo::AvvisiDopoIlRinnovo_data()
{
    QTest::addColumn<QString>("avvisato");
    QTest::addColumn<QString>("rinnovato");
    QTest::addColumn<bool>("storno");
    QTest::addColumn<QString>("motivo"); // empty: reminded
    const QString dopo = QStringLiteral("rinnovato dopo l'ultimo avviso");
    QTest::newRow("rinnovato dopo l'avviso") << "01/12/2026"
                                             << "05/12/2026" << false << dopo;
    QTest::newRow("lo stesso giorno") << "05/12/2026"
                                      << "05/12/2026" << false << dopo;
    QTest::newRow("rinnovato prima") << "01/12/2026"
                                     << "01/11/2026" << false << "";
    QTest::newRow("rinnovo annullato") << "01/12/2026"
                                       << "05/12/2026" << true << "";
    QTest::newRow("mai avvisato") << ""
                                  << "05/12/2026" << false << "";
}

void TestRinnovo::AvvisiDopoIlRinnovo()
{
    QFETCH(QString, avvisato);
    QFETCH(QString, rinnovato);
    QFETCH(bool, storno);
    QFETCH(QString, motivo);
    Ambiente env;
    Archivio(env, 3);
    TDepositoFile dep(env.cartella());
    const QDate oggi = D("10/12/2026");
    // Member 1 renewed too, before any reminder: it tells nothing about member 2.
    Rinnova(dep, {1}, D("01/10/2026"));
    const TPagamento p = Rinnova(dep, {2}, Testo::ConvertiData(rinnovato)).at(0);
    if (storno)
        dep.StornaPagamentoIl(p.id, oggi, QStringLiteral("Errore"), "anna");
    std::vector<TAvviso> tesserati(3);
    QHash<QString, QDate> ultimi;
    for (int i = 0; i < 3; ++i) {
        tesserati[size_t(i)].posizione = i + 1;
        tesserati[size_t(i)].nome = QStringLiteral("Socio %1").arg(i + 1);
        tesserati[size_t(i)].indirizzo = QStringLiteral("s%1@esempio.it").arg(i + 1);
        ultimi.insert(RegistroAvvisi::Chiave(i + 1, tesserati[size_t(i)].nome), D("01/11/2026"));
    }
    ultimi.remove(RegistroAvvisi::Chiave(2, QStringLiteral("Socio 2")));
    if (!avvisato.isEmpty())
        ultimi.insert(RegistroAvvisi::Chiave(2, QStringLiteral("Socio 2")),
                      Testo::ConvertiData(avvisato));
    const QHash<int, QDate> rinnovati = UltimiRinnovi(dep, D("01/11/2026"), oggi.addYears(10));
    // Even when the user asks to remind the recent ones again.
    const TSceltaAvvisi s = ScegliDestinatari(tesserati, ultimi, oggi, 0, true, rinnovati);
    QStringList nomi;
    for (const TAvviso &a : s.daAvvisare)
        nomi << a.nome;
    if (motivo.isEmpty()) {
        QCOMPARE(nomi, QStringList({"Socio 1", "Socio 2", "Socio 3"}));
        return;
    }
    QCOMPARE(nomi, QStringList({"Socio 1", "Socio 3"}));
    QCOMPARE(s.saltati.size(), size_t(1));
    QCOMPARE(TestoMotivo(s.saltati[0].motivo, 0), motivo);
}

int main(int argc, char **argv)
{
    if (argc == 4 && OpzioneFiglio == QString::fromLocal8Bit(argv[1])) {
        QCoreApplication app(argc, argv);
        return Figlio(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]).toInt());
    }
    QApplication app(argc, argv);
    TestRinnovo prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_rinnovo.moc"
